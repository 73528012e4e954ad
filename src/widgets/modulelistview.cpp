#include "modulelistview.h"

#include <QDropEvent>
#include <QHeaderView>

namespace orv {

ModuleListView::ModuleListView(QWidget *parent)
    : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
}

int ModuleListView::dropRow(int from, const QPoint &pos) const
{
    const int rows = model() ? model()->rowCount() : 0;
    if (from < 0 || from >= rows)
        return -1;
    const QModelIndex target = indexAt(pos);
    if (!target.isValid())
        return pos.y() < 0 ? 0 : rows - 1; // above or below every row
    // Dropped on the upper half of a row, the entry goes before it; on the
    // lower half, after it.
    const QRect rect = visualRect(target);
    const bool below = pos.y() >= rect.center().y();
    int to = target.row() + (below ? 1 : 0);
    if (from < to)
        --to;
    return to;
}

void ModuleListView::dropEvent(QDropEvent *event)
{
    if (event->source() != this) {
        event->ignore();
        return;
    }
    const QModelIndexList selected = selectionModel()->selectedRows();
    const int from = selected.isEmpty() ? -1 : selected.constFirst().row();
    const int to = dropRow(from, event->position().toPoint());
    // Nothing is removed at the source: the model only moves on request.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (to >= 0 && to != from)
        emit moveRequested(from, to);
}

} // namespace orv
