#include "modulelistpanel.h"

#include "core/modulelistmodel.h"
#include "widgets/ids.h"
#include "widgets/keyboardmenu.h"
#include "widgets/modulelistcommands.h"
#include "widgets/modulelistview.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QUndoStack>
#include <QVBoxLayout>

namespace orv {

using namespace Qt::StringLiterals;

ModuleListPanel::ModuleListPanel(ModuleListModel *model, QUndoStack *undoStack, QWidget *parent)
    : QWidget(parent)
    , m_undoStack(undoStack)
    , m_model(model)
{
    setObjectName(ids::moduleListArea);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *heading = new QLabel(u"版块列表"_s, this);
    m_heading = heading;
    heading->setAlignment(Qt::AlignCenter);
    heading->setFixedHeight(33);
    heading->setContentsMargins(5, 0, 5, 5);
    layout->addWidget(heading);

    m_list = new ModuleListView(this);
    m_list->setObjectName(ids::moduleList);
    m_list->setAccessibleName(u"版块列表"_s);
    m_list->setModel(m_model);
    m_list->setShowGrid(true);
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
    m_menu->setObjectName(ids::moduleListMenu);
    addMenuAction(ids::previewEntry, u"预览"_s, &ModuleListPanel::previewSelected);
    addMenuAction(ids::editEntry, u"编辑"_s, &ModuleListPanel::editSelected);
    addMenuAction(ids::duplicateEntry, u"复制"_s, &ModuleListPanel::duplicateSelected);
    m_menu->addSeparator();
    addMenuAction(ids::moveEntryUp, u"上移"_s, &ModuleListPanel::moveSelectedUp);
    addMenuAction(ids::moveEntryDown, u"下移"_s, &ModuleListPanel::moveSelectedDown);
    m_menu->addSeparator();
    QAction *remove = addMenuAction(ids::removeEntry, u"删除"_s, &ModuleListPanel::removeSelected);
    addMenuAction(ids::clearEntries, u"清空"_s, &ModuleListPanel::clear);
    m_menu->addSeparator();
    connect(m_menu->addAction(u"保存为块…"_s), &QAction::triggered, this,
            [this] { emit saveBlockRequested(selectedRow()); });
    connect(m_menu->addAction(u"插入块…"_s), &QAction::triggered, this, &ModuleListPanel::insertBlockRequested);
    // Delete on the list deletes the selected entry; it can be undone, so it
    // asks nothing.
    remove->setShortcut(QKeySequence::Delete);
    remove->setShortcutContext(Qt::WidgetShortcut);
    m_list->addAction(remove);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_menu->popup(m_list->viewport()->mapToGlobal(pos)); });
    openMenuFromKeyboard(m_list, m_menu);
    connect(m_list, &QAbstractItemView::doubleClicked, this, &ModuleListPanel::editSelected);
    connect(m_list, &ModuleListView::moveRequested, this, [this](int from, int to) { move(from, to, u"拖动"_s); });

    // Three buttons in a row, 84 pixels wide where there is room and narrower
    // on a narrow panel: the row never widens the panel.
    auto *buttons = new QWidget(this);
    m_buttons = buttons;
    buttons->setFixedHeight(48);
    auto *row = new QHBoxLayout(buttons);
    row->setContentsMargins(8, 8, 8, 7);
    row->setSpacing(8);
    const auto button = [&](const QString &text, const QString &name) {
        auto *b = new QPushButton(text, buttons);
        b->setObjectName(name);
        b->setFixedHeight(33);
        b->setMinimumWidth(48);
        b->setMaximumWidth(84);
        row->addWidget(b);
        return b;
    };
    m_summary = button(u"汇总"_s, ids::summarizeButton);
    connect(m_summary, &QPushButton::clicked, this, &ModuleListPanel::summarizeRequested);
    m_extract = button(u"提取代码"_s, ids::extractButton);
    connect(m_extract, &QPushButton::clicked, this, &ModuleListPanel::extractRequested);
    m_check = button(u"检查"_s, ids::checkButton);
    connect(m_check, &QPushButton::clicked, this, &ModuleListPanel::checkRequested);
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

void ModuleListPanel::add(const ModuleEntry &entry)
{
    m_undoStack->push(new InsertEntryCommand(m_model, m_model->count(), entry, u"添加"_s));
}

void ModuleListPanel::update(int row, const ModuleEntry &entry)
{
    m_undoStack->push(new UpdateEntryCommand(m_model, row, entry));
}

void ModuleListPanel::previewSelected()
{
    const int row = selectedRow();
    if (row >= 0)
        emit previewRequested(m_model->previewText(row));
}

void ModuleListPanel::editSelected()
{
    const int row = selectedRow();
    if (row >= 0)
        emit editRequested(m_model->id(row));
}

void ModuleListPanel::duplicateSelected()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    ModuleEntry copy = m_model->entry(row);
    copy.number = m_model->count() + 1;
    m_undoStack->push(new InsertEntryCommand(m_model, row + 1, copy, u"复制"_s));
}

void ModuleListPanel::move(int from, int to, const QString &text)
{
    m_undoStack->push(new MoveEntryCommand(m_model, from, to, text));
}

void ModuleListPanel::moveSelectedUp()
{
    // The names and codes change rows, the selection stays where it is.
    const int row = selectedRow();
    if (row > 0)
        move(row, row - 1, u"上移"_s);
}

void ModuleListPanel::moveSelectedDown()
{
    const int row = selectedRow();
    if (row >= 0 && row + 1 < m_model->count())
        move(row, row + 1, u"下移"_s);
}

void ModuleListPanel::removeSelected()
{
    const int row = selectedRow();
    if (row >= 0)
        m_undoStack->push(new RemoveEntryCommand(m_model, row));
    // Qt selects a neighbour of the removed row; the next delete must not take it.
    m_list->clearSelection();
}

void ModuleListPanel::clear()
{
    if (m_model->count() > 0)
        m_undoStack->push(new ClearEntriesCommand(m_model));
}

void ModuleListPanel::selectRow(int row)
{
    if (row < 0 || row >= m_model->count())
        return;
    m_list->selectRow(row);
    m_list->scrollTo(m_model->index(row, 0));
}

int ModuleListPanel::heightForRows(int rows) const
{
    const int list = m_list->horizontalHeader()->sizeHint().height()
                     + rows * m_list->verticalHeader()->defaultSectionSize() + 2 * m_list->frameWidth();
    return m_heading->height() + list + m_buttons->height();
}

} // namespace orv
