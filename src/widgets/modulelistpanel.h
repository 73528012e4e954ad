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

// The module-list area under the module pages: the list of collected
// fragments with its pop-up menu, and the 汇总, 提取代码 and 检查 buttons,
// which the window answers. Every change to the list goes through the undo
// stack.
class ModuleListPanel : public QWidget {
    Q_OBJECT

public:
    ModuleListPanel(ModuleListModel *model, QUndoStack *undoStack, QWidget *parent = nullptr);

    ModuleListModel *model() const { return m_model; }
    int selectedRow() const;

    // Adds an entry at the end (添加).
    void add(const ModuleEntry &entry);
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

    // Selects a row and shows it.
    void selectRow(int row);

    // The height that shows this many entries and the buttons under them.
    int heightForRows(int rows) const;

signals:
    // The user asked to edit the entry that holds this content id.
    void editRequested(quint64 id);
    // 预览 of an entry: the text to show.
    void previewRequested(const QString &text);
    void summarizeRequested();
    void extractRequested();
    // 检查: the user asked to check the output buffer.
    void checkRequested();
    // 保存为块… (the selected row, or -1) and 插入块….
    void saveBlockRequested(int row);
    void insertBlockRequested();

private:
    QAction *addMenuAction(const QString &name, const QString &text, void (ModuleListPanel::*slot)());
    void move(int from, int to, const QString &text);

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
