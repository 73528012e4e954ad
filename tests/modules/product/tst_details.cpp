#include "core/jpegheader.h"
#include "core/picturemeasurer.h"
#include "modules/product/details/details.h"
#include "support/generated.h"
#include "support/golden.h"
#include "support/testjpeg.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;
using orv::test::makeJpeg;

namespace {

// Serves pictures from memory, each read a byte at a time as a slow
// connection would deliver it; an unknown address fails like a 404.
class FakeMeasurer : public PictureMeasurer {
public:
    QHash<QString, QByteArray> bodies;
    QStringList fetched;

    QList<MeasuredPicture> measureAll(const QStringList &urls, const Progress &, const std::atomic_bool *) override
    {
        QList<MeasuredPicture> outcomes;
        for (const QString &url : urls) {
            fetched << url;
            MeasuredPicture outcome;
            if (!bodies.contains(url)) {
                outcome.failure
                    = cannotDownload(url, url.isEmpty() ? u"The address is empty"_s : u"HTTP status 404"_s).message();
                outcomes << outcome;
                continue;
            }
            const QByteArray body = bodies.value(url);
            JpegHeaderReader reader;
            for (qsizetype i = 0; i < body.size() && !reader.append(body.sliced(i, 1)); ++i) {}
            try {
                outcome.height = reader.size().height();
            } catch (const Failure &failure) {
                outcome.failure = failure.message();
            }
            outcomes << outcome;
        }
        return outcomes;
    }
};

struct Order {
    QString count, titles, captions, addresses, failure;
    int fetches;
};

} // namespace

Q_DECLARE_METATYPE(Order)

class TstDetails : public QObject {
    Q_OBJECT

private:
    FakeMeasurer m_measurer;
    PageState m_state;
    QString m_failure;

    void reset(int style, const QString &count, const QString &titles, const QString &captions,
               const QString &addresses, Shop shop = Shop::Taobao)
    {
        m_state = test::stateWith(details::pageSpec(), shop,
                                  {{u"style"_s, QString::number(style)},
                                   {u"count"_s, count},
                                   {u"titles"_s, titles},
                                   {u"captions"_s, captions},
                                   {u"pictures"_s, addresses}});
        m_measurer = FakeMeasurer();
    }

    QString generate(PictureMeasurer *measurer)
    {
        m_failure.clear();
        try {
            return details::generate(m_state, Services{.measurer = measurer}).fragment;
        } catch (const Failure &failure) {
            m_failure = failure.message();
        }
        return {};
    }
    QString generate() { return generate(&m_measurer); }

private slots:
    void startUpFieldsListStyle()
    {
        m_state = details::pageSpec().defaultState();
        ORV_COMPARE_GOLDEN(generate(nullptr), u"modules/details/defaults-taobao.html"_s);
        QCOMPARE(m_state.field(u"titles"_s), u"高品质面料说明|\r\n"_s.repeated(4) + u"高品质面料说明"_s);
    }

    void fragments_data()
    {
        QTest::addColumn<Shop>("shop");
        QTest::addColumn<int>("style");
        QTest::newRow("list-taobao") << Shop::Taobao << 0;
        QTest::newRow("list-tmall") << Shop::Tmall << 0;
        QTest::newRow("overlay-taobao") << Shop::Taobao << 1;
        QTest::newRow("overlay-tmall") << Shop::Tmall << 1;
    }
    void fragments()
    {
        QFETCH(Shop, shop);
        QFETCH(int, style);
        reset(style, u"2"_s, u"甲|乙|丙"_s, u"一|二|三"_s, u"a.jpg|b.jpg|c.jpg"_s, shop);
        m_measurer.bodies = {{u"a.jpg"_s, makeJpeg(750, 1000)}, {u"b.jpg"_s, makeJpeg(750, 40)}};
        ORV_COMPARE_GOLDEN(generate(), test::goldenCase(u"modules/details"_s));
        QCOMPARE(m_measurer.fetched, style == 1 ? QStringList({u"a.jpg"_s, u"b.jpg"_s}) : QStringList());
    }

