// Picture fetches against hostile servers on 127.0.0.1, through the
// product-details generator and through the page check's pictures, with the
// measurer the window and the command line use. Each fetch ends in its
// "Cannot download" failure within the limits and writes nothing; a sound
// server's picture is fetched and measured.

#include "core/check/picturecheck.h"
#include "core/failure.h"
#include "fetch/curlmeasurer.h"
#include "modules/product/details/details.h"
#include "support/loopbackserver.h"
#include "support/testjpeg.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Server = orv::test::LoopbackServer;
using Behaviour = Server::Behaviour;

namespace {

constexpr qint64 mebibyte = qint64(1024) * 1024;

// The limits of a fetch, scaled down where the real ones would take too long.
struct Limits {
    std::chrono::seconds stall{1};
    std::chrono::milliseconds total{3000};
    qint64 maxBytes = mebibyte;
    long maxRedirects = 5;
};

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

QByteArray redirectTo(const QByteArray &location)
{
    return Server::response(302, {}, "Location: " + location + "\r\n");
}

} // namespace

class TstHostileServers : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_current;

private slots:
    void initTestCase()
    {
        qputenv("no_proxy", "127.0.0.1");
        // Whatever a fetch might write beside its target would land here.
        QVERIFY(QDir::setCurrent(m_current.path()));
    }

    void defaultLimits()
    {
        const orv::CurlMeasurer::Options options;
        QCOMPARE(options.stallTimeout, std::chrono::seconds(10));
        QCOMPARE(options.totalTimeout, std::chrono::seconds(60));
        QCOMPARE(options.maxBytes, 32 * mebibyte);
        QCOMPARE(options.maxRedirects, 5L);
    }

    void fetch_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<QByteArray>("response");
        QTest::addColumn<int>("stallSeconds");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("reason"); // empty for success

        const QByteArray ok = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n";
        const QByteArray longHeader = "HTTP/1.1 200 OK\r\nX-Padding: " + QByteArray(mebibyte, 'x') + "\r\n\r\n";
        // A picture whose header never completes: a JPEG start and an EXIF
        // block of the largest size, the server's bytes its endless content.
        const QByteArray unfinished = ok + QByteArray("\xFF\xD8\xFF\xE1\xFF\xFF");
        const QString notHttp = u"Only http and https addresses are fetched"_s;
        const auto rows = [&](const char *name, Behaviour behaviour, const QByteArray &response, const QString &reason,
                              int stall = 1, const QString &query = {}) {
            QTest::newRow(name) << int(behaviour) << response << stall << query << reason;
        };
        rows("sound picture", Behaviour::Reply, Server::response(200, orv::test::makeJpeg(300, 123)), {});
        rows("404", Behaviour::Reply, Server::response(404, "gone"), u"HTTP status 404"_s);
        rows("500", Behaviour::Reply, Server::response(500, "oops"), u"HTTP status 500"_s);
        rows("announced too large", Behaviour::Endless,
             "HTTP/1.1 200 OK\r\nContent-Length: 1000000000\r\nConnection: close\r\n\r\n", u"Larger than 1 MiB"_s);
        rows("accepts, never answers", Behaviour::Silent, {}, u"No answer for 1 second"_s);
        // The stall limit is above the drip's pace: the time in all ends it.
        rows("a byte a second", Behaviour::SlowDrip, unfinished, u"Not complete within 3 seconds"_s, 5);
        rows("endless body", Behaviour::Endless, unfinished, u"Larger than 1 MiB"_s);
        rows("picture of megabytes", Behaviour::Reply, Server::response(200, QByteArray(3 * mebibyte, 'x')),
             u"Larger than 1 MiB"_s);
        rows("redirect loop", Behaviour::Reply, redirectTo("/x.jpg"), u"More than 5 redirects"_s);
        rows("redirect to file://", Behaviour::Reply, redirectTo("file:///etc/passwd"), notHttp);
        rows("redirect to ftp://", Behaviour::Reply, redirectTo("ftp://127.0.0.1/x.jpg"), notHttp);
        rows("redirect to dict://", Behaviour::Reply, redirectTo("dict://127.0.0.1/d:x"), notHttp);
        rows("header of a mebibyte", Behaviour::Reply, longHeader, u"The server's header is too large"_s);
        rows("endless header", Behaviour::Endless,
             "HTTP/1.1 200 OK\r\nX-Padding: ", u"The server's header is too large"_s);
        rows("address of megabytes", Behaviour::Reply, ok, u"The address is longer than 65536 characters"_s, 1,
             u"?"_s + QString(2 * mebibyte, u'q'));
    }

    void fetch()
    {
        QFETCH(int, behaviour);
        QFETCH(QByteArray, response);
        QFETCH(int, stallSeconds);
        QFETCH(QString, query);
        QFETCH(QString, reason);

        Server server;
        server.route("/x.jpg", Behaviour(behaviour), response);
        const QString url = server.url(u"/x.jpg"_s + query);
        const Limits limits{.stall = std::chrono::seconds(stallSeconds)};
        orv::CurlMeasurer measurer({limits.maxRedirects, limits.stall, limits.total, limits.maxBytes});

        // The overlay style of the product details fetches and measures its picture.
        orv::PageState state = orv::details::pageSpec().defaultState();
        state.setField(u"style"_s, u"1"_s);
        state.setField(u"count"_s, u"1"_s);
        state.setField(u"pictures"_s, url);
        const orv::Services services{.measurer = &measurer};
        QElapsedTimer clock;
        clock.start();
        QString outcome;
        try {
            outcome = orv::details::generate(state, services).fragment;
        } catch (const orv::Failure &failure) {
            outcome = failure.message();
        }

        QVERIFY2(clock.elapsed() < limits.total.count() + 2000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(entries(m_current.path()), QStringList());
        if (reason.isEmpty())
            QVERIFY2(outcome.contains(u"height:113px"_s), qPrintable(outcome));
        else
            QCOMPARE(outcome, orv::cannotDownload(url, reason).message());

        // The page check's pictures: a dead picture with the same reason, at
        // both places the address is used.
        const QString page = u"<p><img src=\"%1\"></p>\r\n<div style=\"background-image:url('%1')\">x</div>"_s.arg(url);
        // Only the fetching is timed: reading a page of megabytes is not.
        const auto pictures = orv::check::listPictures(page, 750);
        clock.restart();
        const QList<orv::check::Finding> findings = orv::check::measureAndCheckPictures(pictures, measurer);
        QVERIFY2(clock.elapsed() < limits.total.count() + 2000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(entries(m_current.path()), QStringList());
        QStringList seen;
        for (const orv::check::Finding &f : findings)
            seen.append(f.rule + u": "_s + f.message);
        // Addresses are cut short in messages. The sound picture is 300 pixels
        // wide: too narrow for the mobile description.
        const QString shown = url.size() > 80 ? url.first(79) + u"…"_s : url;
        const QString expected = reason.isEmpty()
                                     ? u"mobile-fit: 手机详情导入图片时不接受这张图片（宽 300 像素）：%1"_s.arg(shown)
                                     : u"picture-dead: 图片无法下载："_s + orv::cannotDownload(shown, reason).message();
        QCOMPARE(seen, QStringList(2, expected));
    }

    // Addresses that are never fetched, and sound servers the picture is
    // reached through.
    void addresses_data()
    {
        QTest::addColumn<QString>("path");    // on the server; an absolute address as given
        QTest::addColumn<QString>("outcome"); // a piece of the fragment, or the failure's reason
        QTest::newRow("file address") << u"file:///etc/passwd"_s << u"Only http and https addresses are fetched"_s;
        QTest::newRow("after a redirect") << u"/moved"_s << u"height:113px"_s;
        QTest::newRow("empty body") << u"/empty.jpg"_s << u"height:-10px"_s;
    }
    void addresses()
    {
        QFETCH(QString, path);
        QFETCH(QString, outcome);
        Server server;
        server.route("/a.jpg", Behaviour::Reply, Server::response(200, orv::test::makeJpeg(300, 123)));
        server.route("/moved", Behaviour::Reply, redirectTo("/a.jpg"));
        server.route("/empty.jpg", Behaviour::Reply, Server::response(200, {}));
        const QString url = path.startsWith(u'/') ? server.url(path) : path;
        orv::CurlMeasurer measurer;
        orv::PageState state = orv::details::pageSpec().defaultState();
        state.setField(u"style"_s, u"1"_s);
        state.setField(u"count"_s, u"1"_s);
        state.setField(u"pictures"_s, url);
        QString result;
        try {
            result = orv::details::generate(state, {.measurer = &measurer}).fragment;
        } catch (const orv::Failure &failure) {
            result = failure.message();
        }
        if (outcome.startsWith(u"height"_s))
            QVERIFY2(result.contains(outcome), qPrintable(result));
        else
            QCOMPARE(result, orv::cannotDownload(url, outcome).message());
        QCOMPARE(entries(m_current.path()), QStringList());
    }
};

QTEST_GUILESS_MAIN(TstHostileServers)
#include "tst_hostileservers.moc"
