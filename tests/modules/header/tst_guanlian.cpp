#include "core/failure.h"
#include "core/page.h"
#include "modules/header/dapei/dapei.h"
#include "modules/header/guanlian/guanlian.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;

namespace {

struct Style {
    int shopType, style, cards;
    QString w, h, cardHeight, totalHeight;
};

// One product card at the start-up colours, written out piece by piece.
QString expectedCard(const QString &picture, const QString &price, const QString &w, const QString &h,
                     const QString &cardHeight)
{
    return u"<a style=\"text-decoration:none; color:#999;font-size:14px;\"  href=\"#\" target=\"_blank\">"
           "<li style=\"width:"_s + w + u"px; height:"_s + cardHeight
         + u"px; float:left;overflow:hidden; text-decoration:none; margin-right:10px; text-align:center;\">"
           "<img src=\""_s + picture + u"\" width=\""_s + w + u"\" height=\""_s + h + u"\" />"
           "<div style=\"font-size:14px;font-family:arial; height:60px;\">"
           "<div style=\"line-height:30px; margin-top:5px; color:#999;font-family:Microsoft YaHei\">披肩中老年蝙蝠外套</div>"
           "<div style=\"font-size:18px; color:#F30\">"
           "<span style=\"font-size:12px;font-family:Microsoft YaHei\">\uFFE5</span>"_s + price
         + u"</div></div></li></a>"_s;
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

Q_DECLARE_METATYPE(Style)

class TstGuanlian : public QObject {
    Q_OBJECT

private slots:
    void defaultFragment_data()
    {
        QTest::addColumn<Style>("c");
        QTest::newRow("4 columns, 750") << Style{0, 0, 4, u"180"_s, u"270"_s, u"340"_s, u"310"_s};
        QTest::newRow("4 columns, 790") << Style{1, 0, 4, u"190"_s, u"270"_s, u"340"_s, u"310"_s};
        QTest::newRow("3 columns, 750") << Style{0, 1, 3, u"243"_s, u"320"_s, u"390"_s, u"360"_s};
        QTest::newRow("3 columns, 790") << Style{1, 1, 3, u"256"_s, u"270"_s, u"340"_s, u"360"_s};
    }
    void defaultFragment()
    {
        QFETCH(Style, c);
        const auto &[shopType, style, cards, w, h, cardHeight, totalHeight] = c;
        const Metrics chosen = guanlian::withStyle(Metrics::forShop(shopType), style);
        QCOMPARE(chosen.totalHeight, totalHeight);
        QCOMPARE(chosen.imageWidth, w);
        QCOMPARE(chosen.imageHeight, h);
        QCOMPARE(guanlian::styleSize(style, chosen.totalWidth)->cards, cards);

        PageState state = stateFor(shopType, style);
        const QString picture = state.field(u"mmotwo"_s).section(u'|', 0, 0);
        const QStringList prices{u"59.00"_s, u"68.00"_s, u"59.00"_s, u"63.00"_s};
        QString expected = u"<div style=\"width:"_s + (shopType == 0 ? u"750"_s : u"790"_s) + u"px; height:"_s
                         + cardHeight + u"px; overflow:hidden; font-family:Microsoft YaHei\"><div style=\"width:850px; height:"_s
                         + cardHeight + u"px;\">"_s;
        for (int i = 0; i < cards; ++i)
            expected += expectedCard(picture, prices.at(i), w, h, cardHeight) + u"\r\n"_s;
        const Generated result = guanlian::btn14Click(state, {});
        QVERIFY(result.reminder.isEmpty());
        QVERIFY(result.preview);
        QCOMPARE(result.fragment, expected + u"</div></div>"_s);
        QCOMPARE(state.metrics, chosen);
        QCOMPARE(state.field(u"mmothree"_s), u"#|#|#|#"_s);
        QCOMPARE(state.field(u"mmoguanlianjiage"_s), u"59.00|\r\n68.00|\r\n59.00|\r\n63.00|"_s);
    }

    void withoutStyleRemindsAfterCleaning()
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
        QVERIFY(!guanlian::styleSize(2, u"750"_s));
        QCOMPARE(guanlian::withStyle(before, 2), before);
    }

    // Three links are enough for three columns, not for four; the lowest
    // missing position is named, whichever list lacks it.
    void shortLists_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("failure");
        const QString index = u"List index out of bounds (%1)"_s;
        QTest::newRow("three links, 4 columns") << 0 << u"mmothree"_s << u"#|#|#"_s << index.arg(3);
        QTest::newRow("no pictures") << 1 << u"mmotwo"_s << u"\r\n"_s << index.arg(0);
        QTest::newRow("two prices, 3 columns") << 1 << u"mmoguanlianjiage"_s << u"1|2"_s << index.arg(2);
        QTest::newRow("five links, 3 columns") << 1 << u"mmothree"_s << u"#a|#b|#c|#d|#e"_s << QString();
    }
    void shortLists()
    {
        QFETCH(int, style);
        QFETCH(QString, memo);
        QFETCH(QString, text);
        QFETCH(QString, failure);
        PageState state = stateFor(0, style);
        state.setField(memo, text);
        QCOMPARE(failureOf(state), failure);
        QCOMPARE(state.field(memo), text.trimmed());
        if (!failure.isEmpty())
            return;
        const Generated result = guanlian::btn14Click(state, {});
        QCOMPARE(result.fragment.count(u"<li "_s), 3);
        QVERIFY(result.fragment.contains(u"href=\"#c\""_s));
        QVERIFY(!result.fragment.contains(u"#d"_s));

        state = stateFor(0, 0);
        state.setField(u"mmothree"_s, u"#|#|#"_s);
        state.setField(u"mmoone"_s, u"a|b"_s);
        QCOMPARE(failureOf(state), u"List index out of bounds (2)"_s);
    }

