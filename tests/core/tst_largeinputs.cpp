// The generators and the module list on the largest inputs sellers may paste:
// multi-line fields of a million characters and a list of 1,000 entries (the
// splitters alone are covered by their fuzz targets). Only the results are
// checked; the times are measured by bench/orvanta_bench.

#include "core/modulelistmodel.h"
#include "core/outputbuffer.h"
#include "modules/header/coupons/coupons.h"
#include "modules/product/details/details.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype million = 1'000'000;

} // namespace

class TstLargeInputs : public QObject {
    Q_OBJECT

private slots:
    void couponGenerator()
    {
        orv::PageState state = orv::coupons::pageSpec().defaultState();
        const QString amounts = u"10|20|50|"_s + u"9|"_s.repeated(million / 2) + u"  \r\n"_s;
        state.setField(u"amounts"_s, amounts);
        state.setField(u"conditions"_s, u"满100元使用|"_s.repeated(million / 8));
        state.setField(u"links"_s, u"#a|#b|#c|"_s + u"#|"_s.repeated(million / 2));
        const QString html = orv::coupons::generate(state, {}).fragment;
        QCOMPARE(html.count(u"优惠券</div>"_s), 3);
        QVERIFY(html.contains(u">10</div>"_s) && html.contains(u">50</div>"_s) && !html.contains(u">9</div>"_s));
        QVERIFY(html.contains(u"href=\"#c\""_s));
        QCOMPARE(state.field(u"amounts"_s), amounts.chopped(4)); // cleaned in place
    }

    // As many pictures as the memos hold: each picture's items, in order.
    void detailsGenerator()
    {
        const qsizetype count = million / 20;
        orv::PageState state = orv::details::pageSpec().defaultState();
        state.setField(u"count"_s, QString::number(count));
        state.setField(u"pictures"_s, u"https://a/1.jpg|"_s.repeated(count - 1) + u"https://a/9.jpg"_s);
        state.setField(u"titles"_s, u"标题|"_s.repeated(count));
        state.setField(u"captions"_s, u"说明|"_s.repeated(count - 1) + u"末尾"_s);
        const QString html = orv::details::generate(state, {}).fragment;
        QCOMPARE(html.count(u"<img "_s), count);
        QVERIFY(html.endsWith(u"src=\"https://a/9.jpg\" width=\"750\"/><div style=\"width:750px;\">"
                              "<div style=\"font-size:21px;color:#f30;margin:30px 0px; margin-bottom:5px;"
                              "font-weight:600;text-align:center\">标题</div><div style=\"color:#999;"
                              "line-height:25px; padding:0 40px;margin-bottom:20px;;text-align:center\">"
                              "末尾</div></div>\r\n</div>"_s));
    }

    void moduleListOfAThousandEntries()
    {
        orv::ModuleListModel list;
        for (int i = 0; i < 1000; ++i)
            list.append(u"分隔条"_s, u"<div>%1</div>\n<p>%1</p>"_s.arg(i));
        QVERIFY(list.remove(500));
        QVERIFY(!list.moveDown(998));
        QVERIFY(list.moveUp(998) && list.moveDown(997));
        QCOMPARE(list.count(), 999);
        QCOMPARE(list.entry(998).number, 1000);
        QCOMPARE(list.previewText(998), u"<div>999</div>\r\n<p>999</p>\r\n"_s);

        orv::OutputBuffer buffer;
        orv::writeSummary(list, buffer);
        const QStringList lines = buffer.text().split(u"\r\n"_s);
        QCOMPARE(lines.size(), 999 + 1);
        QCOMPARE(lines.at(0), u"<div>0</div>\n<p>0</p>"_s);
        QCOMPARE(lines.at(998), u"<div>999</div>\n<p>999</p>"_s);
        QVERIFY(lines.last().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstLargeInputs)
#include "tst_largeinputs.moc"
