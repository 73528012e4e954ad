#pragma once

#include "core/moduleentry.h"

#include <QWidget>

class QAction;
class QMenu;
class QPushButton;
class QUndoStack;

namespace orv {

class ModuleListModel;
class ModuleListView;
class ModulePage;
class Workspace;

// The module-list area under the module pages: the list of collected
// fragments with its pop-up menu, and the summary and extraction buttons.
// Every change to the list goes through the undo stack.
class ModuleListPanel : public QWidget {
    Q_OBJECT

public:
    ModuleListPanel(Workspace *workspace, QUndoStack *undoStack, QWidget *parent = nullptr);

    ModuleListModel *model() const { return m_model; }
    int selectedRow() const;

    // The add step of every module page: after the page's confirmation, the
    // output buffer's text becomes a new entry named after the current module
    // and the page's own suffix; the buffer's source goes with it.
    void add(const ModulePage &page);
    // Replaces an entry's name, code and source; its number and row stay.
    void update(int row, const ModuleEntry &entry);

    // The pop-up menu's actions on the selected entry; without a selection
    // they do nothing.
    void previewSelected();
    void editSelected();
    void duplicateSelected();
    void moveSelectedUp();
    void moveSelectedDown();
    void removeSelected();
    void clear();

    // "汇总" and "提取代码".
    void summarize();
    void extract();

    // Selects a row and shows it.
    void selectRow(int row);

    // The height that shows this many entries and the buttons under them.
    int heightForRows(int rows) const;

signals:
    // The user asked to edit the entry that holds this content id.
    void editRequested(quint64 id);
    // "检查": the user asked to check the output buffer.
    void checkRequested();

private:
    QAction *addMenuAction(const QString &name, const QString &text, void (ModuleListPanel::*slot)());
    void move(int from, int to, const QString &text);

    Workspace *m_workspace;
    QUndoStack *m_undoStack;
    ModuleListModel *m_model;
    ModuleListView *m_list;
    QMenu *m_menu;
    QWidget *m_heading = nullptr;
    QWidget *m_buttons = nullptr;
    QPushButton *m_summary;
    QPushButton *m_extract;
    QPushButton *m_check;
};

} // namespace orv
