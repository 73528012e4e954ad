// orvanta-cli render as a user runs it, on a machine without a display: the
// pictures it writes are the render layer's drawing of the project's page,
// cut where the layer cuts (tests/render proves that drawing equals the
// preview's), within the platform's limits; pictures that do not load, an
// earlier set of pictures and the other commands without a display.
#include "core/project.h"
#include "modules/header/divider/divider.h"
#include "modules/product/sizetable/sizetable.h"
#include "render/pictureexport.h"
#include "support/files.h"
#include "support/loopbackserver.h"
#include "support/pictures.h"
#include "support/testjpeg.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

using namespace Qt::StringLiterals;
using namespace orv::render;
using Server = orv::test::LoopbackServer;
using namespace orv::test;

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// The program as on a server: no display, no platform chosen.
Run runCli(const QStringList &arguments, const QString &platform = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s})
        environment.remove(name);
    if (!platform.isEmpty())
        environment.insert(u"QT_QPA_PLATFORM"_s, platform);
    environment.insert(u"no_proxy"_s, u"127.0.0.1"_s);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ORVANTA_CLI_PATH), arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

QString table(int rows)
{
    QString html = u"<table style=\"width:750px;border-collapse:collapse;font-size:14px\">"_s;
    for (int i = 0; i < rows; ++i)
        html += u"<tr><td style=\"border:1px solid #ccc;padding:8px\">参数 %1</td><td>数值 %1</td></tr>"_s.arg(i);
    return html + u"</table>"_s;
}

// Text lines 60 rows apart: taller than a picture, cut between two lines.
QString textBlock(int lines)
{
    QString html = u"<div style=\"width:750px;background:#fdf6e3;font-size:18px;line-height:60px\">"_s;
    for (int i = 0; i < lines; ++i)
        html += u"第 %1 行 The quick brown fox<br>"_s.arg(i);
    return html + u"</div>"_s;
}

// About 6,400 rows: entries that fit a picture in twos and threes, and one
// taller than a picture.
QStringList knownCodes()
{
    return {colourBlock(40, u"#c0c0c0"_s),
            colourBlock(1000, u"#e04040"_s),
            table(12),
            colourBlock(700, u"#3060c0"_s),
            textBlock(60),
            colourBlock(400, u"#30a050"_s),
            colourBlock(900, u"#806020"_s)};
}

QString writeProject(const QString &path, const QList<orv::ModuleEntry> &entries, orv::Shop shop = orv::Shop::Taobao)
{
    orv::Project project;
    project.metrics = orv::Metrics::forShop(shop);
    project.entries = entries;
    orv::writeProjectFile(path, project);
    return path;
}

} // namespace