    void counts_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<int>("pictures");
        QTest::addColumn<QString>("failure");
        QTest::newRow("0") << u"0"_s << 0 << QString();
        QTest::newRow("negative") << u"-3"_s << 0 << QString();
        QTest::newRow("3 of 5 items") << u"3"_s << 3 << QString();
        QTest::newRow("all 5") << u"5"_s << 5 << QString();
        QTest::newRow("6 of 5 items") << u"6"_s << -1 << u"List index out of bounds (5)"_s;
        QTest::newRow("text") << u"abc"_s << -1 << u"'abc' is not a valid integer value"_s;
    }
    void counts()
    {
        QFETCH(QString, count);
        QFETCH(int, pictures);
        QFETCH(QString, failure);
        reset(0, count, u"\r\n  t1|t2|t3|t4|t5\r\n\r\n"_s, u" c1|c2|c3|c4|c5 "_s, u"a1|a2|a3|a4|a5\r\n"_s);
        const QString fragment = generate();
        QCOMPARE(m_failure, failure);
        // The lists are cleaned first, whatever happens next.
        QCOMPARE(m_state.field(u"titles"_s), u"t1|t2|t3|t4|t5"_s);
        QCOMPARE(m_state.field(u"captions"_s), u"c1|c2|c3|c4|c5"_s);
        QCOMPARE(m_state.field(u"pictures"_s), u"a1|a2|a3|a4|a5"_s);
        if (pictures < 0)
            return;
        QCOMPARE(fragment.count(u"<img "_s), pictures);
        QCOMPARE(fragment.count(u"\r\n"_s), pictures);
        if (pictures == 3)
            QVERIFY(fragment.contains(u"\"a3\""_s) && fragment.contains(u">t3<"_s) && !fragment.contains(u"a4"_s));
        if (pictures == 0)
            QCOMPARE(fragment, u"<div style=\"width:750px; font-family:Microsoft YaHei; font-size:15px\"></div>"_s);
    }

    // A final "|" makes one more, empty item; a blank splits a title in two,
    // quotes keep it whole.
    void items_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("titles");
        QTest::addColumn<QString>("captions");
        QTest::addColumn<QString>("addresses");
        QTest::newRow("final-delimiter") << u"6"_s << u"t|t|t|t|t|t"_s << u"c|c|c|c|c|c"_s << u"a|a|a|a|a|"_s;
        QTest::newRow("blanks-split-titles") << u"4"_s << u"高品质 面料|B|\"C D\""_s << u"1|2|3|4"_s << u"a|b|c|d"_s;
    }
    void items()
    {
        QFETCH(QString, count);
        QFETCH(QString, titles);
        QFETCH(QString, captions);
        QFETCH(QString, addresses);
        reset(0, count, titles, captions, addresses);
        ORV_COMPARE_GOLDEN(generate(), test::goldenCase(u"modules/details"_s));
    }

    void emptyAddressFailsInOverlay()
    {
        reset(1, u"6"_s, u"t|t|t|t|t|t"_s, u"c|c|c|c|c|c"_s, u"a|a|a|a|a|"_s);
        m_measurer.bodies = {{u"a"_s, makeJpeg(10, 100)}};
        generate();
        QCOMPARE(m_failure, u"Cannot download \"\". The address is empty"_s);
        QCOMPARE(m_measurer.fetched.size(), 6);
    }

    // Heights are never scaled to the total width; an empty picture measures 0.
    void measuredHeight()
    {
        reset(1, u"2"_s, u"t|t"_s, u"c|c"_s, u"p|q"_s);
        m_measurer.bodies = {{u"p"_s, makeJpeg(1500, 2000)}, {u"q"_s, {}}};
        const QString fragment = generate();
        for (const QString &piece : {u"height:1990px;"_s, u"top:-1950px;"_s, u"height:-10px;"_s, u"top:--50px;"_s})
            QVERIFY2(fragment.contains(piece), qPrintable(piece));
    }

    // Within one picture: its address, the fetch, the measurement, its title,
    // its caption. Over several pictures the first failure in picture order
    // wins, although every picture the batch can reach is fetched first.
    void failureOrder_data()
    {
        QTest::addColumn<Order>("c");
        const QString index = u"List index out of bounds (1)"_s;
        const QString missing = u"Cannot download \"missing\". HTTP status 404"_s;
        QTest::newRow("address") << Order{u"2"_s, u"t"_s, u"c"_s, u"p"_s, index, 1};
        QTest::newRow("fetch") << Order{u"2"_s, u"t"_s, u"c"_s, u"p|missing"_s, missing, 2};
        QTest::newRow("measure") << Order{u"2"_s, u"t"_s, u"c"_s, u"png"_s, u"JPEG error #53"_s, 1};
        QTest::newRow("title") << Order{u"2"_s, u"t"_s, u"c"_s, u"p|p"_s, index, 2};
        QTest::newRow("caption") << Order{u"2"_s, u"t|t"_s, u"c"_s, u"p|p"_s, index, 2};
        QTest::newRow("title before a later fetch") << Order{u"3"_s, u"t"_s, u"c|c|c"_s, u"p|p|missing"_s, index, 2};
        QTest::newRow("fetch before a later measure")
            << Order{u"3"_s, u"t|t|t"_s, u"c|c|c"_s, u"missing|png|p"_s, missing, 3};
        QTest::newRow("measure before a later title")
            << Order{u"3"_s, u"t"_s, u"c|c|c"_s, u"png|p|p"_s, u"JPEG error #53"_s, 2};
        QTest::newRow("fetch before its caption") << Order{u"3"_s, u"t|t|t"_s, u"c"_s, u"p|missing|png"_s, missing, 2};
    }
    void failureOrder()
    {
        QFETCH(Order, c);
        reset(1, c.count, c.titles, c.captions, c.addresses);
        m_measurer.bodies = {{u"p"_s, makeJpeg(100, 100)}, {u"png"_s, QByteArray("\x89PNG\r\n\x1A\n", 8)}};
        QCOMPARE(generate(), QString());
        QCOMPARE(m_failure, c.failure);
        QCOMPARE(m_measurer.fetched.size(), c.fetches);
    }

    void withoutMeasurerTheOverlayFails()
    {
        reset(1, u"1"_s, u"t"_s, u"c"_s, u"p"_s);
        generate(nullptr);
        QCOMPARE(m_failure, u"Cannot download \"p\". Fetching is not available"_s);
    }
};

QTEST_GUILESS_MAIN(TstDetails)
#include "tst_details.moc"
