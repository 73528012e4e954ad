#include "previewgrid.h"

#include <QListWidget>
#include <QPainter>
#include <QPixmap>

namespace orv {

namespace {

const QSize iconSize(120, 180);

} // namespace

void makePreviewGrid(QListWidget *list)
{
    list->setViewMode(QListView::IconMode);
    list->setIconSize(iconSize);
    // Room for two lines of a name below each picture.
    const int textHeight = 2 * list->fontMetrics().lineSpacing() + 8;
    list->setGridSize(QSize(iconSize.width() + 28, iconSize.height() + textHeight + 8));
    list->setWordWrap(true);
    list->setTextElideMode(Qt::ElideRight);
    list->setMovement(QListView::Static);
    list->setResizeMode(QListView::Adjust);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setMinimumSize(3 * list->gridSize().width() + 24, list->gridSize().height() + 16);
}

QIcon previewIcon(const QByteArray &png, const QString &note)
{
    QPixmap picture;
    if (!png.isEmpty() && picture.loadFromData(png, "PNG"))
        return QIcon(picture);
    QPixmap card(iconSize);
    card.fill(QColor(0xee, 0xee, 0xee));
    QPainter painter(&card);
    painter.setPen(QColor(0xbb, 0xbb, 0xbb));
    painter.drawRect(0, 0, card.width() - 1, card.height() - 1);
    painter.setPen(QColor(0x77, 0x77, 0x77));
    painter.drawText(card.rect().adjusted(6, 6, -6, -6), Qt::AlignCenter | Qt::TextWordWrap, note);
    return QIcon(card);
}

} // namespace orv
