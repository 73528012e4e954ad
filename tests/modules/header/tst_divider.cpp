#include "modules/header/divider/divider.h"
#include "support/generated.h"
#include "support/golden.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;
using orv::test::Fields;

class TstDivider : public QObject {
    Q_OBJECT

private slots:
    // Every field goes in as typed, none is cleaned or written back.
    void fragments_data()
    {
        QTest::addColumn<Shop>("shop");
        QTest::addColumn<Fields>("fields");
        QTest::newRow("defaults-taobao") << Shop::Taobao << Fields{};
        QTest::newRow("defaults-tmall") << Shop::Tmall << Fields{};
        QTest::newRow("edited") << Shop::Taobao << Fields{{u"line_width"_s, u"2"_s},
                                                          {u"font_size"_s, u"20"_s},
                                                          {u"title"_s, {}},
                                                          {u"remark"_s, {}},
                                                          {u"line_colour"_s, u" red "_s},
                                                          {u"title_colour"_s, u"<b>&\""_s}};
        QTest::newRow("no-line-width") << Shop::Taobao << Fields{{u"line_width"_s, {}}, {u"line_colour"_s, u" red "_s}};
    }
    void fragments()
    {
        QFETCH(Shop, shop);
        QFETCH(Fields, fields);
        PageState state = test::stateWith(divider::pageSpec(), shop, fields);
        const PageState before = state;
        const Generated out = divider::generate(state, {});
        ORV_COMPARE_GOLDEN(out.fragment, test::goldenCase(u"modules/divider"_s));
        QVERIFY(out.preview);
        QVERIFY(out.reminder.isEmpty());
        QCOMPARE(state.fields, before.fields);
        QCOMPARE(state.metrics, before.metrics);
    }
};

QTEST_GUILESS_MAIN(TstDivider)
#include "tst_divider.moc"
