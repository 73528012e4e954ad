// The pictures export's dialog: what it offers first, the limits of the
// width, the folder chooser and when 导出 can be pressed.

#include "support/windowtest.h"
#include "widgets/dialogs.h"
#include "widgets/picturesdialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;
using orv::test::child;
using orv::test::click;

class TstPicturesDialog : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { dialogs::setTestMode(true); }

    void offersAndReturnsTheSettings()
    {
        PicturesDialog dialog(u"导出模块列表的汇总（2 个版块），页面宽度 790 像素。"_s, 790,
                              {u"/tmp/图片"_s, 790, false});
        QCOMPARE(orv::test::labelText(dialog, u"lblwhat"_s), u"导出模块列表的汇总（2 个版块），页面宽度 790 像素。"_s);
        auto *width = child<QSpinBox>(dialog, u"spnwidth"_s);
        QCOMPARE(width->value(), 790);
        QCOMPARE(width->minimum(), 480);
        QCOMPARE(width->maximum(), 1500);
        QCOMPARE(dialog.settings(), (PictureSettings{u"/tmp/图片"_s, 790, false, 2000}));
        auto *height = child<QComboBox>(dialog, u"cbbheight"_s);
        QCOMPARE(height->count(), 2);
        QCOMPARE(height->currentIndex(), 0);

        width->setValue(2000);
        child<QComboBox>(dialog, u"cbbformat"_s)->setCurrentIndex(1);
        height->setCurrentIndex(1);
        dialogs::queueFileName(u"/srv/pictures"_s);
        click(dialog, u"btnbrowse"_s);
        QCOMPARE(dialog.settings(), (PictureSettings{u"/srv/pictures"_s, 1500, true, 2500}));
        dialogs::takeShown();
    }

    void exportNeedsAFolder()
    {
        PicturesDialog dialog(u"x"_s, 750, {{}, 750, true, 2500});
        QCOMPARE(child<QComboBox>(dialog, u"cbbheight"_s)->currentIndex(), 1);
        auto *button = child<QPushButton>(dialog, u"btnexport"_s);
        QVERIFY(!button->isEnabled());
        QCOMPARE(child<QComboBox>(dialog, u"cbbformat"_s)->currentIndex(), 1);
        child<QLineEdit>(dialog, u"edtfolder"_s)->setText(u"  "_s);
        QVERIFY(!button->isEnabled());
        click(dialog, u"btnbrowse"_s); // cancelled: nothing queued
        QVERIFY(!button->isEnabled());
        child<QLineEdit>(dialog, u"edtfolder"_s)->setText(u" out "_s);
        QVERIFY(button->isEnabled());
        QCOMPARE(dialog.settings().folder, u"out"_s);
    }
};

QTEST_MAIN(TstPicturesDialog)
#include "tst_picturesdialog.moc"
