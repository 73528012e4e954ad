#pragma once

#include "core/moduleentry.h"
#include "core/project.h"

#include <QList>
#include <QUndoCommand>

namespace orv {

class ModuleListModel;
class Workspace;

// The changes to the module list, each undoable. Their texts name the action
// in the 编辑 menu ("撤销 删除").

// Puts an entry at a row: an add (at the end) or a duplicate (below its original).
class InsertEntryCommand : public QUndoCommand {
public:
    InsertEntryCommand(ModuleListModel *model, int row, ModuleEntry entry, const QString &text);
    void redo() override;
    void undo() override;

private:
    ModuleListModel *m_model;
    int m_row;
    ModuleEntry m_entry;
};

class RemoveEntryCommand : public QUndoCommand {
public:
    RemoveEntryCommand(ModuleListModel *model, int row);
    void redo() override;
    void undo() override;

private:
    ModuleListModel *m_model;
    int m_row;
    ModuleEntry m_entry;
};

// Moves an entry's content from one row to another (up, down or a drag); the
// numbers stay on their rows.
class MoveEntryCommand : public QUndoCommand {
public:
    MoveEntryCommand(ModuleListModel *model, int from, int to, const QString &text);
    void redo() override;
    void undo() override;

private:
    ModuleListModel *m_model;
    int m_from;
    int m_to;
};

// Replaces an entry's name, code and source; its number and row stay.
class UpdateEntryCommand : public QUndoCommand {
public:
    UpdateEntryCommand(ModuleListModel *model, int row, ModuleEntry entry);
    void redo() override;
    void undo() override;

private:
    ModuleListModel *m_model;
    int m_row;
    ModuleEntry m_old;
    ModuleEntry m_new;
};

class ClearEntriesCommand : public QUndoCommand {
public:
    explicit ClearEntriesCommand(ModuleListModel *model);
    void redo() override;
    void undo() override;

private:
    ModuleListModel *m_model;
    QList<ModuleEntry> m_entries;
};

// A change of the project as one step (shared values changed, a colour
// replaced or bound, a block's values added): the shared values, the pages'
// fields and the changed rows of the list, from before to after.
class ChangeProjectCommand : public QUndoCommand {
public:
    ChangeProjectCommand(Workspace *workspace, Project before, Project after, QList<int> rows, const QString &text);
    void redo() override;
    void undo() override;

private:
    Workspace *m_workspace;
    Project m_before;
    Project m_after;
    QList<int> m_rows;
};

} // namespace orv
