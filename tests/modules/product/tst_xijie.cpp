#include "core/failure.h"
#include "core/imagefetcher.h"
#include "core/jpegheader.h"
#include "core/picturemeasurer.h"
#include "modules/product/xijie/xijie.h"
#include "support/testjpeg.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using orv::test::makeJpeg;

namespace {

// Serves pictures from memory; an unknown address fails like a 404.
class FakeFetcher : public orv::ImageFetcher {
public:
    QHash<QString, QByteArray> bodies;
    bool writeNothing = false;
    QStringList calls;
    QString lastPath;

    bool fetch(const QString &url, QString *reason)
    {
        calls << url;
        if (!bodies.contains(url))
            *reason = url.isEmpty() ? u"The address is empty"_s : u"HTTP status 404"_s;
        return bodies.contains(url);
    }

    bool DownloadUrlToFile(const QString &url, const QString &filePath, QString *reason) override
    {
        lastPath = filePath;
        if (!fetch(url, reason))
            return false;
        QFile file(filePath);
        if (!writeNothing && (!file.open(QIODevice::WriteOnly) || file.write(bodies.value(url)) < 0))
            return false;
        return true;
    }
};

// The batch over the same pictures, each read in one-byte pieces as a slow
// connection would deliver it.
class FakeMeasurer : public orv::PictureMeasurer {
public:
    explicit FakeMeasurer(FakeFetcher &fetcher) : m_fetcher(fetcher) {}

    QList<orv::MeasuredPicture> measureAll(const QStringList &urls, const Progress &, const std::atomic_bool *) override
    {
        QList<orv::MeasuredPicture> outcomes;
        for (const QString &url : urls) {
            orv::MeasuredPicture outcome;
            QString reason;
            orv::JpegHeaderReader reader;
            if (!m_fetcher.fetch(url, &reason)) {
                outcome.failure = orv::cannotDownload(url, reason).message();
                outcomes << outcome;
                continue;
            }
            const QByteArray body = m_fetcher.bodies.value(url);
            for (qsizetype i = 0; i < body.size() && !reader.append(body.sliced(i, 1)); ++i) {
            }
            try {
                outcome.height = reader.size().height();
            } catch (const orv::Failure &failure) {
                outcome.failure = failure.message();
            }
            outcomes << outcome;
        }
        return outcomes;
    }

private:
    FakeFetcher &m_fetcher;
};

const QString crlf = u"\r\n"_s;

struct Order {
    QString count, titles, captions, addresses, failure;
    int fetches, batchFetches;
};

QString wrapper(const QString &pictures)
{
    return u"<div style=\"width:750px; font-family:Microsoft YaHei; font-size:15px\">"_s + pictures + u"</div>"_s;
}

// One list-style picture at 750 with the start-up colours.
QString listPicture(const QString &address, const QString &title, const QString &caption)
{
    return u"<img style=\"margin-top:5px;\" src=\""_s + address + u"\" width=\"750\"/><div style=\"width:750px;\">"
           u"<div style=\"font-size:21px;color:#f30;margin:30px 0px; margin-bottom:5px;font-weight:600;"
           u"text-align:center\">"_s + title + u"</div><div style=\"color:#999;line-height:25px; padding:0 40px;"
           u"margin-bottom:20px;;text-align:center\">"_s + caption + u"</div></div>"_s;
}

} // namespace

Q_DECLARE_METATYPE(Order)

class TstXijie : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    FakeFetcher m_fetcher;
    orv::PageState m_state;
    QString m_failure;

    void reset(int style, const QString &count, const QString &titles, const QString &captions,
               const QString &addresses, const QString &width = u"750"_s)
    {
        m_state = orv::xijie::page().defaultState(orv::Metrics::forShop(width == u"790"_s ? 1 : 0));
        m_state.setField(u"rg2"_s, QString::number(style));
        m_state.setField(u"cbb4"_s, count);
        m_state.setField(u"mmoxijiebiaoti"_s, titles);
        m_state.setField(u"mmoxijieshuoming"_s, captions);
        m_state.setField(u"mmoxijietupian"_s, addresses);
        m_fetcher = FakeFetcher();
    }

    // Every case runs with the pictures fetched one by one and in a batch.
    QString generate(orv::ImageFetcher *fetcher)
    {
        QFETCH_GLOBAL(bool, batch);
        FakeMeasurer measurer(m_fetcher);
        const orv::Services services{.fetcher = batch ? nullptr : fetcher,
                                     .measurer = batch && fetcher ? &measurer : nullptr,
                                     .privateDir = m_dir.path()};
        m_failure.clear();
        try {
            return orv::xijie::btn11Click(m_state, services).fragment;
        } catch (const orv::Failure &failure) {
            m_failure = failure.message();
        }
        return {};
    }
    QString generate() { return generate(&m_fetcher); }

