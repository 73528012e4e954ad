#pragma once

#include <QWidget>

class QPushButton;
class QStandardItemModel;
class QTableView;

namespace orv {

class MainWindow;

// The module-list area under the module pages: the list of collected
// fragments and the summary and extraction buttons.
class ModuleListPanel : public QWidget {
    Q_OBJECT

public:
    ModuleListPanel(MainWindow *window, QWidget *parent = nullptr);

private:
    MainWindow *m_window;
    QStandardItemModel *m_model;
    QTableView *m_list;
    QPushButton *m_summary;
    QPushButton *m_extract;
};

} // namespace orv
