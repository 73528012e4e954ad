#include "modulelistpanel.h"

#include "core/modulelistmodel.h"
#include "core/outputbuffer.h"
#include "widgets/dialogs.h"
#include "widgets/keyboardmenu.h"
#include "widgets/modulepage.h"
#include "widgets/workspace.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace orv {

using namespace Qt::StringLiterals;

ModuleListPanel::ModuleListPanel(Workspace *workspace, QWidget *parent)
    : QWidget(parent)
    , m_workspace(workspace)
    , m_model(new ModuleListModel(this))
{
    setObjectName(u"pnl9"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *heading = new QLabel(u"版块列表"_s, this);
    heading->setAlignment(Qt::AlignCenter);
    heading->setFixedHeight(33);
    heading->setContentsMargins(5, 0, 5, 5);
    layout->addWidget(heading);

    m_list = new QTableView(this);
    m_list->setObjectName(u"lv1"_s);
    m_list->setAccessibleName(u"版块列表"_s);
    m_list->setModel(m_model);
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(24);
    m_list->setColumnWidth(ModuleListModel::NumberColumn, 40);
    m_list->setColumnWidth(ModuleListModel::NameColumn, 160);
    m_list->setColumnWidth(ModuleListModel::CodeColumn, 40);
    auto *listRow = new QHBoxLayout;
    listRow->setContentsMargins(5, 0, 5, 0);
    listRow->addWidget(m_list);
    layout->addLayout(listRow, 1);

    m_menu = new QMenu(this);
    m_menu->setObjectName(u"pm1"_s);
    addMenuAction(u"N11"_s, u"预览"_s, &ModuleListPanel::previewSelected);
    m_menu->addSeparator();
    addMenuAction(u"N2"_s, u"上移"_s, &ModuleListPanel::moveSelectedUp);
    addMenuAction(u"N3"_s, u"下移"_s, &ModuleListPanel::moveSelectedDown);
    m_menu->addSeparator();
    addMenuAction(u"N1"_s, u"删除"_s, &ModuleListPanel::removeSelected);
    addMenuAction(u"N9"_s, u"清空"_s, &ModuleListPanel::clear);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_menu->popup(m_list->viewport()->mapToGlobal(pos)); });
    openMenuFromKeyboard(m_list, m_menu);

    auto *buttons = new QWidget(this);
    buttons->setFixedHeight(48);
    m_summary = new QPushButton(u"汇总"_s, buttons);
    m_summary->setObjectName(u"btn2"_s);
    m_summary->setGeometry(43, 8, 90, 33);
    connect(m_summary, &QPushButton::clicked, this, &ModuleListPanel::summarize);
    m_extract = new QPushButton(u"提取代码"_s, buttons);
    m_extract->setObjectName(u"btntiqu"_s);
    m_extract->setGeometry(151, 8, 90, 33);
    connect(m_extract, &QPushButton::clicked, this, &ModuleListPanel::extract);
    layout->addWidget(buttons);
}

QAction *ModuleListPanel::addMenuAction(const QString &name, const QString &text, void (ModuleListPanel::*slot)())
{
    QAction *action = m_menu->addAction(text);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, slot);
    return action;
}

int ModuleListPanel::selectedRow() const
{
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

void ModuleListPanel::add(const ModulePage &page)
{
    const PageSpec &spec = page.pageSpec();
    if (!dialogs::confirm(window(), spec.addConfirmation))
        return;
    const QString suffix = spec.entrySuffix ? spec.entrySuffix(PageState{page.values(), {}}) : QString();
    m_model->append(u"[ "_s + m_workspace->moduleName() + u" ] "_s + suffix, m_workspace->buffer().text());
}

void ModuleListPanel::previewSelected()
{
    const int row = selectedRow();
    if (row >= 0)
        m_workspace->preview(m_model->previewText(row));
}

void ModuleListPanel::moveSelectedUp()
{
    // The names and codes change rows, the selection stays where it is.
    m_model->moveUp(selectedRow());
}

void ModuleListPanel::moveSelectedDown()
{
    m_model->moveDown(selectedRow());
}

void ModuleListPanel::removeSelected()
{
    m_model->remove(selectedRow());
    // Qt selects a neighbour of the removed row; the next delete must not take it.
    m_list->clearSelection();
}

void ModuleListPanel::clear()
{
    m_model->clear();
}

void ModuleListPanel::summarize()
{
    OutputBuffer &buffer = m_workspace->buffer();
    writeSummary(*m_model, buffer);
    dialogs::inform(window(), u"所有代码已经提交完毕，可以通过右侧预览区查看总体样式！"_s);
    m_workspace->preview(buffer.text());
}

void ModuleListPanel::extract()
{
    const OutputBuffer &buffer = m_workspace->buffer();
    if (!buffer.isEmpty())
        QGuiApplication::clipboard()->setText(buffer.text());
    dialogs::inform(window(), u"代码提取完毕！"_s);
}

} // namespace orv
