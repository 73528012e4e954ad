#include "exportpictures.h"

#include "app/settings.h"
#include "core/failure.h"
#include "modules/pagewidth.h"
#include "render/pictureexport.h"
#include "widgets/dialogs.h"

#include "widgets/progressrun.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

#include <algorithm>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

// Failed addresses listed in the question; the rest are counted.
constexpr int listedAddresses = 10;

QString progressText(int done, int total)
{
    return u"正在生成图片 %1 / %2"_s.arg(done).arg(total);
}

QString suggestedFolder(const QString &projectPath)
{
    if (projectPath.isEmpty())
        return QDir(QDir::homePath()).filePath(u"手机详情图片"_s);
    const QFileInfo file(projectPath);
    return file.dir().filePath(file.completeBaseName() + u" 手机详情图片"_s);
}

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(QDir(path).absolutePath());
}

QString failedPicturesQuestion(const QStringList &addresses)
{
    QStringList shown = addresses.mid(0, listedAddresses);
    if (addresses.size() > listedAddresses)
        shown.append(u"……等共 %1 张"_s.arg(addresses.size()));
    return u"页面中有 %1 张图片未能加载：\n%2\n\n继续导出（这些图片处留空）还是停止？"_s.arg(addresses.size())
        .arg(shown.join(u'\n'));
}

QString finishedMessage(const render::ExportResult &result)
{
    QString text = u"已导出 %1 张图片到文件夹：\n%2"_s.arg(result.pictures.size()).arg(nativePath(result.folder));
    if (!result.failedPictures.isEmpty())
        text += u"\n其中 %1 张网络图片未能加载，图片中该处留空。"_s.arg(result.failedPictures.size());
    const auto asJpeg = std::count_if(result.pictures.begin(), result.pictures.end(),
                                      [](const render::PictureFile &picture) { return picture.jpegInsteadOfPng; });
    if (asJpeg > 0)
        text += u"\n%1 张图片存为 PNG 会超过 3 MB，已改存为 JPEG。"_s.arg(asJpeg);
    qsizetype hotAreas = 0;
    for (const render::PictureFile &picture : result.pictures)
        hotAreas += picture.hotAreas.size();
    if (hotAreas > 0)
        text += u"\n链接成为图片上的 %1 个热区，见 slices.json。"_s.arg(hotAreas);
    if (!result.lostLinks.isEmpty()) {
        text += u"\n%1 个链接在图片上不足 10 像素高，没有热区。"_s.arg(result.lostLinks.size());
    }
    return text + u"\n\n要打开该文件夹吗？"_s;
}

// Asks until the settings can be used: a folder that is a folder, and leave to
// replace the pictures already in it. nullopt when the user gives up.
struct Choice {
    PictureSettings settings;
    bool overwrite = false;
};

std::optional<Choice> choose(QWidget *window, const PicturesSource &source, const QString &projectPath)
{
    const int pageWidth = source.page.pageWidth;
    // The width, format and height limit the last export chose.
    const Settings remembered;
    const int width = remembered.pictureWidth();
    PictureSettings initial{suggestedFolder(projectPath), width > 0 ? width : pageWidth, remembered.picturesAsPng(),
                            remembered.pictureMaxHeight()};
    while (true) {
        const std::optional<PictureSettings> settings
            = dialogs::askPictureSettings(window, source.what, pageWidth, initial);
        if (!settings)
            return std::nullopt;
        initial = *settings;
        // A width equal to the page width is remembered as the page width.
        Settings().setPictureChoice(settings->width == pageWidth ? 0 : settings->width, settings->png,
                                    settings->maxHeight);
        const QFileInfo folder(settings->folder);
        if (settings->folder.isEmpty() || (folder.exists() && !folder.isDir())) {
            dialogs::showError(window, u"“%1”不是文件夹，请另选一个文件夹"_s.arg(settings->folder));
            continue;
        }
        const render::EarlierPictures earlier = render::earlierPictures(settings->folder);
        if (!earlier.notAList.isEmpty()) {
            dialogs::showError(window, u"文件夹“%1”中的 pictures.txt 不是导出时写下的图片列表，导出会覆盖它。\n"
                                       "请另选一个文件夹，或先移走该文件。"_s.arg(nativePath(settings->folder)));
            continue;
        }
        if (earlier.files.isEmpty())
            return Choice{*settings, false};
        const QString text = u"文件夹“%1”中已有上次导出的图片（%2）。\n要用新的图片替换它们吗？"_s.arg(
            nativePath(settings->folder), earlier.files.join(u"、"_s));
        if (dialogs::askToReplace(window, text))
            return Choice{*settings, true};
    }
}

} // namespace

