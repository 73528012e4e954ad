#include "core/fetch/curlfetcher.h"
#include "support/loopbackserver.h"
#include "support/testjpeg.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Server = orv::test::LoopbackServer;
using Behaviour = Server::Behaviour;

// The stalls, endless bodies, redirect loops and foreign schemes are met in
// the hostile-server test through both fetchers.
class TstCurlFetcher : public QObject {
    Q_OBJECT

private:
    Server m_server;
    QByteArray m_jpeg = orv::test::makeJpeg(750, 1000);

    // Fetches with short limits, so that no case waits for the real ones.
    bool fetch(const QString &url, const QString &target, QString *reason)
    {
        orv::CurlFetcher::Options options;
        options.stallTimeout = std::chrono::seconds(1);
        options.totalTimeout = std::chrono::milliseconds(3000);
        options.maxBytes = 64 * 1024;
        return orv::CurlFetcher(options).DownloadUrlToFile(url, target, reason);
    }

private slots:
    void initTestCase()
    {
        qputenv("no_proxy", "127.0.0.1"); // the loopback server is never behind a proxy
        m_server.route("/a.jpg", Behaviour::Reply, Server::response(200, m_jpeg));
        m_server.route("/empty.jpg", Behaviour::Reply, Server::response(200, {}));
        m_server.route("/moved", Behaviour::Reply, Server::response(302, {}, "Location: /a.jpg\r\n"));
        m_server.route("/broken", Behaviour::Reply, Server::response(500, "oops"));
        m_server.route("/huge", Behaviour::Endless,
                       "HTTP/1.1 200 OK\r\nContent-Length: 1000000000\r\nConnection: close\r\n\r\n");
    }

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
        QString reason;
        QVERIFY2(fetch(m_server.url(path), dir.filePath(u"1.jpg"_s), &reason), qPrintable(reason));
        QFile file(dir.filePath(u"1.jpg"_s));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), body);
    }

    void failure_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("reason");
        const auto local = [this](const char *path) { return m_server.url(QString::fromLatin1(path)); };
        QTest::newRow("404") << local("/missing.jpg") << u"HTTP status 404"_s;
        QTest::newRow("500") << local("/broken") << u"HTTP status 500"_s;
        QTest::newRow("announced too large") << local("/huge") << u"Larger than 65536 bytes"_s;
        QTest::newRow("file address") << u"file:///etc/passwd"_s << u"Only http and https addresses are fetched"_s;
        QTest::newRow("empty address") << QString() << u"The address is empty"_s;
    }
    void failure()
    {
        QFETCH(QString, url);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QString why;
        QVERIFY(!fetch(url, dir.filePath(u"1.jpg"_s), &why));
        QCOMPARE(why, reason);
        // Nothing is left behind, not even a partial body.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_GUILESS_MAIN(TstCurlFetcher)
#include "tst_curlfetcher.moc"
