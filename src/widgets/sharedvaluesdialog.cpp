#include "sharedvaluesdialog.h"

#include "core/colours.h"
#include "core/failure.h"
#include "core/names.h"
#include "widgets/dialogs.h"
#include "widgets/namedbutton.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

enum Column { NameColumn, ValueColumn, UsesColumn };

// The name a row had in the project; none for a row added here.
constexpr int originRole = Qt::UserRole;

const QString styleSuffix = u".orvanta-style"_s;
const QString styleFilter = u"店铺风格 (*.orvanta-style);;所有文件 (*)"_s;

void showSwatch(QTableWidgetItem *value)
{
    const QString text = value->text();
    value->setIcon(isHexColour(text) ? colourSwatch(QColor(text.trimmed())) : QIcon());
}

} // namespace

SharedValuesDialog::SharedValuesDialog(const SharedValues &values, UseCount uses, ColourFields::Chooser chooseColour,
                                       QWidget *parent)
    : QDialog(parent)
    , m_uses(std::move(uses))
    , m_chooseColour(std::move(chooseColour))
    , m_table(new QTableWidget(0, 3, this))
    , m_remove(namedButton(u"删除(&D)"_s, u"btnremovevalue"_s, this))
    , m_colour(namedButton(u"选择颜色(&C)…"_s, u"btnchoosecolour"_s, this))
{
    setObjectName(u"frmstyle"_s);
    setWindowTitle(u"店铺风格"_s);

    m_table->setObjectName(u"tblvalues"_s);
    m_table->setHorizontalHeaderLabels({u"名称"_s, u"值"_s, u"使用"_s});
    m_table->horizontalHeaderItem(UsesColumn)->setToolTip(u"用到这个值的版块条目数"_s);
    m_table->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Interactive);
    m_table->horizontalHeader()->setSectionResizeMode(ValueColumn, QHeaderView::Stretch);
    m_table->horizontalHeader()->setSectionResizeMode(UsesColumn, QHeaderView::ResizeToContents);
    m_table->setColumnWidth(NameColumn, 140);
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    // A double-click on a colour opens the colour dialog instead (see cellDoubleClicked).
    m_table->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    m_table->setToolTip(u"双击或按 F2 修改名称和值；双击颜色打开颜色对话框"_s);
    m_table->setMinimumHeight(180);
    auto *tableLabel = new QLabel(u"店铺风格中的值(&V)："_s, this);
    tableLabel->setBuddy(m_table);

    QPushButton *add = namedButton(u"添加(&A)"_s, u"btnaddvalue"_s, this);
    QPushButton *load = namedButton(u"从文件载入(&L)…"_s, u"btnloadstyle"_s, this);
    load->setToolTip(u"把店铺风格文件（.orvanta-style）中的值填入表格：同名的值取文件中的，其余的添在后面"_s);
    QPushButton *save = namedButton(u"保存到文件(&S)…"_s, u"btnsavestyle"_s, this);
    save->setToolTip(u"把表格中的值写入店铺风格文件（.orvanta-style），供本店的其他项目载入"_s);
    m_colour->setToolTip(u"用颜色对话框选择所选值的颜色"_s);
    auto *side = new QVBoxLayout;
    side->addWidget(add);
    side->addWidget(m_remove);
    side->addWidget(m_colour);
    side->addStretch(1);
    side->addWidget(load);
    side->addWidget(save);

    auto *note = new QLabel(u"字段中写 {{名称}} 即使用该值。修改后，用到它的条目会重新生成；删除一个值时，"
                            "用到它的字段改写为它的内容，页面保持不变。"_s,
                            this);
    note->setObjectName(u"lblnote"_s);
    note->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(u"确定"_s);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(u"btnok"_s);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"取消"_s);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(u"btncancel"_s);

    auto *middle = new QHBoxLayout;
    middle->addWidget(m_table, 1);
    middle->addLayout(side);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tableLabel);
    layout->addLayout(middle, 1);
    layout->addWidget(note);
    layout->addWidget(buttons);
    setMinimumSize(520, 380);
    // Tab follows the buttons as they stand.
    setTabOrder(m_table, add);
    setTabOrder(add, m_remove);
    setTabOrder(m_remove, m_colour);
    setTabOrder(m_colour, load);
    setTabOrder(load, save);

    for (const SharedValue &value : values)
        appendRow(value.name, value.value, value.name);
    if (!values.isEmpty())
        m_table->setCurrentCell(0, NameColumn);

    auto *removeKey
        = new QShortcut(QKeySequence::Delete, m_table, this, &SharedValuesDialog::removeValue, Qt::WidgetShortcut);
    removeKey->setObjectName(u"removeValueKey"_s);
    connect(add, &QPushButton::clicked, this, &SharedValuesDialog::addValue);
    connect(m_remove, &QPushButton::clicked, this, &SharedValuesDialog::removeValue);
    connect(m_colour, &QPushButton::clicked, this, &SharedValuesDialog::chooseColour);
    connect(load, &QPushButton::clicked, this, &SharedValuesDialog::loadStyle);
    connect(save, &QPushButton::clicked, this, &SharedValuesDialog::saveStyle);
    connect(m_table, &QTableWidget::itemChanged, this, &SharedValuesDialog::cellChanged);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &SharedValuesDialog::cellDoubleClicked);
    connect(m_table, &QTableWidget::currentCellChanged, this, &SharedValuesDialog::updateButtons);
    connect(buttons, &QDialogButtonBox::accepted, this, &SharedValuesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateButtons();
}

