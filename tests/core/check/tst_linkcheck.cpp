// Links the phone would lose, judged on their boxes in the page's layout:
// which addresses a hot area keeps, a link under 10 pixels high, links whose
// boxes overlap, and where each finding stands in the text.

#include "core/check/linkcheck.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv::check;

namespace {

const QString a = u"https://item.taobao.com/item.htm?id=1"_s;
const QString b = u"https://item.taobao.com/item.htm?id=2"_s;

// "rule element message-start" per finding, for short expectations.
QStringList brief(const QList<Finding> &findings)
{
    QStringList lines;
    for (const Finding &f : findings)
        lines.append(u"%1 %2:%3 %4"_s.arg(f.rule).arg(f.line).arg(f.column).arg(f.message.section(u'：', 0, 0)));
    return lines;
}

} // namespace

class TstLinkCheck : public QObject {
    Q_OBJECT

private slots:
    void addresses_data()
    {
        QTest::addColumn<QString>("href");
        QTest::addColumn<QString>("kept");
        QTest::newRow("https") << a << a;
        QTest::newRow("http, any case") << u"HTTP://shop.tmall.com/"_s << u"HTTP://shop.tmall.com/"_s;
        QTest::newRow("blanks around") << u" \n\t"_s + a + u" "_s << a;
        QTest::newRow("protocol-relative") << u"//item.taobao.com/x"_s << u"https://item.taobao.com/x"_s;
        for (const QString &href : {u""_s, u"#"_s, u"#top"_s, u"javascript:void(0)"_s, u"mailto:a@b.cn"_s,
                                    u"tel:10086"_s, u"data:text/html,x"_s, u"item.htm?id=1"_s, u"/x"_s, u"ftp://x"_s})
            QTest::addRow("skipped: %s", qPrintable(href)) << href << QString();
    }
    void addresses()
    {
        QFETCH(QString, href);
        QFETCH(QString, kept);
        QCOMPARE(hotAreaAddress(href), kept);
    }

    void findings_data()
    {
        QTest::addColumn<QList<LinkBox>>("links");
        QTest::addColumn<QStringList>("expected");
        // The text: two links on lines 2 and 3.
        QTest::newRow("tall enough, apart")
            << QList<LinkBox>{{0, a, QRectF(0, 0, 100, 10)}, {1, b, QRectF(100, 0, 100, 40)}} << QStringList{};
        QTest::newRow("under 10 pixels high")
            << QList<LinkBox>{{0, a, QRectF(0, 0, 100, 9.5)}, {1, b, QRectF(0, 20, 100, 40)}}
            << QStringList{u"mobile-link 2:1 链接在页面上只有 9.5 像素高，手机详情图片上不会有它的热区"_s};
        QTest::newRow("one line of a wrapped link tall enough")
            << QList<LinkBox>{{0, a, QRectF(600, 0, 150, 6)}, {0, a, QRectF(0, 6, 100, 20)}} << QStringList{};
        QTest::newRow("every line too low: once")
            << QList<LinkBox>{{0, a, QRectF(600, 0, 150, 6)}, {0, a, QRectF(0, 6, 100, 6)}}
            << QStringList{u"mobile-link 2:1 链接在页面上只有 6 像素高，手机详情图片上不会有它的热区"_s};
        QTest::newRow("overlapping: the later link named")
            << QList<LinkBox>{{0, a, QRectF(0, 0, 300, 300)}, {1, b, QRectF(100, 100, 100, 30)}}
            << QStringList{u"mobile-link 3:1 链接与另一个链接（%1）重叠，手机详情图片上的热区会互相遮挡"_s.arg(a)};
        QTest::newRow("touching is no overlap")
            << QList<LinkBox>{{0, a, QRectF(0, 0, 100, 100)}, {1, b, QRectF(100, 0, 100, 100)}} << QStringList{};
        QTest::newRow("the same address may overlap")
            << QList<LinkBox>{{0, a, QRectF(0, 0, 100, 100)}, {1, a, QRectF(50, 50, 100, 100)}} << QStringList{};
        QTest::newRow("an element the text does not have: at the start")
            << QList<LinkBox>{{7, a, QRectF(0, 0, 100, 5)}}
            << QStringList{u"mobile-link 1:1 链接在页面上只有 5 像素高，手机详情图片上不会有它的热区"_s};
        QTest::newRow("another address than the text's: at the start")
            << QList<LinkBox>{{1, a, QRectF(0, 0, 100, 5)}}
            << QStringList{u"mobile-link 1:1 链接在页面上只有 5 像素高，手机详情图片上不会有它的热区"_s};
    }
    void findings()
    {
        QFETCH(QList<LinkBox>, links);
        QFETCH(QStringList, expected);
        const QString html
            = u"<div>\r\n<a href=\"%1\">A</a>\r\n<a href=\"%2\">B</a><a>no address</a></div>"_s.arg(a, b);
        const QList<CheckSegment> segments{{0, html.size(), 4, u"[ 优惠券 ] "_s, 750}};
        const QList<Finding> findings = checkLinkBoxes(html, segments, links);
        QCOMPARE(brief(findings), expected);
        for (const Finding &f : findings) {
            QCOMPARE(f.severity, Severity::Warning);
            QCOMPARE(f.entry, 4);
            QVERIFY(!f.hint.isEmpty() && !f.hint.contains(u'%') && !f.message.contains(u"%"_s));
        }
    }
};

QTEST_GUILESS_MAIN(TstLinkCheck)
#include "tst_linkcheck.moc"
