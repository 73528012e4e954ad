#include "modules/header/combo/combo.h"
#include "modules/header/relatedsales/relatedsales.h"
#include "support/generated.h"
#include "support/golden.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;
using orv::test::failureOf;
using orv::test::Fields;

namespace {

PageState stateFor(Shop shop, int style, const Fields &fields = {})
{
    PageState state = test::stateWith(relatedsales::pageSpec(), shop, fields);
    state.setField(u"style"_s, QString::number(style));
    return state;
}

} // namespace

class TstRelatedSales : public QObject {
    Q_OBJECT

private slots:
    // The style fixes the cards and their size, written into the metrics.
    void styles_data()
    {
        QTest::addColumn<Shop>("shop");
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("cards");
        QTest::addColumn<Metrics>("chosen");
        const auto metrics = [](Shop shop, int height, int w, int h) {
            Metrics m = Metrics::forShop(shop);
            m.totalHeight = height;
            m.imageWidth = w;
            m.imageHeight = h;
            return m;
        };
        QTest::newRow("four-columns-taobao") << Shop::Taobao << 0 << 4 << metrics(Shop::Taobao, 310, 180, 270);
        QTest::newRow("four-columns-tmall") << Shop::Tmall << 0 << 4 << metrics(Shop::Tmall, 310, 190, 270);
        QTest::newRow("three-columns-taobao") << Shop::Taobao << 1 << 3 << metrics(Shop::Taobao, 360, 243, 320);
        QTest::newRow("three-columns-tmall") << Shop::Tmall << 1 << 3 << metrics(Shop::Tmall, 360, 256, 270);
    }
    void styles()
    {
        QFETCH(Shop, shop);
        QFETCH(int, style);
        QFETCH(int, cards);
        QFETCH(Metrics, chosen);
        QCOMPARE(relatedsales::withStyle(Metrics::forShop(shop), style), chosen);
        QCOMPARE(relatedsales::styleSize(style, chosen.totalWidth)->cards, cards);

        PageState state = stateFor(shop, style);
        const Generated result = relatedsales::generate(state, {});
        QVERIFY(result.reminder.isEmpty());
        QVERIFY(result.preview);
        ORV_COMPARE_GOLDEN(result.fragment, test::goldenCase(u"modules/relatedsales"_s));
        QCOMPARE(result.fragment.count(u"<li "_s), cards);
        QCOMPARE(state.metrics, chosen);
        QCOMPARE(state.field(u"links"_s), u"#|#|#|#"_s);
        QCOMPARE(state.field(u"prices"_s), u"59.00|\r\n68.00|\r\n59.00|\r\n63.00|"_s);
    }

    void withoutStyleRemindsAfterCleaning()
    {
        PageState state = stateFor(Shop::Taobao, -1, {{u"titles"_s, u"\r\n  a|b  \r\n"_s}, {u"pictures"_s, u" \t"_s}});
        const Metrics before = state.metrics;
        const Generated result = relatedsales::generate(state, {});
        QCOMPARE(result.reminder, u"请选择生成类型后再生成代码！"_s);
        QVERIFY(result.fragment.isEmpty());
        QCOMPARE(state.field(u"titles"_s), u"a|b"_s);
        QCOMPARE(state.field(u"pictures"_s), QString());
        QCOMPARE(state.field(u"links"_s), u"#|#|#|#"_s);
        QCOMPARE(state.metrics, before);
        QVERIFY(!relatedsales::styleSize(2, 750));
        QCOMPARE(relatedsales::withStyle(before, 2), before);
    }

    // Three links are enough for three columns, not for four; the lowest
    // missing position is named, whichever list lacks it.
    void shortLists_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("failure");
        const QString index = u"List index out of bounds (%1)"_s;
        QTest::newRow("three links, 4 columns") << 0 << u"links"_s << u"#|#|#"_s << index.arg(3);
        QTest::newRow("no pictures") << 1 << u"pictures"_s << u"\r\n"_s << index.arg(0);
        QTest::newRow("two prices, 3 columns") << 1 << u"prices"_s << u"1|2"_s << index.arg(2);
        QTest::newRow("five links, 3 columns") << 1 << u"links"_s << u"#a|#b|#c|#d|#e"_s << QString();
    }
    void shortLists()
    {
        QFETCH(int, style);
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QString, failure);
        PageState state = stateFor(Shop::Taobao, style, {{key, text}});
        QCOMPARE(failureOf([&] { relatedsales::generate(state, {}); }), failure);
        QCOMPARE(state.field(key), text.trimmed());
        if (!failure.isEmpty())
            return;
        const Generated result = relatedsales::generate(state, {});
        QCOMPARE(result.fragment.count(u"<li "_s), 3);
        QVERIFY(result.fragment.contains(u"href=\"#c\""_s));
        QVERIFY(!result.fragment.contains(u"#d"_s));

        state = stateFor(Shop::Taobao, 0, {{u"links"_s, u"#|#|#"_s}, {u"titles"_s, u"a|b"_s}});
        QCOMPARE(failureOf([&] { relatedsales::generate(state, {}); }), u"List index out of bounds (2)"_s);
    }

    // Quoted items keep blanks and quotes; an unquoted blank splits a title
    // and shifts the later ones; colours go in as typed.
    void values_data()
    {
        QTest::addColumn<Fields>("fields");
        QTest::newRow("quoted") << Fields{{u"titles"_s, u"\"red coat\"|\"say \"\"hi\"\"\"|plain"_s},
                                          {u"prices"_s, u"1 | 2 |3"_s},
                                          {u"text_colour"_s, u"#999\" onclick=\"x"_s}};
        QTest::newRow("unquoted-blank") << Fields{{u"titles"_s, u"red coat|blue|green"_s}};
    }
    void values()
    {
        QFETCH(Fields, fields);
        PageState state = stateFor(Shop::Taobao, 1, fields);
        ORV_COMPARE_GOLDEN(relatedsales::generate(state, {}).fragment, test::goldenCase(u"modules/relatedsales"_s));
    }

    // The style was chosen, then a combo offer wrote its column width: the
    // cards keep the width of their style.
    void widthLeftByComboOfferIsNotUsed()
    {
        for (const auto &[shop, style, w, h] :
             {std::tuple(Shop::Taobao, 0, 180, 270), std::tuple(Shop::Tmall, 1, 256, 270)}) {
            PageState offer = combo::pageSpec().defaultState(relatedsales::withStyle(Metrics::forShop(shop), style));
            combo::generate(offer, {});
            QCOMPARE(offer.metrics.imageWidth, shop == Shop::Taobao ? 220 : 230);
            PageState state = stateFor(shop, style);
            state.metrics = offer.metrics;
            const QString fragment = relatedsales::generate(state, {}).fragment;
            QVERIFY(fragment.contains(u"<li style=\"width:%1px;"_s.arg(w)));
            QVERIFY(fragment.contains(u"width=\"%1\" height=\"%2\""_s.arg(w).arg(h)));
            QVERIFY(!fragment.contains(u"width:%1px"_s.arg(offer.metrics.imageWidth)));
            QCOMPARE(state.metrics.imageWidth, w);
            QCOMPARE(state.metrics.imageHeight, h);
        }
    }
};

QTEST_GUILESS_MAIN(TstRelatedSales)
#include "tst_relatedsales.moc"
