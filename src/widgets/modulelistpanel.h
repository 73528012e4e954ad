#pragma once

#include <QWidget>

class QAction;
class QMenu;
class QPushButton;
class QTableView;

namespace orv {

class ModuleListModel;
class ModulePage;
class Workspace;

// The module-list area under the module pages: the list of collected
// fragments with its pop-up menu, and the summary and extraction buttons.
class ModuleListPanel : public QWidget {
    Q_OBJECT

public:
    explicit ModuleListPanel(Workspace *workspace, QWidget *parent = nullptr);

    ModuleListModel *model() const { return m_model; }

    // The add step of every module page: after the page's confirmation, the
    // output buffer's text becomes a new entry named after the current module
    // and the page's own suffix.
    void add(const ModulePage &page);

    // The pop-up menu's actions on the selected entry; without a selection
    // they do nothing.
    void previewSelected();
    void moveSelectedUp();
    void moveSelectedDown();
    void removeSelected();
    void clear();

    // "汇总" and "提取代码".
    void summarize();
    void extract();

private:
    int selectedRow() const;
    QAction *addMenuAction(const QString &name, const QString &text, void (ModuleListPanel::*slot)());

    Workspace *m_workspace;
    ModuleListModel *m_model;
    QTableView *m_list;
    QMenu *m_menu;
    QPushButton *m_summary;
    QPushButton *m_extract;
};

} // namespace orv
