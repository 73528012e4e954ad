#include "picturewriter.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>

#include <cstring>

namespace orv::render {

using namespace Qt::StringLiterals;

namespace {

QByteArray encoded(const QImage &image, const char *format, int quality)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (qstrcmp(format, "jpeg") == 0)
        writer.setOptimizedWrite(true);
    if (!writer.write(image))
        throw Failure(u"A picture could not be encoded: "_s + writer.errorString());
    return data;
}

QString sizeText(qint64 bytes)
{
    return QString::number(double(bytes) / (1024 * 1024), 'f', 1) + u" MiB"_s;
}

} // namespace

int checkedOutputWidth(int pageWidth, int outputWidth)
{
    const int width = outputWidth == 0 ? pageWidth : outputWidth;
    if (width < minOutputWidth || width > maxOutputWidth) {
        throw Failure(
            u"The picture width %1 lies outside %2 to %3 pixels"_s.arg(width).arg(minOutputWidth).arg(maxOutputWidth));
    }
    return width;
}

QString pictureFileName(int index, int count, PictureFormat format)
{
    const int digits = std::max(2, int(QString::number(count).size()));
    return u"%1.%2"_s.arg(index + 1, digits, 10, QChar(u'0')).arg(format == PictureFormat::Png ? u"png"_s : u"jpg"_s);
}

EncodedPicture encodePicture(const QImage &image, PictureFormat format)
{
    if (format == PictureFormat::Png) {
        QByteArray png = encoded(image, "png", -1);
        if (png.size() <= maxPictureBytes)
            return {png, PictureFormat::Png, -1};
    }
    qint64 smallest = 0;
    for (int quality = 90; quality >= 30; quality -= 5) {
        QByteArray jpeg = encoded(image, "jpeg", quality);
        if (jpeg.size() <= maxPictureBytes)
            return {jpeg, PictureFormat::Jpeg, quality};
        smallest = jpeg.size();
    }
    throw Failure(u"A picture of %1 x %2 pixels takes %3 even as JPEG at quality 30, more than the 3 MiB allowed"_s
                      .arg(image.width())
                      .arg(image.height())
                      .arg(sizeText(smallest)));
}

PictureWriter::PictureWriter(const QString &folder, const ExportOptions &options,
                             std::function<void(int, int)> progress, const std::atomic_bool *cancel, FileMover move)
    : m_folder(folder)
    , m_options(options)
    , m_progress(std::move(progress))
    , m_cancel(cancel)
    , m_staging(folder, std::move(move))
{
    m_result.folder = QDir(folder).absolutePath();
}

void PictureWriter::startPass(const PageLayout &layout)
{
    m_staging.discard();
    m_result.pictures.clear();
    m_outputWidth = checkedOutputWidth(layout.width, m_options.outputWidth);
    m_cutter.emplace(layout, m_outputWidth, m_options.maxPictureHeight);
}

bool PictureWriter::add(const PageStretch &stretch)
{
    Q_ASSERT(m_cutter);
    bool cancelled = false;
    m_cutter->add(stretch, [&](const PagePicture &cut) {
        if (m_cancel && m_cancel->load()) {
            cancelled = true;
            return false;
        }
        const EncodedPicture picture = encodePicture(cut.image, m_options.format);
        m_staging.add(picture.data);
        PictureFile file;
        file.size = cut.image.size();
        file.bytes = picture.data.size();
        file.jpegQuality = picture.jpegQuality;
        file.jpegInsteadOfPng = m_options.format == PictureFormat::Png && picture.format == PictureFormat::Jpeg;
        file.pageTop = cut.pageTop;
        file.pageBottom = cut.pageBottom;
        m_result.pictures.append(file);
        if (m_progress) {
            const int done = int(m_result.pictures.size());
            m_progress(done, done + m_cutter->picturesLeft());
        }
        return true;
    });
    return !cancelled && !(m_cancel && m_cancel->load());
}

void PictureWriter::finish()
{
    Q_ASSERT(m_cutter && m_cutter->done());
    const int count = int(m_result.pictures.size());
    QByteArray list;
    for (int i = 0; i < count; ++i) {
        PictureFile &picture = m_result.pictures[i];
        const bool png = m_options.format == PictureFormat::Png && !picture.jpegInsteadOfPng;
        picture.fileName = pictureFileName(i, count, png ? PictureFormat::Png : PictureFormat::Jpeg);
        list += u"%1 %2x%3 %4\n"_s.arg(picture.fileName)
                    .arg(picture.size.width())
                    .arg(picture.size.height())
                    .arg(picture.bytes)
                    .toUtf8();
    }
    m_staging.add(list);
}

QStringList PictureWriter::names() const
{
    QStringList names;
    for (const PictureFile &picture : m_result.pictures)
        names.append(picture.fileName);
    names.append(pictureListName);
    return names;
}

QStringList PictureWriter::unlisted() const
{
    return m_staging.unlisted(names());
}

void PictureWriter::commit(const QStringList &replaceUnlisted)
{
    m_staging.commit(names(), m_options.overwrite, replaceUnlisted);
}

CutPicture cutRenderedPage(const RenderedPage &page, int outputWidth, int maxHeight)
{
    const PageLayout layout{page.image.width(), page.image.height(), page.entries};
    const int width = checkedOutputWidth(layout.width, outputWidth);
    const RowScale scale = RowScale::forWidths(layout.height, layout.width, width);
    CutPicture cut;
    cut.image = QImage(width, scale.at(layout.height), QImage::Format_RGB32);
    cut.cuts = {0};
    cut.pageCuts = {0};
    PictureCutter cutter(layout, width, maxHeight);
    cutter.add(PageStretch{0, page.image}, [&](const PagePicture &picture) {
        const QImage rows = picture.image.convertToFormat(QImage::Format_RGB32);
        for (int row = 0; row < rows.height(); ++row)
            std::memcpy(cut.image.scanLine(picture.top + row), rows.constScanLine(row), rows.bytesPerLine());
        cut.cuts.append(picture.top + rows.height());
        cut.pageCuts.append(picture.pageBottom);
        return true;
    });
    return cut;
}

bool writePictures(const RenderedPage &page, const QString &folder, const ExportOptions &options, ExportResult &result,
                   const std::function<void(int, int)> &progress, const std::atomic_bool *cancel)
{
    checkFolder(folder, options.overwrite);
    PictureWriter writer(folder, options, progress, cancel);
    writer.startPass(PageLayout{page.image.width(), page.image.height(), page.entries});
    if (!writer.add(PageStretch{0, page.image}))
        return false;
    writer.finish();
    if (cancel && cancel->load())
        return false;
    writer.commit();
    result.folder = writer.result().folder;
    result.pictures = writer.result().pictures;
    return true;
}

} // namespace orv::render
