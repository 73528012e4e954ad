#include "modules/header/fengetiao/fengetiao.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The bar as a seller would write it by hand, one piece after the other.
QString expectedBar(const QString &width, const QString &background, const QString &fontSize,
                    const QString &lineColour, const QString &lineWidth, const QString &highlight,
                    const QString &titleColour, const QString &title, const QString &remarkColour,
                    const QString &remark)
{
    return u"<div style=\"width:"_s + width + u"px;height:40px; background-color:"_s + background
         + u"; line-height:40px; font-size:"_s + fontSize + u"px; font-family:Microsoft YaHei;border-bottom:"_s
         + lineColour + u" "_s + lineWidth + u"px solid;margin:10px 0\">"_s
         + u"<div style=\"float:left; height:40px; padding:0px 30px;background-color:"_s + highlight
         + u";color:"_s + titleColour + u"\">"_s + title + u"</div>"_s
         + u"<div style=\"float:right; height:40px; padding:0 30px;color:"_s + remarkColour
         + u"; font-size:14px\">"_s + remark + u"</div>"_s + u"</div>"_s;
}

} // namespace

class TestFengetiao : public QObject {
    Q_OBJECT

private slots:
    void defaults()
    {
        for (const auto &[shop, width] : {std::pair(0, u"750"_s), std::pair(1, u"790"_s)}) {
            orv::PageState state = orv::fengetiao::page().defaultState(orv::Metrics::forShop(shop));
            const orv::PageState before = state;
            const orv::Generated out = orv::fengetiao::btn15Click(state, {});
            QCOMPARE(out.fragment, expectedBar(width, u"#F3F3F3"_s, u"16"_s, u"#8080FF"_s, u"0"_s, u"#c0c0c0"_s,
                                               u"#fff"_s, u"产品参数"_s, u"#808080"_s, u"欢迎光临本店"_s));
            QVERIFY(out.preview);
            QVERIFY(out.reminder.isEmpty());
            QCOMPARE(state.fields, before.fields);
        }
    }

    void editedFieldsAreInsertedAsTyped()
    {
        orv::PageState state = orv::fengetiao::page().defaultState();
        state.setField(u"cbb2"_s, u"2"_s);
        state.setField(u"cbb1"_s, u"20"_s);
        state.setField(u"edt3"_s, QString());
        state.setField(u"edt25"_s, QString());
        state.setField(u"edt2"_s, u" red "_s);
        state.setField(u"edt4"_s, u"<b>&\""_s);
        QCOMPARE(orv::fengetiao::btn15Click(state, {}).fragment,
                 expectedBar(u"750"_s, u"#F3F3F3"_s, u"20"_s, u" red "_s, u"2"_s, u"#c0c0c0"_s, u"<b>&\""_s, QString(),
                             u"#808080"_s, QString()));
        state.setField(u"cbb2"_s, QString());
        QVERIFY(orv::fengetiao::btn15Click(state, {}).fragment.contains(u"border-bottom: red  px solid"_s));
    }
};

QTEST_GUILESS_MAIN(TestFengetiao)
#include "tst_fengetiao.moc"
