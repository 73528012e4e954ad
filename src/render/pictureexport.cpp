#include "pictureexport.h"

#include "core/failure.h"

#include <QBuffer>
#include <QDir>
#include <QEventLoop>
#include <QImageWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScopeGuard>

#include <cmath>
#include <thread>
#include <vector>

namespace orv::render {

using namespace Qt::StringLiterals;

namespace {

const QString listName = u"pictures.txt"_s;

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

QStringList existingPictureFiles(const QString &folder)
{
    static const QRegularExpression picture(u"^[0-9]{2,}\\.(jpg|png)$"_s);
    QStringList found;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &name : names) {
        if (name == listName || picture.match(name).hasMatch())
            found.append(name);
    }
    return found;
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

CutPicture cutRenderedPage(const RenderedPage &page, int outputWidth)
{
    const int pageWidth = page.image.width();
    const int width = checkedOutputWidth(pageWidth, outputWidth);
    CutPicture cut;
    QList<EntrySpan> spans = page.entries;
    if (width == pageWidth || page.image.isNull()) {
        cut.image = page.image;
    } else {
        const int height = std::max(1, int(std::lround(double(page.image.height()) * width / pageWidth)));
        cut.image = page.image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (cut.image.isNull())
            throw Failure(u"Not enough memory for a page of %1 x %2 pixels"_s.arg(width).arg(height));
        spans = scaledSpans(spans, double(height) / page.image.height(), height);
    }
    cut.cuts = cutPage(cut.image.height(), spans, maxPictureHeight,
                       [&image = cut.image](int row) { return isUniformRow(image, row); });
    return cut;
}

bool writePictures(const CutPicture &cut, const QString &folder, const ExportOptions &options, ExportResult &result,
                   const std::function<void(int, int)> &progress, const std::atomic_bool *cancel)
{
    const auto cancelled = [cancel] { return cancel && cancel->load(); };
    QDir dir(folder);
    const bool madeFolder = !dir.exists();
    if (madeFolder && !QDir().mkpath(folder))
        throw Failure::cannotCreateFile(folder, u"the folder cannot be made"_s);
    bool done = false;
    // A folder made for an export that did not finish goes again (when empty).
    const auto removeFolder = qScopeGuard([&] {
        if (madeFolder && !done)
            QDir().rmdir(dir.absolutePath());
    });

    const auto refuseExisting = [&] {
        const QStringList existing = existingPictureFiles(folder);
        if (!options.overwrite && !existing.isEmpty()) {
            throw Failure(u"The folder %1 already holds %2; choose another folder or allow replacing them"_s.arg(
                QDir::toNativeSeparators(dir.absolutePath()), existing.join(u", "_s)));
        }
        return existing;
    };
    const QStringList existing = refuseExisting();

    result.folder = dir.absolutePath();
    result.pictures.clear();
    const int count = int(cut.cuts.size()) - 1;
    const int width = cut.image.width();
    std::vector<std::unique_ptr<QSaveFile>> files; // discarded unless committed
    const auto writeFile = [&](const QString &name, const QByteArray &data) {
        auto file = std::make_unique<QSaveFile>(dir.filePath(name));
        if (!file->open(QIODevice::WriteOnly) || file->write(data) != data.size())
            throw Failure::cannotCreateFile(file->fileName(), file->errorString());
        files.push_back(std::move(file));
    };
    QByteArray list;
    for (int i = 0; i < count; ++i) {
        if (cancelled())
            return false;
        const int top = cut.cuts.at(i);
        const int height = cut.cuts.at(i + 1) - top;
        const EncodedPicture picture = encodePicture(cut.image.copy(0, top, width, height), options.format);
        PictureFile entry;
        entry.fileName = pictureFileName(i, count, picture.format);
        entry.size = QSize(width, height);
        entry.bytes = picture.data.size();
        entry.jpegQuality = picture.jpegQuality;
        entry.jpegInsteadOfPng = options.format == PictureFormat::Png && picture.format == PictureFormat::Jpeg;
        writeFile(entry.fileName, picture.data);
        list += u"%1 %2x%3 %4\n"_s.arg(entry.fileName).arg(width).arg(height).arg(entry.bytes).toUtf8();
        result.pictures.append(entry);
        if (progress)
            progress(i + 1, count);
    }
    writeFile(listName, list);
    if (cancelled())
        return false;

    // Everything is written: put it in place at once.
    refuseExisting();
    QStringList placed;
    for (const auto &file : files) {
        if (!file->commit()) {
            for (const QString &path : std::as_const(placed)) {
                if (!existing.contains(QFileInfo(path).fileName()))
                    QFile::remove(path);
            }
            throw Failure::cannotCreateFile(file->fileName(), file->errorString());
        }
        placed.append(file->fileName());
    }
    // Pictures of an earlier, longer set would mix with this one.
    for (const QString &name : existing) {
        if (!placed.contains(dir.filePath(name)))
            QFile::remove(dir.filePath(name));
    }
    done = true;
    return true;
}

QString failedPicturesMessage(const QStringList &addresses)
{
    return u"%1 picture(s) of the page did not load:\n"_s.arg(addresses.size()) + addresses.join(u'\n');
}

class PictureExport::Work {
public:
    explicit Work(quint64 id)
        : id(id)
    {
    }
    ~Work() { stop(); }

