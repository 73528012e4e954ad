#include "core/fetch/curlfetcher.h"
#include "support/loopbackserver.h"
#include "support/testjpeg.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using orv::CurlFetcher;
using Server = orv::test::LoopbackServer;
using Behaviour = Server::Behaviour;

class TstCurlFetcher : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Server> m_server;
    QByteArray m_jpeg = orv::test::makeJpeg(750, 1000);

    // Short limits, so that no case waits for the real ones.
    static CurlFetcher::Options shortLimits()
    {
        CurlFetcher::Options options;
        options.stallTimeout = std::chrono::seconds(1);
        options.totalTimeout = std::chrono::milliseconds(3000);
        options.maxBytes = 64 * 1024;
        return options;
    }

private slots:
    void initTestCase()
    {
        m_server = std::make_unique<Server>();
        m_server->route("/a.jpg", Behaviour::Reply, Server::response(200, m_jpeg));
        m_server->route("/empty.jpg", Behaviour::Reply, Server::response(200, {}));
        m_server->route("/moved", Behaviour::Reply, Server::redirect("/a.jpg"));
        m_server->route("/gone", Behaviour::Reply, Server::response(410, "gone"));
        m_server->route("/broken", Behaviour::Reply, Server::response(500, "oops"));
        m_server->route("/silent", Behaviour::Silent, {});
        m_server->route("/endless", Behaviour::Endless, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
        m_server->route("/huge", Behaviour::Endless,
                        "HTTP/1.1 200 OK\r\nContent-Length: 1000000000\r\nConnection: close\r\n\r\n");
        m_server->route("/drip", Behaviour::Drip, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
        m_server->route("/to-file", Behaviour::Reply, Server::redirect("file:///etc/passwd"));
        m_server->route("/loop", Behaviour::Reply, Server::redirect("/loop"));
    }
    void cleanupTestCase() { m_server.reset(); }

    void success_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("picture") << u"/a.jpg"_s << m_jpeg;
        QTest::newRow("after a redirect") << u"/moved"_s << m_jpeg;
        QTest::newRow("empty body") << u"/empty.jpg"_s << QByteArray();
    }
    void success()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, body);
        QTemporaryDir dir;
        const QString target = dir.filePath(u"1.jpg"_s);
        QString reason;
        QVERIFY2(CurlFetcher(shortLimits()).DownloadUrlToFile(m_server->url(path), target, &reason), qPrintable(reason));
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), body);
    }

    void failure_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("reason");
        const auto local = [this](const char *path) { return m_server->url(QString::fromLatin1(path)); };
        QTest::newRow("404") << local("/missing.jpg") << u"HTTP status 404"_s;
        QTest::newRow("410") << local("/gone") << u"HTTP status 410"_s;
        QTest::newRow("500") << local("/broken") << u"HTTP status 500"_s;
        QTest::newRow("never answers") << local("/silent") << u"No answer for 1 second"_s;
        QTest::newRow("endless body") << local("/endless") << u"Larger than 65536 bytes"_s;
        QTest::newRow("announced too large") << local("/huge") << u"Larger than 65536 bytes"_s;
        QTest::newRow("too slow in all") << local("/drip") << u"Not complete within 3 seconds"_s;
        QTest::newRow("redirect to file://") << local("/to-file") << u"Only http and https addresses are fetched"_s;
        QTest::newRow("redirect loop") << local("/loop") << u"More than 5 redirects"_s;
        QTest::newRow("file address") << u"file:///etc/passwd"_s << u"Only http and https addresses are fetched"_s;
        QTest::newRow("no scheme") << u"img.example/a.jpg"_s << u"Only http and https addresses are fetched"_s;
        QTest::newRow("empty address") << QString() << u"The address is empty"_s;
    }
    void failure()
    {
        QFETCH(QString, url);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QString why;
        QVERIFY(!CurlFetcher(shortLimits()).DownloadUrlToFile(url, dir.filePath(u"1.jpg"_s), &why));
        QCOMPARE(why, reason);
        // Nothing is left behind, not even a partial body.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void nothingListens()
    {
        QString url;
        {
            const Server gone; // its port is free again once it is destroyed
            url = gone.url(u"/a.jpg"_s);
        }
        QTemporaryDir dir;
        QString why;
        QVERIFY(!CurlFetcher(shortLimits()).DownloadUrlToFile(url, dir.filePath(u"1.jpg"_s), &why));
        QVERIFY(!why.isEmpty());
    }

    void defaultLimits()
    {
        const CurlFetcher::Options options = CurlFetcher().options();
        QCOMPARE(options.maxRedirects, 5L);
        QCOMPARE(options.stallTimeout, std::chrono::seconds(10));
        QCOMPARE(options.totalTimeout, std::chrono::milliseconds(60'000));
        QCOMPARE(options.maxBytes, qint64(32) * 1024 * 1024);
    }
};

QTEST_GUILESS_MAIN(TstCurlFetcher)
#include "tst_curlfetcher.moc"
