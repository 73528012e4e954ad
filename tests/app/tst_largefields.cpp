// The window's generate action with a million characters in every multi-line
// field of a page: the fragment and the cleaned fields are right.

#include "app/mainwindow.h"
#include "widgets/dialogs.h"

#include <QPlainTextEdit>
#include <QTest>

using namespace Qt::StringLiterals;

class TstLargeFields : public QObject {
    Q_OBJECT

private slots:
    void couponPageWithMillionCharacterMemos_data()
    {
        QTest::addColumn<QString>("separator");
        QTest::newRow("one long line") << u"|"_s;
        QTest::newRow("a line per item") << u"|\n"_s;
    }
    void couponPageWithMillionCharacterMemos()
    {
        QFETCH(QString, separator);
        orv::dialogs::setTestMode(true);
        orv::MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseClick(window.findChild<QWidget *>(u"btnyouhuiquan"_s), Qt::LeftButton);

        const qsizetype repeats = 1'000'000 / (2 + separator.size());
        const auto fill = [&](const char *field, const QString &first, const QString &rest) {
            window.findChild<QPlainTextEdit *>(QString::fromLatin1(field))
                ->setPlainText(u"  "_s + first + separator + rest.repeated(repeats) + u"  \n"_s);
        };
        fill("mmojine", u"10|20|50"_s, u"9"_s + separator);
        fill("mmoshuoming", u"a|b|c"_s, u"满"_s + separator);
        fill("mmolianjie", u"#a|#b|#c"_s, u"#"_s + separator);
        QTest::mouseClick(window.findChild<QWidget *>(u"btn16"_s), Qt::LeftButton);

        QVERIFY(orv::dialogs::takeShown().isEmpty());
        const QString html = window.workspace()->buffer().text();
        QVERIFY(html.contains(u">10</div>"_s) && html.contains(u">50</div>"_s) && !html.contains(u">9</div>"_s));
        QVERIFY(html.contains(u"href=\"#c\""_s) && html.contains(u">c</div>"_s));
        const QString amounts = window.findChild<QPlainTextEdit *>(u"mmojine"_s)->toPlainText();
        QVERIFY(amounts.startsWith(u"10|20|50"_s) && amounts.endsWith(u"9"_s + separator.trimmed()));
    }
};

QTEST_MAIN(TstLargeFields)
#include "tst_largefields.moc"
