#include "saveblockdialog.h"

#include "widgets/dialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace orv {

using namespace Qt::StringLiterals;

SaveBlockDialog::SaveBlockDialog(const QList<ModuleEntry> &entries, int selected, const BlockLibrary &library,
                                 QWidget *parent)
    : QDialog(parent)
    , m_library(library)
    , m_entries(entries)
    , m_name(new QLineEdit(this))
    , m_list(new QListWidget(this))
{
    setObjectName(u"frmsaveblock"_s);
    setWindowTitle(u"保存为块"_s);

    m_name->setObjectName(u"edtblockname"_s);
    m_list->setObjectName(u"lstentries"_s);
    m_list->setToolTip(u"勾选要保存在块中的条目（空格键勾选或取消）"_s);
    m_list->setMinimumHeight(160);
    for (int row = 0; row < entries.size(); ++row) {
        auto *item = new QListWidgetItem(u"%1  %2"_s.arg(entries[row].number).arg(entries[row].name.trimmed()), m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(row == selected ? Qt::Checked : Qt::Unchecked);
    }
    if (selected >= 0 && selected < entries.size())
        m_list->setCurrentRow(selected);
    else if (!entries.isEmpty())
        m_list->setCurrentRow(0);

    auto *form = new QFormLayout;
    form->addRow(u"块名称(&N)："_s, m_name);
    qobject_cast<QLabel *>(form->labelForField(m_name))->setBuddy(m_name);
    auto *listLabel = new QLabel(u"保存的条目(&E)："_s, this);
    listLabel->setBuddy(m_list);
    auto *note = new QLabel(u"块保存在块库中，连同预览图和所用的店铺风格值；以后可用“插入块…”插入任何项目。"_s, this);
    note->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_save = buttons->button(QDialogButtonBox::Ok);
    m_save->setText(u"保存"_s);
    m_save->setObjectName(u"btnsave"_s);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"取消"_s);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(u"btncancel"_s);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(listLabel);
    layout->addWidget(m_list, 1);
    layout->addWidget(note);
    layout->addWidget(buttons);
    setMinimumSize(420, 360);

    suggestName();
    connect(m_name, &QLineEdit::textEdited, this, [this] { m_nameEdited = true; });
    connect(m_name, &QLineEdit::textChanged, this, &SaveBlockDialog::updateButton);
    connect(m_list, &QListWidget::itemChanged, this, [this] {
        suggestName();
        updateButton();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &SaveBlockDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateButton();
}

QString SaveBlockDialog::name() const
{
    return m_name->text().trimmed();
}

QList<int> SaveBlockDialog::rows() const
{
    QList<int> rows;
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->checkState() == Qt::Checked)
            rows.append(row);
    }
    return rows;
}

void SaveBlockDialog::suggestName()
{
    if (m_nameEdited)
        return;
    const QList<int> chosen = rows();
    const QString name = chosen.isEmpty() ? QString() : m_entries[chosen.first()].name.trimmed();
    m_name->setText(name.isEmpty() ? QString() : m_library.uniqueName(name));
}

void SaveBlockDialog::updateButton()
{
    m_save->setEnabled(blockNameProblem(name()).isEmpty() && !rows().isEmpty());
}

void SaveBlockDialog::accept()
{
    if (!m_save->isEnabled())
        return;
    m_replace = m_library.uniqueName(name()) != name();
    if (m_replace && !dialogs::askToReplace(this, u"块库中已有名为“%1”的块。要替换它吗？"_s.arg(name()))) {
        m_replace = false;
        m_name->setFocus();
        m_name->selectAll();
        return;
    }
    QDialog::accept();
}

} // namespace orv
