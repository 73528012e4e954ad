#include "core/jpegheader.h"
#include "fetch/curlmeasurer.h"
#include "support/loopbackserver.h"
#include "support/testjpeg.h"

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
        QCOMPARE(outcomes, expected);
        QCOMPARE(m_server.requests("/a.jpg"), 2); // once itself, once redirected to
        QCOMPARE(progress.first(), std::pair(0, 11));
        QCOMPARE(progress.last(), std::pair(11, 11));
        QVERIFY(std::is_sorted(progress.begin(), progress.end()));
        // The test server answers one connection at a time: a stall on its own.
        QCOMPARE(measurer.measureAll({url("/silent")}),
                 QList{failed(u"Cannot download \"%1\". No answer for 1 second"_s.arg(url("/silent")))});
    }

    // Only the header is read: the EXIF block and a little more.
    void headerOnly()
    {
        orv::CurlMeasurer measurer;
        QCOMPARE(measurer.measureAll({url("/large.jpg")}), QList<MeasuredPicture>{{2000}});
        QCOMPARE(measurer.lastStatistics().transfers, 1);
        QVERIFY2(measurer.lastStatistics().bytesRead < 100'000 + 64 * 1024,
                 qPrintable(QString::number(measurer.lastStatistics().bytesRead)));
    }

    // The header arrives in many small pieces.
    void trickle() { QCOMPARE(orv::CurlMeasurer().measureAll({url("/trickle.jpg")}), QList<MeasuredPicture>{{480}}); }

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
