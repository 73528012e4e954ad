// 文件 → 导出手机详情图片… in the window, through the dialogs' test seam: what
// is exported (the list, else the output buffer), the questions before
// replacing pictures and when pictures of the page do not load, the progress
// dialog and its cancel, which leaves the folder as it was, and the final
// message offering to open the folder. How pages are drawn and cut is
// tests/render's; the dialog's fields are tst_picturesdialog's.

#include "app/exportpictures.h"
#include "app/mainwindow.h"
#include "app/settings.h"
#include "app/startup.h"
#include "core/modulelistmodel.h"
#include "support/loopbackserver.h"
#include "support/pictures.h"
#include "support/testjpeg.h"
#include "support/windowtest.h"
#include "widgets/dialogs.h"
#include "widgets/modulelistpanel.h"
#include "widgets/modulepage.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;
using namespace orv;
using orv::test::child;
using orv::test::choose;
using orv::test::click;
using Server = orv::test::LoopbackServer;
using namespace orv::test;

namespace {

// The pictures pictures.txt lists, by name.
QStringList listedPictures(const QString &folder)
{
    QStringList names;
    const QStringList lines
        = QString::fromUtf8(readFile(QDir(folder).filePath(u"pictures.txt"_s))).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines)
        names.append(line.section(u' ', 0, 0));
    return names;
}

} // namespace

