#include "core/jpegheader.h"
#include "fetch/curlmeasurer.h"
#include "support/loopbackserver.h"
#include "support/testjpeg.h"
#include "support/testpictures.h"

#include <QTest>

#include <thread>

using namespace Qt::StringLiterals;
using Server = orv::test::LoopbackServer;
using Behaviour = Server::Behaviour;
using orv::MeasuredPicture;

namespace orv {
char *toString(const MeasuredPicture &picture)
{
    return QTest::toString(picture.measured() ? QString::number(picture.height) : picture.failure);
}
} // namespace orv

namespace {

orv::CurlMeasurer::Options shortLimits()
{
    orv::CurlMeasurer::Options options;
    options.stallTimeout = std::chrono::seconds(1);
    options.totalTimeout = std::chrono::milliseconds(3000);
    return options;
}

MeasuredPicture failed(const QString &message)
{
    return {.failure = message};
}

// The outcomes as a JPEG reading gives them: height and failure alone.
QList<MeasuredPicture> jpegOnly(const QList<MeasuredPicture> &outcomes)
{
    QList<MeasuredPicture> out;
    for (const MeasuredPicture &outcome : outcomes)
        out.append({outcome.height, outcome.failure});
    return out;
}

// What jpegSize() makes of a whole body: the outcome of fetching it into a
// file and reading the file's header.
MeasuredPicture jpegReading(const QByteArray &body)
{
    try {
        return {orv::jpegSize(body).height()};
    } catch (const orv::Failure &failure) {
        return failed(failure.message());
    }
}

} // namespace

