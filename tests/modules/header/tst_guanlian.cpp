#include "core/failure.h"
#include "core/page.h"
#include "modules/header/dapei/dapei.h"
#include "modules/header/guanlian/guanlian.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;

namespace {

struct Card {
    QString link, picture, title, price;
};

// One product card, written out piece by piece.
QString expectedCard(const Card &c, const QString &textColour, const QString &priceColour, const QString &w,
                     const QString &h, const QString &cardHeight)
{
    return QStringList{
        u"<a style=\"text-decoration:none; color:"_s,
        textColour,
        u";font-size:14px;\"  href=\""_s,
        c.link,
        u"\" target=\"_blank\">"_s,
        u"<li style=\"width:"_s,
        w,
        u"px; height:"_s,
        cardHeight,
        u"px; float:left;overflow:hidden; text-decoration:none; margin-right:10px; text-align:center;\">"_s,
        u"<img src=\""_s,
        c.picture,
        u"\" width=\""_s,
        w,
        u"\" height=\""_s,
        h,
        u"\" />"_s,
        u"<div style=\"font-size:14px;font-family:arial; height:60px;\">"_s,
        u"<div style=\"line-height:30px; margin-top:5px; color:"_s,
        textColour,
        u";font-family:Microsoft YaHei\">"_s,
        c.title,
        u"</div>"_s,
        u"<div style=\"font-size:18px; color:"_s,
        priceColour,
        u"\">"_s,
        u"<span style=\"font-size:12px;font-family:Microsoft YaHei\">\uFFE5</span>"_s,
        c.price,
        u"</div>"_s,
        u"</div>"_s,
        u"</li></a>"_s,
    }.join(QString());
}

QString expectedFragment(const QString &totalWidth, const QString &cardHeight, const QString &cards)
{
    return QStringList{
        u"<div style=\"width:"_s,
        totalWidth,
        u"px; height:"_s,
        cardHeight,
        u"px; overflow:hidden; font-family:Microsoft YaHei\">"_s,
        u"<div style=\"width:850px; height:"_s,
        cardHeight,
        u"px;\">"_s,
        cards,
        u"</div></div>"_s,
    }.join(QString());
}

PageState stateFor(int shopType, int style)
{
    PageState state = guanlian::page().defaultState(Metrics::forShop(shopType));
    state.setField(u"rgleixing"_s, QString::number(style));
    return state;
}

QString failureOf(PageState &state)
{
    try {
        guanlian::btn14Click(state, {});
    } catch (const Failure &failure) {
        return failure.message();
    }
    return {};
}

} // namespace

class TstGuanlian : public QObject {
    Q_OBJECT

private slots:
    void defaultFragment_data();
    void defaultFragment();
    void withoutStyleRemindsAfterCleaning();
    void shortListsFail_data();
    void shortListsFail();
    void surplusItemsAreIgnored();
    void blanksAndQuotesInValues();
    void widthLeftByComboOfferIsNotUsed_data();
    void widthLeftByComboOfferIsNotUsed();
};

void TstGuanlian::defaultFragment_data()
{
    QTest::addColumn<int>("shopType");
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("cards");
    QTest::addColumn<QString>("w");
    QTest::addColumn<QString>("h");
    QTest::addColumn<QString>("cardHeight");
    QTest::addColumn<QString>("totalHeight");
    QTest::newRow("4 columns, 750") << 0 << 0 << 4 << u"180"_s << u"270"_s << u"340"_s << u"310"_s;
    QTest::newRow("4 columns, 790") << 1 << 0 << 4 << u"190"_s << u"270"_s << u"340"_s << u"310"_s;
    QTest::newRow("3 columns, 750") << 0 << 1 << 3 << u"243"_s << u"320"_s << u"390"_s << u"360"_s;
    QTest::newRow("3 columns, 790") << 1 << 1 << 3 << u"256"_s << u"270"_s << u"340"_s << u"360"_s;
}

