#include "replacecolourdialog.h"

#include "core/names.h"
#include "widgets/namedbutton.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

enum Column { ColourColumn, FieldsColumn };

// A named colour ("red") is a colour here too.
QIcon swatchOf(const QString &text)
{
    const QColor colour = colourOfText(text, QColor());
    return colour.isValid() ? colourSwatch(colour) : QIcon();
}

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

// The name offered for binding colour: a shared colour of that colour, else
// the first usual name the project lacks.
QString suggestedName(const QString &colour, const SharedValues &values)
{
    for (const SharedValue &value : colourValues(values)) {
        if (colourKey(value.value) == colourKey(colour))
            return value.name;
    }
    for (const QString &name : {u"主色"_s, u"辅色"_s, u"文字色"_s, u"背景色"_s, u"边框色"_s}) {
        if (!findSharedValue(values, name))
            return name;
    }
    QString name = u"颜色"_s;
    for (int n = 2; findSharedValue(values, name); ++n)
        name = u"颜色 %1"_s.arg(n);
    return name;
}

// Enter in a field runs that field's action, never another button.
QPushButton *button(const QString &text, const QString &name, QWidget *parent)
{
    QPushButton *b = namedButton(text, name, parent);
    b->setAutoDefault(false);
    return b;
}

} // namespace

ReplaceColourDialog::ReplaceColourDialog(const QList<ColourUse> &colours, const SharedValues &values,
                                         ColourFields::Chooser chooseColour, QWidget *parent)
    : QDialog(parent)
    , m_colours(colours)
    , m_values(values)
    , m_chooseColour(std::move(chooseColour))
    , m_table(new QTableWidget(int(colours.size()), 2, this))
    , m_replacement(new QLineEdit(this))
    , m_replacementSwatch(m_replacement->addAction(QIcon(), QLineEdit::LeadingPosition))
    , m_choose(button(u"选择颜色(&C)…"_s, u"btnchoosecolour"_s, this))
    , m_replace(button(u"全部替换(&P)"_s, u"btnreplace"_s, this))
    , m_name(new QComboBox(this))
    , m_bind(button(u"设为店铺风格(&B)"_s, u"btnbind"_s, this))
    , m_bindNote(new QLabel(this))
{
    setObjectName(u"frmcolours"_s);
    setWindowTitle(u"替换颜色"_s);

    m_table->setObjectName(u"tblcolours"_s);
    m_table->setHorizontalHeaderLabels({u"颜色"_s, u"字段数"_s});
    m_table->horizontalHeader()->setSectionResizeMode(ColourColumn, QHeaderView::Stretch);
    m_table->horizontalHeader()->setSectionResizeMode(FieldsColumn, QHeaderView::ResizeToContents);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setToolTip(u"项目中颜色字段所用的颜色；双击一行选择替换的颜色"_s);
    m_table->setMinimumHeight(160);
    for (int row = 0; row < colours.size(); ++row) {
        QTableWidgetItem *colour = cell(colours[row].colour);
        colour->setIcon(swatchOf(colours[row].colour));
        m_table->setItem(row, ColourColumn, colour);
        QTableWidgetItem *fields = cell(QString::number(colours[row].fields));
        fields->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_table->setItem(row, FieldsColumn, fields);
    }
    auto *tableLabel = new QLabel(
        colours.isEmpty() ? u"项目的颜色字段中没有颜色（已用店铺风格的字段不计）。"_s : u"项目中的颜色(&O)："_s, this);
    tableLabel->setObjectName(u"lblcolours"_s);
    tableLabel->setBuddy(m_table);
    tableLabel->setWordWrap(true);

    m_replacement->setObjectName(u"edtreplacement"_s);
    m_replacement->setPlaceholderText(u"#RRGGBB"_s);
    m_replacement->setToolTip(u"新的颜色，如 #FF6600；按回车全部替换"_s);
    auto *replaceRow = new QHBoxLayout;
    replaceRow->addWidget(m_replacement, 1);
    replaceRow->addWidget(m_choose);
    replaceRow->addWidget(m_replace);

    m_name->setObjectName(u"cbbvaluename"_s);
    m_name->setEditable(true);
    m_name->setInsertPolicy(QComboBox::NoInsert);
    m_name->setCompleter(nullptr);
    m_name->setToolTip(u"店铺风格中值的名称；字段改写为 {{名称}}，按回车执行"_s);
    for (const SharedValue &value : colourValues(values))
        m_name->addItem(value.name);
    auto *bindRow = new QHBoxLayout;
    bindRow->addWidget(m_name, 1);
    bindRow->addWidget(m_bind);
    m_bindNote->setObjectName(u"lblbindnote"_s);
    m_bindNote->setWordWrap(true);

    auto *form = new QFormLayout;
    form->addRow(u"替换为(&R)："_s, replaceRow);
    form->addRow(u"店铺风格名称(&N)："_s, bindRow);
    form->addRow(QString(), m_bindNote);
    qobject_cast<QLabel *>(form->labelForField(replaceRow))->setBuddy(m_replacement);
    qobject_cast<QLabel *>(form->labelForField(bindRow))->setBuddy(m_name);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *close = buttons->addButton(u"关闭"_s, QDialogButtonBox::RejectRole);
    close->setObjectName(u"btnclose"_s);
    close->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tableLabel);
    layout->addWidget(m_table, 1);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumSize(480, 400);

    connect(m_table, &QTableWidget::currentCellChanged, this, &ReplaceColourDialog::colourSelected);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &ReplaceColourDialog::chooseColour);
    connect(m_replacement, &QLineEdit::textChanged, this, &ReplaceColourDialog::update);
    connect(m_replacement, &QLineEdit::returnPressed, this, &ReplaceColourDialog::replace);
    connect(m_choose, &QPushButton::clicked, this, &ReplaceColourDialog::chooseColour);
    connect(m_replace, &QPushButton::clicked, this, &ReplaceColourDialog::replace);
    connect(m_name, &QComboBox::editTextChanged, this, &ReplaceColourDialog::update);
    connect(m_name->lineEdit(), &QLineEdit::returnPressed, this, &ReplaceColourDialog::bind);
    connect(m_bind, &QPushButton::clicked, this, &ReplaceColourDialog::bind);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    if (!colours.isEmpty())
        m_table->setCurrentCell(0, ColourColumn);
    m_replacement->setEnabled(!colours.isEmpty());
    m_name->setEnabled(!colours.isEmpty());
    colourSelected();
}

