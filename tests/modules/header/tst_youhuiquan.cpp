#include "core/failure.h"
#include "core/page.h"
#include "modules/header/youhuiquan/youhuiquan.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;

namespace {

// One coupon card, written out piece by piece.
QString expectedCard(int i, const QString &amount, const QString &condition, const QString &card = u"#66F"_s)
{
    return u"<a style=\"text-decoration:none; color:#FFF\" href=\"#\" target=\"_blank\"><div style=\"width:32%;"_s
         + (i == 0 ? QString() : u"margin-left:1.9%;"_s) + u"height:100px; float:left; background-color:"_s + card
         + u"\">    <div style=\"font-size:14px;float:left;width:15px; line-height:13px; margin-top:0px; background-color:#F60"
           "; padding:8px 5px;color:#FFF\">领取</div>"
           "<div style=\"float:left;line-height:100px;font-size:60px; font-family:arial; padding-right:5px; font-weight:600; width:100px; text-align:center\">"_s
         + amount + u"</div>       <div style=\"font-size:18px;float:left;height:100px;\">"
                    "<div style=\"margin-top:23px;font-size:24px\">优惠券</div><div style=\"margin-top:0px; font-size:14px\">"_s
         + condition + u"</div></div></div></a>\r\n"_s;
}

QString expectedFragment(const QString &totalWidth, const QString &cards)
{
    return u"<div style=\"width:"_s + totalWidth
         + u"px; height:100px;font-family:Microsoft YaHei; margin:10px 0;overflow:hidden\">"_s + cards + u"</div>"_s;
}

const QString defaultCards = expectedCard(0, u"10"_s, u"满100元使用"_s) + expectedCard(1, u"20"_s, u"满200元使用"_s)
                           + expectedCard(2, u"50"_s, u"满300元使用"_s);

QString failureOf(PageState &state)
{
    try {
        youhuiquan::btn16Click(state, {});
    } catch (const Failure &failure) {
        return failure.message();
    }
    return {};
}

} // namespace

class TstYouhuiquan : public QObject {
    Q_OBJECT

private slots:
    void defaultFragment()
    {
        for (const auto &[shopType, totalWidth] : {std::pair(0, u"750"_s), std::pair(1, u"790"_s)}) {
            PageState state = youhuiquan::page().defaultState(Metrics::forShop(shopType));
            const Metrics before = state.metrics;
            QCOMPARE(youhuiquan::btn16Click(state, {}).fragment, expectedFragment(totalWidth, defaultCards));
            QCOMPARE(state.metrics, before);
            QCOMPARE(state.field(u"mmojine"_s), u"10|20|50"_s);
            QCOMPARE(state.field(u"mmoshuoming"_s), u"满100元使用|\r\n满200元使用|\r\n满300元使用|"_s);
            QCOMPARE(state.field(u"mmolianjie"_s), u"#|#|#"_s);
        }
    }

    // Links lacking position 2 while conditions already lack position 1 name 1.
    void shortListsFail_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");
        QTest::newRow("two amounts") << u"mmojine"_s << u"10|20\r\n"_s << 2;
        QTest::newRow("no conditions") << u"mmoshuoming"_s << u" \r\n "_s << 0;
        QTest::newRow("no links") << u"mmolianjie"_s << QString() << 0;
        QTest::newRow("one condition, two links") << u"mmoshuoming"_s << u"满100元使用"_s << 1;
    }
    void shortListsFail()
    {
        QFETCH(QString, memo);
        QFETCH(QString, text);
        QFETCH(int, index);
        PageState state = youhuiquan::page().defaultState();
        state.setField(memo, text);
        if (index == 1)
            state.setField(u"mmolianjie"_s, u"#|#"_s);
        QCOMPARE(failureOf(state), u"List index out of bounds (%1)"_s.arg(index));
        QCOMPARE(state.field(memo), text.trimmed());
    }

    void surplusItemsAreIgnored()
    {
        PageState state = youhuiquan::page().defaultState();
        state.setField(u"mmojine"_s, u"10|20|50|100|200"_s);
        state.setField(u"mmolianjie"_s, u"#1|#2|#3|#4"_s);
        const Generated result = youhuiquan::btn16Click(state, {});
        QCOMPARE(result.fragment.count(u"<a "_s), 3);
        QVERIFY(result.fragment.contains(u"href=\"#3\""_s));
        QVERIFY(!result.fragment.contains(u"#4"_s));
        QVERIFY(!result.fragment.contains(u">100<"_s));
    }

    void blanksAndQuotesInValues()
    {
        // Blanks around "|" change nothing.
        PageState state = youhuiquan::page().defaultState();
        state.setField(u"mmojine"_s, u"  10 | 20 |\r\n 50 "_s);
        QCOMPARE(youhuiquan::btn16Click(state, {}).fragment, expectedFragment(u"750"_s, defaultCards));

        // Quoted values keep their blanks and quotes; colours go in as typed.
        state = youhuiquan::page().defaultState();
        state.setField(u"mmoshuoming"_s, u"\"满 100 元\"|\"say \"\"hi\"\"\"|c"_s);
        state.setField(u"edt5"_s, u"red; x"_s);
        const QString expected = expectedCard(0, u"10"_s, u"满 100 元"_s, u"red; x"_s)
                               + expectedCard(1, u"20"_s, u"say \"hi\""_s, u"red; x"_s)
                               + expectedCard(2, u"50"_s, u"c"_s, u"red; x"_s);
        QCOMPARE(youhuiquan::btn16Click(state, {}).fragment, expectedFragment(u"750"_s, expected));

        // An unquoted blank splits a condition and shifts the later ones.
        state = youhuiquan::page().defaultState();
        state.setField(u"mmoshuoming"_s, u"满100 元|b|c"_s);
        const QString fragment = youhuiquan::btn16Click(state, {}).fragment;
        QVERIFY(fragment.contains(u"font-size:14px\">元</div>"_s));
        QVERIFY(!fragment.contains(u">c</div>"_s));
    }
};

QTEST_GUILESS_MAIN(TstYouhuiquan)
#include "tst_youhuiquan.moc"
