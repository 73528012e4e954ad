#include "core/page.h"
#include "modules/header/dapei/dapei.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;

namespace {

// The offer, written out piece by piece from the field texts and the width.
QString expectedOffer(const PageState &s, const QString &totalWidth, const QString &w)
{
    const QString indent = u"  \t"_s;
    return QStringList{
        u"<div style=\"width:"_s,
        totalWidth,
        u"px; height:270px;font-family:Microsoft YaHei; margin:10px 0; padding:1%; border:1px #F0F0F0 solid\">"_s,
        u"<a style=\"text-decoration:none\" href=\""_s,
        s.field(u"edt11"_s),
        u"\" target=\"_blank\">"_s,
        u"  <div style=\"width:"_s,
        w,
        u"px; height:270px;float:left\">"_s,
        indent,
        u"<img src=\""_s,
        s.field(u"edt9"_s),
        u"\"  width=\""_s,
        w,
        u"\"/>"_s,
        u"    <div style=\"text-align:center; font-size:15px; margin-top:10px; color:#333\">"_s,
        s.field(u"edt10"_s),
        u"</div>"_s,
        u"  </div></a>"_s,
        u"  <div style=\"width:5%; height:225px; float:left; font-size:36px; line-height:225px; text-align:center; color:#333\">+</div>"_s,
        u"<a style=\"text-decoration:none\" href=\""_s,
        s.field(u"edt14"_s),
        u"\" target=\"_blank\">"_s,
        u"  <div style=\"width:"_s,
        w,
        u"px; height:270px;float:left\">"_s,
        indent,
        u"<img src=\""_s,
        s.field(u"edt12"_s),
        u"\"  width=\""_s,
        w,
        u"\"/>"_s,
        u"    <div style=\"text-align:center; font-size:15px; margin-top:10px;color:#333\">"_s,
        s.field(u"edt13"_s),
        u"</div>"_s,
        u"  </div></a>"_s,
        u"  <div style=\"width:"_s,
        w,
        u"px; height:270px; float:right;\">"_s,
        indent,
        u"<div style=\"line-height:45px; text-align:center; background-color:#ccc; font-size:23px; color:#FFF; font-weight:600\">搭配套餐</div>"_s,
        u"<div style=\"line-height:45px; text-align:center;font-size:16px; color:#999\">\u2014\u2014 原价:"_s,
        s.field(u"edt15"_s),
        u" \u2014\u2014</div>"_s,
        u"    <div style=\"line-height:30px; text-align:center;font-size:16px; color:#333\">【划算套餐价】</div>"_s,
        u"    <div style=\"line-height:50px; text-align:center;font-size:36px; font-family:arial; color:#F30\"><span style=\" font-family: Microsoft YaHei\">\uFFE5</span>"_s,
        s.field(u"edt16"_s),
        u"</div>"_s,
        u"<a style=\"text-decoration:none;color:"_s,
        s.field(u"edt18"_s),
        u"\" href=\""_s,
        s.field(u"edt19"_s),
        u"\" target=\"_blank\">"_s,
        u"    <div style=\"line-height:40px; text-align:center;font-size:16px; background-color:"_s,
        s.field(u"edt17"_s),
        u"; margin-top:10px;\">立即购买</div></a>"_s,
        u"  </div>"_s,
        u"</div>"_s,
    }.join(QString());
}

} // namespace

class TstDapei : public QObject {
    Q_OBJECT

private slots:
    void defaultOffer_data();
    void defaultOffer();
    void valuesGoInAsTyped();
};

void TstDapei::defaultOffer_data()
{
    QTest::addColumn<int>("shopType");
    QTest::addColumn<QString>("totalWidth");
    QTest::addColumn<QString>("w");
    QTest::newRow("Taobao") << 0 << u"750"_s << u"220"_s;
    QTest::newRow("Tmall") << 1 << u"790"_s << u"230"_s;
}

void TstDapei::defaultOffer()
{
    QFETCH(int, shopType);
    QFETCH(QString, totalWidth);
    QFETCH(QString, w);

    // A related-sales style had written its own width before.
    Metrics metrics = Metrics::forShop(shopType);
    metrics.totalHeight = u"360"_s;
    metrics.imageWidth = u"243"_s;
    metrics.imageHeight = u"320"_s;
    PageState state = dapei::page().defaultState(metrics);
    const PageState before = state;

    const Generated result = dapei::btn7Click(state, {});
    QCOMPARE(result.fragment, expectedOffer(before, totalWidth, w));
    QVERIFY(result.preview);
    QVERIFY(!result.fragment.contains(u'\n'));
    QCOMPARE(result.fragment.count(u'\t'), 3);
    QCOMPARE(state.metrics.imageWidth, w);
    // Only the image width changes.
    metrics.imageWidth = w;
    QCOMPARE(state.metrics, metrics);
    QCOMPARE(state.fields, before.fields);
}

void TstDapei::valuesGoInAsTyped()
{
    PageState state = dapei::page().defaultState(Metrics::forShop(1));
    state.setField(u"edt10"_s, u" 两件 \"套装\" "_s);
    state.setField(u"edt11"_s, QString());
    state.setField(u"edt15"_s, QString());
    state.setField(u"edt16"_s, u"￥ 99 元"_s);
    state.setField(u"edt17"_s, u"rgb(1, 2, 3)"_s);
    const PageState before = state;
    const QString fragment = dapei::btn7Click(state, {}).fragment;
    QCOMPARE(fragment, expectedOffer(before, u"790"_s, u"230"_s));
    QVERIFY(fragment.contains(u"color:#333\"> 两件 \"套装\" </div>"_s));
    QVERIFY(fragment.contains(u"原价: \u2014\u2014</div>"_s));
    QVERIFY(fragment.contains(u"href=\"\" target"_s));
}

QTEST_GUILESS_MAIN(TstDapei)
#include "tst_dapei.moc"
