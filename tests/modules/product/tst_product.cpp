#include "core/failure.h"
#include "core/page.h"
#include "modules/product/canshu/canshu.h"
#include "modules/product/chima/chima.h"
#include "modules/product/zhanshi/zhanshi.h"

#include <QTest>

using namespace orv;
using namespace Qt::StringLiterals;

namespace {

const QString crlf = u"\r\n"_s;

PageState defaults(const PageSpec &pageSpec, const QString &width)
{
    return pageSpec.defaultState(Metrics::forShop(width == u"790"_s ? 1 : 0));
}

QString failureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Failure &failure) {
        return failure.message();
    }
    return {};
}

QString canshuExpected(const QString &width, const QString &picture, const QString &paramText)
{
    return u"<div style=\"width:"_s + width
         + u"px; margin:10px 0;background-color:#f5f5f5;padding:15px 0px; height:320px; font-family:Microsoft YaHei\">"
           "<div style=\"background-color:#FFF;height:320px; margin:0px 15px;\">"
           "<div style=\"width:320px; height:320px; overflow:hidden; float:left\">"
           "<img src=\""_s
         + picture
         + u"\" width=\"320\"/></div>"
           "<div style=\"width:320px; height:300px;float:left;line-height:30px; font-size:14px; padding:10px; "
           "background-color:#FFF; padding-left:60px; color:#999\">"
           "<div style=\"font-size:18px; font-weight:600; line-height:60px; color:#333\">参数信息 /Parameters</div>"_s
         + paramText + u"</div></div></div>"_s;
}

} // namespace