    void stop()
    {
        cancel = true;
        if (thread.joinable())
            thread.join();
    }

    const quint64 id; // reports of an earlier work are dropped
    std::atomic_bool cancel{false};
    std::thread thread;
    // Set by the thread when every file is in place; read after stop().
    bool completed = false;
    ExportResult result;
};

PictureExport::PictureExport(QObject *parent)
    : QObject(parent)
{
    connect(&m_renderer, &PageRenderer::finished, this, &PictureExport::onRendered);
    connect(&m_renderer, &PageRenderer::failed, this, &PictureExport::failed);
}

PictureExport::~PictureExport() = default;

void PictureExport::start(const PageSource &source, const QString &folder, const ExportOptions &options,
                          const RenderOptions &renderOptions)
{
    cancel();
    m_folder = folder;
    m_options = options;
    try {
        checkedOutputWidth(source.pageWidth, options.outputWidth);
    } catch (const Failure &failure) {
        const QString message = failure.message();
        QMetaObject::invokeMethod(
            this, [this, message] { emit failed(message); }, Qt::QueuedConnection);
        return;
    }
    m_renderer.start(source, renderOptions);
}

void PictureExport::onRendered(const RenderedPage &page)
{
    if (page.failedPictures.isEmpty() || m_options.failedPictures == FailedPictures::KeepGoing)
        return startWriting(page);
    if (m_options.failedPictures == FailedPictures::Stop)
        return emit failed(failedPicturesMessage(page.failedPictures));
    m_pending = page;
    emit picturesFailed(page.failedPictures);
}

void PictureExport::proceed()
{
    if (m_pending.image.isNull())
        return;
    const RenderedPage page = std::move(m_pending);
    m_pending = {};
    startWriting(page);
}

void PictureExport::startWriting(const RenderedPage &page)
{
    auto work = std::make_shared<Work>(++m_workCount);
    m_work = work;
    const QString folder = m_folder;
    const ExportOptions options = m_options;
    work->thread = std::thread([this, work = work.get(), page, folder, options] {
        // Queued to this object's thread, and dropped there when the work was
        // cancelled or replaced in the meantime.
        const auto post = [this, id = work->id](auto function) {
            QMetaObject::invokeMethod(
                this,
                [this, id, function] {
                    if (m_work && m_work->id == id)
                        function();
                },
                Qt::QueuedConnection);
        };
        try {
            const CutPicture cut = cutRenderedPage(page, options.outputWidth);
            ExportResult result;
            result.failedPictures = page.failedPictures;
            const auto report = [&](int done, int total) { post([this, done, total] { emit progress(done, total); }); };
            if (writePictures(cut, folder, options, result, report, &work->cancel)) {
                work->result = result;
                work->completed = true;
                post([this, result] {
                    m_work.reset();
                    emit finished(result);
                });
            }
        } catch (const Failure &failure) {
            const QString message = failure.message();
            post([this, message] {
                m_work.reset();
                emit failed(message);
            });
        }
    });
}

void PictureExport::cancel()
{
    const bool running = isRunning();
    m_renderer.cancel();
    m_pending = {};
    // Waits for the worker, which discards what it wrote unless it was already
    // putting the files in place: then the export did finish, and says so.
    if (const std::shared_ptr<Work> work = std::exchange(m_work, nullptr)) {
        work->stop();
        if (work->completed)
            return emit finished(work->result);
    }
    if (running)
        emit cancelled();
}

bool PictureExport::isRunning() const
{
    return m_renderer.isRunning() || m_work != nullptr || !m_pending.image.isNull();
}

ExportResult exportPictures(const PageSource &source, const QString &folder, const ExportOptions &options,
                            const RenderOptions &renderOptions, const std::function<void(int, int)> &progress)
{
    ExportOptions blocking = options;
    if (blocking.failedPictures == FailedPictures::Ask)
        blocking.failedPictures = FailedPictures::Stop;
    PictureExport job;
    QEventLoop loop;
    ExportResult result;
    QString error;
    QObject::connect(&job, &PictureExport::progress, &loop, [&](int done, int total) {
        if (progress)
            progress(done, total);
    });
    QObject::connect(&job, &PictureExport::finished, &loop, [&](const ExportResult &finished) {
        result = finished;
        loop.quit();
    });
    QObject::connect(&job, &PictureExport::failed, &loop, [&](const QString &message) {
        error = message;
        loop.quit();
    });
    job.start(source, folder, blocking, renderOptions);
    loop.exec();
    if (!error.isEmpty())
        throw Failure(error);
    return result;
}

} // namespace orv::render
