#include "picturecutter.h"

#include "core/failure.h"

#include <cstring>

namespace orv::render {

using namespace Qt::StringLiterals;

namespace {

QList<EntrySpan> linkRowsOf(const QList<check::LinkBox> &links)
{
    QList<EntrySpan> rows;
    rows.reserve(links.size());
    for (const check::LinkBox &link : links)
        rows.append(linkRows(link));
    return rows;
}

} // namespace

PictureCutter::PictureCutter(const PageLayout &layout, int pictureWidth, int maxHeight)
    : m_cutter(layout.height, layout.entries, maxHeight, RowScale::forWidths(layout.height, layout.width, pictureWidth),
               linkRowsOf(layout.links))
    , m_links(layout.links)
    , m_pageWidth(layout.width)
    , m_pictureWidth(pictureWidth)
{
}

void PictureCutter::add(const PageStretch &stretch, const std::function<bool(const PagePicture &)> &take)
{
    if (stretch.top != m_received || stretch.image.width() != m_pageWidth)
        throw Failure(u"Rows %1 of the page came out of turn"_s.arg(stretch.top));
    m_stretches.append(stretch);
    m_received += stretch.image.height();
    while (!done() && m_received >= m_cutter.rowsNeeded(m_start)) {
        const int end = m_cutter.next(m_start, [this](int row) { return isBackgroundRow(row); });
        const PagePicture picture = cut(end);
        m_start = end;
        while (!m_stretches.isEmpty() && m_stretches.first().top + m_stretches.first().image.height() <= m_start)
            m_stretches.removeFirst();
        if (!take(picture))
            return;
    }
}

PagePicture PictureCutter::cut(int end) const
{
    const RowScale &scale = m_cutter.scale();
    PagePicture picture;
    picture.pageTop = m_start;
    picture.pageBottom = end;
    picture.top = scale.at(m_start);
    picture.size = QSize(m_pictureWidth, m_pictureWidth == m_pageWidth ? end - m_start : scale.at(end) - picture.top);
    picture.hotAreas = hotAreasOf(m_links, m_pageWidth, m_start, end, picture.size);
    if (!m_imagesWanted)
        return picture;
    QImage rows(m_pageWidth, end - m_start, QImage::Format_RGB32);
    if (rows.isNull())
        throw Failure(u"Not enough memory for a picture of %1 x %2 pixels"_s.arg(m_pageWidth).arg(end - m_start));
    const qsizetype lineBytes = qsizetype(m_pageWidth) * 4;
    for (const PageStretch &stretch : m_stretches) {
        const int from = std::max(m_start, stretch.top);
        const int to = std::min(end, stretch.top + stretch.image.height());
        for (int row = from; row < to; ++row)
            std::memcpy(rows.scanLine(row - m_start), stretch.image.constScanLine(row - stretch.top), lineBytes);
    }
    if (m_pictureWidth == m_pageWidth) {
        picture.image = rows;
        return picture;
    }
    picture.image = rows.scaled(picture.size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (picture.image.isNull()) {
        throw Failure(
            u"Not enough memory for a picture of %1 x %2 pixels"_s.arg(m_pictureWidth).arg(picture.size.height()));
    }
    return picture;
}

bool PictureCutter::isBackgroundRow(int row) const
{
    for (const PageStretch &stretch : m_stretches) {
        if (row >= stretch.top && row < stretch.top + stretch.image.height())
            return isUniformRow(stretch.image, row - stretch.top);
    }
    return false;
}

} // namespace orv::render
