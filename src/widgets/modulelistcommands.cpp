#include "modulelistcommands.h"

#include "core/modulelistmodel.h"
#include "core/workspace.h"

namespace orv {

using namespace Qt::StringLiterals;

InsertEntryCommand::InsertEntryCommand(ModuleListModel *model, int row, ModuleEntry entry, const QString &text)
    : QUndoCommand(text)
    , m_model(model)
    , m_row(row)
    , m_entry(std::move(entry))
{
}

void InsertEntryCommand::redo()
{
    m_model->insert(m_row, m_entry);
}

void InsertEntryCommand::undo()
{
    m_model->remove(m_row);
}

RemoveEntryCommand::RemoveEntryCommand(ModuleListModel *model, int row)
    : QUndoCommand(u"删除"_s)
    , m_model(model)
    , m_row(row)
    , m_entry(model->entry(row))
{
}

void RemoveEntryCommand::redo()
{
    m_model->remove(m_row);
}

void RemoveEntryCommand::undo()
{
    m_model->insert(m_row, m_entry);
}

MoveEntryCommand::MoveEntryCommand(ModuleListModel *model, int from, int to, const QString &text)
    : QUndoCommand(text)
    , m_model(model)
    , m_from(from)
    , m_to(to)
{
}

void MoveEntryCommand::redo()
{
    m_model->move(m_from, m_to);
}

void MoveEntryCommand::undo()
{
    m_model->move(m_to, m_from);
}

UpdateEntryCommand::UpdateEntryCommand(ModuleListModel *model, int row, ModuleEntry entry)
    : QUndoCommand(u"更新"_s)
    , m_model(model)
    , m_row(row)
    , m_old(model->entry(row))
    , m_new(std::move(entry))
{
}

void UpdateEntryCommand::redo()
{
    m_model->replace(m_row, m_new);
}

void UpdateEntryCommand::undo()
{
    m_model->replace(m_row, m_old);
}

ClearEntriesCommand::ClearEntriesCommand(ModuleListModel *model)
    : QUndoCommand(u"清空"_s)
    , m_model(model)
    , m_entries(model->entries())
{
}

void ClearEntriesCommand::redo()
{
    m_model->clear();
}

void ClearEntriesCommand::undo()
{
    m_model->setEntries(m_entries);
}

ChangeProjectCommand::ChangeProjectCommand(Workspace *workspace, Project before, Project after, QList<int> rows,
                                           const QString &text)
    : QUndoCommand(text)
    , m_workspace(workspace)
    , m_before(std::move(before))
    , m_after(std::move(after))
    , m_rows(std::move(rows))
{
}

void ChangeProjectCommand::redo()
{
    m_workspace->applyChange(m_after, m_rows);
}

void ChangeProjectCommand::undo()
{
    m_workspace->applyChange(m_before, m_rows);
}

} // namespace orv
