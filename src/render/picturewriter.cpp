#include "picturewriter.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

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

// A JSON string, quoted and escaped.
QString jsonString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.sliced(1, array.size() - 2));
}

QString fraction(double value)
{
    return QString::number(value, 'f', 2);
}

} // namespace

QByteArray slicesManifest(const ExportResult &result)
{
    QString json = u"{\n  \"format\": \"orvanta-slices\",\n  \"version\": 1,\n"_s;
    json += u"  \"page_width\": %1,\n  \"width\": %2,\n  \"max_height\": %3,\n"_s.arg(result.pageWidth)
                .arg(result.outputWidth)
                .arg(result.maxPictureHeight);
    if (result.manifestOnly)
        json += u"  \"manifest_only\": true,\n"_s;
    json += u"  \"slices\": ["_s;
    for (qsizetype i = 0; i < result.pictures.size(); ++i) {
        const PictureFile &picture = result.pictures.at(i);
        json += i == 0 ? u"\n"_s : u",\n"_s;
        json += u"    {\"file\": %1, \"width\": %2, \"height\": %3, "_s.arg(jsonString(picture.fileName))
                    .arg(picture.size.width())
                    .arg(picture.size.height());
        if (!result.manifestOnly)
            json += u"\"bytes\": %1, "_s.arg(picture.bytes);
        json += u"\"hot_areas\": ["_s;
        for (qsizetype a = 0; a < picture.hotAreas.size(); ++a) {
            const HotArea &area = picture.hotAreas.at(a);
            json += a == 0 ? u"\n"_s : u",\n"_s;
            json += u"      {\"start_x\": %1, \"start_y\": %2, \"end_x\": %3, \"end_y\": %4, \"link\": %5}"_s.arg(
                fraction(area.startX), fraction(area.startY), fraction(area.endX), fraction(area.endY),
                jsonString(area.link));
        }
        json += picture.hotAreas.isEmpty() ? u"]}"_s : u"\n    ]}"_s;
    }
    json += result.pictures.isEmpty() ? u"]\n}\n"_s : u"\n  ]\n}\n"_s;
    return json.toUtf8();
}

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
    m_result.pageWidth = layout.width;
    m_result.outputWidth = checkedOutputWidth(layout.width, m_options.outputWidth);
    m_result.maxPictureHeight = m_options.maxPictureHeight;
    m_result.manifestOnly = m_options.manifestOnly;
    m_result.links = layout.links;
    m_cutter.emplace(layout, m_result.outputWidth, m_options.maxPictureHeight);
    m_cutter->setImagesWanted(!m_options.manifestOnly);
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
        PictureFile file;
        file.size = cut.size;
        file.pageTop = cut.pageTop;
        file.pageBottom = cut.pageBottom;
        file.hotAreas = cut.hotAreas;
        if (!m_options.manifestOnly) {
            const EncodedPicture picture = encodePicture(cut.image, m_options.format);
            m_staging.add(picture.data);
            file.bytes = picture.data.size();
            file.jpegQuality = picture.jpegQuality;
            file.jpegInsteadOfPng = m_options.format == PictureFormat::Png && picture.format == PictureFormat::Jpeg;
        }
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
    QSet<int> kept;
    for (int i = 0; i < count; ++i) {
        PictureFile &picture = m_result.pictures[i];
        const bool png = m_options.format == PictureFormat::Png && !picture.jpegInsteadOfPng;
        picture.fileName = pictureFileName(i, count, png ? PictureFormat::Png : PictureFormat::Jpeg);
        list += u"%1 %2x%3 %4\n"_s.arg(picture.fileName)
                    .arg(picture.size.width())
                    .arg(picture.size.height())
                    .arg(picture.bytes)
                    .toUtf8();
        for (const HotArea &area : std::as_const(picture.hotAreas))
            kept.insert(area.element);
    }
    m_result.lostLinks.clear();
    for (const check::LinkBox &link : std::as_const(m_result.links)) {
        if (!kept.contains(link.element)) {
            kept.insert(link.element); // once
            m_result.lostLinks.append(link);
        }
    }
    m_result.manifest = slicesManifest(m_result);
    if (m_options.manifestOnly)
        return;
    m_staging.add(m_result.manifest);
    m_staging.add(list);
}

QStringList PictureWriter::names() const
{
    QStringList names;
    for (const PictureFile &picture : m_result.pictures)
        names.append(picture.fileName);
    names.append(slicesManifestName);
    names.append(pictureListName); // last: where it stands, the set is whole
    return names;
}

QStringList PictureWriter::unlisted() const
{
    return m_options.manifestOnly ? QStringList() : m_staging.unlisted(names());
}

void PictureWriter::commit(const QStringList &replaceUnlisted)
{
    if (!m_options.manifestOnly)
        m_staging.commit(names(), m_options.overwrite, replaceUnlisted);
}

CutPicture cutRenderedPage(const RenderedPage &page, int outputWidth, int maxHeight)
{
    const PageLayout layout = page.layout();
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
        cut.hotAreas.append(picture.hotAreas);
        return true;
    });
    return cut;
}

bool writePictures(const RenderedPage &page, const QString &folder, const ExportOptions &options, ExportResult &result,
                   const std::function<void(int, int)> &progress, const std::atomic_bool *cancel)
{
    checkFolder(folder, options.overwrite);
    PictureWriter writer(folder, options, progress, cancel);
    writer.startPass(page.layout());
    if (!writer.add(PageStretch{0, page.image}))
        return false;
    writer.finish();
    if (cancel && cancel->load())
        return false;
    writer.commit();
    const QStringList failed = result.failedPictures;
    result = writer.result();
    result.failedPictures = failed;
    return true;
}

} // namespace orv::render