QString ReplaceColourDialog::selectedColour() const
{
    const int row = m_table->currentRow();
    return row < 0 ? QString() : m_colours[row].colour;
}

void ReplaceColourDialog::colourSelected()
{
    const QString colour = selectedColour();
    m_name->setEditText(colour.isEmpty() ? QString() : suggestedName(colour, m_values));
    update();
}

void ReplaceColourDialog::update()
{
    const QString colour = selectedColour();
    const QIcon swatch = swatchOf(m_replacement->text());
    m_replacementSwatch->setIcon(swatch);
    m_replacementSwatch->setVisible(!swatch.isNull());
    m_choose->setEnabled(!colour.isEmpty() && m_chooseColour);
    m_replace->setEnabled(!colour.isEmpty() && !m_replacement->text().trimmed().isEmpty());

    const QString name = trimmedName(m_name->currentText());
    QString note;
    if (colour.isEmpty())
        note.clear();
    else if (name.isEmpty())
        note = u"请填写名称。"_s;
    else if (!sharedValueNameProblem(name).isEmpty())
        note = u"名称中不能有换行、“{{”或“}}”。"_s;
    else if (const SharedValue *value = findSharedValue(m_values, name))
        note = u"店铺风格中已有“%1”（%2），这些字段将改用它。"_s.arg(name, value->value);
    else
        note = u"将在店铺风格中新增“%1”，值为 %2，这些字段改写为 {{%1}}。"_s.arg(name, colour);
    m_bindNote->setText(note);
    m_bind->setEnabled(!colour.isEmpty() && sharedValueNameProblem(name).isEmpty());
}

void ReplaceColourDialog::chooseColour()
{
    if (!m_choose->isEnabled())
        return;
    // What is typed, else the colour replaced.
    const QColor initial = colourOfText(m_replacement->text(), colourOfText(selectedColour()));
    if (const std::optional<QColor> chosen = m_chooseColour(initial))
        m_replacement->setText(colourToHexText(*chosen));
}

void ReplaceColourDialog::replace()
{
    if (!m_replace->isEnabled())
        return;
    m_request = ColourRequest{ColourRequest::Kind::Replace, selectedColour(), m_replacement->text().trimmed()};
    accept();
}

void ReplaceColourDialog::bind()
{
    if (!m_bind->isEnabled())
        return;
    m_request = ColourRequest{ColourRequest::Kind::Bind, selectedColour(), trimmedName(m_name->currentText())};
    accept();
}

} // namespace orv
