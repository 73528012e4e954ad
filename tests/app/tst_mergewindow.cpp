// 文件 → 批量生成… in the window: a design's slots beside a sheet's columns,
// a row previewed, every page written with completion, and a cancelled run
// that leaves the folder as it was. What a page holds is tst_merge's.

#include "app/mainwindow.h"
#include "app/mergedialog.h"
#include "core/project.h"
#include "modules/catalog.h"
#include "support/files.h"
#include "support/golden.h"
#include "support/loopbackserver.h"
#include "support/windowtest.h"
#include "widgets/dialogs.h"
#include "widgets/modulepage.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;
using namespace orv;
using namespace orv::test;
using Server = orv::test::LoopbackServer;

class TstMergeWindow : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_recovery;
    std::unique_ptr<MainWindow> w;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // The sample project with slots in its divider: {{宝贝名称}} and {{价格}}.
    void openDesign(const QString &extraPictures = {})
    {
        Project project = readProjectFile(dataPath(u"../../examples/sample.orvanta"_s), catalog::pages());
        EntrySource &divider = *project.entries[1].source;
        divider.fields.insert(u"title"_s, u"{{宝贝名称}}"_s);
        divider.fields.insert(u"remark"_s, u"价格 {{价格}} 元"_s);
        if (!extraPictures.isEmpty()) {
            // Detail pictures laid over, which are measured for every row.
            const PageSpec &details = *catalog::findPage(u"tsxijie"_s);
            FieldValues fields = details.defaultState().fields;
            fields.insert(u"style"_s, u"1"_s);
            fields.insert(u"count"_s, u"1"_s);
            fields.insert(u"pictures"_s, extraPictures);
            project.entries.append({10, u"[ 产品细节 ] "_s, u"<p>细节</p>"_s, EntrySource{details.id, fields, {}}});
        }
        w->setProject(project);
    }

    MergeDialog *showDialog()
    {
        child<QAction>(*w, u"actionMerge"_s)->trigger();
        return child<MergeDialog>(*w, u"frmmerge"_s);
    }

    QString sheet(const QByteArray &rows)
    {
        const QString file = path(u"products.csv"_s);
        writeFile(file, "商家编码,宝贝名称,价格,图片\r\n" + rows);
        return file;
    }

    // Cancels the progress dialog of this name once it shows.
    void cancelWhenShown(const QString &name)
    {
        auto *timer = new QTimer(w.get());
        connect(timer, &QTimer::timeout, timer, [this, timer, name] {
            auto *progress = w->findChild<QProgressDialog *>(name);
            if (!progress || !progress->isVisible())
                return;
            for (QPushButton *button : progress->findChildren<QPushButton *>()) {
                if (button->text() == u"取消"_s)
                    QTest::mouseClick(button, Qt::LeftButton);
            }
            timer->deleteLater();
        });
        timer->start(20);
    }

    QStringList slotTexts(const MergeDialog &dialog) const
    {
        QStringList texts;
        auto *slotList = child<QListWidget>(dialog, u"lstslots"_s);
        for (int i = 0; i < slotList->count(); ++i)
            texts.append(slotList->item(i)->text());
        return texts;
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

    // A slot no column (nor shared value) fills is marked, and nothing runs.
    void missingColumnsAreMarked()
    {
        openDesign();
        MergeDialog *dialog = showDialog();
        const QString file = path(u"short.csv"_s);
        writeFile(file, "商家编码,宝贝名称\r\nA001,外套\r\n");
        QVERIFY(dialog->loadSheet(file));
        QCOMPARE(slotTexts(*dialog), (QStringList{u"{{价格}}（表格中没有）"_s, u"{{宝贝名称}}"_s}));
        QVERIFY(child<QLabel>(*dialog, u"lblmissing"_s)->text().contains(u"{{价格}}"_s));
        QVERIFY(!child<QPushButton>(*dialog, u"btnrun"_s)->isEnabled());
    }

    void writesEveryPage()
    {
        openDesign();
        MergeDialog *dialog = showDialog();
        const QString file = sheet("A001,春季外套,199,\r\nA002,夏季短袖,89,\r\nA003,秋季长裤,129,\r\n");
        QVERIFY(dialog->loadSheet(file));
        QCOMPARE(w->project().sheet, file); // remembered by the project
        // The first row's page shows at once; another row on request.
        QVERIFY(w->previewedText().contains(u"价格 199 元"_s));
        child<QSpinBox>(*dialog, u"spnrow"_s)->setValue(2);
        QVERIFY(w->previewedText().contains(u"夏季短袖"_s));

        const QString folder = path(u"pages"_s);
        child<QLineEdit>(*dialog, u"edtfolder"_s)->setText(folder);
        click(*dialog, u"btnrun"_s);
        QCOMPARE(listing(folder), (QStringList{u"A001.html"_s, u"A002.html"_s, u"A003.html"_s, u"index.csv"_s}));
        QVERIFY(QString::fromUtf8(readFile(QDir(folder).filePath(u"A003.html"_s))).contains(u"价格 129 元"_s));
        auto *results = child<QTableWidget>(*dialog, u"tblresults"_s);
        QCOMPARE(results->rowCount(), 3);
        QCOMPARE(results->item(2, 1)->text(), u"A003.html"_s);
        const QList<dialogs::Shown> shown = dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown.first().text.startsWith(u"已生成 3 个页面到文件夹"_s));
        QCOMPARE(dialogs::takeOpenedUrls(), QList<QUrl>{QUrl::fromLocalFile(folder)});
        // A row of the list shows its page.
        emit results->cellDoubleClicked(0, 0);
        QVERIFY(w->previewedText().contains(u"春季外套"_s));

        // Again into the same folder: replacing the set is asked first (取消
        // by default, leaving it).
        writeFile(QDir(folder).filePath(u"A001.html"_s), "mine");
        click(*dialog, u"btnrun"_s);
        QCOMPARE(dialogs::takeShown().size(), 1);
        QCOMPARE(readFile(QDir(folder).filePath(u"A001.html"_s)), QByteArray("mine"));
    }

    // While the design is edited, 生成 fills the slots with the product row
    // shown (else the shared values; else they stay as typed), and the page
    // and its entry keep the slots as typed.
    void generateShowsTheProductShown()
    {
        openDesign();
        ModulePage *divider = w->page(u"tsfengetiao"_s);
        w->showModulePage(u"tsfengetiao"_s);
        enter(*divider, u"title"_s, u"{{宝贝名称}} {{主色}}"_s);
        click(*divider, u"btn15"_s);
        QVERIFY(w->workspace()->buffer().text().contains(u">{{宝贝名称}} {{主色}}<"_s));

        Project withValues = w->project();
        withValues.values = {{u"主色"_s, u"#FF6600"_s}};
        withValues.sheet = sheet("A001,春季外套,199,\r\n");
        w->setProject(withValues);
        enter(*w->page(u"tsfengetiao"_s), u"title"_s, u"{{宝贝名称}} {{主色}}"_s);
        click(*w->page(u"tsfengetiao"_s), u"btn15"_s);
        QVERIFY(w->workspace()->buffer().text().contains(u">春季外套 #FF6600<"_s));
        QCOMPARE(w->workspace()->fields(u"tsfengetiao"_s).value(u"title"_s), u"{{宝贝名称}} {{主色}}"_s);
        QCOMPARE(w->workspace()->buffer().source()->fields.value(u"title"_s), u"{{宝贝名称}} {{主色}}"_s);
    }

    void cancelLeavesTheFolder()
    {
        Server server;
        server.route("/slow.jpg", Server::Behaviour::Silent, {});
        openDesign(u"{{图片}}"_s);
        MergeDialog *dialog = showDialog();
        const QByteArray picture = server.url(u"/slow.jpg"_s).toUtf8();
        cancelWhenShown(u"fetchProgress"_s); // the first row's preview fetches its picture
        QVERIFY(dialog->loadSheet(sheet("A001,外套,199," + picture + "\r\nA002,短袖,89," + picture + "\r\n")));
        QVERIFY(child<QLabel>(*dialog, u"lblstatus"_s)->text().startsWith(u"已取消"_s));
        const QString folder = path(u"kept"_s);
        QVERIFY(QDir().mkpath(folder));
        writeFile(QDir(folder).filePath(u"notes.txt"_s), "mine");
        child<QLineEdit>(*dialog, u"edtfolder"_s)->setText(folder);

        cancelWhenShown(u"mergeProgress"_s);
        click(*dialog, u"btnrun"_s);
        QCOMPARE(listing(folder), QStringList{u"notes.txt"_s});
        QVERIFY(child<QLabel>(*dialog, u"lblstatus"_s)->text().startsWith(u"已取消"_s));
        QVERIFY(dialogs::takeShown().isEmpty());
    }
};

QTEST_MAIN(TstMergeWindow)
#include "tst_mergewindow.moc"