std::optional<PicturesSource> picturesSource(const Project &project, const OutputBuffer &buffer)
{
    const int shopWidth = project.metrics.totalWidth;
    if (!project.entries.isEmpty()) {
        PicturesSource source;
        for (const ModuleEntry &entry : project.entries)
            source.page.entries.append(entry.code);
        source.page.pageWidth = pagewidth::summaryWidth(project.entries, shopWidth);
        source.what = u"导出模块列表的汇总（%1 个版块），页面宽度 %2 像素。"_s.arg(project.entries.size())
                          .arg(source.page.pageWidth);
        return source;
    }
    if (buffer.isEmpty())
        return std::nullopt;
    PicturesSource source;
    source.page.html = buffer.text();
    source.page.pageWidth
        = buffer.source() ? pagewidth::fragmentWidth(buffer.source()->page, buffer.source()->metrics) : shopWidth;
    source.what = u"模块列表为空：导出最近生成的代码（输出缓冲区），页面宽度 %1 像素。"_s.arg(source.page.pageWidth);
    return source;
}

void exportPictures(QWidget *window, const Project &project, const OutputBuffer &buffer, const QString &projectPath,
                    const render::RenderOptions &renderOptions)
{
    const std::optional<PicturesSource> source = picturesSource(project, buffer);
    if (!source) {
        dialogs::inform(window, u"模块列表和输出缓冲区都是空的，没有可以导出的页面。"_s);
        return;
    }
    const std::optional<Choice> choice = choose(window, *source, projectPath);
    if (!choice)
        return;

    render::ExportOptions options;
    options.outputWidth = choice->settings.width;
    options.format = choice->settings.png ? render::PictureFormat::Png : render::PictureFormat::Jpeg;
    options.overwrite = choice->overwrite;
    options.failedPictures = render::FailedPictures::Ask;
    options.maxPictureHeight = choice->settings.maxHeight;

    ProgressRun run(window, u"pictureProgress"_s, u"正在生成图片…"_s);
    run.dialog().setWindowTitle(u"导出手机详情图片"_s);

    enum class Outcome { Running, Finished, Failed, Cancelled };
    Outcome outcome = Outcome::Running;
    render::ExportResult result;
    QString error;

    render::PictureExport job;
    const auto end = [&](Outcome how) {
        outcome = how;
        run.finish();
    };
    QObject::connect(&job, &render::PictureExport::progress, &run,
                     [&](int done, int total) { run.setProgress(done, total, progressText(done, total)); });
    QObject::connect(&job, &render::PictureExport::picturesFailed, &run, [&](const QStringList &addresses) {
        if (dialogs::askToContinue(run.showNow(), failedPicturesQuestion(addresses)))
            job.proceed();
        else
            job.cancel();
    });
    // Files no earlier export listed are replaced only when the user says so.
    QObject::connect(&job, &render::PictureExport::unlistedFiles, &run, [&](const QStringList &files) {
        const QString text = u"文件夹“%1”中的 %2 不是上次导出的图片，新的图片与它们同名。\n要替换它们吗？"_s.arg(
            nativePath(choice->settings.folder), files.join(u"、"_s));
        if (dialogs::askToReplace(run.showNow(), text))
            job.proceed();
        else
            job.cancel();
    });
    QObject::connect(&job, &render::PictureExport::finished, &run, [&](const render::ExportResult &exported) {
        result = exported;
        end(Outcome::Finished);
    });
    QObject::connect(&job, &render::PictureExport::failed, &run, [&](const QString &message) {
        error = message;
        end(Outcome::Failed);
    });
    QObject::connect(&job, &render::PictureExport::cancelled, &run, [&] { end(Outcome::Cancelled); });

    job.start(source->page, choice->settings.folder, options, renderOptions);
    run.exec([&] { job.cancel(); });

    switch (outcome) {
    case Outcome::Finished:
        if (dialogs::askToOpenFolder(window, finishedMessage(result)))
            dialogs::openUrl(QUrl::fromLocalFile(result.folder));
        break;
    case Outcome::Failed:
        dialogs::showError(window, error);
        break;
    default:
        break;
    }
}

} // namespace orv