void TstGuanlian::defaultFragment()
{
    QFETCH(int, shopType);
    QFETCH(int, style);
    QFETCH(int, cards);
    QFETCH(QString, w);
    QFETCH(QString, h);
    QFETCH(QString, cardHeight);
    QFETCH(QString, totalHeight);

    // The style's size comes from the same table for the page's style choice.
    const Metrics chosen = guanlian::withStyle(Metrics::forShop(shopType), style);
    QCOMPARE(chosen.totalHeight, totalHeight);
    QCOMPARE(chosen.imageWidth, w);
    QCOMPARE(chosen.imageHeight, h);
    QCOMPARE(guanlian::styleSize(style, chosen.totalWidth)->cards, cards);

    PageState state = stateFor(shopType, style);
    const QString picture = state.field(u"mmotwo"_s).section(u'|', 0, 0);
    const QStringList prices{u"59.00"_s, u"68.00"_s, u"59.00"_s, u"63.00"_s};
    QString expectedCards;
    for (int i = 0; i < cards; ++i) {
        expectedCards += expectedCard({u"#"_s, picture, u"披肩中老年蝙蝠外套"_s, prices.at(i)}, u"#999"_s,
                                      u"#F30"_s, w, h, cardHeight)
                       + u"\r\n"_s;
    }
    const QString totalWidth = shopType == 0 ? u"750"_s : u"790"_s;

    const Generated result = guanlian::btn14Click(state, {});
    QVERIFY(result.reminder.isEmpty());
    QVERIFY(result.preview);
    QCOMPARE(result.fragment, expectedFragment(totalWidth, cardHeight, expectedCards));
    QVERIFY(result.fragment.endsWith(u"</li></a>\r\n</div></div>"_s));
    QCOMPARE(state.metrics, chosen);
    // The lists are left cleaned.
    QCOMPARE(state.field(u"mmothree"_s), u"#|#|#|#"_s);
    QCOMPARE(state.field(u"mmoguanlianjiage"_s), u"59.00|\r\n68.00|\r\n59.00|\r\n63.00|"_s);
}

void TstGuanlian::withoutStyleRemindsAfterCleaning()
{
    PageState state = stateFor(0, -1);
    state.setField(u"mmoone"_s, u"\r\n  a|b  \r\n"_s);
    state.setField(u"mmotwo"_s, u" \t"_s);
    const Metrics before = state.metrics;

    const Generated result = guanlian::btn14Click(state, {});
    QCOMPARE(result.reminder, u"请选择生成类型后再生成代码！"_s);
    QVERIFY(result.fragment.isEmpty());
    QCOMPARE(state.field(u"mmoone"_s), u"a|b"_s);
    QCOMPARE(state.field(u"mmotwo"_s), QString());
    QCOMPARE(state.field(u"mmothree"_s), u"#|#|#|#"_s);
    QCOMPARE(state.metrics, before);

    // Neither an unknown item nor no item is a style.
    QVERIFY(!guanlian::styleSize(2, u"750"_s));
    QCOMPARE(guanlian::withStyle(before, 2), before);
}

void TstGuanlian::shortListsFail_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index");
    QTest::newRow("three links, 4 columns") << 0 << u"mmothree"_s << u"#|#|#"_s << 3;
    QTest::newRow("no links") << 0 << u"mmothree"_s << QString() << 0;
    QTest::newRow("no pictures") << 1 << u"mmotwo"_s << u"\r\n"_s << 0;
    QTest::newRow("no titles") << 0 << u"mmoone"_s << QString() << 0;
    QTest::newRow("no prices") << 1 << u"mmoguanlianjiage"_s << u"  "_s << 0;
    QTest::newRow("two prices, 3 columns") << 1 << u"mmoguanlianjiage"_s << u"1|2"_s << 2;
}

