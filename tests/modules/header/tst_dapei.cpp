#include "core/page.h"
#include "modules/header/dapei/dapei.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;

namespace {

// The offer, written out piece by piece from the field texts and the width.
QString expectedOffer(const PageState &s, const QString &totalWidth, const QString &w)
{
    const auto f = [&s](const char16_t *name) { return s.field(QString::fromUtf16(name)); };
    const QString column = u"  <div style=\"width:"_s + w + u"px; height:270px;float:left\">  \t<img src=\""_s;
    return u"<div style=\"width:"_s + totalWidth
         + u"px; height:270px;font-family:Microsoft YaHei; margin:10px 0; padding:1%; border:1px #F0F0F0 solid\">"
           "<a style=\"text-decoration:none\" href=\""_s + f(u"edt11") + u"\" target=\"_blank\">"_s + column
         + f(u"edt9") + u"\"  width=\""_s + w + u"\"/>"
           "    <div style=\"text-align:center; font-size:15px; margin-top:10px; color:#333\">"_s + f(u"edt10")
         + u"</div>  </div></a>"
           "  <div style=\"width:5%; height:225px; float:left; font-size:36px; line-height:225px; text-align:center; color:#333\">+</div>"
           "<a style=\"text-decoration:none\" href=\""_s + f(u"edt14") + u"\" target=\"_blank\">"_s + column
         + f(u"edt12") + u"\"  width=\""_s + w + u"\"/>"
           "    <div style=\"text-align:center; font-size:15px; margin-top:10px;color:#333\">"_s + f(u"edt13")
         + u"</div>  </div></a>  <div style=\"width:"_s + w + u"px; height:270px; float:right;\">  \t"
           "<div style=\"line-height:45px; text-align:center; background-color:#ccc; font-size:23px; color:#FFF; font-weight:600\">搭配套餐</div>"
           "<div style=\"line-height:45px; text-align:center;font-size:16px; color:#999\">\u2014\u2014 原价:"_s + f(u"edt15")
         + u" \u2014\u2014</div>"
           "    <div style=\"line-height:30px; text-align:center;font-size:16px; color:#333\">【划算套餐价】</div>"
           "    <div style=\"line-height:50px; text-align:center;font-size:36px; font-family:arial; color:#F30\"><span style=\" font-family: Microsoft YaHei\">\uFFE5</span>"_s
         + f(u"edt16") + u"</div><a style=\"text-decoration:none;color:"_s + f(u"edt18") + u"\" href=\""_s + f(u"edt19")
         + u"\" target=\"_blank\">    <div style=\"line-height:40px; text-align:center;font-size:16px; background-color:"_s
         + f(u"edt17") + u"; margin-top:10px;\">立即购买</div></a>  </div></div>"_s;
}

} // namespace

class TstDapei : public QObject {
    Q_OBJECT

private slots:
    void defaultOffer()
    {
        for (const auto &[shopType, totalWidth, w] : {std::tuple(0, u"750"_s, u"220"_s), std::tuple(1, u"790"_s, u"230"_s)}) {
            // A related-sales style had written its own width before; only the image width changes.
            Metrics metrics = Metrics::forShop(shopType);
            metrics.totalHeight = u"360"_s;
            metrics.imageWidth = u"243"_s;
            metrics.imageHeight = u"320"_s;
            PageState state = dapei::page().defaultState(metrics);
            const PageState before = state;
            const Generated result = dapei::btn7Click(state, {});
            QCOMPARE(result.fragment, expectedOffer(before, totalWidth, w));
            QVERIFY(result.preview);
            QCOMPARE(result.fragment.count(u'\t'), 3);
            metrics.imageWidth = w;
            QCOMPARE(state.metrics, metrics);
            QCOMPARE(state.fields, before.fields);
        }
    }

    void valuesGoInAsTyped()
    {
        PageState state = dapei::page().defaultState(Metrics::forShop(1));
        state.setField(u"edt10"_s, u" 两件 \"套装\" "_s);
        state.setField(u"edt11"_s, QString());
        state.setField(u"edt15"_s, QString());
        state.setField(u"edt16"_s, u"￥ 99 元"_s);
        state.setField(u"edt17"_s, u"rgb(1, 2, 3)"_s);
        const PageState before = state;
        QCOMPARE(dapei::btn7Click(state, {}).fragment, expectedOffer(before, u"790"_s, u"230"_s));
    }
};

QTEST_GUILESS_MAIN(TstDapei)
#include "tst_dapei.moc"
