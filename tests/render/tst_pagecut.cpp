#include "render/pagecut.h"

#include <QImage>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;
using orv::render::EntrySpan;
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
        QTest::addColumn<QList<int>>("expected");
        const QList<int> all{-1};
        // The limit is 100 rows throughout.
        QTest::newRow("empty page") << 0 << QList<int>{} << all << QList<int>{0};
        QTest::newRow("shorter than the limit") << 80 << QList<int>{0, 40, 40, 80} << all << QList<int>{0, 80};
        QTest::newRow("exactly the limit") << 100 << QList<int>{0, 100} << all << QList<int>{0, 100};
        QTest::newRow("between entries, as full as they allow")
            << 250 << QList<int>{0, 60, 60, 120, 120, 190, 190, 250} << all << QList<int>{0, 60, 120, 190, 250};
        QTest::newRow("an entry ending on the limit")
            << 180 << QList<int>{0, 100, 100, 180} << QList<int>{} << QList<int>{0, 100, 180};
        QTest::newRow("limit in the gap between entries")
            << 200 << QList<int>{0, 50, 120, 200} << QList<int>{} << QList<int>{0, 100, 200};
        QTest::newRow("straddling entry starts the next picture")
            << 150 << QList<int>{0, 50, 70, 150} << QList<int>{} << QList<int>{0, 70, 150};
        QTest::newRow("overlapping entries move together")
            << 150 << QList<int>{0, 40, 30, 90, 90, 150} << all << QList<int>{0, 90, 150};
        QTest::newRow("tall entry on a new picture, cut inside at the limit")
            << 260 << QList<int>{0, 30, 30, 260} << all << QList<int>{0, 30, 130, 230, 260};
        QTest::newRow("tall entry cut on background rows")
            << 250 << QList<int>{0, 250} << QList<int>{70, 150} << QList<int>{0, 71, 151, 250};
        QTest::newRow("background row just below the cut")
            << 150 << QList<int>{0, 150} << QList<int>{90} << QList<int>{0, 91, 150};
        QTest::newRow("no background row: cut at the limit")
            << 250 << QList<int>{0, 250} << QList<int>{} << QList<int>{0, 100, 200, 250};
        QTest::newRow("background row too far above the limit")
            << 250 << QList<int>{0, 250} << QList<int>{20} << QList<int>{0, 100, 200, 250};
        QTest::newRow("no entries: cut at the limit")
            << 230 << QList<int>{} << QList<int>{} << QList<int>{0, 100, 200, 230};
        QTest::newRow("entries beyond the page are clamped")
            << 50 << QList<int>{-10, 70} << QList<int>{} << QList<int>{0, 50};
        QTest::newRow("entries out of order")
            << 200 << QList<int>{120, 200, 0, 50} << QList<int>{} << QList<int>{0, 100, 200};
    }
    void cuts()
    {
        QFETCH(int, height);
        QFETCH(QList<int>, entries);
        QFETCH(QList<int>, backgroundRows);
        QFETCH(QList<int>, expected);
        const QSet<int> background(backgroundRows.begin(), backgroundRows.end());
        QList<int> asked;
        const auto isBackground = [&](int row) {
            asked.append(row);
            return background.contains(-1) || background.contains(row);
        };
        QCOMPARE(orv::render::cutPage(height, spans(entries), 100, isBackground), expected);
        for (int row : std::as_const(asked))
            QVERIFY2(row >= 0 && row < height, qPrintable(u"asked for row %1"_s.arg(row)));
    }

    // Random pages and scales: every row in exactly one picture, none above
    // the limit in picture rows and none empty, only rows the cutter said it
    // needs looked at, and a cut inside an entry only where the picture began
    // inside that entry.
    void randomPages()
    {
        QRandomGenerator random(20240611);
        for (int round = 0; round < 500; ++round) {
            const int limit = random.bounded(20, 120);
            QList<EntrySpan> entries;
            int y = random.bounded(0, 10);
            while (y < 600) {
                const int height
                    = random.bounded(0, 4) == 0 ? random.bounded(limit, 3 * limit) : random.bounded(1, limit);
                const int overlap = random.bounded(0, 5) == 0 ? random.bounded(0, 10) : 0;
                entries.append(EntrySpan{std::max(0, y - overlap), y + height});
                y += height + random.bounded(0, 15);
            }
            const int pageHeight = y + random.bounded(0, 20);
            const RowScale scale{pageHeight, round % 3 == 0 ? pageHeight : pageHeight * random.bounded(60, 201) / 100};
            const orv::render::PageCutter cutter(pageHeight, entries, limit, scale);
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
                for (int row = start + 1; row <= pageHeight && scale.at(row) - scale.at(start) <= limit; ++row) {
                    if (!blocked(row) && scale.at(row) > scale.at(start))
                        furthestFree = row;
                }
                if (blocked(cut))
                    QVERIFY2(
                        furthestFree == 0,
                        qPrintable(u"cut %1 inside an entry after %2, though %3 was free"_s.arg(cut).arg(start).arg(
                            furthestFree)));
                else
                    QCOMPARE(cut, furthestFree);
            }
        }
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