    void blanksAndQuotesInValues()
    {
        PageState state = stateFor(0, 1);
        state.setField(u"mmoone"_s, u"\"red coat\"|\"say \"\"hi\"\"\"|plain"_s);
        state.setField(u"mmoguanlianjiage"_s, u"1 | 2 |3"_s);
        state.setField(u"edtzise"_s, u"#999\" onclick=\"x"_s);
        const QString fragment = guanlian::btn14Click(state, {}).fragment;
        for (const QString &piece : {u"YaHei\">red coat</div>"_s, u"YaHei\">say \"hi\"</div>"_s, u"</span>3</div>"_s,
                                     u"color:#999\" onclick=\"x;font-size:14px;"_s})
            QVERIFY2(fragment.contains(piece), qPrintable(piece));
        // An unquoted blank splits a title and shifts the later ones.
        state = stateFor(0, 1);
        state.setField(u"mmoone"_s, u"red coat|blue|green"_s);
        const QString shifted = guanlian::btn14Click(state, {}).fragment;
        QVERIFY(shifted.contains(u"YaHei\">coat</div>"_s));
        QVERIFY(!shifted.contains(u"green"_s));
    }

    // The style was chosen, then a combo offer wrote its column width: the
    // cards keep the width of their style.
    void widthLeftByComboOfferIsNotUsed()
    {
        for (const auto &[shopType, style, w, h] :
             {std::tuple(0, 0, u"180"_s, u"270"_s), std::tuple(1, 1, u"256"_s, u"270"_s)}) {
            PageState combo = dapei::page().defaultState(guanlian::withStyle(Metrics::forShop(shopType), style));
            dapei::btn7Click(combo, {});
            QCOMPARE(combo.metrics.imageWidth, shopType == 0 ? u"220"_s : u"230"_s);
            PageState state = stateFor(shopType, style);
            state.metrics = combo.metrics;
            const QString fragment = guanlian::btn14Click(state, {}).fragment;
            QVERIFY(fragment.contains(u"<li style=\"width:%1px;"_s.arg(w)));
            QVERIFY(fragment.contains(u"width=\"%1\" height=\"%2\""_s.arg(w, h)));
            QVERIFY(!fragment.contains(u"width:%1px"_s.arg(combo.metrics.imageWidth)));
            QCOMPARE(state.metrics.imageWidth, w);
            QCOMPARE(state.metrics.imageHeight, h);
        }
    }
};

QTEST_GUILESS_MAIN(TstGuanlian)
#include "tst_guanlian.moc"
