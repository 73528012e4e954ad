#include "thumbnail.h"

#include "core/failure.h"
#include "core/placeholders.h"
#include "pagerenderer.h"

#include <QBuffer>
#include <QImageWriter>

namespace orv::render {

using namespace Qt::StringLiterals;

QByteArray thumbnailPng(const QStringList &codes, int pageWidth, const ThumbnailOptions &options)
{
    PageSource source;
    source.pageWidth = pageWidth;
    for (const QString &code : codes)
        source.entries.append(withDrawnPlaceholders(code));
    RenderOptions renderOptions;
    renderOptions.pictureTimeoutMs = options.pictureTimeoutMs;
    // An empty list draws an empty page of the width.
    if (source.entries.isEmpty())
        source.html = u" "_s;
    const RenderedPage page = renderPage(source, renderOptions);
    if (page.image.isNull() || page.image.width() < 1 || page.image.height() < 1)
        throw Failure(u"The page drew no picture"_s);
    const int height = std::max(1, int(qint64(page.image.height()) * options.width / page.image.width()));
    const QImage scaled = page.image.scaled(options.width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage top = scaled.copy(0, 0, scaled.width(), std::min(scaled.height(), options.maxHeight));

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(top.convertToFormat(QImage::Format_RGB888)))
        throw Failure(u"Cannot make a preview picture: %1"_s.arg(writer.errorString()));
    return png;
}

} // namespace orv::render
