#include "render/pagecut.h"

#include <QRectF>

#include <QImage>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;
using orv::check::LinkBox;
using orv::render::EntrySpan;
using orv::render::HotArea;
using orv::render::RowScale;

namespace {

// Entries as flat pairs of rows: top, bottom, top, bottom, ...
QList<EntrySpan> spans(const QList<int> &rows)
{
    QList<EntrySpan> list;
    for (qsizetype i = 0; i + 1 < rows.size(); i += 2)
        list.append(EntrySpan{rows.at(i), rows.at(i + 1)});
    return list;
}

} // namespace

class TstPageCut : public QObject {
    Q_OBJECT

private slots:
    void cuts_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<QList<int>>("entries");
        QTest::addColumn<QList<int>>("backgroundRows"); // {-1}: every row
        QTest::addColumn<QList<int>>("links");          // link boxes' rows, as entries
        QTest::addColumn<QList<int>>("expected");
        const QList<int> all{-1};
        const QList<int> none;
        // The limit is 100 rows throughout.
        QTest::newRow("empty page") << 0 << none << all << none << QList<int>{0};
        QTest::newRow("shorter than the limit") << 80 << QList<int>{0, 40, 40, 80} << all << none << QList<int>{0, 80};
        QTest::newRow("exactly the limit") << 100 << QList<int>{0, 100} << all << none << QList<int>{0, 100};
        QTest::newRow("between entries, as full as they allow")
            << 250 << QList<int>{0, 60, 60, 120, 120, 190, 190, 250} << all << none << QList<int>{0, 60, 120, 190, 250};
        QTest::newRow("an entry ending on the limit")
            << 180 << QList<int>{0, 100, 100, 180} << none << none << QList<int>{0, 100, 180};
        QTest::newRow("limit in the gap between entries")
            << 200 << QList<int>{0, 50, 120, 200} << none << none << QList<int>{0, 100, 200};
        QTest::newRow("straddling entry starts the next picture")
            << 150 << QList<int>{0, 50, 70, 150} << none << none << QList<int>{0, 70, 150};
        QTest::newRow("overlapping entries move together")
            << 150 << QList<int>{0, 40, 30, 90, 90, 150} << all << none << QList<int>{0, 90, 150};
        QTest::newRow("tall entry on a new picture, cut inside at the limit")
            << 260 << QList<int>{0, 30, 30, 260} << all << none << QList<int>{0, 30, 130, 230, 260};
        QTest::newRow("tall entry cut on background rows")
            << 250 << QList<int>{0, 250} << QList<int>{70, 150} << none << QList<int>{0, 71, 151, 250};
        QTest::newRow("background row just below the cut")
            << 150 << QList<int>{0, 150} << QList<int>{90} << none << QList<int>{0, 91, 150};
        QTest::newRow("no background row: cut at the limit")
            << 250 << QList<int>{0, 250} << none << none << QList<int>{0, 100, 200, 250};
        QTest::newRow("background row too far above the limit")
            << 250 << QList<int>{0, 250} << QList<int>{20} << none << QList<int>{0, 100, 200, 250};
        QTest::newRow("no entries: cut at the limit") << 230 << none << none << none << QList<int>{0, 100, 200, 230};
        QTest::newRow("entries beyond the page are clamped")
            << 50 << QList<int>{-10, 70} << none << none << QList<int>{0, 50};
        QTest::newRow("entries out of order")
            << 200 << QList<int>{120, 200, 0, 50} << none << none << QList<int>{0, 100, 200};

