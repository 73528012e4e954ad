// Picture fetches against hostile servers on 127.0.0.1, through the
// product-details generator as the window and the command line run it. Every
// fetcher in fetcherFactories() meets every server; each fetch ends in its
// "Cannot download" failure within the limits and writes nothing outside the
// private folder; a sound server's picture is fetched and measured.

#include "core/failure.h"
#include "core/fetch/curlfetcher.h"
#include "core/fetch/curlmeasurer.h"
#include "modules/product/xijie/xijie.h"
#include "support/loopbackserver.h"
#include "support/testjpeg.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

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

// Every fetcher the program can use; each one meets every hostile server.
const char *const fetcherNames[] = {"curl", "curl batch"};

std::unique_ptr<orv::ImageFetcher> makeFetcher(int which, const Limits &limits)
{
    const orv::CurlFetcher::Options options{limits.maxRedirects, limits.stall, limits.total, limits.maxBytes};
    if (which == 0)
        return std::make_unique<orv::CurlFetcher>(options);
    return std::make_unique<orv::CurlBatchFetcher>(options);
}

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
        const orv::CurlFetcher fetcher;
        const orv::CurlFetcher::Options &options = fetcher.options();
        QCOMPARE(options.stallTimeout, std::chrono::seconds(10));
        QCOMPARE(options.totalTimeout, std::chrono::seconds(60));
        QCOMPARE(options.maxBytes, 32 * mebibyte);
        QCOMPARE(options.maxRedirects, 5L);
    }

    void fetch_data()
    {
        QTest::addColumn<int>("fetcher");
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<QByteArray>("response");
        QTest::addColumn<int>("stallSeconds");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("reason"); // empty for success

        const QByteArray ok = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n";
        const QByteArray longHeader =
            "HTTP/1.1 200 OK\r\nX-Padding: " + QByteArray(mebibyte, 'x') + "\r\n\r\n";
        const QString notHttp = u"Only http and https addresses are fetched"_s;
        const auto rows = [&](const char *name, Behaviour behaviour, const QByteArray &response,
                              const QString &reason, int stall = 1, const QString &query = {}) {
            for (int f = 0; f < 2; ++f)
                QTest::addRow("%s: %s", fetcherNames[f], name) << f << int(behaviour) << response << stall << query << reason;
        };
        rows("sound picture", Behaviour::Reply, Server::response(200, orv::test::makeJpeg(300, 123)), {});
        rows("accepts, never answers", Behaviour::Silent, {}, u"No answer for 1 second"_s);
        // The stall limit is above the drip's pace: the time in all ends it.
        rows("a byte a second", Behaviour::SlowDrip, ok, u"Not complete within 3 seconds"_s, 5);
        rows("endless body", Behaviour::Endless, ok, u"Larger than 1 MiB"_s);
        rows("picture of megabytes", Behaviour::Reply, Server::response(200, QByteArray(3 * mebibyte, 'x')),
             u"Larger than 1 MiB"_s);
        rows("redirect loop", Behaviour::Reply, redirectTo("/x.jpg"), u"More than 5 redirects"_s);
        rows("redirect to file://", Behaviour::Reply, redirectTo("file:///etc/passwd"), notHttp);
        rows("redirect to ftp://", Behaviour::Reply, redirectTo("ftp://127.0.0.1/x.jpg"), notHttp);
        rows("redirect to dict://", Behaviour::Reply, redirectTo("dict://127.0.0.1/d:x"), notHttp);
        rows("header of a mebibyte", Behaviour::Reply, longHeader, u"The server's header is too large"_s);
        rows("endless header", Behaviour::Endless,
             "HTTP/1.1 200 OK\r\nX-Padding: ", u"The server's header is too large"_s);
        rows("address of megabytes", Behaviour::Reply, ok, u"The address is longer than 65536 characters"_s,
             1, u"?"_s + QString(2 * mebibyte, u'q'));
    }

    void fetch()
    {
        QFETCH(int, fetcher);
        QFETCH(int, behaviour);
        QFETCH(QByteArray, response);
        QFETCH(int, stallSeconds);
        QFETCH(QString, query);
        QFETCH(QString, reason);

        Server server;
        server.route("/x.jpg", Behaviour(behaviour), response);
        const QString url = server.url(u"/x.jpg"_s + query);
        const Limits limits{.stall = std::chrono::seconds(stallSeconds)};
        const std::unique_ptr<orv::ImageFetcher> fetch = makeFetcher(fetcher, limits);
        QTemporaryDir privateDir;

        // The overlay style of the product details fetches and measures its picture.
        orv::PageState state = orv::xijie::page().defaultState();
        state.setField(u"rg2"_s, u"1"_s);
        state.setField(u"cbb4"_s, u"1"_s);
        state.setField(u"mmoxijietupian"_s, url);
        const orv::Services services{.fetcher = fetch.get(), .privateDir = privateDir.path()};
        QElapsedTimer clock;
        clock.start();
        QString outcome;
        try {
            outcome = orv::xijie::btn11Click(state, services).fragment;
        } catch (const orv::Failure &failure) {
            outcome = failure.message();
        }

        QVERIFY2(clock.elapsed() < limits.total.count() + 2000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(entries(m_current.path()), QStringList());
        if (reason.isEmpty()) {
            QVERIFY2(outcome.contains(u"height:113px"_s), qPrintable(outcome));
            QCOMPARE(entries(privateDir.path()), QStringList{orv::xijie::pictureFileName()});
        } else {
            QCOMPARE(outcome, orv::cannotDownload(url, reason).message());
            QCOMPARE(entries(privateDir.path()), QStringList());
        }
    }
};

QTEST_GUILESS_MAIN(TstHostileServers)
#include "tst_hostileservers.moc"