void TstGuanlian::shortListsFail()
{
    QFETCH(int, style);
    QFETCH(QString, memo);
    QFETCH(QString, text);
    QFETCH(int, index);

    PageState state = stateFor(0, style);
    state.setField(memo, text);
    QCOMPARE(failureOf(state), u"List index out of bounds (%1)"_s.arg(index));
    QCOMPARE(state.field(memo), text.trimmed());
}

void TstGuanlian::surplusItemsAreIgnored()
{
    // Three links are enough for three columns.
    PageState state = stateFor(0, 1);
    state.setField(u"mmothree"_s, u"#a|#b|#c|#d|#e"_s);
    const Generated result = guanlian::btn14Click(state, {});
    QCOMPARE(result.fragment.count(u"<li "_s), 3);
    QVERIFY(result.fragment.contains(u"href=\"#c\""_s));
    QVERIFY(!result.fragment.contains(u"#d"_s));

    // The lowest missing position is named, whichever list lacks it.
    state = stateFor(0, 0);
    state.setField(u"mmothree"_s, u"#|#|#"_s);
    state.setField(u"mmoone"_s, u"a|b"_s);
    QCOMPARE(failureOf(state), u"List index out of bounds (2)"_s);
}

void TstGuanlian::blanksAndQuotesInValues()
{
    PageState state = stateFor(0, 1);
    state.setField(u"mmoone"_s, u"\"red coat\"|\"say \"\"hi\"\"\"|plain"_s);
    state.setField(u"mmoguanlianjiage"_s, u"1 | 2 |3"_s);
    state.setField(u"edtzise"_s, u"#999\" onclick=\"x"_s);
    const Generated result = guanlian::btn14Click(state, {});
    QVERIFY(result.fragment.contains(u"YaHei\">red coat</div>"_s));
    QVERIFY(result.fragment.contains(u"YaHei\">say \"hi\"</div>"_s));
    QVERIFY(result.fragment.contains(u"</span>3</div>"_s));
    QVERIFY(result.fragment.contains(u"color:#999\" onclick=\"x;font-size:14px;"_s));

    // An unquoted blank splits a title and shifts the later ones.
    state = stateFor(0, 1);
    state.setField(u"mmoone"_s, u"red coat|blue|green"_s);
    const Generated shifted = guanlian::btn14Click(state, {});
    QVERIFY(shifted.fragment.contains(u"YaHei\">coat</div>"_s));
    QVERIFY(!shifted.fragment.contains(u"green"_s));
}

void TstGuanlian::widthLeftByComboOfferIsNotUsed_data()
{
    QTest::addColumn<int>("shopType");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("w");
    QTest::addColumn<QString>("h");
    QTest::newRow("750, 4 columns") << 0 << 0 << u"180"_s << u"270"_s;
    QTest::newRow("790, 3 columns") << 1 << 1 << u"256"_s << u"270"_s;
}

void TstGuanlian::widthLeftByComboOfferIsNotUsed()
{
    QFETCH(int, shopType);
    QFETCH(int, style);
    QFETCH(QString, w);
    QFETCH(QString, h);

    // The style was chosen, then a combo offer wrote its column width.
    PageState combo = dapei::page().defaultState(guanlian::withStyle(Metrics::forShop(shopType), style));
    dapei::btn7Click(combo, {});
    QCOMPARE(combo.metrics.imageWidth, shopType == 0 ? u"220"_s : u"230"_s);

    PageState state = stateFor(shopType, style);
    state.metrics = combo.metrics;
    const Generated result = guanlian::btn14Click(state, {});
    QVERIFY(result.fragment.contains(u"<li style=\"width:%1px;"_s.arg(w)));
    QVERIFY(result.fragment.contains(u"width=\"%1\" height=\"%2\""_s.arg(w, h)));
    QVERIFY(!result.fragment.contains(u"width:%1px"_s.arg(combo.metrics.imageWidth)));
    QCOMPARE(state.metrics.imageWidth, w);
    QCOMPARE(state.metrics.imageHeight, h);
}

QTEST_GUILESS_MAIN(TstGuanlian)
#include "tst_guanlian.moc"
