#include "modules/product/display/display.h"
#include "support/generated.h"
#include "support/golden.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;
using orv::test::failureOf;

class TstDisplay : public QObject {
    Q_OBJECT

private slots:
    void defaults_data() { test::addDefaultsRows(); }
    void defaults()
    {
        QFETCH(Shop, shop);
        PageState state = test::stateWith(display::pageSpec(), shop);
        ORV_COMPARE_GOLDEN(display::generate(state, {}).fragment, test::goldenCase(u"modules/display"_s));
        QVERIFY(!state.field(u"pictures"_s).endsWith(u"\r\n"_s)); // cleaned
    }

    // Counts and lists: the cleaned field stays cleaned also when the action fails.
    void counts_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("failure");
        const QString five = u" \r\na|\r\nb|\r\nc|\r\nd|\r\ne\r\n\r\n"_s;
        QTest::newRow("three-of-five") << u"3"_s << five << QString();
        QTest::newRow("six-of-five") << u"6"_s << five << u"List index out of bounds (5)"_s;
        QTest::newRow("final-pipe") << u"6"_s << u"a|b|c|d|e|"_s << QString();
        QTest::newRow("zero") << u"0"_s << five << QString();
        QTest::newRow("negative") << u"-2"_s << five << QString();
        QTest::newRow("zero-empty-list") << u"0"_s << QString() << QString();
        QTest::newRow("large") << u"100000"_s << five << u"List index out of bounds (5)"_s;
        QTest::newRow("not-a-number") << u"abc"_s << five << u"'abc' is not a valid integer value"_s;
    }
    void counts()
    {
        QFETCH(QString, count);
        QFETCH(QString, list);
        QFETCH(QString, failure);
        PageState state
            = test::stateWith(display::pageSpec(), Shop::Taobao, {{u"count"_s, count}, {u"pictures"_s, list}});
        Generated result;
        QCOMPARE(failureOf([&] { result = display::generate(state, {}); }), failure);
        if (failure.isEmpty())
            ORV_COMPARE_GOLDEN(result.fragment, test::goldenCase(u"modules/display"_s));
        else
            QCOMPARE(result.fragment, QString());
        if (list.startsWith(u' '))
            QCOMPARE(state.field(u"pictures"_s), u"a|\r\nb|\r\nc|\r\nd|\r\ne"_s);
    }
};

QTEST_GUILESS_MAIN(TstDisplay)
#include "tst_display.moc"