int SharedValuesDialog::appendRow(const QString &name, const QString &value, const QString &origin)
{
    const QSignalBlocker quiet(m_table);
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    auto *nameItem = new QTableWidgetItem(name);
    if (!origin.isNull())
        nameItem->setData(originRole, origin);
    m_table->setItem(row, NameColumn, nameItem);
    auto *valueItem = new QTableWidgetItem(value);
    showSwatch(valueItem);
    m_table->setItem(row, ValueColumn, valueItem);
    auto *usesItem = new QTableWidgetItem;
    usesItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    usesItem->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_table->setItem(row, UsesColumn, usesItem);
    showUses(row);
    return row;
}

QString SharedValuesDialog::rowName(int row) const
{
    return trimmedName(m_table->item(row, NameColumn)->text());
}

// A value of the project keeps the entries that use it when renamed; a new
// one is used by the entries that name it already.
void SharedValuesDialog::showUses(int row)
{
    const QVariant origin = m_table->item(row, NameColumn)->data(originRole);
    const QString name = origin.isValid() ? origin.toString() : rowName(row);
    const int count = m_uses && sharedValueNameProblem(name).isEmpty() ? m_uses(name) : 0;
    const QSignalBlocker quiet(m_table);
    m_table->item(row, UsesColumn)->setText(QString::number(count));
}

SharedValuesDialog::Change SharedValuesDialog::change() const
{
    Change result;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const QString name = rowName(row);
        result.values.append({name, m_table->item(row, ValueColumn)->text()});
        const QVariant origin = m_table->item(row, NameColumn)->data(originRole);
        if (origin.isValid() && origin.toString() != name)
            result.renames.append({origin.toString(), name});
    }
    return result;
}

std::pair<int, QString> SharedValuesDialog::nameProblem() const
{
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const QString name = rowName(row);
        if (name.isEmpty())
            return {row, u"第 %1 行没有名称"_s.arg(row + 1)};
        if (!sharedValueNameProblem(name).isEmpty())
            return {row, u"第 %1 行的名称“%2”不能用：名称中不能有换行、“{{”或“}}”"_s.arg(row + 1).arg(name)};
        for (int earlier = 0; earlier < row; ++earlier) {
            if (rowName(earlier) == name)
                return {row, u"第 %1 行和第 %2 行都叫“%3”，名称不能重复"_s.arg(earlier + 1).arg(row + 1).arg(name)};
        }
    }
    return {-1, {}};
}

// A cell being edited counts as typed.
void SharedValuesDialog::commitEdit()
{
    if (QWidget *editor = m_table->indexWidget(m_table->currentIndex()))
        QMetaObject::invokeMethod(m_table, "commitData", Q_ARG(QWidget *, editor));
}