class TstCliRender : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_project;
    RenderedPage m_page; // the same page, drawn here by the render layer

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_project = writeProject(m_dir.filePath(u"known.orvanta"_s), entriesOf(knownCodes()));
        m_page = renderPage(PageSource{knownCodes(), {}, 750});
        QVERIFY(m_page.failedPictures.isEmpty());
    }

    void exports_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("format");
        QTest::newRow("750 png") << 750 << u"png"_s;
        QTest::newRow("1242 jpg") << 1242 << u"jpg"_s;
    }

    void exports()
    {
        QFETCH(int, width);
        QFETCH(QString, format);
        const QString folder = m_dir.filePath(u"out-%1-%2"_s.arg(width).arg(format));
        QStringList arguments{u"render"_s, m_project, u"--out"_s, folder, u"--format"_s, format};
        if (width != 750)
            arguments << u"--width"_s << QString::number(width);
        const Run run = runCli(arguments);
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.out, readFile(QDir(folder).filePath(u"pictures.txt"_s)));

        // The layer's cut of its own drawing: the program writes exactly it.
        const CutPicture cut = cutRenderedPage(m_page, width);
        const int count = int(cut.cuts.size()) - 1;
        QVERIFY(count >= 3);
        const QStringList lines = QString::fromUtf8(run.out).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), count);
        QStringList names{u"pictures.txt"_s, u"slices.json"_s};
        QImage stacked(width, cut.image.height(), QImage::Format_RGB32);
        for (int i = 0; i < count; ++i) {
            const QString name = u"%1.%2"_s.arg(i + 1, 2, 10, QChar(u'0')).arg(format);
            names.append(name);
            const QString path = QDir(folder).filePath(name);
            const QImage picture = QImage(path).convertToFormat(QImage::Format_RGB32);
            const qint64 bytes = QFileInfo(path).size();
            QCOMPARE(lines.at(i), u"%1 %2x%3 %4"_s.arg(name).arg(width).arg(picture.height()).arg(bytes));
            QCOMPARE(picture.width(), width);
            QVERIFY(picture.height() <= defaultPictureHeight);
            QVERIFY(bytes <= maxPictureBytes);
            QCOMPARE(picture.height(), cut.cuts.at(i + 1) - cut.cuts.at(i));
            for (int row = 0; row < picture.height(); ++row)
                std::memcpy(stacked.scanLine(cut.cuts.at(i) + row), picture.constScanLine(row), picture.bytesPerLine());
        }
        names.sort();
        QCOMPARE(listing(folder), names);
        // Without loss, every row of the page once and in order.
        if (format == u"png"_s)
            QVERIFY(stacked == cut.image);

        // Cuts between entries, except inside the one entry taller than a
        // picture; there, between two lines of text.
        const QList<EntrySpan> &spans = m_page.entries;
        int inside = 0;
        for (int i = 1; i < count; ++i) {
            const int row = cut.pageCuts.at(i);
            for (qsizetype e = 0; e < spans.size(); ++e) {
                if (spans.at(e).top < row && row < spans.at(e).bottom) {
                    QCOMPARE(e, qsizetype(4));
                    QVERIFY(isUniformRow(m_page.image, row - 1) || isUniformRow(m_page.image, row));
                    ++inside;
                }
            }
        }
        QVERIFY(inside >= 1);
    }

    // slices.json beside the pictures and, with --manifest-only, on standard
    // output alone (no folder, no bytes); --max-height 2500 lets pictures
    // grow past 2000; links the phone would lose are named on standard error.
    void manifest()
    {
        const QString link = u"https://item.taobao.com/item.htm?id=7"_s;
        const QStringList codes{
            colourBlock(300, u"#c0c0c0"_s),
            u"<a href=\"%1\" style=\"display:block;height:200px;background:#e04040\">买</a>"_s.arg(link),
            u"<a href=\"https://shop.taobao.com/\" style=\"font-size:6px\">小</a>"_s, textBlock(60)};
        const QString project = writeProject(m_dir.filePath(u"links.orvanta"_s), entriesOf(codes));
        const QString folder = m_dir.filePath(u"links"_s);
        const Run written = runCli({u"render"_s, project, u"--out"_s, folder, u"--width=1242"_s});
        QVERIFY2(written.exitCode == 0, written.err.constData());
        QVERIFY2(written.err.contains("warning: 3:1 (entry 3 [ 自定义 ]) mobile-link 链接在页面上只有")
                     && written.err.contains("https://shop.taobao.com/"),
                 written.err.constData());
        const QJsonObject onDisk = QJsonDocument::fromJson(readFile(QDir(folder).filePath(u"slices.json"_s))).object();
        const QJsonArray slices = onDisk.value(u"slices"_s).toArray();
        QVERIFY(slices.size() >= 2);
        const QJsonObject first = slices.at(0).toObject();
        QCOMPARE(first.value(u"file"_s).toString(), u"01.jpg"_s);
        QCOMPARE(first.value(u"bytes"_s).toInteger(), QFileInfo(QDir(folder).filePath(u"01.jpg"_s)).size());
        const QJsonArray areas = first.value(u"hot_areas"_s).toArray();
        QCOMPARE(areas.size(), 1); // not the link under 10 pixels high
        const QJsonObject area = areas.at(0).toObject();
        QCOMPARE(area.value(u"link"_s).toString(), link);
        QCOMPARE(area.value(u"start_x"_s).toDouble(), 0.0);
        QCOMPARE(area.value(u"end_x"_s).toDouble(), 1.0);
        const double height = first.value(u"height"_s).toDouble(); // 300 + 200 page rows scaled
        QVERIFY(area.value(u"start_y"_s).toDouble() <= 300 * 1.656 / height);
        QVERIFY(area.value(u"end_y"_s).toDouble() >= 500 * 1.656 / height);

        const Run only = runCli({u"render"_s, project, u"--manifest-only"_s, u"--width=1242"_s});
        QVERIFY2(only.exitCode == 0, only.err.constData());
        QCOMPARE(only.err, written.err);
        QJsonObject manifest = QJsonDocument::fromJson(only.out).object();
        QCOMPARE(manifest.value(u"manifest_only"_s).toBool(), true);
        QJsonArray sizes = manifest.value(u"slices"_s).toArray();
        QCOMPARE(sizes.size(), slices.size());
        for (qsizetype i = 0; i < slices.size(); ++i) {
            QJsonObject expected = slices.at(i).toObject();
            expected.remove(u"bytes"_s);
            QCOMPARE(sizes.at(i).toObject(), expected);
        }

        const Run older = runCli({u"render"_s, m_project, u"--manifest-only"_s, u"--max-height=2500"_s});
        QVERIFY2(older.exitCode == 0, older.err.constData());
        manifest = QJsonDocument::fromJson(older.out).object();
        QCOMPARE(manifest.value(u"max_height"_s).toInt(), 2500);
        int tallest = 0;
        for (const QJsonValue &slice : manifest.value(u"slices"_s).toArray())
            tallest = std::max(tallest, slice.toObject().value(u"height"_s).toInt());
        QVERIFY2(tallest > 2000 && tallest <= 2500, qPrintable(QString::number(tallest)));
    }

    // A Tmall page with a size table is drawn 790 wide, the table keeping its 750.
    void tmallPage()
    {
        orv::PageState divider = orv::divider::pageSpec().defaultState(orv::Metrics::forShop(orv::Shop::Tmall));
        orv::PageState sizes = orv::sizetable::pageSpec().defaultState(orv::Metrics::forShop(orv::Shop::Tmall));
        const QList<orv::ModuleEntry> entries{{1, u"[ 分隔条 ] "_s, orv::divider::generate(divider, {}).fragment,
                                               orv::EntrySource{u"tsfengetiao"_s, divider.fields, divider.metrics}},
                                              {2, u"[ 产品尺码 ] "_s, orv::sizetable::generate(sizes, {}).fragment,
                                               orv::EntrySource{u"tschima"_s, sizes.fields, sizes.metrics}}};
        const QString project = writeProject(m_dir.filePath(u"tmall.orvanta"_s), entries, orv::Shop::Tmall);
        const QString folder = m_dir.filePath(u"tmall"_s);
        const Run run = runCli({u"render"_s, project, u"--out"_s, folder, u"--format=png"_s});
        QVERIFY2(run.exitCode == 0, run.err.constData());
        const QImage first(QDir(folder).filePath(u"01.png"_s));
        QCOMPARE(first.width(), 790);
        QVERIFY(first.height() > 40);
    }

    // A picture that does not load fails the command and writes nothing,
    // unless --keep-going; the address is named either way.
    void failingPicture()
    {
        Server server;
        server.route("/ok.jpg", Server::Behaviour::Reply,
                     Server::response(200, orv::test::makeJpeg(300, 200), "Content-Type: image/jpeg\r\n"));
        const QString ok = server.url(u"/ok.jpg"_s);
        const QString missing = server.url(u"/missing.jpg"_s);
        const QString project
            = writeProject(m_dir.filePath(u"pictures.orvanta"_s),
                           entriesOf({u"<img src=\"%1\">"_s.arg(ok), u"<img src=\"%1\">"_s.arg(missing)}));
        const QString folder = m_dir.filePath(u"remote"_s);
        const QStringList arguments{u"render"_s, project, u"--out"_s, folder, u"--timeout"_s, u"20"_s};

        const Run stopped = runCli(arguments);
        QCOMPARE(stopped.exitCode, 1);
        QCOMPARE(stopped.out, QByteArray());
        const QString message = QString::fromUtf8(stopped.err);
        QVERIFY2(message.contains(missing) && !message.contains(ok) && message.contains(u"--keep-going"_s),
                 qPrintable(message));
        QVERIFY(!QFileInfo::exists(folder));

        const Run kept = runCli(arguments + QStringList{u"--keep-going"_s});
        QVERIFY2(kept.exitCode == 0, kept.err.constData());
        QVERIFY2(kept.err.startsWith("warning: ") && kept.err.contains(missing.toUtf8()), kept.err.constData());
        QCOMPARE(listing(folder), (QStringList{u"01.jpg"_s, u"pictures.txt"_s, u"slices.json"_s}));
        QVERIFY(QImage(QDir(folder).filePath(u"01.jpg"_s)).height() >= 200); // the good picture shows
    }

    // An earlier export's set (what its pictures.txt lists) stays unless
    // --overwrite, and then goes as a whole; a seller's own files stay, and
    // one the pictures would write over is refused even then. A file is no
    // folder.
    void existingPictures()
    {
        const QString folder = m_dir.filePath(u"earlier"_s);
        QVERIFY(QDir().mkpath(folder));
        const auto put = [](const QString &dir, const QString &name, const QByteArray &bytes) {
            writeFile(QDir(dir).filePath(name), bytes);
        };
        put(folder, u"pictures.txt"_s, "01.jpg 750x10 3\n02.jpg 750x10 3\n");
        for (const QString &name : {u"01.jpg"_s, u"02.jpg"_s})
            put(folder, name, "old");
        put(folder, u"2023.jpg"_s, "mine");
        put(folder, u"notes.txt"_s, "mine");
        const QString project
            = writeProject(m_dir.filePath(u"small.orvanta"_s), entriesOf({colourBlock(300, u"#e04040"_s)}));

        const Run refused = runCli({u"render"_s, project, u"--out"_s, folder});
        QCOMPARE(refused.exitCode, 2);
        QVERIFY2(refused.err.contains("01.jpg") && refused.err.contains("--overwrite"), refused.err.constData());
        QCOMPARE(readFile(QDir(folder).filePath(u"01.jpg"_s)), QByteArray("old"));

        const Run replaced = runCli({u"render"_s, project, u"--out"_s, folder, u"--overwrite"_s});
        QVERIFY2(replaced.exitCode == 0, replaced.err.constData());
        QCOMPARE(listing(folder),
                 (QStringList{u"01.jpg"_s, u"2023.jpg"_s, u"notes.txt"_s, u"pictures.txt"_s, u"slices.json"_s}));
        QCOMPARE(QImage(QDir(folder).filePath(u"01.jpg"_s)).size(), QSize(750, 300));
        QCOMPARE(readFile(QDir(folder).filePath(u"2023.jpg"_s)), QByteArray("mine"));

        const QString sellers = m_dir.filePath(u"sellers"_s);
        QVERIFY(QDir().mkpath(sellers));
        put(sellers, u"01.jpg"_s, "mine");
        const Run kept = runCli({u"render"_s, project, u"--out"_s, sellers, u"--overwrite"_s});
        QCOMPARE(kept.exitCode, 2);
        QVERIFY2(kept.err.contains("01.jpg") && kept.err.contains("nothing was written"), kept.err.constData());
        QCOMPARE(listing(sellers), QStringList{u"01.jpg"_s});
        QCOMPARE(readFile(QDir(sellers).filePath(u"01.jpg"_s)), QByteArray("mine"));

        const Run file = runCli({u"render"_s, project, u"--out"_s, QDir(folder).filePath(u"notes.txt"_s)});
        QCOMPARE(file.exitCode, 2);
        QVERIFY2(file.err.contains("not a folder"), file.err.constData());
    }

    // merge --render: every row's pictures (and their slices.json) in a folder
    // named after its key, listed in index.csv, the engine started once.
    void mergeRendersEveryRow()
    {
        const QString project
            = writeProject(m_dir.filePath(u"design.orvanta"_s),
                           entriesOf({u"<div style=\"width:750px;height:300px;background:{{颜色}}\"></div>"_s}));
        const QString sheet = m_dir.filePath(u"colours.csv"_s);
        writeFile(sheet, "商家编码,颜色\r\nA,#ff0000\r\nB,#0000ff\r\n");
        const QString out = m_dir.filePath(u"merged"_s);
        const Run merged = runCli({u"merge"_s, project, sheet, u"--out"_s, out, u"--render"_s, u"--width"_s, u"480"_s});
        QCOMPARE(merged.exitCode, 0);
        for (const auto &[key, colour] : {std::pair{u"A"_s, QColor(Qt::red)}, std::pair{u"B"_s, QColor(Qt::blue)}}) {
            const QDir folder(QDir(out).filePath(key));
            QCOMPARE(folder.entryList(QDir::Files), (QStringList{u"01.jpg"_s, u"pictures.txt"_s, u"slices.json"_s}));
            const QImage picture(folder.filePath(u"01.jpg"_s));
            QCOMPARE(picture.size(), QSize(480, 192));
            QVERIFY(qAbs(picture.pixelColor(240, 96).hue() - colour.hue()) < 10);
        }
        QVERIFY(readFile(QDir(out).filePath(u"index.csv"_s)).contains(",pictures\r\n1,A,A.html,"));

        // Picture options without --render, and the set again without --overwrite.
        QCOMPARE(runCli({u"merge"_s, project, sheet, u"--out"_s, out, u"--width"_s, u"480"_s}).exitCode, 2);
        QCOMPARE(runCli({u"merge"_s, project, sheet, u"--out"_s, out, u"--render"_s}).exitCode, 2);
    }

    // Only render starts the engine: with a platform that cannot start here,
    // the other commands still run.
    void otherCommandsNeedNoDisplay()
    {
        const Run built = runCli({u"build"_s, m_project}, u"xcb"_s);
        QCOMPARE(built.exitCode, 0);
        QCOMPARE(built.err, QByteArray());
        QVERIFY(built.out.contains("#3060c0"));
    }
};

int main(int argc, char *argv[])
{
    prepareRenderProcess(true);
    QGuiApplication app(argc, argv);
    TstCliRender test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_cli_render.moc"