class TstCurlMeasurer : public QObject {
    Q_OBJECT

private:
    Server m_server;
    // 2 MB, the frame header after an EXIF block of 100 000 bytes.
    QByteArray m_large = orv::test::withExif(orv::test::makeJpeg(1500, 2000), 100'000).leftJustified(2'000'000, '\0');

    QString url(const char *path) const { return m_server.url(QString::fromLatin1(path)); }

private slots:
    void initTestCase()
    {
        qputenv("no_proxy", "127.0.0.1"); // the loopback server is never behind a proxy
        m_server.route("/a.jpg", Behaviour::Reply, Server::response(200, orv::test::makeJpeg(750, 1000)));
        m_server.route("/large.jpg", Behaviour::Reply, Server::response(200, m_large));
        m_server.route("/moved", Behaviour::Reply, Server::response(302, {}, "Location: /a.jpg\r\n"));
        m_server.route("/page", Behaviour::Reply, Server::response(200, "<html></html>"));
        m_server.route("/empty.jpg", Behaviour::Reply, Server::response(200, {}));
        m_server.route("/cut.jpg", Behaviour::Reply, Server::response(200, orv::test::makeJpeg(750, 1000).left(100)));
        m_server.route("/silent", Behaviour::Silent, {});
        m_server.route("/trickle.jpg", Behaviour::Trickle,
                       Server::response(200, orv::test::withExif(orv::test::makeJpeg(640, 480), 1000)));
    }

    // One outcome per address in order, with the messages of a fetch into a
    // file and its measurement; every address is fetched once.
    void outcomes()
    {
        orv::CurlMeasurer measurer(shortLimits());
        const QStringList urls{url("/a.jpg"),           url("/large.jpg"), url("/a.jpg"),
                               url("/moved"),           url("/page"),      url("/empty.jpg"),
                               url("/cut.jpg"),         url("/missing"),   {},
                               u"file:///etc/passwd"_s, url("/a.jpg")};
        QList<std::pair<int, int>> progress;
        const QList<MeasuredPicture> outcomes = measurer.measureAll(urls, [&](int done, int total) {
            progress.append({done, total});
        });
        int cutCode = 0;
        try {
            orv::jpegSize(orv::test::makeJpeg(750, 1000).left(100));
        } catch (const orv::Failure &failure) {
            cutCode = failure.message().section(u'#', 1).toInt();
        }
        const QList<MeasuredPicture> expected{
            {1000},
            {2000},
            {1000},
            {1000},
            failed(u"JPEG error #53"_s),
            {0},
            failed(u"JPEG error #%1"_s.arg(cutCode)),
            failed(u"Cannot download \"%1\". HTTP status 404"_s.arg(url("/missing"))),
            failed(u"Cannot download \"\". The address is empty"_s),
            failed(u"Cannot download \"file:///etc/passwd\". Only http and https addresses are fetched"_s),
            {1000},
        };
        QCOMPARE(jpegOnly(outcomes), expected);
        for (qsizetype i = 0; i < outcomes.size(); ++i)
            QCOMPARE(outcomes[i].fetched, !expected[i].failure.startsWith(u"Cannot download"_s));
        QCOMPARE(m_server.requests("/a.jpg"), 2); // once itself, once redirected to
        QCOMPARE(progress.first(), std::pair(0, 11));
        QCOMPARE(progress.last(), std::pair(11, 11));
        QVERIFY(std::is_sorted(progress.begin(), progress.end()));
        // The test server answers one connection at a time: a stall on its own.
        QCOMPARE(jpegOnly(measurer.measureAll({url("/silent")})),
                 QList{failed(u"Cannot download \"%1\". No answer for 1 second"_s.arg(url("/silent")))});
    }

    // Only the header is read: the EXIF block and a little more.
    void headerOnly()
    {
        orv::CurlMeasurer measurer;
        QCOMPARE(jpegOnly(measurer.measureAll({url("/large.jpg")})), QList<MeasuredPicture>{{2000}});
        QCOMPARE(measurer.lastStatistics().transfers, 1);
        QVERIFY2(measurer.lastStatistics().bytesRead < 100'000 + 64 * 1024,
                 qPrintable(QString::number(measurer.lastStatistics().bytesRead)));
    }

    // The header arrives in many small pieces.
    void trickle()
    {
        QCOMPARE(jpegOnly(orv::CurlMeasurer().measureAll({url("/trickle.jpg")})), QList<MeasuredPicture>{{480}});
    }

    // Besides the JPEG reading, what the picture is: its format and size
    // whatever the format, and its byte size where the server gives it or
    // the body ends before the header is read.
    void pictureFacts_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("announced"); // with Content-Length
        QTest::addColumn<int>("format");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<qint64>("byteSize");
        using orv::PictureFormat;
        const QByteArray jpeg = orv::test::makeJpeg(750, 1000);
        const QByteArray png = orv::test::png(790, 600) + QByteArray(5000, 'p');
        const auto row
            = [](const char *name, const QByteArray &body, bool announced, PictureFormat format, QSize size,
                 qint64 byteSize) { QTest::newRow(name) << body << announced << int(format) << size << byteSize; };
        row("JPEG", jpeg, true, PictureFormat::Jpeg, {750, 1000}, jpeg.size());
        row("JPEG unannounced", jpeg, false, PictureFormat::Jpeg, {750, 1000}, -1);
        row("PNG", png, true, PictureFormat::Png, {790, 600}, png.size());
        row("PNG unannounced", png, false, PictureFormat::Png, {790, 600}, -1);
        row("GIF", orv::test::gif(480, 300), true, PictureFormat::Gif, {480, 300}, 13);
        row("BMP", orv::test::bmp(1501, 20), true, PictureFormat::Bmp, {1501, 20}, 42);
        row("WebP", orv::test::vp8x(2000, 2600), true, PictureFormat::WebP, {2000, 2600}, 30);
        row("HTML page", "<html>gone</html>", true, PictureFormat::Unsupported, {0, 0}, 17);
        row("empty", {}, true, PictureFormat::Unknown, {0, 0}, 0);
        row("empty unannounced", {}, false, PictureFormat::Unknown, {0, 0}, 0);
        row("PNG cut", orv::test::png(10, 10).left(20), false, PictureFormat::Png, {0, 0}, 20);
        row("one byte", "\x89", false, PictureFormat::Unknown, {0, 0}, 1);
    }
    void pictureFacts()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, announced);
        QFETCH(int, format);
        QFETCH(QSize, size);
        QFETCH(qint64, byteSize);
        Server server;
        server.route("/p", Behaviour::Reply,
                     announced ? Server::response(200, body) : "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + body);
        const QList<MeasuredPicture> outcomes = orv::CurlMeasurer().measureAll({server.url(u"/p"_s)});
        QCOMPARE(outcomes.size(), 1);
        const MeasuredPicture &outcome = outcomes.first();
        QVERIFY(outcome.fetched);
        QCOMPARE(int(outcome.header.format), format);
        QCOMPARE(QSize(outcome.header.width, outcome.header.height), size);
        QCOMPARE(outcome.header.measured(), !size.isEmpty());
        QCOMPARE(outcome.byteSize, byteSize);
        // The product details' own reading stays that of the whole body.
        QCOMPARE(jpegOnly(outcomes).first(), jpegReading(body));
    }

    void cancel()
    {
        orv::CurlMeasurer measurer;
        std::atomic_bool stop = false;
        std::thread canceller([&stop] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            stop = true;
        });
        QVERIFY_THROWS_EXCEPTION(orv::Cancelled, measurer.measureAll({url("/silent")}, {}, &stop));
        canceller.join();
    }
};

QTEST_GUILESS_MAIN(TstCurlMeasurer)
#include "tst_curlmeasurer.moc"