class TstProduct : public QObject {
    Q_OBJECT

private slots:
    // The start-up fragments of the parameters and product-display pages.
    void defaultFragments_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("width");
        for (const char *page : {"canshu", "zhanshi"})
            for (const char *width : {"750", "790"})
                QTest::addRow("%s %s", page, width) << QString::fromLatin1(page) << QString::fromLatin1(width);
    }
    void defaultFragments()
    {
        QFETCH(QString, page);
        QFETCH(QString, width);
        if (page == u"canshu"_s) {
            PageState state = defaults(canshu::page(), width);
            const QString picture = state.field(u"edtcanshutu"_s);
            QVERIFY(picture.startsWith(u"https://"_s));
            const QString params = u"CPU型号：苹果A7 <br>\r\n屏幕尺寸：4.0英寸 <br>\r\n运行内存：1GB <br>\r\n"
                                   "屏幕分辨率：1136×640像素 <br>\r\n机身容量：16GB <br>\r\n操作系统：iOS 8.0 <br>\r\n"
                                   "后置相机：800万像素<br>\r\n"_s;
            QCOMPARE(canshu::btn18Click(state, {}).fragment, canshuExpected(width, picture, params));
            return;
        }
        PageState state = defaults(zhanshi::page(), width);
        const QString address = state.field(u"mmozhanshi"_s).section(u'|', 0, 0);
        QVERIFY(address.startsWith(u"https://"_s));
        const QString picture = u"<img style=\"margin:5px 0\" src=\""_s + address + u"\" alt=\" 790.jpg\" width=\""_s
                              + width + u"\"/>\r\n"_s;
        QCOMPARE(zhanshi::btn1Click(state, {}).fragment, picture.repeated(5));
        QVERIFY(!state.field(u"mmozhanshi"_s).endsWith(crlf)); // cleaned
    }

    // Lines as the memo shows them: a final line break adds none, inner empty
    // lines count, and a service's wrapped lines each get their own "<br>".
    void canshuLines_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<bool>("wrapAtFour");
        QTest::addColumn<QString>("params");
        QTest::newRow("empty") << QString() << false << QString();
        QTest::newRow("final break") << u"a\r\n"_s << false << u"a<br>\r\n"_s;
        QTest::newRow("inner empty") << u"a\r\n\r\nb"_s << false << u"a<br>\r\n<br>\r\nb<br>\r\n"_s;
        QTest::newRow("pipe and blanks") << u" x|y "_s << false << u" x|y <br>\r\n"_s;
        QTest::newRow("wrapped") << u"abcdefghij\r\nxy"_s << true
                                 << u"abcd<br>\r\nefgh<br>\r\nij<br>\r\nxy<br>\r\n"_s;
    }

    void canshuLines()
    {
        QFETCH(QString, memo);
        QFETCH(bool, wrapAtFour);
        QFETCH(QString, params);
        PageState state = defaults(canshu::page(), u"750"_s);
        state.setField(u"mmocanshu"_s, memo);
        state.setField(u"edtcanshutu"_s, QString());
        Services services;
        if (wrapAtFour) {
            services.displayedLines = [](const QString &field, const QString &text) {
                QStringList parts;
                if (field != u"mmocanshu"_s)
                    return parts;
                for (const QString &line : text.split(u"\r\n"_s))
                    for (qsizetype i = 0; i < line.size(); i += 4)
                        parts.append(line.mid(i, 4));
                return parts;
            };
        }
        QCOMPARE(canshu::btn18Click(state, services).fragment, canshuExpected(u"750"_s, QString(), params));
    }

    // The size table is the same at both widths, with or without a style.
    void chimaTemplate()
    {
        const QString text = chima::sizeTable();
        QVERIFY(text.endsWith(u"\r\n</div>\r\n"_s));
        QCOMPARE(text.count(crlf), 54);
        QCOMPARE(text.count(u'\n'), 54);
        QCOMPARE(text.count(u'\r'), 54);
        QCOMPARE(text.count(u'\t'), 1);
        const QStringList lines = text.split(crlf);
        QCOMPARE(lines.at(0), u"<div style=\"width:750px; font-family: Microsoft YaHei;\">"_s);
        for (const QString &line : lines)
            QVERIFY2(!line.endsWith(u' '), qPrintable(line));

        PageState narrow = defaults(chima::page(), u"750"_s);
        PageState wide = defaults(chima::page(), u"790"_s);
        wide.setField(u"rg4"_s, u"-1"_s);
        QCOMPARE(chima::btn19Click(narrow, {}).fragment, text);
        QCOMPARE(chima::btn19Click(wide, {}).fragment, text);
    }

    // Counts and lists: the cleaned field stays cleaned also when the action fails.
    void zhanshiCounts_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("fragment");
        QTest::addColumn<QString>("failure");
        const QString p = u"<img style=\"margin:5px 0\" src=\"%1\" alt=\" 790.jpg\" width=\"750\"/>\r\n"_s;
        const QString five = u" \r\na|\r\nb|\r\nc|\r\nd|\r\ne\r\n\r\n"_s;
        QTest::newRow("three of five") << u"3"_s << five << p.arg(u"a"_s) + p.arg(u"b"_s) + p.arg(u"c"_s) << QString();
        QTest::newRow("six of five") << u"6"_s << five << QString() << u"List index out of bounds (5)"_s;
        QTest::newRow("final pipe") << u"6"_s << u"a|b|c|d|e|"_s
                                    << p.arg(u"a"_s) + p.arg(u"b"_s) + p.arg(u"c"_s) + p.arg(u"d"_s)
                                           + p.arg(u"e"_s) + p.arg(QString())
                                    << QString();
        QTest::newRow("zero") << u"0"_s << five << QString() << QString();
        QTest::newRow("negative") << u"-2"_s << five << QString() << QString();
        QTest::newRow("zero, empty list") << u"0"_s << QString() << QString() << QString();
        QTest::newRow("large") << u"100000"_s << five << QString() << u"List index out of bounds (5)"_s;
        QTest::newRow("not a number") << u"abc"_s << five << QString() << u"'abc' is not a valid integer value"_s;
    }

    void zhanshiCounts()
    {
        QFETCH(QString, count);
        QFETCH(QString, list);
        QFETCH(QString, fragment);
        QFETCH(QString, failure);
        PageState state = defaults(zhanshi::page(), u"750"_s);
        state.setField(u"cbb3"_s, count);
        state.setField(u"mmozhanshi"_s, list);
        Generated result;
        QCOMPARE(failureOf([&] { result = zhanshi::btn1Click(state, {}); }), failure);
        QCOMPARE(result.fragment, fragment);
        if (list.startsWith(u' '))
            QCOMPARE(state.field(u"mmozhanshi"_s), u"a|\r\nb|\r\nc|\r\nd|\r\ne"_s);
    }
};

QTEST_GUILESS_MAIN(TstProduct)
#include "tst_product.moc"