        // Links: no cut through a link box while a cut above it fits.
        QTest::newRow("no entries: a link on the limit moves the cut to its top")
            << 230 << none << none << QList<int>{80, 120} << QList<int>{0, 80, 180, 230};
        QTest::newRow("no entries: a link ending on the limit is no obstacle")
            << 230 << none << none << QList<int>{60, 100} << QList<int>{0, 100, 200, 230};
        QTest::newRow("overlapping links move together")
            << 230 << none << none << QList<int>{60, 90, 85, 130} << QList<int>{0, 60, 160, 230};
        QTest::newRow("tall entry: a background row outside the link")
            << 250 << QList<int>{0, 250} << QList<int>{60, 95} << QList<int>{90, 140} << QList<int>{0, 61, 161, 250};
        QTest::newRow("tall entry: the link's top, though no background row is there")
            << 250 << QList<int>{0, 250} << QList<int>{95} << QList<int>{70, 140} << QList<int>{0, 70, 170, 250};
        QTest::newRow("tall entry: a link's top far up still beats cutting it")
            << 250 << QList<int>{0, 250} << none << QList<int>{10, 105} << QList<int>{0, 10, 110, 210, 250};
        QTest::newRow("a link taller than a picture blocks nothing")
            << 250 << QList<int>{0, 250} << none << QList<int>{10, 230} << QList<int>{0, 100, 200, 250};
        QTest::newRow("touching links leave their edge free")
            << 250 << QList<int>{0, 250} << QList<int>{80} << QList<int>{0, 60, 60, 120, 120, 190}
            << QList<int>{0, 60, 120, 220, 250};
        QTest::newRow("links everywhere in reach: cut as without them")
            << 250 << QList<int>{0, 250} << QList<int>{80} << QList<int>{0, 60, 50, 110, 100, 160}
            << QList<int>{0, 81, 181, 250};
        QTest::newRow("an entry edge before a row inside a tall entry")
            << 200 << QList<int>{0, 50, 50, 200} << all << QList<int>{60, 120} << QList<int>{0, 50, 150, 200};
        QTest::newRow("a link reaching over an entry's edge: not cut there")
            << 200 << QList<int>{0, 50, 70, 200} << none << QList<int>{40, 80} << QList<int>{0, 100, 200};
    }
    void cuts()
    {
        QFETCH(int, height);
        QFETCH(QList<int>, entries);
        QFETCH(QList<int>, backgroundRows);
        QFETCH(QList<int>, links);
        QFETCH(QList<int>, expected);
        const QSet<int> background(backgroundRows.begin(), backgroundRows.end());
        QList<int> asked;
        const auto isBackground = [&](int row) {
            asked.append(row);
            return background.contains(-1) || background.contains(row);
        };
        QCOMPARE(orv::render::cutPage(height, spans(entries), 100, isBackground, spans(links)), expected);
        for (int row : std::as_const(asked))
            QVERIFY2(row >= 0 && row < height, qPrintable(u"asked for row %1"_s.arg(row)));
    }

    // Random pages, scales and links: every row in exactly one picture, none
    // above the limit in picture rows and none empty, only rows the cutter
    // said it needs looked at, a cut inside an entry only where the picture
    // began inside that entry, and through a link box that fits a picture only
    // where every row in reach lies inside such a box.
    void randomPages()
    {
        QRandomGenerator random(20240611);
        for (int round = 0; round < 500; ++round) {
            const int limit = random.bounded(20, 120);
            QList<EntrySpan> entries;
            QList<EntrySpan> links;
            int y = random.bounded(0, 10);
            while (y < 600) {
                const int height
                    = random.bounded(0, 4) == 0 ? random.bounded(limit, 3 * limit) : random.bounded(1, limit);
                const int overlap = random.bounded(0, 5) == 0 ? random.bounded(0, 10) : 0;
                entries.append(EntrySpan{std::max(0, y - overlap), y + height});
                for (int n = random.bounded(0, 3); n > 0 && height > 1; --n) {
                    const int top = y + random.bounded(0, height);
                    const int tall = random.bounded(0, 6) == 0 ? 2 * limit : limit;
                    links.append(EntrySpan{top, std::min(y + height, top + 1 + random.bounded(0, tall))});
                }
                y += height + random.bounded(0, 15);
            }
            const int pageHeight = y + random.bounded(0, 20);
            const RowScale scale{pageHeight, round % 3 == 0 ? pageHeight : pageHeight * random.bounded(60, 201) / 100};
            const orv::render::PageCutter cutter(pageHeight, entries, limit, scale, links);
            QList<int> cuts{0};
            while (cuts.last() < pageHeight) {
                const int start = cuts.last();
                const int needed = cutter.rowsNeeded(start);
                cuts.append(cutter.next(start, [&](int row) {
                    if (row < start || row >= needed)
                        qFatal("asked for row %d outside [%d, %d)", row, start, needed);
                    return row % 17 == 0;
                }));
            }
            const auto blocked = [&](int row) {
                return std::any_of(entries.begin(), entries.end(),
                                   [row](const EntrySpan &e) { return e.top < row && row < e.bottom; });
            };
            const auto inLink = [&](int row) {
                return std::any_of(links.begin(), links.end(), [&](const EntrySpan &l) {
                    return l.top < row && row < l.bottom && scale.at(l.bottom) - scale.at(l.top) <= limit;
                });
            };
            for (qsizetype i = 1; i < cuts.size(); ++i) {
                const int start = cuts.at(i - 1);
                const int cut = cuts.at(i);
                QVERIFY(scale.at(cut) > scale.at(start));
                QVERIFY(scale.at(cut) - scale.at(start) <= limit);
                if (cut == pageHeight)
                    continue;
                // Between entries: the furthest such cut in reach; inside an
                // entry: only when no cut between entries was in reach.
                int furthestFree = 0;
                bool linkFreeRow = false;
                for (int row = start + 1; row <= pageHeight && scale.at(row) - scale.at(start) <= limit; ++row) {
                    if (!blocked(row) && scale.at(row) > scale.at(start))
                        furthestFree = row;
                    linkFreeRow = linkFreeRow || (!inLink(row) && scale.at(row) > scale.at(start));
                }
                if (blocked(cut))
                    QVERIFY2(
                        furthestFree == 0,
                        qPrintable(u"cut %1 inside an entry after %2, though %3 was free"_s.arg(cut).arg(start).arg(
                            furthestFree)));
                else
                    QCOMPARE(cut, furthestFree);
                QVERIFY2(!inLink(cut) || !linkFreeRow,
                         qPrintable(u"cut %1 through a link after %2, though a row outside was in reach"_s.arg(cut).arg(
                             start)));
            }
        }
    }

    // A link's box cut to a picture, scaled with it: pixels rounded outwards,
    // fractions to two decimals rounded outwards, slivers under 10 page rows
    // dropped.
    void hotAreas_data()
    {
        QTest::addColumn<QRectF>("box");      // page pixels, page 750 wide
        QTest::addColumn<QList<int>>("rows"); // the picture's page rows
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QRect>("pixels"); // null: no hot area
        QTest::addColumn<QList<double>>("fractions");
        QTest::newRow("whole, at the page width") << QRectF(0, 100, 240, 100) << QList<int>{0, 1000} << QSize(750, 1000)
                                                  << QRect(0, 100, 240, 100) << QList<double>{0, 0.1, 0.32, 0.2};
        QTest::newRow("fractions rounded outwards")
            << QRectF(254.25, 100.5, 240, 99) << QList<int>{0, 1000} << QSize(750, 1000) << QRect(254, 100, 241, 100)
            << QList<double>{0.33, 0.1, 0.66, 0.2};
        QTest::newRow("scaled to 1242") << QRectF(375, 500, 375, 250) << QList<int>{0, 1000} << QSize(1242, 1656)
                                        << QRect(621, 828, 621, 414) << QList<double>{0.5, 0.5, 1, 0.75};
        QTest::newRow("cut by the picture's top edge")
            << QRectF(10, 950, 100, 100) << QList<int>{1000, 2000} << QSize(750, 1000) << QRect(10, 0, 100, 50)
            << QList<double>{0.01, 0, 0.15, 0.05};
        QTest::newRow("cut by the bottom edge") << QRectF(10, 950, 100, 100) << QList<int>{0, 1000} << QSize(750, 1000)
                                                << QRect(10, 950, 100, 50) << QList<double>{0.01, 0.95, 0.15, 1};
        QTest::newRow("a sliver under 10 rows goes")
            << QRectF(10, 995, 100, 100) << QList<int>{0, 1000} << QSize(750, 1000) << QRect() << QList<double>{};
        QTest::newRow("10 rows stay") << QRectF(10, 990, 100, 100) << QList<int>{0, 1000} << QSize(750, 1000)
                                      << QRect(10, 990, 100, 10) << QList<double>{0.01, 0.99, 0.15, 1};
        QTest::newRow("8 page rows go, though scaled to 13")
            << QRectF(0, 0, 750, 8) << QList<int>{0, 750} << QSize(1242, 1242) << QRect() << QList<double>{};
        QTest::newRow("10 page rows scaled to 7 stay") << QRectF(0, 0, 750, 10) << QList<int>{0, 750} << QSize(480, 480)
                                                       << QRect(0, 0, 480, 7) << QList<double>{0, 0, 1, 0.02};
        QTest::newRow("past the page's sides") << QRectF(-20, 0, 800, 50) << QList<int>{0, 100} << QSize(750, 100)
                                               << QRect(0, 0, 750, 50) << QList<double>{0, 0, 1, 0.5};
        QTest::newRow("on another picture")
            << QRectF(0, 0, 100, 50) << QList<int>{100, 200} << QSize(750, 100) << QRect() << QList<double>{};
    }
    void hotAreas()
    {
        QFETCH(QRectF, box);
        QFETCH(QList<int>, rows);
        QFETCH(QSize, picture);
        QFETCH(QRect, pixels);
        QFETCH(QList<double>, fractions);
        const QList<HotArea> areas = orv::render::hotAreasOf(
            {LinkBox{3, u"https://item.taobao.com/item.htm?id=1"_s, box}}, 750, rows.at(0), rows.at(1), picture);
        if (pixels.isNull()) {
            QCOMPARE(areas.size(), 0);
            return;
        }
        QCOMPARE(areas.size(), 1);
        const HotArea &area = areas.first();
        QCOMPARE(area.element, 3);
        QCOMPARE(area.link, u"https://item.taobao.com/item.htm?id=1"_s);
        QCOMPARE(area.pixels, pixels);
        QCOMPARE((QList<double>{area.startX, area.startY, area.endX, area.endY}), fractions);
    }

    void fractionsRoundOutwards()
    {
        using orv::render::fractionDown;
        using orv::render::fractionUp;
        QCOMPARE(fractionDown(0.29), 0.29); // 0.29 * 100 is 28.999999999999996
        QCOMPARE(fractionUp(0.29), 0.29);
        QCOMPARE(fractionDown(0.2999), 0.29);
        QCOMPARE(fractionUp(0.2901), 0.3);
        QCOMPARE(fractionDown(-0.5), 0.0);
        QCOMPARE(fractionUp(1.2), 1.0);
        QCOMPARE(fractionUp(1.0), 1.0);
    }

    void uniformRow()
    {
        QImage image(5, 3, QImage::Format_RGB32);
        image.fill(Qt::white);
        image.setPixel(4, 1, qRgb(255, 255, 254));
        QVERIFY(orv::render::isUniformRow(image, 0));
        QVERIFY(!orv::render::isUniformRow(image, 1));
        QVERIFY(!orv::render::isUniformRow(image, 3));
        const QImage grey = image.convertToFormat(QImage::Format_RGB888);
        QVERIFY(orv::render::isUniformRow(grey, 2));
        QVERIFY(!orv::render::isUniformRow(grey, 1));
    }

    void rowScale()
    {
        // Edges round to the nearest row, the same for two entries meeting
        // there; the page's last row ends the pictures' last.
        const RowScale scale{10, 15};
        QCOMPARE((QList<int>{scale.at(0), scale.at(3), scale.at(7), scale.at(9), scale.at(10)}),
                 (QList<int>{0, 5, 11, 14, 15}));
        QCOMPARE(RowScale::forWidths(1000, 750, 1242).pictureHeight, 1656);
        QCOMPARE(RowScale::forWidths(1000, 750, 750).at(333), 333);
    }
};

QTEST_GUILESS_MAIN(TstPageCut)
#include "tst_pagecut.moc"
