// The shop's look in the window: a shared colour edited through 店铺风格…
// changes every entry that uses it and the preview, and one 撤销 brings them
// back; a block saved from one project goes into another with that project's
// shop and values; 从模板新建… starts from a starter design. The dialogs
// themselves are tst_lookdialogs'; the changes, tst_sharedvalues'.

#include "app/lookactions.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "core/modulelistmodel.h"
#include "modules/designs/designs.h"
#include "support/windowtest.h"
#include "widgets/dialogs.h"
#include "widgets/modulelistpanel.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;
using namespace orv;
using namespace orv::test;

class TstLookWindow : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_recovery;
    std::unique_ptr<MainWindow> w;

    void trigger(const QString &action) { child<QAction>(*w, action)->trigger(); }

    // Does what a user does in the modal dialog of this name once it shows.
    void whenShown(const QString &name, std::function<void(QDialog &)> action)
    {
        auto *timer = new QTimer(w.get());
        connect(timer, &QTimer::timeout, timer, [timer, name, action] {
            for (QWidget *top : QApplication::topLevelWidgets()) {
                auto *dialog = qobject_cast<QDialog *>(top);
                if (dialog && dialog->objectName() == name && dialog->isVisible()) {
                    timer->deleteLater();
                    QVERIFY(QTest::qWaitForWindowExposed(dialog));
                    action(*dialog);
                    return;
                }
            }
        });
        timer->start(20);
    }

    Project design(const QString &id, Shop shop) const
    {
        Project project = designs::find(id)->project();
        project.metrics = Metrics::forShop(shop);
        return project;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        dialogs::setTestMode(true);
    }

    void init()
    {
        w = std::make_unique<MainWindow>(nullptr, m_recovery.path());
        w->show();
    }

    void cleanup()
    {
        w.reset();
        dialogs::setTestMode(true);
    }

    void sharedColourChangesThePage()
    {
        w->setProject(designs::find(u"minimal"_s)->project());
        const QString before = w->previewedText();
        QVERIFY(before.contains(u"#222222"_s, Qt::CaseInsensitive));
        whenShown(u"frmstyle"_s, [](QDialog &dialog) {
            auto *table = child<QTableWidget>(dialog, u"tblvalues"_s);
            QCOMPARE(table->item(0, 0)->text(), u"主色"_s);
            table->item(0, 1)->setText(u"#C81E1E"_s);
            click(dialog, u"btnok"_s);
        });
        trigger(u"actionStyle"_s);
        const QString after = w->previewedText();
        QVERIFY(!after.contains(u"#222222"_s, Qt::CaseInsensitive));
        QCOMPARE(after.count(u"#C81E1E"_s), before.count(u"#222222"_s, Qt::CaseInsensitive));
        QCOMPARE(w->project().values.first().value, u"#C81E1E"_s);
        QVERIFY(w->isWindowModified());

        trigger(u"actionUndo"_s);
        QCOMPARE(w->previewedText(), before);
        QCOMPARE(w->project().values.first().value, u"#222222"_s);
    }

    // A block of a Taobao project with its own look goes into a Tmall project
    // of another look: laid out for Tmall, with that project's values.
    void blockTakesTheProjectsShopAndValues()
    {
        w->setProject(design(u"minimal"_s, Shop::Taobao));
        whenShown(u"frmsaveblock"_s, [](QDialog &dialog) {
            auto *entries = child<QListWidget>(dialog, u"lstentries"_s);
            for (int row = 0; row < entries->count(); ++row)
                entries->item(row)->setCheckState(Qt::Checked);
            click(dialog, u"btnsave"_s);
        });
        w->look()->saveBlock(0);
        dialogs::takeShown(); // saved

        Project other = design(u"minimal"_s, Shop::Tmall);
        other.entries.clear();
        other.values.first().value = u"#0A5FCC"_s;
        w->setProject(other);
        whenShown(u"frmblocks"_s, [](QDialog &dialog) { click(dialog, u"btninsert"_s); });
        trigger(u"actionInsertBlock"_s);
        const QList<ModuleEntry> entries = w->project().entries;
        QCOMPARE(entries.size(), 3);
        for (const ModuleEntry &entry : entries) {
            if (entry.source)
                QCOMPARE(entry.source->metrics.shop, Shop::Tmall);
        }
        QVERIFY(w->previewedText().contains(u"#0A5FCC"_s));
        QVERIFY(!w->previewedText().contains(u"#222222"_s, Qt::CaseInsensitive));
        trigger(u"actionUndo"_s);
        QVERIFY(w->project().entries.isEmpty());
    }

    void newFromADesign()
    {
        whenShown(u"frmdesigns"_s, [](QDialog &dialog) {
            auto *list = child<QListWidget>(dialog, u"lstdesigns"_s);
            list->setCurrentRow(list->count() - 1);
            choose(dialog, u"rgshop"_s, 1);
            click(dialog, u"btncreate"_s);
        });
        trigger(u"actionNewFromDesign"_s);
        const Project made = w->project();
        QVERIFY(!made.entries.isEmpty());
        QCOMPARE(made.metrics.shop, Shop::Tmall);
        QVERIFY(!made.values.isEmpty());
        QVERIFY(!w->isWindowModified());
        QVERIFY(w->previewedText().contains(u"790px"_s));
    }
};

int main(int argc, char *argv[])
{
    prepareBrowserEnvironment();
    QApplication app(argc, argv);
    TstLookWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_lookwindow.moc"