private slots:
    void initTestCase_data()
    {
        QTest::addColumn<bool>("batch");
        QTest::newRow("one by one") << false;
        QTest::newRow("batch") << true;
    }

    void startUpFieldsListStyle()
    {
        m_state = orv::xijie::page().defaultState();
        const QString address = m_state.field(u"mmoxijietupian"_s).section(u'|', 0, 0);
        QVERIFY(address.startsWith(u"https://"_s));
        const QString picture = listPicture(address, u"高品质面料说明"_s,
                                            u"2016单鞋春款时尚蛋卷鞋浅口新品真皮豆豆鞋平底软底串珠水钻女鞋"_s);
        QCOMPARE(generate(nullptr), wrapper((picture + crlf).repeated(5)));
        QCOMPARE(m_state.field(u"mmoxijiebiaoti"_s), u"高品质面料说明|\r\n"_s.repeated(4) + u"高品质面料说明"_s);
    }

    void fragments_data()
    {
        QTest::addColumn<QString>("width");
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("expected");
        const QString list = wrapper(listPicture(u"a.jpg"_s, u"甲"_s, u"一"_s) + crlf
                                     + listPicture(u"b.jpg"_s, u"乙"_s, u"二"_s) + crlf);
        const QString overlay = wrapper(
            uR"(<div style="width:750px; height:990px;overflow:hidden"><img style="margin-top:5px;" src="a.jpg" width="750"/><div style="width:350px;position:relative; top:-950px; left:60px;"><div style="font-size:33px;color:#f30;margin:30px 0px; margin-bottom:5px;font-weight:600;">甲</div><div style="color:#999;line-height:25px;margin-bottom:20px;">一</div></div></div>)"_s
            + crlf
            + uR"(<div style="width:750px; height:30px;overflow:hidden"><img style="margin-top:5px;" src="b.jpg" width="750"/><div style="width:350px;position:relative; top:--10px; left:60px;"><div style="font-size:33px;color:#f30;margin:30px 0px; margin-bottom:5px;font-weight:600;">乙</div><div style="color:#999;line-height:25px;margin-bottom:20px;">二</div></div></div>)"_s
            + crlf);
        QTest::newRow("list 750") << u"750"_s << 0 << list;
        QTest::newRow("list 790") << u"790"_s << 0 << QString(list).replace(u"750"_s, u"790"_s);
        QTest::newRow("overlay 750") << u"750"_s << 1 << overlay;
        QTest::newRow("overlay 790") << u"790"_s << 1 << QString(overlay).replace(u"750"_s, u"790"_s);
    }
    void fragments()
    {
        QFETCH(QString, width);
        QFETCH(int, style);
        QFETCH(QString, expected);
        reset(style, u"2"_s, u"甲|乙|丙"_s, u"一|二|三"_s, u"a.jpg|b.jpg|c.jpg"_s, width);
        m_fetcher.bodies = {{u"a.jpg"_s, makeJpeg(750, 1000)}, {u"b.jpg"_s, makeJpeg(750, 40)}};
        QCOMPARE(generate(), expected);
        QCOMPARE(m_fetcher.calls, style == 1 ? QStringList({u"a.jpg"_s, u"b.jpg"_s}) : QStringList());
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
        QCOMPARE(m_state.field(u"mmoxijiebiaoti"_s), u"t1|t2|t3|t4|t5"_s);
        QCOMPARE(m_state.field(u"mmoxijieshuoming"_s), u"c1|c2|c3|c4|c5"_s);
        QCOMPARE(m_state.field(u"mmoxijietupian"_s), u"a1|a2|a3|a4|a5"_s);
        if (pictures < 0)
            return;
        QCOMPARE(fragment.count(u"<img "_s), pictures);
        QCOMPARE(fragment.count(crlf), pictures);
        if (pictures == 3)
            QVERIFY(fragment.contains(u"\"a3\""_s) && fragment.contains(u">t3<"_s) && !fragment.contains(u"a4"_s));
        if (pictures == 0)
            QCOMPARE(fragment, wrapper({}));
    }

    // A final "|" makes one more, empty item.
    void finalDelimiter()
    {
        reset(0, u"6"_s, u"t|t|t|t|t|t"_s, u"c|c|c|c|c|c"_s, u"a|a|a|a|a|"_s);
        QVERIFY(generate().endsWith(listPicture({}, u"t"_s, u"c"_s) + crlf + u"</div>"_s));
        reset(1, u"6"_s, u"t|t|t|t|t|t"_s, u"c|c|c|c|c|c"_s, u"a|a|a|a|a|"_s);
        m_fetcher.bodies = {{u"a"_s, makeJpeg(10, 100)}};
        generate();
        QCOMPARE(m_failure, u"Cannot download \"\". The address is empty"_s);
        QCOMPARE(m_fetcher.calls.size(), 6);
    }

    // A blank splits a title in two; quotes keep it whole.
    void blanksSplitTitles()
    {
        reset(0, u"4"_s, u"高品质 面料|B|\"C D\""_s, u"1|2|3|4"_s, u"a|b|c|d"_s);
        QCOMPARE(generate(), wrapper(listPicture(u"a"_s, u"高品质"_s, u"1"_s) + crlf + listPicture(u"b"_s, u"面料"_s, u"2"_s)
                                     + crlf + listPicture(u"c"_s, u"B"_s, u"3"_s) + crlf
                                     + listPicture(u"d"_s, u"C D"_s, u"4"_s) + crlf));
    }

    // Heights are never scaled to the total width; an empty file measures 0.
    void measuredHeight()
    {
        reset(1, u"2"_s, u"t|t"_s, u"c|c"_s, u"p|q"_s);
        m_fetcher.bodies = {{u"p"_s, makeJpeg(1500, 2000)}, {u"q"_s, {}}};
        const QString fragment = generate();
        for (const QString &piece : {u"height:1990px;"_s, u"top:-1950px;"_s, u"height:-10px;"_s, u"top:--50px;"_s})
            QVERIFY2(fragment.contains(piece), qPrintable(piece));
    }

    // Within one picture: its address, the fetch, the measurement, its title,
    // its caption. Over several pictures the first failure in picture order
    // wins, although a batch fetches every picture it can reach first.
    void failureOrder_data()
    {
        QTest::addColumn<Order>("c");
        const QString index = u"List index out of bounds (1)"_s;
        const QString missing = u"Cannot download \"missing\". HTTP status 404"_s;
        QTest::newRow("address") << Order{u"2"_s, u"t"_s, u"c"_s, u"p"_s, index, 1, 1};
        QTest::newRow("fetch") << Order{u"2"_s, u"t"_s, u"c"_s, u"p|missing"_s, missing, 2, 2};
        QTest::newRow("measure") << Order{u"2"_s, u"t"_s, u"c"_s, u"png"_s, u"JPEG error #53"_s, 1, 1};
        QTest::newRow("title") << Order{u"2"_s, u"t"_s, u"c"_s, u"p|p"_s, index, 2, 2};
        QTest::newRow("caption") << Order{u"2"_s, u"t|t"_s, u"c"_s, u"p|p"_s, index, 2, 2};
        QTest::newRow("title before a later fetch") << Order{u"3"_s, u"t"_s, u"c|c|c"_s, u"p|p|missing"_s, index, 2, 2};
        QTest::newRow("fetch before a later measure")
            << Order{u"3"_s, u"t|t|t"_s, u"c|c|c"_s, u"missing|png|p"_s, missing, 1, 3};
        QTest::newRow("measure before a later title")
            << Order{u"3"_s, u"t"_s, u"c|c|c"_s, u"png|p|p"_s, u"JPEG error #53"_s, 1, 2};
        QTest::newRow("fetch before its caption") << Order{u"3"_s, u"t|t|t"_s, u"c"_s, u"p|missing|png"_s, missing, 2, 2};
    }
    void failureOrder()
    {
        QFETCH_GLOBAL(bool, batch);
        QFETCH(Order, c);
        reset(1, c.count, c.titles, c.captions, c.addresses);
        m_fetcher.bodies = {{u"p"_s, makeJpeg(100, 100)}, {u"png"_s, QByteArray("\x89PNG\r\n\x1A\n", 8)}};
        QCOMPARE(generate(), QString());
        QCOMPARE(m_failure, c.failure);
        QCOMPARE(m_fetcher.calls.size(), batch ? c.batchFetches : c.fetches);
    }

    // The picture file lives in the private folder and never outlives a
    // failed fetch, so nothing stale is measured.
    void pictureFile()
    {
        QFETCH_GLOBAL(bool, batch);
        if (batch)
            QSKIP("a batch measures in memory");
        const QString path = QDir(m_dir.path()).filePath(u"1.jpg"_s);
        reset(1, u"2"_s, u"t|t"_s, u"c|c"_s, u"p|missing"_s);
        m_fetcher.bodies = {{u"p"_s, makeJpeg(100, 100)}};
        generate();
        QCOMPARE(m_fetcher.lastPath, path);
        QCOMPARE(m_failure, u"Cannot download \"missing\". HTTP status 404"_s);
        QVERIFY(!QFile::exists(path));

        reset(1, u"1"_s, u"t"_s, u"c"_s, u"p"_s);
        m_fetcher.bodies = {{u"p"_s, {}}};
        m_fetcher.writeNothing = true;
        generate();
        QCOMPARE(m_failure, u"Cannot open file \"%1\". No such file or directory"_s.arg(path));

        reset(1, u"1"_s, u"t"_s, u"c"_s, u"p"_s);
        generate(nullptr);
        QCOMPARE(m_failure, u"Cannot download \"p\". Fetching is not available"_s);
    }
};

QTEST_GUILESS_MAIN(TstXijie)
#include "tst_xijie.moc"
