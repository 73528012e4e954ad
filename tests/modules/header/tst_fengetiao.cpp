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
    void defaults_data();
    void defaults();
    void editedFieldsAreInsertedAsTyped();
    void describesItsFields();
};

void TestFengetiao::defaults_data()
{
    QTest::addColumn<int>("shop");
    QTest::addColumn<QString>("width");
    QTest::newRow("taobao") << 0 << u"750"_s;
    QTest::newRow("tmall") << 1 << u"790"_s;
}

void TestFengetiao::defaults()
{
    QFETCH(int, shop);
    QFETCH(QString, width);
    orv::PageState state = orv::fengetiao::page().defaultState(orv::Metrics::forShop(shop));
    const orv::PageState before = state;
    const orv::Generated out = orv::fengetiao::btn15Click(state, {});
    QCOMPARE(out.fragment, expectedBar(width, u"#F3F3F3"_s, u"16"_s, u"#8080FF"_s, u"0"_s, u"#c0c0c0"_s,
                                       u"#fff"_s, u"产品参数"_s, u"#808080"_s, u"欢迎光临本店"_s));
    QVERIFY(out.preview);
    QVERIFY(out.reminder.isEmpty());
    QVERIFY(!out.fragment.contains(u'\n'));
    QCOMPARE(state.fields, before.fields);
}

void TestFengetiao::editedFieldsAreInsertedAsTyped()
{
    orv::PageState state = orv::fengetiao::page().defaultState();
    state.setField(u"cbb2"_s, u"2"_s);
    state.setField(u"cbb1"_s, u"20"_s);
    state.setField(u"edt3"_s, QString());
    state.setField(u"edt25"_s, QString());
    state.setField(u"edt2"_s, u" red "_s);
    state.setField(u"edt4"_s, u"<b>&\""_s);
    const QString fragment = orv::fengetiao::btn15Click(state, {}).fragment;
    QCOMPARE(fragment, expectedBar(u"750"_s, u"#F3F3F3"_s, u"20"_s, u" red "_s, u"2"_s, u"#c0c0c0"_s,
                                   u"<b>&\""_s, QString(), u"#808080"_s, QString()));

    state.setField(u"cbb2"_s, QString());
    QVERIFY(orv::fengetiao::btn15Click(state, {}).fragment.contains(u"border-bottom: red  px solid"_s));
}

void TestFengetiao::describesItsFields()
{
    const orv::PageSpec &pageSpec = orv::fengetiao::page();
    QCOMPARE(pageSpec.name, u"tsfengetiao"_s);
    QStringList names;
    for (const orv::FieldSpec &f : pageSpec.fields)
        names << f.name;
    QCOMPARE(names, (QStringList{u"edt1"_s, u"edt24"_s, u"cbb2"_s, u"edt2"_s, u"edt3"_s, u"edt4"_s, u"cbb1"_s,
                                 u"edt25"_s, u"edt28"_s}));
    QCOMPARE(pageSpec.findField(u"cbb1"_s)->items,
             (QStringList{u"12"_s, u"14"_s, u"15"_s, u"16"_s, u"18"_s, u"24"_s}));
    QCOMPARE(pageSpec.findField(u"edt28"_s)->kind, orv::FieldKind::Colour);
}

QTEST_GUILESS_MAIN(TestFengetiao)
#include "tst_fengetiao.moc"
