#pragma once

#include <QScrollArea>

namespace orv {

// A column that scrolls up and down when its window is too short for it, so
// that nothing in it is cut off on a small screen. It is as wide as its
// content needs, plus the scroll bar while that shows; it takes no focus
// itself, and a field reached with Tab scrolls into view.
class ScrollColumn : public QScrollArea {
    Q_OBJECT

public:
    explicit ScrollColumn(QWidget *content, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    int contentMinimumWidth() const;
    int scrollBarWidth() const;
};

} // namespace orv
