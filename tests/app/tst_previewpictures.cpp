// The preview reads no local files, yet pictures on the web still show: a
// divider whose title holds a picture served on 127.0.0.1 shows it at its
// natural size.

#include "app/mainwindow.h"
#include "support/browsertest.h"
#include "support/loopbackserver.h"
#include "support/testjpeg.h"
#include "widgets/dialogs.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

using namespace Qt::StringLiterals;
using Server = orv::test::LoopbackServer;

class TstPreviewPictures : public QObject {
    Q_OBJECT

private slots:
    void remotePictureShows()
    {
        qputenv("no_proxy", "127.0.0.1");
        orv::dialogs::setTestMode(true);
        Server server;
        server.route("/x.jpg", Server::Behaviour::Reply,
                     Server::response(200, orv::test::makeJpeg(40, 77), "Content-Type: image/jpeg\r\n"));
        orv::MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QTest::mouseClick(window.findChild<QWidget *>(u"btnfengetiao"_s), Qt::LeftButton);
        window.findChild<QLineEdit *>(u"edt3"_s)->setText(u"<img id=pic src=%1>"_s.arg(server.url(u"/x.jpg"_s)));
        QSignalSpy loaded(window.browser(), &QWebEngineView::loadFinished);
        QTest::mouseClick(window.findChild<QWidget *>(u"btn15"_s), Qt::LeftButton);
        QVERIFY(loaded.wait(30000));

        // The picture may arrive after the page itself.
        int naturalHeight = -1;
        const QString script = u"(function(){ var p = document.getElementById('pic');"
                               " return p && p.complete ? p.naturalHeight : -1; })()"_s;
        const auto measure = [&] {
            const std::optional<QVariant> answer = orv::test::scriptAnswer(window.browser(), script, 10000);
            if (answer)
                naturalHeight = answer->toInt();
            return answer && naturalHeight > 0;
        };
        QVERIFY(QTest::qWaitFor(measure, 30000));
        QCOMPARE(naturalHeight, 77);
        QVERIFY(orv::dialogs::takeShown().isEmpty());
    }
};

QTEST_MAIN(TstPreviewPictures)
#include "tst_previewpictures.moc"
