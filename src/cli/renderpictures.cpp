#include "renderpictures.h"

#include "cli/arguments.h"
#include "core/check/linkcheck.h"
#include "core/failure.h"
#include "render/pictureexport.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <cmath>
#include <cstring>

namespace orv::cli {

using namespace Qt::StringLiterals;

namespace {

QtMessageHandler qtHandler = nullptr;

// The engine and Qt Quick report on standard error what is no fault of the
// page (no GPU, no sandbox as root, no runtime folder, the page's script
// console); render's own messages say what went wrong. Critical messages
// pass, and all of them with ORVANTA_RENDER_LOG=1.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        qtHandler(type, context, message);
}

// The page as build writes it (every entry's code followed by CR LF), each
// entry a segment, for the lines and entries the link warnings name.
QString pageOf(const RenderJob &job, QList<check::CheckSegment> &segments)
{
    QString page;
    for (qsizetype i = 0; i < job.entries.size(); ++i) {
        const QString &code = job.entries.at(i);
        segments.append({page.size(), page.size() + code.size(), int(i) + 1, job.entryNames.value(i), job.pageWidth});
        page += code + u"\r\n"_s;
    }
    return page;
}

// The links the phone would lose: the page check's findings on the measured
// boxes ("warning: LINE:COLUMN mobile-link MESSAGE", as check writes them,
// lines of the page build writes), then the links no picture kept although
// the page shows them 10 pixels high or more (cut into slivers).
QString linkWarnings(const RenderJob &job, const render::ExportResult &exported)
{
    QList<check::CheckSegment> segments;
    const QString page = pageOf(job, segments);
    QString warnings;
    for (const check::Finding &f : check::checkLinkBoxes(page, segments, exported.links)) {
        QString where = u"%1:%2"_s.arg(f.line).arg(f.column);
        if (f.entry > 0)
            where += u" (entry %1 %2)"_s.arg(f.entry).arg(f.entryName.trimmed());
        warnings += u"warning: %1 %2 %3\n"_s.arg(where, f.rule, f.message);
    }
    for (const check::LinkBox &link : exported.lostLinks) {
        if (link.box.height() >= check::minHotAreaHeight) {
            warnings += u"warning: the link %1 (page rows %2 to %3) gets no hot area: the picture edges cut it into "
                        "pieces under 10 pixels high\n"_s.arg(link.link)
                            .arg(int(link.box.top()))
                            .arg(int(std::ceil(link.box.bottom())));
        }
    }
    return warnings;
}

} // namespace

std::unique_ptr<QCoreApplication> makeApplication(int &argc, char **argv)
{
    // render, and merge with --render.
    bool pictures = argc > 1 && std::strcmp(argv[1], "render") == 0;
    for (int i = 2; i < argc && !pictures && std::strcmp(argv[1], "merge") == 0; ++i)
        pictures = std::strcmp(argv[i], "--render") == 0;
    if (pictures) {
        if (!qEnvironmentVariableIsSet("ORVANTA_RENDER_LOG"))
            qtHandler = qInstallMessageHandler(quietHandler);
        render::prepareRenderProcess(true);
        return std::make_unique<QGuiApplication>(argc, argv);
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

Result renderPictures(const RenderJob &job)
{
    using namespace orv::render;
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return {GeneratorFailed, {}, "render needs the application made by makeApplication\n"};
    const QString folder = QDir::toNativeSeparators(job.folder);
    const QFileInfo info(job.folder);
    if (!job.manifestOnly && info.exists() && !info.isDir())
        return {UsageError, {}, u"--out %1 is a file, not a folder\n"_s.arg(quoted(folder)).toUtf8()};

    ExportOptions options;
    options.outputWidth = job.outputWidth;
    options.format = job.png ? PictureFormat::Png : PictureFormat::Jpeg;
    options.overwrite = job.overwrite;
    options.failedPictures = job.keepGoing ? FailedPictures::KeepGoing : FailedPictures::Stop;
    options.maxPictureHeight = job.maxPictureHeight;
    options.manifestOnly = job.manifestOnly;
    RenderOptions renderOptions;
    renderOptions.pictureTimeoutMs = job.pictureTimeoutMs;

    Result result;
    QString warnings;
    try {
        const ExportResult exported
            = exportPictures(PageSource{job.entries, {}, job.pageWidth}, job.folder, options, renderOptions);
        if (!exported.failedPictures.isEmpty())
            warnings += u"warning: "_s + failedPicturesMessage(exported.failedPictures) + u'\n';
        warnings += linkWarnings(job, exported);
        if (job.manifestOnly)
            result.out = exported.manifest;
        for (const PictureFile &picture : std::as_const(exported.pictures)) {
            if (job.manifestOnly)
                break;
            result.out += u"%1 %2x%3 %4\n"_s.arg(picture.fileName)
                              .arg(picture.size.width())
                              .arg(picture.size.height())
                              .arg(picture.bytes)
                              .toUtf8();
            if (picture.jpegInsteadOfPng)
                warnings += u"warning: %1 exceeded 3 MiB as PNG and was written as JPEG\n"_s.arg(picture.fileName);
        }
    } catch (const FolderInUse &inUse) {
        if (inUse.earlierSet()) {
            return {UsageError,
                    {},
                    u"the folder %1 already holds the pictures of an earlier export (%2); use --overwrite to replace "
                    "them, or another folder\n"_s.arg(quoted(folder), inUse.files().join(u", "_s))
                        .toUtf8()};
        }
        return {UsageError, {}, (inUse.message() + u"; nothing was written\n"_s).toUtf8()};
    } catch (const PicturesFailed &failure) {
        return {GeneratorFailed,
                {},
                (failure.message() + u"\nNothing was written; --keep-going writes the pictures without them.\n"_s)
                    .toUtf8()};
    } catch (const Failure &failure) {
        return {GeneratorFailed, {}, (failure.message() + u'\n').toUtf8()};
    }
    result.err = warnings.toUtf8();
    return result;
}

} // namespace orv::cli
