#include "modules/header/combo/combo.h"
#include "support/generated.h"
#include "support/golden.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;
using orv::test::Fields;

class TstCombo : public QObject {
    Q_OBJECT

private slots:
    // The offer writes its column width into the image width and nothing else;
    // every field goes in as typed.
    void fragments_data()
    {
        QTest::addColumn<Shop>("shop");
        QTest::addColumn<Fields>("fields");
        QTest::addColumn<int>("columnWidth");
        QTest::newRow("defaults-taobao") << Shop::Taobao << Fields{} << 220;
        QTest::newRow("defaults-tmall") << Shop::Tmall << Fields{} << 230;
        QTest::newRow("as-typed") << Shop::Tmall
                                  << Fields{{u"title_1"_s, u" 两件 \"套装\" "_s},
                                            {u"link_1"_s, QString()},
                                            {u"list_price"_s, QString()},
                                            {u"offer_price"_s, u"￥ 99 元"_s},
                                            {u"button_colour"_s, u"rgb(1, 2, 3)"_s}}
                                  << 230;
    }
    void fragments()
    {
        QFETCH(Shop, shop);
        QFETCH(Fields, fields);
        QFETCH(int, columnWidth);
        // A related-sales style had written its own sizes before.
        Metrics metrics = Metrics::forShop(shop);
        metrics.totalHeight = 360;
        metrics.imageWidth = 243;
        metrics.imageHeight = 320;
        PageState state = test::stateWith(combo::pageSpec(), shop, fields);
        state.metrics = metrics;
        const PageState before = state;
        const Generated result = combo::generate(state, {});
        ORV_COMPARE_GOLDEN(result.fragment, test::goldenCase(u"modules/combo"_s));
        QVERIFY(result.preview);
        QCOMPARE(result.fragment.count(u'\t'), 3);
        metrics.imageWidth = columnWidth;
        QCOMPARE(state.metrics, metrics);
        QCOMPARE(state.fields, before.fields);
    }
};

QTEST_GUILESS_MAIN(TstCombo)
#include "tst_combo.moc"
