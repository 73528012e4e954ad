#include "scrollcolumn.h"

#include <QScrollBar>

namespace orv {

ScrollColumn::ScrollColumn(QWidget *content, QWidget *parent)
    : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidget(content);
    // The scroll bar coming or going changes the width the column needs.
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] { updateGeometry(); });
}

int ScrollColumn::contentMinimumWidth() const
{
    const QWidget *content = widget();
    return content ? qMax(content->minimumSizeHint().width(), content->minimumWidth()) : 0;
}

int ScrollColumn::scrollBarWidth() const
{
    const QScrollBar *bar = verticalScrollBar();
    return bar->maximum() > bar->minimum() ? bar->sizeHint().width() : 0;
}

QSize ScrollColumn::sizeHint() const
{
    const QWidget *content = widget();
    const QSize wanted = content ? content->sizeHint() : QSize();
    return {qMax(wanted.width(), contentMinimumWidth()) + scrollBarWidth(), qMax(wanted.height(), 0)};
}

QSize ScrollColumn::minimumSizeHint() const
{
    // Any height: the column scrolls.
    return {contentMinimumWidth() + scrollBarWidth(), 0};
}

} // namespace orv
