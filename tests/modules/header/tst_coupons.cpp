#include "modules/header/coupons/coupons.h"
#include "support/generated.h"
#include "support/golden.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;
using orv::test::failureOf;
using orv::test::Fields;

class TstCoupons : public QObject {
    Q_OBJECT

private slots:
    void fragments_data()
    {
        QTest::addColumn<Shop>("shop");
        QTest::addColumn<Fields>("fields");
        QTest::newRow("defaults-taobao") << Shop::Taobao << Fields{};
        QTest::newRow("defaults-tmall") << Shop::Tmall << Fields{};
        // Blanks around "|" change nothing: the same as the defaults.
        QTest::newRow("blanks-around-pipes") << Shop::Taobao << Fields{{u"amounts"_s, u"  10 | 20 |\r\n 50 "_s}};
        // Quoted values keep their blanks and quotes; colours go in as typed.
        QTest::newRow("quoted") << Shop::Taobao
                                << Fields{{u"conditions"_s, u"\"满 100 元\"|\"say \"\"hi\"\"\"|c"_s},
                                          {u"card_colour"_s, u"red; x"_s}};
        // An unquoted blank splits a condition and shifts the later ones.
        QTest::newRow("unquoted-blank") << Shop::Taobao << Fields{{u"conditions"_s, u"满100 元|b|c"_s}};
        // Surplus items are ignored.
        QTest::newRow("surplus") << Shop::Taobao
                                 << Fields{{u"amounts"_s, u"10|20|50|100|200"_s}, {u"links"_s, u"#1|#2|#3|#4"_s}};
    }
    void fragments()
    {
        QFETCH(Shop, shop);
        QFETCH(Fields, fields);
        PageState state = test::stateWith(coupons::pageSpec(), shop, fields);
        const Metrics before = state.metrics;
        ORV_COMPARE_GOLDEN(coupons::generate(state, {}).fragment, test::goldenCase(u"modules/coupons"_s));
        QCOMPARE(state.metrics, before);
        if (fields.isEmpty()) {
            QCOMPARE(state.field(u"amounts"_s), u"10|20|50"_s);
            QCOMPARE(state.field(u"conditions"_s), u"满100元使用|\r\n满200元使用|\r\n满300元使用|"_s);
            QCOMPARE(state.field(u"links"_s), u"#|#|#"_s);
        }
    }

    // Links lacking position 2 while conditions already lack position 1 name 1.
    void shortListsFail_data()
    {
        QTest::addColumn<Fields>("fields");
        QTest::addColumn<int>("index");
        QTest::newRow("two amounts") << Fields{{u"amounts"_s, u"10|20\r\n"_s}} << 2;
        QTest::newRow("no conditions") << Fields{{u"conditions"_s, u" \r\n "_s}} << 0;
        QTest::newRow("no links") << Fields{{u"links"_s, QString()}} << 0;
        QTest::newRow("one condition, two links")
            << Fields{{u"conditions"_s, u"满100元使用"_s}, {u"links"_s, u"#|#"_s}} << 1;
    }
    void shortListsFail()
    {
        QFETCH(Fields, fields);
        QFETCH(int, index);
        PageState state = test::stateWith(coupons::pageSpec(), Shop::Taobao, fields);
        QCOMPARE(failureOf([&] { coupons::generate(state, {}); }), u"List index out of bounds (%1)"_s.arg(index));
        QCOMPARE(state.field(fields.first().first), fields.first().second.trimmed());
    }
};

QTEST_GUILESS_MAIN(TstCoupons)
#include "tst_coupons.moc"
