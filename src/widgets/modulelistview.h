#pragma once

#include <QTableView>

namespace orv {

// The module list's table: one row selected at a time, reordered by dragging
// a row to another place. A drop changes nothing itself; it asks for the move,
// so that the move can be undone like any other.
class ModuleListView : public QTableView {
    Q_OBJECT

public:
    explicit ModuleListView(QWidget *parent = nullptr);

    // The row a drop at pos (viewport coordinates) moves row from to: the row
    // under it, or the one after it in its lower half; -1 outside any move.
    int dropRow(int from, const QPoint &pos) const;

signals:
    void moveRequested(int from, int to);

protected:
    void dropEvent(QDropEvent *event) override;
};

} // namespace orv
