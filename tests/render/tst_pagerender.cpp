// Rendering pages off screen into pictures for the mobile description: the
// pixels are the preview's, stacked pictures give back the page, cuts fall
// between entries, and the folder is left as it was unless an export finishes.

#include "core/failure.h"
#include "modules/header/coupons/coupons.h"
#include "modules/header/relatedsales/relatedsales.h"
#include "render/linkboxes.h"
#include "render/pagescripts.h"
#include "render/pictureexport.h"
#include "support/files.h"
#include "support/loopbackserver.h"
#include "support/testjpeg.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWebEngineSettings>
#include <QWebEngineView>

using namespace Qt::StringLiterals;
using namespace orv::render;
using Server = orv::test::LoopbackServer;
using orv::test::readFile;
using orv::test::writeFile;

namespace {

// Entries like the modules make: divider bars, tables, coloured picture
// blocks and text.
QString divider(const QString &title)
{
    return u"<div style=\"width:750px;height:40px; background-color:#F3F3F3; line-height:40px; "
           u"font-size:16px; "
           "font-family:Microsoft YaHei;border-bottom:#8080FF 2px solid;margin:10px 0\"><div "
           "style=\"float:left; "
           "height:40px; padding:0px 30px;background-color:#c0c0c0;color:#fff\">%1</div><div "
           "style=\"float:right; "
           "height:40px; padding:0 30px;color:#808080; font-size:14px\">欢迎光临本店</div></div>"_s.arg(title);
}

QString table(int rows)
{
    QString html = u"<table style=\"width:750px;border-collapse:collapse;font-size:14px\">"_s;
    for (int i = 0; i < rows; ++i)
        html += u"<tr><td style=\"border:1px solid #ccc;padding:8px;background:#fafafa\">参数 %1</td>"
                "<td style=\"border:1px solid #ccc;padding:8px\">数值 %1 cm</td></tr>"_s.arg(i);
    return html + u"</table>"_s;
}

QString block(int height, const QString &colour)
{
    return u"<div style=\"width:750px;height:%1px;background-color:%2\"></div>"_s.arg(height).arg(colour);
}

// Text lines on a light background, 60 rows apart.
QString textBlock(int lines)
{
    QString html = u"<div style=\"width:750px;background:#fdf6e3;font-size:18px;line-height:60px\">"_s;
    for (int i = 0; i < lines; ++i)
        html += u"第 %1 行 The quick brown fox jumps over the lazy dog<br>"_s.arg(i);
    return html + u"</div>"_s;
}

// About 10,000 rows: drawn in two stretches, with an entry taller than a picture.
QStringList knownEntries()
{
    return {divider(u"产品参数"_s),
            table(12),
            block(700, u"#e04040"_s),
            divider(u"尺码"_s),
            block(1300, u"#3060c0"_s),
            textBlock(70),
            divider(u"细节"_s),
            block(1800, u"#30a050"_s),
            table(30),
            block(900, u"#806020"_s),
            textBlock(8)};
}

QImage stacked(const QString &folder, const QList<PictureFile> &pictures)
{
    QList<QImage> images;
    int height = 0;
    for (const PictureFile &picture : pictures) {
        images.append(QImage(QDir(folder).filePath(picture.fileName)).convertToFormat(QImage::Format_RGB32));
        height += images.last().height();
    }
    QImage page(images.value(0).width(), height, QImage::Format_RGB32);
    int y = 0;
    for (const QImage &image : images) {
        for (int row = 0; row < image.height(); ++row)
            std::memcpy(page.scanLine(y + row), image.constScanLine(row), image.bytesPerLine());
        y += image.height();
    }
    return page;
}

// The same document in the preview's kind of view, as tall as the page.
bool loadPreview(QWebEngineView &view, const PageSource &source, int height)
{
    view.settings()->setDefaultTextEncoding(u"utf-8"_s);
    view.settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    view.settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    view.settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.resize(source.pageWidth, height);
    view.show();
    QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
    view.setHtml(pageDocument(source), QUrl(u"file:///orvanta/page.html"_s));
    return loaded.wait(30000);
}

// The same document in the preview's kind of view, grabbed in one piece.
QImage previewGrab(const PageSource &source, int height)
{
    QWebEngineView view;
    if (!loadPreview(view, source, height))
        return {};
    // The view draws a moment after loading: wait until two grabs agree.
    QImage last;
    for (int i = 0; i < 100; ++i) {
        QTest::qWait(100);
        const QImage grab = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        if (grab == last && grab.pixel(0, height - 1) != qRgb(255, 255, 255))
            return grab;
        last = grab;
    }
    return last;
}

// A link for the tests' pages.
QString item(int id)
{
    return u"https://item.taobao.com/item.htm?id=%1"_s.arg(id);
}

// A page of product cards and coupons as the modules make them, with real
// links; a linked block taller than a picture; a picture with an image map
// (shown at twice its own size); a text link that wraps; links no hot area
// keeps; and text between. The pictures come from server.
QStringList linkedEntries(const Server &server)
{
    orv::PageState cards = orv::relatedsales::pageSpec().defaultState(
        orv::relatedsales::withStyle(orv::Metrics::forShop(orv::Shop::Taobao), 0));
    cards.setField(u"style"_s, u"0"_s);
    const QString card = server.url(u"/card.jpg"_s);
    cards.setField(u"pictures"_s, QStringList{card, card, card, card}.join(u'|'));
    cards.setField(u"links"_s, QStringList{item(1), item(2), item(3), item(4)}.join(u'|'));
    orv::PageState coupons = orv::coupons::pageSpec().defaultState(orv::Metrics::forShop(orv::Shop::Taobao));
    coupons.setField(u"links"_s, QStringList{item(11), u"//item.taobao.com/item.htm?id=12"_s, item(13)}.join(u'|'));
    return {orv::relatedsales::generate(cards, {}).fragment,
            orv::coupons::generate(coupons, {}).fragment,
            textBlock(12),
            u"<a href=\"%1\" style=\"display:block\"><div style=\"height:2600px;"
            "background:linear-gradient(#ffffff,#406080)\"></div></a>"_s.arg(item(21)),
            u"<div style=\"padding:20px 30px\"><img src=\"%1\" width=\"600\" height=\"400\" usemap=\"#shop\" "
            "style=\"border:5px solid #ccc;padding:4px\"><map name=\"shop\">"
            "<area shape=\"rect\" coords=\"0,0,150,100\" href=\"%2\">"
            "<area shape=\"circle\" coords=\"300,200,50\" href=\"%3\">"
            "<area shape=\"poly\" coords=\"400,250,560,300,480,380\" href=\"%4\">"
            "<area shape=\"rect\" coords=\"10,300,100,390\" href=\"javascript:void(0)\"></map></div>"_s.arg(
                server.url(u"/map.jpg"_s), item(31), item(32), item(33)),
            u"<p style=\"width:320px;font-size:20px;line-height:30px;margin:20px\">买之前请看 <a href=\"%1\">"
            "这一条很长的说明链接会换到下一行</a> 谢谢，<a href=\"#\">占位</a>。</p>"_s.arg(item(41)),
            textBlock(40)};
}

// The boxes of the links a page shows in the preview's kind of view.
QList<orv::check::LinkBox> previewLinks(QWebEngineView &view)
{
    QString json;
    bool done = false;
    view.page()->runJavaScript(scripts::linkBoxesScript(), [&](const QVariant &result) {
        json = result.toString();
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        return {};
    return readLinkBoxes(QJsonDocument::fromJson(json.toUtf8()).object().value(u"links"_s).toArray());
}

// The link the preview opens on a click at (x, y) of the page, by its own hit
// test: the href of the a or area there.
QString linkAt(QWebEngineView &view, double x, double y)
{
    QString href;
    bool done = false;
    view.page()->runJavaScript(
        u"(function () { const e = document.elementFromPoint(%1, %2); const l = e && e.closest('a[href], area[href]');"
        " return l ? l.getAttribute('href') : ''; })()"_s.arg(x)
            .arg(y),
        [&](const QVariant &result) {
            href = result.toString();
            done = true;
        });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        return u"<no answer>"_s;
    return orv::check::hotAreaAddress(href);
}

QStringList folderListing(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TstPageRender : public QObject {
    Q_OBJECT

private:
    PageSource m_source{knownEntries(), {}, 750};
    RenderedPage m_page;

private slots:
    void initTestCase()
    {
        qputenv("no_proxy", "127.0.0.1");
        m_page = renderPage(m_source);
        QVERIFY(m_page.failedPictures.isEmpty());
        QCOMPARE(m_page.entries.size(), m_source.entries.size());
    }

    // Known blocks at known rows, and the whole page pixel for pixel as the
    // preview's view draws it in one piece (the renderer draws it in stretches).
    void drawsWhatThePreviewShows()
    {
        QCOMPARE(m_page.image.width(), 750);
        QVERIFY2(m_page.image.height() > 8000 && m_page.image.height() < 16000,
                 qPrintable(QString::number(m_page.image.height())));
        const QList<std::pair<int, QRgb>> blocks{{2, qRgb(0xe0, 0x40, 0x40)},
                                                 {4, qRgb(0x30, 0x60, 0xc0)},
                                                 {7, qRgb(0x30, 0xa0, 0x50)},
                                                 {9, qRgb(0x80, 0x60, 0x20)}};
        for (const auto &[entry, colour] : blocks) {
            const EntrySpan span = m_page.entries.at(entry);
            QCOMPARE(span.bottom - span.top, entry == 2 ? 700 : entry == 4 ? 1300 : entry == 7 ? 1800 : 900);
            for (int y : {span.top, (span.top + span.bottom) / 2, span.bottom - 1})
                for (int x : {0, 375, 749})
                    QCOMPARE(m_page.image.pixel(x, y), colour);
            QVERIFY(m_page.image.pixel(375, span.bottom) != colour);
        }
        // Divider bars: the grey title box from the left edge, 40 rows high and
        // 10 rows below the entry before.
        const EntrySpan bar = m_page.entries.at(3);
        QCOMPARE(bar.top, m_page.entries.at(2).bottom + 10);
        QCOMPARE(m_page.image.pixel(1, bar.top + 1), qRgb(0xc0, 0xc0, 0xc0));
        QCOMPARE(m_page.image.pixel(1, bar.top + 40), qRgb(0x80, 0x80, 0xff)); // the border below

        const QImage grab = previewGrab(m_source, m_page.image.height());
        QCOMPARE(grab.size(), m_page.image.size());
        QVERIFY(grab == m_page.image);
    }

    // Marker comments between entries change no pixel.
    void markersChangeNothing()
    {
        QString summary;
        for (const QString &entry : m_source.entries)
            summary += entry + u"\r\n"_s;
        const RenderedPage plain = renderPage(PageSource{{}, summary, 750});
        QVERIFY(plain.entries.isEmpty());
        QVERIFY(plain.image == m_page.image);
    }

    void exports_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<PictureFormat>("format");
        QTest::newRow("750 PNG") << 750 << PictureFormat::Png;
        QTest::newRow("1242 PNG") << 1242 << PictureFormat::Png;
        QTest::newRow("1242 JPEG") << 1242 << PictureFormat::Jpeg;
        QTest::newRow("480 JPEG") << 480 << PictureFormat::Jpeg;
    }
    void exports()
    {
        QFETCH(int, width);
        QFETCH(PictureFormat, format);
        QTemporaryDir dir;
        const CutPicture cut = cutRenderedPage(m_page, width);
        ExportResult result;
        QList<int> progress;
        QVERIFY(writePictures(m_page, dir.path(), ExportOptions{width, format}, result,
                              [&](int done, int total) { progress.append(done * 1000 + total); }));
        const int count = int(result.pictures.size());
        QCOMPARE(count, cut.cuts.size() - 1);
        QVERIFY(count >= 3);
        QCOMPARE(progress.last(), count * 1000 + count);

        QString list;
        for (int i = 0; i < count; ++i) {
            const PictureFile &picture = result.pictures.at(i);
            const QFileInfo file(QDir(dir.path()).filePath(picture.fileName));
            QCOMPARE(picture.fileName, pictureFileName(i, count, format));
            QCOMPARE(picture.size.width(), width);
            QVERIFY(picture.size.height() <= defaultPictureHeight);
            QCOMPARE(file.size(), picture.bytes);
            QVERIFY(picture.bytes <= maxPictureBytes);
            QCOMPARE(QImage(file.filePath()).size(), picture.size);
            list += u"%1 %2x%3 %4\n"_s.arg(picture.fileName).arg(width).arg(picture.size.height()).arg(picture.bytes);
        }
        QFile listFile(QDir(dir.path()).filePath(u"pictures.txt"_s));
        QVERIFY(listFile.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(listFile.readAll()), list);

        // Cuts between entries, but inside an entry taller than a picture (the
        // long text always is) on a row of one colour.
        const RowScale scale = RowScale::forWidths(m_page.image.height(), 750, width);
        const QList<EntrySpan> &spans = m_page.entries;
        QVERIFY(scale.at(spans.at(5).bottom) - scale.at(spans.at(5).top) > defaultPictureHeight);
        int insideTall = 0;
        for (qsizetype i = 1; i + 1 < cut.pageCuts.size(); ++i) {
            const int row = cut.pageCuts.at(i);
            QCOMPARE(cut.cuts.at(i), scale.at(row));
            const auto inside = std::find_if(spans.begin(), spans.end(),
                                             [row](const EntrySpan &e) { return e.top < row && row < e.bottom; });
            if (inside == spans.end())
                continue;
            QVERIFY2(scale.at(inside->bottom) - scale.at(inside->top) > defaultPictureHeight,
                     qPrintable(u"cut at %1"_s.arg(row)));
            QVERIFY(isUniformRow(m_page.image, row - 1) || isUniformRow(m_page.image, row));
            ++insideTall;
        }
        QVERIFY(insideTall >= 1);

        if (format == PictureFormat::Png)
            QVERIFY(stacked(dir.path(), result.pictures) == cut.image);
    }

    // The height limit: 2000 rows by default (both editors), 2500 on
    // request (the older mobile description), at any width.
    void heightLimits_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("width");
        for (const int limit : {defaultPictureHeight, maxPictureHeight}) {
            for (const int width : {750, 1242})
                QTest::addRow("%d at %d", limit, width) << limit << width;
        }
    }
    void heightLimits()
    {
        QFETCH(int, limit);
        QFETCH(int, width);
        QCOMPARE(ExportOptions{}.maxPictureHeight, 2000);
        const CutPicture cut = cutRenderedPage(m_page, width, limit);
        int tallest = 0;
        for (qsizetype i = 1; i < cut.cuts.size(); ++i)
            tallest = std::max(tallest, cut.cuts.at(i) - cut.cuts.at(i - 1));
        QVERIFY2(tallest <= limit && tallest > limit - 300, qPrintable(QString::number(tallest)));
    }

    // Product cards, coupons, a linked block taller than a picture, an image
    // map and a wrapping text link, exported at 750 and 1242: every hot area,
    // scaled back to the page, is the box the preview measures for its link
    // (cut to the picture) within a pixel, and a click there in the preview
    // opens that link; the tall link is on two pictures; no cut passes
    // through a link box that fits a picture; slices.json says the same.
    void hotAreasMatchThePreview_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("750") << 750;
        QTest::newRow("1242") << 1242;
    }
    void hotAreasMatchThePreview()
    {
        QFETCH(int, width);
        Server server;
        server.route("/card.jpg", Server::Behaviour::Reply,
                     Server::response(200, orv::test::makeJpeg(180, 270), "Content-Type: image/jpeg\r\n"));
        server.route("/map.jpg", Server::Behaviour::Reply,
                     Server::response(200, orv::test::makeJpeg(300, 200), "Content-Type: image/jpeg\r\n"));
        const PageSource source{linkedEntries(server), {}, 750};
        const RenderedPage page = renderPage(source);
        QCOMPARE(page.failedPictures, QStringList());
        QTemporaryDir dir;
        ExportResult result;
        QVERIFY(writePictures(page, dir.path(), ExportOptions{width, PictureFormat::Jpeg}, result));
        QVERIFY(result.pictures.size() >= 3);
        QCOMPARE(result.links, page.links);
        QCOMPARE(result.lostLinks.size(), 0);

        QWebEngineView view;
        QVERIFY(loadPreview(view, source, page.image.height()));
        const QList<orv::check::LinkBox> measured = previewLinks(view);
        QStringList addresses;
        for (const orv::check::LinkBox &link : measured)
            addresses.append(link.link);
        QCOMPARE(addresses,
                 (QStringList{item(1), item(2), item(3), item(4), item(11), u"https://item.taobao.com/item.htm?id=12"_s,
                              item(13), item(21), item(31), item(32), item(33), item(41), item(41)}));
        QCOMPARE(measured.size(), page.links.size());

        const auto near = [](double a, double b) { return std::abs(a - b) <= 1; };
        for (const PictureFile &picture : std::as_const(result.pictures)) {
            const double top = picture.pageTop;
            const double bottom = picture.pageBottom;
            const double scaleX = double(width) / 750;
            const double scaleY = picture.size.height() / (bottom - top);
            QList<HotArea> left = picture.hotAreas;
            for (const orv::check::LinkBox &link : measured) {
                const double pieceTop = std::max(top, link.box.top());
                const double pieceBottom = std::min(bottom, link.box.bottom());
                if (pieceBottom - pieceTop < 10)
                    continue;
                const auto found = std::find_if(left.begin(), left.end(), [&](const HotArea &area) {
                    const QRect &p = area.pixels;
                    return area.link == link.link && near(p.left() / scaleX, link.box.left())
                           && near((p.left() + p.width()) / scaleX, link.box.right())
                           && near(top + p.top() / scaleY, pieceTop)
                           && near(top + (p.top() + p.height()) / scaleY, pieceBottom);
                });
                QVERIFY2(found != left.end(), qPrintable(u"%1 on %2"_s.arg(link.link, picture.fileName)));
                // The fractions hold the piece, to two decimals (a pixel of measuring aside).
                const QList<double> exact{std::max(0.0, link.box.left()) / 750, (pieceTop - top) / (bottom - top),
                                          std::min(750.0, link.box.right()) / 750,
                                          (pieceBottom - top) / (bottom - top)};
                const QList<double> given{found->startX, found->startY, found->endX, found->endY};
                const QList<double> pixel{1.0 / 750, 1 / (bottom - top), 1.0 / 750, 1 / (bottom - top)};
                for (int e = 0; e < 4; ++e) {
                    const double outwards = e < 2 ? exact.at(e) - given.at(e) : given.at(e) - exact.at(e);
                    QVERIFY2(outwards > -pixel.at(e) && outwards < 0.01 + pixel.at(e),
                             qPrintable(u"%1: %2 for %3"_s.arg(link.link).arg(given.at(e)).arg(exact.at(e))));
                }
                left.erase(found);
            }
            QVERIFY2(left.isEmpty(), qPrintable(left.value(0).link));
            for (const HotArea &area : picture.hotAreas) {
                const QPointF centre = QRectF(area.pixels).center();
                QCOMPARE(linkAt(view, centre.x() / scaleX, top + centre.y() / scaleY), area.link);
            }
        }
        const auto onPictures = std::count_if(result.pictures.begin(), result.pictures.end(), [](const PictureFile &p) {
            return std::any_of(p.hotAreas.begin(), p.hotAreas.end(),
                               [](const HotArea &a) { return a.link == item(21); });
        });
        QVERIFY(onPictures >= 2);
        const RowScale scale = RowScale::forWidths(page.image.height(), 750, width);
        for (qsizetype i = 0; i + 1 < result.pictures.size(); ++i) {
            const int cut = result.pictures.at(i).pageBottom;
            for (const orv::check::LinkBox &link : measured) {
                const EntrySpan rows = linkRows(link);
                if (scale.at(rows.bottom) - scale.at(rows.top) <= defaultPictureHeight)
                    QVERIFY2(cut <= rows.top || cut >= rows.bottom,
                             qPrintable(u"cut %1 through %2"_s.arg(cut).arg(link.link)));
            }
        }

        // slices.json: every picture with its file, size and bytes, and its hot areas.
        const QJsonObject manifest
            = QJsonDocument::fromJson(readFile(QDir(dir.path()).filePath(u"slices.json"_s))).object();
        QCOMPARE(manifest.value(u"format"_s).toString(), u"orvanta-slices"_s);
        QCOMPARE(manifest.value(u"version"_s).toInt(), 1);
        QCOMPARE(manifest.value(u"page_width"_s).toInt(), 750);
        QCOMPARE(manifest.value(u"width"_s).toInt(), width);
        QCOMPARE(manifest.value(u"max_height"_s).toInt(), 2000);
        const QJsonArray slices = manifest.value(u"slices"_s).toArray();
        QCOMPARE(slices.size(), result.pictures.size());
        for (qsizetype i = 0; i < slices.size(); ++i) {
            const QJsonObject slice = slices.at(i).toObject();
            const PictureFile &picture = result.pictures.at(i);
            QCOMPARE(slice.value(u"file"_s).toString(), picture.fileName);
            QCOMPARE(slice.value(u"width"_s).toInt(), width);
            QCOMPARE(slice.value(u"height"_s).toInt(), picture.size.height());
            QCOMPARE(slice.value(u"bytes"_s).toInteger(),
                     QFileInfo(QDir(dir.path()).filePath(picture.fileName)).size());
            const QJsonArray areas = slice.value(u"hot_areas"_s).toArray();
            QCOMPARE(areas.size(), picture.hotAreas.size());
            for (qsizetype a = 0; a < areas.size(); ++a) {
                const QJsonObject area = areas.at(a).toObject();
                const HotArea &expected = picture.hotAreas.at(a);
                QCOMPARE((QList<double>{area.value(u"start_x"_s).toDouble(), area.value(u"start_y"_s).toDouble(),
                                        area.value(u"end_x"_s).toDouble(), area.value(u"end_y"_s).toDouble()}),
                         (QList<double>{expected.startX, expected.startY, expected.endX, expected.endY}));
                QCOMPARE(area.value(u"link"_s).toString(), expected.link);
            }
        }
        QCOMPARE(folderListing(dir.path()).size(), result.pictures.size() + 2);
    }

    void outputWidths()
    {
        QCOMPARE(checkedOutputWidth(750, 0), 750);
        QCOMPARE(checkedOutputWidth(790, 1500), 1500);
        for (int width : {479, 1501, -5})
            QVERIFY_THROWS_EXCEPTION(orv::Failure, checkedOutputWidth(750, width));
        QCOMPARE(pictureFileName(0, 9, PictureFormat::Jpeg), u"01.jpg"_s);
        QCOMPARE(pictureFileName(99, 100, PictureFormat::Png), u"100.png"_s);
        QCOMPARE(pictureFileName(4, 100, PictureFormat::Jpeg), u"005.jpg"_s);
    }

    void failedPicturesAreReported()
    {
        Server server;
        server.route("/ok.jpg", Server::Behaviour::Reply,
                     Server::response(200, orv::test::makeJpeg(200, 100), "Content-Type: image/jpeg\r\n"));
        server.route("/slow.jpg", Server::Behaviour::Silent, {});
        const QString missing = server.url(u"/missing.jpg"_s);
        const QString background = server.url(u"/missing-background.jpg"_s);
        const QString slow = server.url(u"/slow.jpg"_s);
        const PageSource source{{u"<img src=\"%1\">"_s.arg(server.url(u"/ok.jpg"_s)),
                                 u"<img src=\"%1\">"_s.arg(missing),
                                 u"<div style=\"height:600px;background:url('%1')\">x</div>"_s.arg(background),
                                 u"<img src=\"%1\">"_s.arg(slow)},
                                {},
                                750};
        const RenderedPage page = renderPage(source, RenderOptions{3000});
        QCOMPARE(QSet<QString>(page.failedPictures.begin(), page.failedPictures.end()),
                 (QSet<QString>{missing, background, slow}));
        const EntrySpan shown = page.entries.at(0); // the good one shows, on a line of its own
        QVERIFY(shown.bottom - shown.top >= 100 && shown.bottom - shown.top < 110);

        QTemporaryDir dir;
        const QString folder = dir.filePath(u"out"_s);
        try {
            exportPictures(source, folder, ExportOptions{}, RenderOptions{2000});
            QFAIL("exported despite the missing pictures");
        } catch (const orv::Failure &failure) {
            QVERIFY2(failure.message().contains(missing) && failure.message().contains(background),
                     qPrintable(failure.message()));
        }
        QVERIFY(!QFileInfo::exists(folder));
        ExportOptions keepGoing;
        keepGoing.failedPictures = FailedPictures::KeepGoing;
        const ExportResult result = exportPictures(source, folder, keepGoing, RenderOptions{2000});
        QCOMPARE(result.pictures.size(), 1);
        QCOMPARE(result.failedPictures.size(), 3);
        QCOMPARE(folderListing(folder), (QStringList{u"01.jpg"_s, u"pictures.txt"_s, u"slices.json"_s}));
    }

    // A cancel, while rendering or between pictures, and a failure leave the
    // folder as it was.
    void cancelLeavesTheFolder()
    {
        QTemporaryDir dir;
        QFile notes(dir.filePath(u"notes.txt"_s));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("mine");
        notes.close();
        const QStringList before = folderListing(dir.path());

        std::atomic_bool cancel{false};
        ExportResult result;
        QVERIFY(!writePictures(
            m_page, dir.path(), ExportOptions{}, result, [&](int done, int) { cancel = done == 3; }, &cancel));
        QCOMPARE(folderListing(dir.path()), before);
        const QString fresh = dir.filePath(u"fresh"_s);
        cancel = false;
        QVERIFY(!writePictures(
            m_page, fresh, ExportOptions{}, result, [&](int, int) { cancel = true; }, &cancel));
        QVERIFY(!QFileInfo::exists(fresh));

        PictureExport job;
        QSignalSpy cancelled(&job, &PictureExport::cancelled);
        QSignalSpy finished(&job, &PictureExport::finished);
        job.start(m_source, dir.path(), ExportOptions{});
        QVERIFY(job.isRunning());
        QTest::qWait(200);
        job.cancel();
        QCOMPARE(cancelled.size(), 1);
        QVERIFY(!job.isRunning());
        QTest::qWait(500);
        QCOMPARE(finished.size(), 0);
        QCOMPARE(folderListing(dir.path()), before);

        // The whole export through the job, cancelled on its first picture.
        job.start(m_source, dir.path(), ExportOptions{});
        QSignalSpy progress(&job, &PictureExport::progress);
        connect(&job, &PictureExport::progress, &job, [&job] { job.cancel(); });
        QVERIFY(QTest::qWaitFor([&] { return !job.isRunning(); }, 60000));
        QCOMPARE(finished.size(), 0);
        QCOMPARE(folderListing(dir.path()), before);
    }

    // A cancel after the export finished changes nothing, and nothing of a
    // cancelled run reaches the next one, started at once.
    void lateCancelAndRestart()
    {
        QTemporaryDir dir;
        const QString first = dir.filePath(u"first"_s);
        PictureExport job;
        QSignalSpy finished(&job, &PictureExport::finished);
        QSignalSpy cancelled(&job, &PictureExport::cancelled);
        job.start(m_source, first, ExportOptions{});
        QVERIFY(finished.wait(60000));
        job.cancel();
        QCOMPARE(cancelled.size(), 0);
        QCOMPARE(finished.size(), 1);
        QVERIFY(!job.isRunning());
        QVERIFY(QFileInfo::exists(QDir(first).filePath(u"pictures.txt"_s)));

        const QString second = dir.filePath(u"second"_s);
        const QString third = dir.filePath(u"third"_s);
        QSignalSpy progress(&job, &PictureExport::progress);
        job.start(m_source, second, ExportOptions{});
        QVERIFY(progress.wait(60000)); // drawing and writing
        job.start(m_source, third, ExportOptions{});
        QCOMPARE(cancelled.size(), 1);
        QVERIFY(QTest::qWaitFor([&] { return !job.isRunning(); }, 60000));
        QCOMPARE(finished.size(), 2);
        QCOMPARE(finished.last().at(0).value<ExportResult>().folder, QDir(third).absolutePath());
        QCOMPARE(cancelled.size(), 1);
        QVERIFY(!QFileInfo::exists(second));
    }

    // A picture that changes the layout while the page is drawn: one a
    // script adds once the page scrolls (served late), one the page defers
    // until it is scrolled to. The page comes out as it finally lies, every
    // row once; the deferred picture counts as loaded.
    void latePictures_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::newRow("added on scrolling")
            << u"<div id=\"slot\"></div><script>addEventListener('scroll', function () {"
               " var img = document.createElement('img'); img.style.display = 'block'; img.src = '%1';"
               " document.getElementById('slot').appendChild(img); }, {once: true});</script>"_s;
        QTest::newRow("lazy") << u"<img loading=\"lazy\" style=\"display:block\" src=\"%1\">"_s;
    }
    void latePictures()
    {
        QFETCH(QString, picture);
        Server server;
        server.route("/late.jpg", Server::Behaviour::Late,
                     Server::response(200, orv::test::makeJpeg(750, 400), "Content-Type: image/jpeg\r\n"));
        const QList<std::pair<int, QRgb>> blocks{
            {9000, qRgb(0xe0, 0x40, 0x40)}, {400, 0}, {6000, qRgb(0x30, 0x60, 0xc0)}, {3000, qRgb(0x30, 0xa0, 0x50)}};
        QStringList entries;
        for (const auto &[height, colour] : blocks)
            entries.append(colour ? block(height, QColor(colour).name()) : picture.arg(server.url(u"/late.jpg"_s)));
        const RenderedPage page = renderPage(PageSource{entries, {}, 750});
        QCOMPARE(page.failedPictures, QStringList());
        QCOMPARE(page.image.height(), 18400);
        int top = 0;
        for (qsizetype i = 0; i < blocks.size(); ++i) {
            const auto [height, colour] = blocks.at(i);
            QCOMPARE(page.entries.at(i), (EntrySpan{top, top + height}));
            for (int row : {top, top + height / 2, top + height - 1}) {
                const QRgb pixel = page.image.pixel(375, row);
                QVERIFY2(colour ? pixel == colour : qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel),
                         qPrintable(u"row %1"_s.arg(row)));
            }
            top += height;
        }
    }

    // Fixed content is drawn once, where a viewport as tall as the page
    // shows it; sticky content where it lies in the page.
    void fixedContent()
    {
        const QStringList entries{block(5000, u"#e0e0e0"_s),
                                  u"<div style=\"position:sticky;top:0;height:20px;background:#ffff00\"></div>"_s,
                                  block(12000, u"#e0e0e0"_s),
                                  u"<div style=\"position:fixed;left:0;top:0;width:100px;height:50px;"
                                  "background:#ff00ff\"></div>"_s,
                                  u"<div style=\"position:fixed;right:0;bottom:0;width:100px;height:30px;"
                                  "background:#00ffff\"></div>"_s};
        const RenderedPage page = renderPage(PageSource{entries, {}, 750});
        QCOMPARE(page.image.height(), 17020);
        const auto rowsOf = [&](int x, QRgb colour) {
            QList<int> rows;
            for (int y = 0; y < page.image.height(); ++y) {
                if (page.image.pixel(x, y) == colour)
                    rows.append(y);
            }
            return rows.isEmpty() ? QList<int>{} : QList<int>{rows.first(), rows.last(), int(rows.size())};
        };
        QCOMPARE(rowsOf(50, qRgb(255, 0, 255)), (QList<int>{0, 49, 50}));
        QCOMPARE(rowsOf(700, qRgb(0, 255, 255)), (QList<int>{16990, 17019, 30}));
        QCOMPARE(rowsOf(375, qRgb(255, 255, 0)), (QList<int>{5000, 5019, 20}));
    }

    // The frame limit is time, however slowly the event loop turns: while
    // the page is drawn it is blocked for 100 ms every 20 ms, and the page
    // never keeps still.
    void limitsAreTime()
    {
        QTimer busy;
        connect(&busy, &QTimer::timeout, &busy, [] { QThread::msleep(100); });
        PageRenderer renderer;
        QElapsedTimer clock;
        connect(&renderer, &PageRenderer::passStarted, &busy, [&] {
            clock.start();
            busy.start(20);
        });
        QSignalSpy failed(&renderer, &PageRenderer::failed);
        renderer.start(PageSource{{u"<style>@keyframes pulse{from{background:#000}to{background:#fff}}</style>"
                                   "<div style=\"height:300px;animation:pulse 0.37s linear infinite alternate\">"
                                   "</div>"_s},
                                  {},
                                  750},
                       RenderOptions{30000, 1000});
        QVERIFY(failed.wait(60000));
        busy.stop();
        QVERIFY2(failed.first().at(0).toString().contains(u"in time"_s), qPrintable(failed.first().at(0).toString()));
        // Counted as polls of 10 ms, the second would have lasted over ten.
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    }

    // A seller's own pictures in the folder are never written over, with
    // or without leave to replace an earlier export's set, nor touched where
    // the new set does not name them.
    void sellersPicturesStay()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(u"01.jpg"_s), "mine");
        writeFile(dir.filePath(u"17.png"_s), "mine");
        for (const bool overwrite : {false, true}) {
            ExportOptions options;
            options.overwrite = overwrite;
            ExportResult result;
            try {
                writePictures(m_page, dir.path(), options, result);
                QFAIL("wrote over a seller's picture");
            } catch (const FolderInUse &failure) {
                QCOMPARE(failure.files(), QStringList{u"01.jpg"_s});
            }
            QCOMPARE(folderListing(dir.path()), (QStringList{u"01.jpg"_s, u"17.png"_s}));
            QCOMPARE(readFile(dir.filePath(u"01.jpg"_s)), QByteArray("mine"));
        }
    }
};

int main(int argc, char *argv[])
{
    prepareRenderProcess(true);
    QApplication app(argc, argv);
    TstPageRender test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pagerender.moc"
