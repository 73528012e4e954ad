#include "app/busycursorfetcher.h"
#include "app/dialogs.h"
#include "app/mainwindow.h"
#include "app/modulepage.h"
#include "app/startup.h"
#include "support/loopbackserver.h"
#include "support/testjpeg.h"

#include <QApplication>
#include <QDir>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using Server = orv::test::LoopbackServer;

namespace {

// Records the cursor that was shown while it fetched.
class CursorProbe : public orv::ImageFetcher {
public:
    std::optional<Qt::CursorShape> shape;
    bool DownloadUrlToFile(const QString &, const QString &, QString *reason) override
    {
        if (const QCursor *cursor = QApplication::overrideCursor())
            shape = cursor->shape();
        *reason = u"HTTP status 404"_s;
        return false;
    }
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TstXijiePage : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<orv::MainWindow> m_window;
    orv::ModulePage *m_page = nullptr;
    Server m_server;

    void generate(const QString &style, const QString &count, const QString &addresses)
    {
        m_page->setValue(u"rg2"_s, style);
        m_page->setValue(u"cbb4"_s, count);
        m_page->setValue(u"mmoxijietupian"_s, addresses);
        m_page->findChild<QPushButton *>(u"btn11"_s)->click();
    }

private slots:
    void initTestCase()
    {
        qputenv("no_proxy", "127.0.0.1"); // the loopback server is never behind a proxy
        orv::dialogs::setTestMode(true);
        m_window = std::make_unique<orv::MainWindow>();
        m_page = m_window->page(u"tsxijie"_s);
        QVERIFY(m_page);
        m_server.route("/a.jpg", Server::Behaviour::Reply, Server::response(200, orv::test::makeJpeg(750, 1000)));
    }

    // The window measures the pictures as they arrive: no picture file is
    // written, neither in the private folder nor in the current one.
    void overlayMeasuresInMemory()
    {
        const bool strayBefore = QFile::exists(u"1.jpg"_s);
        generate(u"1"_s, u"1"_s, m_server.url(u"/a.jpg"_s));
        QCOMPARE(orv::dialogs::takeShown().size(), 0);
        QVERIFY(m_window->buffer().text().contains(u"height:990px;"_s));
        QVERIFY(m_window->buffer().text().contains(u"top:-950px;"_s));
        QVERIFY(!QFile::exists(QDir(m_window->privateFolder()).filePath(u"1.jpg"_s)));
        QCOMPARE(QFile::exists(u"1.jpg"_s), strayBefore);
    }

    // A slow fetch shows the progress dialog; cancelling it ends the action
    // without a message and without changing the fields, buffer or preview.
    void cancelChangesNothing()
    {
        // The header never completes: a long EXIF block dripping in.
        m_server.route("/slow.jpg", Server::Behaviour::Drip,
                       QByteArray("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n\xFF\xD8\xFF\xE1\xFF\xFF"));
        m_window->buffer().setText(u"before"_s);
        const QString previewFile = QDir(m_window->privateFolder()).filePath(u"file.html"_s);
        const QByteArray previewBefore = readAll(previewFile);
        const QString addresses = u"\r\n"_s + m_server.url(u"/slow.jpg"_s) + u"|\r\n"_s + m_server.url(u"/a.jpg"_s);
        QString label;
        QTimer cancelling;
        connect(&cancelling, &QTimer::timeout, this, [&] {
            for (auto *dialog : m_window->findChildren<QProgressDialog *>()) {
                if (dialog->isVisible() && label.isEmpty()) {
                    label = dialog->labelText();
                    dialog->findChild<QPushButton *>()->click();
                }
            }
        });
        cancelling.start(50);
        generate(u"1"_s, u"2"_s, addresses);
        QVERIFY2(label.startsWith(u"正在获取图片 "_s) && label.endsWith(u" / 2"_s), qPrintable(label));
        QCOMPARE(orv::dialogs::takeShown().size(), 0);
        QCOMPARE(m_window->buffer().text(), u"before"_s);
        QCOMPARE(readAll(previewFile), previewBefore);
        QCOMPARE(m_page->value(u"mmoxijietupian"_s), addresses); // not even cleaned
    }

    void busyCursorWhileFetching()
    {
        auto probe = std::make_unique<CursorProbe>();
        CursorProbe *seen = probe.get();
        orv::BusyCursorFetcher fetcher(std::move(probe));
        QString reason;
        QVERIFY(!fetcher.DownloadUrlToFile(u"http://127.0.0.1/"_s, u"1.jpg"_s, &reason));
        QCOMPARE(seen->shape, std::optional(Qt::WaitCursor));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void cleanupTestCase() { m_window.reset(); }
};

int main(int argc, char *argv[])
{
    orv::prepareBrowserEnvironment();
    QApplication app(argc, argv);
    TstXijiePage test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_xijiepage.moc"