void SharedValuesDialog::accept()
{
    commitEdit();
    const auto [row, problem] = nameProblem();
    if (row >= 0) {
        dialogs::showError(this, problem);
        m_table->setCurrentCell(row, NameColumn);
        m_table->setFocus();
        return;
    }
    QDialog::accept();
}

void SharedValuesDialog::addValue()
{
    QStringList names;
    for (int row = 0; row < m_table->rowCount(); ++row)
        names.append(rowName(row));
    QString name = u"新值"_s;
    for (int n = 2; names.contains(name); ++n)
        name = u"新值 %1"_s.arg(n);
    const int row = appendRow(name, QString(), QString());
    m_table->setCurrentCell(row, NameColumn);
    m_table->setFocus();
    if (m_table->isVisible())
        m_table->editItem(m_table->item(row, NameColumn));
}

void SharedValuesDialog::removeValue()
{
    const int row = m_table->currentRow();
    if (row < 0)
        return;
    m_table->removeRow(row);
    if (m_table->rowCount() > 0)
        m_table->setCurrentCell(qMin(row, m_table->rowCount() - 1), NameColumn);
    updateButtons();
}

void SharedValuesDialog::chooseColour()
{
    const int row = m_table->currentRow();
    if (row < 0 || !m_chooseColour)
        return;
    QTableWidgetItem *value = m_table->item(row, ValueColumn);
    if (const std::optional<QColor> chosen = m_chooseColour(colourOfText(value->text())))
        value->setText(colourToHexText(*chosen));
}

void SharedValuesDialog::cellChanged(QTableWidgetItem *item)
{
    if (item->column() == ValueColumn) {
        const QSignalBlocker quiet(m_table);
        showSwatch(item);
    } else if (item->column() == NameColumn) {
        showUses(item->row());
    }
}

void SharedValuesDialog::cellDoubleClicked(int row, int column)
{
    QTableWidgetItem *item = m_table->item(row, column);
    if (column == ValueColumn && isHexColour(item->text()))
        chooseColour();
    else if (column != UsesColumn)
        m_table->editItem(item);
}

void SharedValuesDialog::loadStyle()
{
    const QString path = dialogs::openFileName(this, u"载入店铺风格"_s, QDir::homePath(), styleFilter);
    if (path.isEmpty())
        return;
    commitEdit();
    SharedValues style;
    try {
        style = readStyleFile(path);
    } catch (const Failure &failure) {
        dialogs::showError(this, failure.message());
        return;
    }
    // withStyle keeps the rows where they stand and adds the style's other
    // names after them.
    const SharedValues laid = withStyle(change().values, style);
    const QSignalBlocker quiet(m_table);
    for (int row = 0; row < laid.size(); ++row) {
        if (row < m_table->rowCount()) {
            QTableWidgetItem *value = m_table->item(row, ValueColumn);
            value->setText(laid[row].value);
            showSwatch(value);
        } else {
            appendRow(laid[row].name, laid[row].value, QString());
        }
    }
    if (m_table->currentRow() < 0 && m_table->rowCount() > 0)
        m_table->setCurrentCell(0, NameColumn);
    updateButtons();
}

void SharedValuesDialog::saveStyle()
{
    commitEdit();
    // A file of bad names could not be read back.
    if (const auto [row, problem] = nameProblem(); row >= 0) {
        dialogs::showError(this, problem);
        m_table->setCurrentCell(row, NameColumn);
        return;
    }
    QString path = dialogs::saveFileName(this, u"保存店铺风格"_s,
                                         QDir(QDir::homePath()).filePath(u"店铺风格"_s + styleSuffix), styleFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += styleSuffix;
    try {
        writeStyleFile(path, change().values);
    } catch (const Failure &failure) {
        dialogs::showError(this, failure.message());
    }
}

void SharedValuesDialog::updateButtons()
{
    const bool current = m_table->currentRow() >= 0;
    m_remove->setEnabled(current);
    m_colour->setEnabled(current && m_chooseColour);
}

} // namespace orv