class TstExportPictures : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_recovery;
    std::unique_ptr<MainWindow> w;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    void setEntries(const QStringList &codes) { w->moduleList()->model()->setEntries(entriesOf(codes)); }
    void exportPictures() { child<QAction>(*w, u"actionExportPictures"_s)->trigger(); }

    // Watches the progress dialog while the export runs, and hands it to
    // action each time until action says it is done.
    void watchProgress(const std::function<bool(QProgressDialog *)> &action)
    {
        auto *timer = new QTimer(w.get());
        connect(timer, &QTimer::timeout, timer, [this, timer, action] {
            auto *dialog = w->findChild<QProgressDialog *>(u"pictureProgress"_s);
            if (dialog && dialog->isVisible() && action(dialog))
                timer->deleteLater();
        });
        timer->start(20);
    }

    static void clickCancel(QProgressDialog *dialog)
    {
        for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
            if (button->text() == u"取消"_s)
                return QTest::mouseClick(button, Qt::LeftButton);
        }
        qFatal("the progress dialog has no 取消 button");
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        qputenv("no_proxy", "127.0.0.1");
    }

    void init()
    {
        dialogs::setTestMode(true);
        w = std::make_unique<MainWindow>(nullptr, m_recovery.path());
        w->show();
    }

    void cleanup()
    {
        w.reset();
        dialogs::setTestMode(true);
    }

    // The list's summary, scaled to the chosen width, into a folder made for
    // it; the message names the folder and the count and opens the folder.
    void exportsTheList()
    {
        QCOMPARE(child<QAction>(*w, u"actionExportPictures"_s)->text(), u"导出手机详情图片(&M)…"_s);
        setEntries({colourBlock(1000, u"#e04040"_s), colourBlock(1800, u"#3060c0"_s), colourBlock(600, u"#30a050"_s)});
        const QString folder = path(u"list/pictures"_s);
        dialogs::queuePictureSettings({folder, 1242, false});
        exportPictures();

        const QList<dialogs::Shown> shown = dialogs::takeShown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.at(0).caption, u"导出手机详情图片"_s);
        QVERIFY2(shown.at(0).text.contains(u"模块列表的汇总（3 个版块）"_s) && shown.at(0).text.contains(u"750 像素"_s),
                 qPrintable(shown.at(0).text));
        const QStringList pictures = listedPictures(folder);
        QVERIFY(pictures.size() >= 3);
        QCOMPARE(listing(folder), QStringList(pictures) << u"pictures.txt"_s << u"slices.json"_s);
        for (const QString &name : pictures) {
            const QImage picture(QDir(folder).filePath(name));
            QVERIFY(name.endsWith(u".jpg"_s));
            QCOMPARE(picture.width(), 1242);
            QVERIFY(picture.height() <= 2000);
        }
        const QString message = shown.at(1).text;
        QVERIFY2(message.startsWith(u"已导出 %1 张图片到文件夹：\n%2"_s.arg(pictures.size())
                                        .arg(QDir::toNativeSeparators(QDir(folder).absolutePath()))),
                 qPrintable(message));
        QCOMPARE(dialogs::takeOpenedUrls(), QList{QUrl::fromLocalFile(QDir(folder).absolutePath())});
        // The choice is offered again next time.
        QCOMPARE(Settings().pictureWidth(), 1242);
        QCOMPARE(Settings().pictureMaxHeight(), 2000);
    }

    // The older mobile description's limit, when chosen: pictures up to 2500
    // rows; the links of the page are hot areas in slices.json, and the
    // message counts them.
    void olderHeightLimitAndHotAreas()
    {
        setEntries({u"<a href=\"https://item.taobao.com/item.htm?id=1\" style=\"display:block\">%1</a>"_s.arg(
                        colourBlock(600, u"#e04040"_s)),
                    colourBlock(1800, u"#3060c0"_s)});
        const QString folder = path(u"older"_s);
        dialogs::queuePictureSettings({folder, 750, false, 2500});
        exportPictures();
        const QList<dialogs::Shown> shown = dialogs::takeShown();
        QCOMPARE(shown.size(), 2);
        QVERIFY2(shown.at(1).text.contains(u"链接成为图片上的 1 个热区，见 slices.json。"_s),
                 qPrintable(shown.at(1).text));
        QCOMPARE(listedPictures(folder).size(), 1); // 2400 rows in one picture
        QCOMPARE(QImage(QDir(folder).filePath(u"01.jpg"_s)).height(), 2400);
        QVERIFY(readFile(QDir(folder).filePath(u"slices.json"_s)).contains("\"max_height\": 2500"));
        QCOMPARE(Settings().pictureMaxHeight(), 2500);
        QCOMPARE(Settings().pictureWidth(), 0); // the page width
        dialogs::takeOpenedUrls();
    }

    // With an empty list the output buffer is exported, at its fragment's
    // width; with nothing at all there is nothing to export.
    void exportsTheBufferWhenTheListIsEmpty()
    {
        choose(*w, u"rg1"_s, 1); // Tmall: 790
        click(*w, u"btnfengetiao"_s);
        click(*w, u"btn15"_s);
        QVERIFY(!w->workspace()->buffer().isEmpty());
        dialogs::takeShown();
        const QString folder = path(u"buffer"_s);
        dialogs::queuePictureSettings({folder, 790, true});
        dialogs::queueAnswer(QMessageBox::Close);
        exportPictures();

        const QList<dialogs::Shown> shown = dialogs::takeShown();
        QCOMPARE(shown.size(), 2);
        QVERIFY2(shown.at(0).text.contains(u"输出缓冲区"_s) && shown.at(0).text.contains(u"790 像素"_s),
                 qPrintable(shown.at(0).text));
        QCOMPARE(listing(folder), (QStringList{u"01.png"_s, u"pictures.txt"_s, u"slices.json"_s}));
        QCOMPARE(QImage(QDir(folder).filePath(u"01.png"_s)).width(), 790);
        QVERIFY(dialogs::takeOpenedUrls().isEmpty()); // 关闭

        w->workspace()->buffer().clear();
        exportPictures();
        const QList<dialogs::Shown> nothing = dialogs::takeShown();
        QCOMPARE(nothing.size(), 1);
        QCOMPARE(nothing.at(0).text, u"模块列表和输出缓冲区都是空的，没有可以导出的页面。"_s);
    }

    // An earlier export's pictures (what its pictures.txt lists): 取消 goes
    // back to the dialog and leaves them; 替换 replaces the set as a whole and
    // keeps the seller's other files. A seller's own picture that the new set
    // would write over is named once the pictures are made: 取消 writes
    // nothing, 替换 replaces it.
    void replacingAsks()
    {
        const QString folder = path(u"earlier"_s);
        QVERIFY(QDir().mkpath(folder));
        writeFile(QDir(folder).filePath(u"pictures.txt"_s), "01.jpg 750x10 3\n07.jpg 750x10 3\n");
        writeFile(QDir(folder).filePath(u"01.jpg"_s), "old");
        writeFile(QDir(folder).filePath(u"07.jpg"_s), "old");
        writeFile(QDir(folder).filePath(u"2023.jpg"_s), "mine");
        writeFile(QDir(folder).filePath(u"notes.txt"_s), "mine");
        const QStringList before = listing(folder);
        setEntries({colourBlock(300, u"#e04040"_s)});

        dialogs::queuePictureSettings({folder, 750, false});
        exportPictures(); // 取消 by default; the dialog again, then cancelled
        QList<dialogs::Shown> shown = dialogs::takeShown();
        QCOMPARE(shown.size(), 3);
        QCOMPARE(shown.at(1).icon, QMessageBox::Question);
        QVERIFY2(shown.at(1).text.contains(u"01.jpg、07.jpg、pictures.txt"_s), qPrintable(shown.at(1).text));
        QCOMPARE(shown.at(2).caption, u"导出手机详情图片"_s);
        QCOMPARE(listing(folder), before);
        QCOMPARE(readFile(QDir(folder).filePath(u"01.jpg"_s)), QByteArray("old"));

        dialogs::queuePictureSettings({folder, 750, false});
        dialogs::queueAnswer(QMessageBox::Yes);
        exportPictures();
        QCOMPARE(dialogs::takeShown().size(), 3); // dialog, question, message
        QCOMPARE(listing(folder),
                 (QStringList{u"01.jpg"_s, u"2023.jpg"_s, u"notes.txt"_s, u"pictures.txt"_s, u"slices.json"_s}));
        QCOMPARE(QImage(QDir(folder).filePath(u"01.jpg"_s)).size(), QSize(750, 300));
        QCOMPARE(readFile(QDir(folder).filePath(u"2023.jpg"_s)), QByteArray("mine"));
        QCOMPARE(readFile(QDir(folder).filePath(u"notes.txt"_s)), QByteArray("mine"));

        const QString sellers = path(u"sellers"_s);
        QVERIFY(QDir().mkpath(sellers));
        writeFile(QDir(sellers).filePath(u"01.jpg"_s), "mine");
        dialogs::queuePictureSettings({sellers, 750, false});
        exportPictures(); // 取消 by default
        shown = dialogs::takeShown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.at(1).icon, QMessageBox::Question);
        QVERIFY2(shown.at(1).text.contains(u"01.jpg 不是上次导出的图片"_s), qPrintable(shown.at(1).text));
        QCOMPARE(listing(sellers), QStringList{u"01.jpg"_s});
        QCOMPARE(readFile(QDir(sellers).filePath(u"01.jpg"_s)), QByteArray("mine"));

        dialogs::queuePictureSettings({sellers, 750, false});
        dialogs::queueAnswer(QMessageBox::Yes);
        exportPictures();
        QCOMPARE(dialogs::takeShown().size(), 3); // dialog, question, message
        QCOMPARE(listing(sellers), (QStringList{u"01.jpg"_s, u"pictures.txt"_s, u"slices.json"_s}));
        QCOMPARE(QImage(QDir(sellers).filePath(u"01.jpg"_s)).size(), QSize(750, 300));
    }

    // After half a second the progress dialog shows, first while the page is
    // drawn (here waiting for a picture that never comes), then counting the
    // pictures written; its 取消 ends the export and leaves the folder as it
    // was, a folder made for it removed again.
    void cancelLeavesTheFolder_data()
    {
        QTest::addColumn<bool>("writing");
        QTest::addColumn<bool>("folderExists");
        QTest::newRow("drawing, existing folder") << false << true;
        QTest::newRow("drawing, new folder") << false << false;
        QTest::newRow("writing, existing folder") << true << true;
    }

    void cancelLeavesTheFolder()
    {
        QFETCH(bool, writing);
        QFETCH(bool, folderExists);
        Server server;
        server.route("/slow.jpg", Server::Behaviour::Silent, {});
        QStringList codes{colourBlock(600, u"#e04040"_s), u"<img src=\"%1\">"_s.arg(server.url(u"/slow.jpg"_s))};
        if (writing) {
            // About 15 pictures, slow to encode as PNG.
            codes.clear();
            for (int i = 0; i < 12; ++i)
                codes.append(u"<div style=\"width:750px;height:1500px;font-size:13px;line-height:15px;"
                             "background:repeating-linear-gradient(45deg,#fff 0 3px,#%1 3px 7px)\">%2</div>"_s
                                 .arg(i % 2 ? u"c04050"_s : u"3070b0"_s)
                                 .arg(QString(u"细节 0123456789 "_s).repeated(300)));
        }
        setEntries(codes);
        const QString folder = path(u"cancel-%1-%2"_s.arg(writing).arg(folderExists));
        if (folderExists) {
            QVERIFY(QDir().mkpath(folder));
            writeFile(QDir(folder).filePath(u"notes.txt"_s), "mine");
        }
        const QStringList before = listing(folder);

        static const QRegularExpression counting(u"^正在生成图片 (\\d+) / (\\d+)$"_s);
        QString label;
        watchProgress([&](QProgressDialog *dialog) {
            if (writing && !counting.match(dialog->labelText()).hasMatch())
                return false;
            label = dialog->labelText();
            clickCancel(dialog);
            return true;
        });
        dialogs::queuePictureSettings({folder, 1500, true});
        exportPictures();
        if (writing) {
            const QRegularExpressionMatch match = counting.match(label);
            QVERIFY2(match.hasMatch(), "the export ended before the progress counted pictures");
            QVERIFY(match.captured(1).toInt() < match.captured(2).toInt());
        } else {
            QCOMPARE(label, u"正在生成图片…"_s);
        }
        QCOMPARE(dialogs::takeShown().size(), 1); // the dialog only: no message
        QCOMPARE(listing(folder), before);
        QCOMPARE(QFileInfo::exists(folder), folderExists);
        QVERIFY(!w->findChild<QProgressDialog *>(u"pictureProgress"_s));
    }

    // A picture of the page that does not load: 停止 (the default) writes
    // nothing, 继续导出 writes the page without it and says so.
    void failedPicturesAsk()
    {
        Server server;
        const QString missing = server.url(u"/missing.jpg"_s);
        setEntries({colourBlock(400, u"#e04040"_s), u"<img src=\"%1\">"_s.arg(missing)});
        const QString folder = path(u"failed"_s);

        dialogs::queuePictureSettings({folder, 750, false});
        exportPictures();
        QList<dialogs::Shown> shown = dialogs::takeShown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.at(1).icon, QMessageBox::Warning);
        QVERIFY2(shown.at(1).text.contains(u"1 张图片未能加载"_s) && shown.at(1).text.contains(missing),
                 qPrintable(shown.at(1).text));
        QVERIFY(!QFileInfo::exists(folder));

        dialogs::queuePictureSettings({folder, 750, false});
        dialogs::queueAnswer(QMessageBox::Yes);
        exportPictures();
        shown = dialogs::takeShown();
        QCOMPARE(shown.size(), 3);
        QVERIFY2(shown.at(2).text.contains(u"其中 1 张网络图片未能加载"_s), qPrintable(shown.at(2).text));
        QCOMPARE(listing(folder), (QStringList{u"01.jpg"_s, u"pictures.txt"_s, u"slices.json"_s}));
    }
};

int main(int argc, char *argv[])
{
    prepareBrowserEnvironment();
    QApplication app(argc, argv);
    TstExportPictures test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_exportpictures.moc"
