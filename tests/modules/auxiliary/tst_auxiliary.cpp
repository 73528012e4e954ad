#include "core/page.h"
#include "modules/auxiliary/jiaoliu/jiaoliu.h"
#include "modules/auxiliary/yangshi/yangshi.h"
#include "modules/auxiliary/zidingyi/zidingyi.h"

#include <QTest>

using namespace orv;
using namespace Qt::StringLiterals;

namespace {

PageState defaults(const PageSpec &pageSpec, int shopType)
{
    return pageSpec.defaultState(Metrics::forShop(shopType));
}

} // namespace

class TstAuxiliary : public QObject {
    Q_OBJECT

private slots:
    void yangshiDefaults()
    {
        for (const auto &[shop, width] : {std::pair(0, u"750"_s), std::pair(1, u"790"_s)}) {
            PageState state = defaults(yangshi::page(), shop);
            const QString expected =
                u"<div style=\"width:"_s + width
                + u"px; padding:20px 0px; background-color:#FFF;margin:10px 0\">"
                  "<div style=\"text-align:center; font-size:48px; font-family:Microsoft YaHei; font-weight:600;"
                  "border-bottom:#999 1px dashed; color:#000; padding-bottom:0px;\">精美细致 完美品质</div>"
                  "<div style=\"padding-bottom:5px;text-align:center; font-size:14px; font-family:arial; "
                  "line-height:30px;color:#999\">---- Exquisite and perfect quality ----</div> </div>"_s;
            QCOMPARE(yangshi::btn21Click(state, {}).fragment, expected);
            // The style choice is not read.
            state.setField(u"rg10"_s, u"-1"_s);
            QCOMPARE(yangshi::btn21Click(state, {}).fragment, expected);
        }
    }

    void noticeTemplate()
    {
        const QString text = jiaoliu::buyerNotice();
        QCOMPARE(text.count(u"\r\n"_s), 35);
        QCOMPARE(text.count(u'\n'), 35);
        QCOMPARE(text.count(u'\r'), 35);
        QCOMPARE(text.count(u"#666666"_s), 8);
    }

    void noticeColour_data()
    {
        QTest::addColumn<QString>("colour");
        QTest::newRow("default") << u"#F30"_s;
        QTest::newRow("same colour") << u"#666666"_s;
        QTest::newRow("holding the colour") << u"x#666666y"_s;
        QTest::newRow("colour twice") << u"#666666#666666"_s;
        QTest::newRow("name") << u"red"_s;
        QTest::newRow("empty") << QString();
    }

    void noticeColour()
    {
        QFETCH(QString, colour);
        for (int shop : {0, 1}) {
            PageState state = defaults(jiaoliu::page(), shop);
            if (qstrcmp(QTest::currentDataTag(), "default") != 0)
                state.setField(u"edt22"_s, colour);
            const QString html = jiaoliu::btn22Click(state, {}).fragment;
            QString expected = u"<div style=\"width:750px;\">"_s;
            for (const QString &part : jiaoliu::buyerNotice().split(u"#666666"_s))
                expected += part + colour;
            expected.chop(colour.size());
            expected += u"</div>"_s;
            QCOMPARE(html, expected);
            QCOMPARE(html.count(u"background-color:"_s + colour + u';'), 8);
            QVERIFY(html.endsWith(u"  </table>\r\n</div>"_s));
        }
    }

    void zidingyi()
    {
        for (const QString &memo : {QString(), u"<p>a & b\r\n<div>\r\n"_s}) {
            PageState state = defaults(zidingyi::page(), 1);
            QCOMPARE(state.field(u"mmo34"_s), QString());
            state.setField(u"mmo34"_s, memo);
            const Generated result = zidingyi::btn23Click(state, {});
            QCOMPARE(result.fragment, u"<table width=\"750\" border=\"0\" cellpadding=\"0\" cellspacing=\"0\"><tr><td>"_s
                                          + memo + u"</td></tr></table>"_s);
            QVERIFY(!result.preview);
        }
    }
};

QTEST_GUILESS_MAIN(TstAuxiliary)
#include "tst_auxiliary.moc"
