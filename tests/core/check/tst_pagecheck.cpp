#include "core/check/pagecheck.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv::check;

namespace {

// The severities of the findings of one rule.
QStringList severitiesOf(const QList<Finding> &findings, const QString &rule)
{
    QStringList severities;
    for (const Finding &f : findings) {
        if (f.rule == rule)
            severities.append(severityKey(f.severity));
    }
    return severities;
}

QString describe(const QList<Finding> &findings)
{
    QStringList lines;
    for (const Finding &f : findings)
        lines.append(u"%1:%2 %3 %4 %5"_s.arg(f.line).arg(f.column).arg(severityKey(f.severity), f.rule, f.message));
    return lines.join(u'\n');
}

// A page of exactly the given length.
QString pageOfLength(qsizetype length)
{
    const QString open = u"<p>"_s;
    const QString close = u"</p>"_s;
    return open + QString(length - open.size() - close.size(), u'字') + close;
}

} // namespace

class TstPageCheck : public QObject {
    Q_OBJECT

private slots:
    void ruleTableFollowsTheKinds()
    {
        const QStringList ids{u"length"_s,       u"tags"_s,         u"scripting"_s,
                              u"data-uri"_s,     u"overflow"_s,     u"http"_s,
                              u"image-host"_s,   u"link-host"_s,    u"placeholder-link"_s,
                              u"position"_s,     u"css-url"_s,      u"markup"_s,
                              u"class-id"_s,     u"picture-dead"_s, u"picture-format"_s,
                              u"picture-wide"_s, u"mobile-fit"_s,   u"placeholder-picture"_s,
                              u"mobile-link"_s};
        for (qsizetype i = 0; i < rules().size(); ++i) {
            const Rule &r = rules().at(i);
            QCOMPARE(qsizetype(r.kind), i);
            QVERIFY2(ids.contains(r.id), qPrintable(r.id));
            QVERIFY(!r.message.isEmpty() && !r.hint.isEmpty());
        }
        QCOMPARE(rules().size(), qsizetype(FindingKind::LinkOverlap) + 1);
        QCOMPARE(severityName(Severity::Error), u"错误"_s);
        QCOMPARE(severityName(Severity::Warning), u"警告"_s);
        QCOMPARE(severityName(Severity::Info), u"提示"_s);
    }

    // Each rule: a page that trips it (with the severity it must have) and
    // near misses that must not.
    void rule_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<int>("pageWidth");
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("severity"); // empty: the rule must not trip

        const auto row = [](const char *name, const QString &html, const QString &rule, const QString &severity,
                            int width = 750) { QTest::newRow(name) << html << width << rule << severity; };
        const QString e = u"error"_s, w = u"warning"_s, i = u"info"_s, none;

        row("length 25000", pageOfLength(25'000), u"length"_s, e);
        row("length 24999", pageOfLength(24'999), u"length"_s, w);
        row("length 22500", pageOfLength(22'500), u"length"_s, w);
        row("length 22499", pageOfLength(22'499), u"length"_s, none);
        row("length 5", u"<br/>"_s, u"length"_s, e);
        row("length 0", QString(), u"length"_s, e);
        row("length 6", u"<br />"_s, u"length"_s, none);

        for (const QString &tag : forbiddenTags())
            QTest::addRow("tag %s", qPrintable(tag))
                << u"<div><%1 x=\"1\">y</%1></div>"_s.arg(tag.toUpper()) << 750 << u"tags"_s << e;
        row("tag named in text", u"<p>&lt;script&gt; and &lt;iframe&gt;</p>"_s, u"tags"_s, none);
        row("noscript", u"<noscript>x</noscript><scripts>y</scripts>"_s, u"tags"_s, none);

        row("event attribute", u"<img src=\"https://img.alicdn.com/a.jpg\" OnLoad=\"x()\">"_s, u"scripting"_s, e);
        row("javascript link", u"<a href=\" JavaScript:alert(1)\">x</a>"_s, u"scripting"_s, e);
        row("javascript behind references", u"<a href=\"java&#x09;script&colon;x()\">x</a>"_s, u"scripting"_s, e);
        row("vbscript picture", u"<img src=\"vbscript:x\">"_s, u"scripting"_s, e);
        row("css expression", u"<div style=\"width:expr/**/ession(alert(1))\">x</div>"_s, u"scripting"_s, e);
        row("css expression escaped", u"<div style=\"width:expr\\65ssion(alert(1))\">x</div>"_s, u"scripting"_s, e);
        row("script address escaped in a style", u"<div style=\"background:url(java\\73 cript:x)\">x</div>"_s,
            u"scripting"_s, e);
        row("css behavior", u"<div style=\"BEHAVIOR: url(a.htc)\">x</div>"_s, u"scripting"_s, e);
        row("scripting near misses",
            u"<div data-onclick=\"x\" style=\"font-family:expression, behavior\">onload=\"x()\" "
            "<a href=\"https://s.taobao.com/search?q=javascript:\">javascript:</a></div>"_s,
            u"scripting"_s, none);

        row("data picture", u"<img src=\"data:image/png;base64,iVBORw0KGgo=\">"_s, u"data-uri"_s, e);
        row("data background", u"<table background=\" DATA:image/gif;base64,R0lG\"><tr><td>x</td></tr></table>"_s,
            u"data-uri"_s, e);
        row("data in a style", u"<div style=\"background:url('data:image/gif;base64,R0lG')\">x</div>"_s, u"data-uri"_s,
            e);
        row("data near miss", u"<img src=\"https://img.alicdn.com/data:x.jpg\" alt=\"data:image\">"_s, u"data-uri"_s,
            none);

        row("style width", u"<div style=\"width:751px\">x</div>"_s, u"overflow"_s, e);
        row("style width at page width", u"<div style=\"width:750px\">x</div>"_s, u"overflow"_s, none);
        row("style width in a Tmall shop", u"<div style=\"width:751px\">x</div>"_s, u"overflow"_s, none, 790);
        row("width attribute", u"<table width=\"800\"><tr><td>x</td></tr></table>"_s, u"overflow"_s, e, 790);
        row("width attribute in per cent", u"<table width=\"100%\"><tr><td width=\"900%\">x</td></tr></table>"_s,
            u"overflow"_s, none);
        row("important width", u"<div style=\"width: 900PX !important\">x</div>"_s, u"overflow"_s, e);
        row("min-width", u"<div style=\"min-width:800px;max-width:700px\">x</div>"_s, u"overflow"_s, e);
        row("max-width holds it", u"<img width=\"900\" style=\"max-width:750px\">"_s, u"overflow"_s, none);
        row("style width wins over the attribute", u"<img width=\"900\" style=\"width:100%\">"_s, u"overflow"_s, none);
        row("clipped at page width",
            u"<div style=\"width:750px; overflow:hidden\"><div style=\"width:850px\"><img width=\"850\"></div></div>"_s,
            u"overflow"_s, none);
        row("clipped by overflow-x",
            u"<div style=\"overflow-x:hidden\"><table width=\"1200\"><tr><td>x</td></tr></table></div>"_s,
            u"overflow"_s, none);
        row("clip wider than the page",
            u"<div style=\"width:800px;overflow:hidden\"><div style=\"width:850px\">x</div></div>"_s, u"overflow"_s, e);
        row("clip that is not one",
            u"<div style=\"width:750px;overflow:visible\"><div style=\"width:850px\">x</div></div>"_s, u"overflow"_s,
            e);
        row("relative overlay", u"<div style=\"width:350px;position:relative; top:-950px; left:60px;\">x</div>"_s,
            u"overflow"_s, none);

        row("http picture", u"<img src=\"http://pic.example.cn/a.jpg\">"_s, u"http"_s, w);
        row("http link", u"<a href=\"http://item.taobao.com/item.htm?id=1\">x</a>"_s, u"http"_s, w);
        row("http picture upgraded", u"<img src=\"http://img.alicdn.com/a.jpg\">"_s, u"http"_s, i);
        row("http background upgraded", u"<td background=\"http://gd2.alicdn.com/a.jpg\">"_s, u"http"_s, i);
        row("https", u"<img src=\"https://pic.example.cn/a.jpg\"><a href=\"https://item.taobao.com/\">x</a>"_s,
            u"http"_s, none);

        row("picture elsewhere", u"<img src=\"https://pic.example.cn/a.jpg\">"_s, u"image-host"_s, w);
        row("picture on a look-alike host", u"<img src=\"https://img.alicdn.com.example.cn/a.jpg\">"_s, u"image-host"_s,
            w);
        row("relative picture", u"<img src=\"images/a.jpg\">"_s, u"image-host"_s, w);
        row("pictures on the platform",
            u"<img src=\"https://img.alicdn.com/a.jpg\"><img src=\"//gd1.alicdn.com/b.jpg\">"
            "<img src=\"https://img01.taobaocdn.com/c.jpg\"><img src=\"https://a.tbcdn.cn/d.gif\">"
            "<img src=\"https://ALICDN.COM/e.jpg\">"_s,
            u"image-host"_s, none);

        row("link elsewhere", u"<a href=\"https://www.jd.com/\">x</a>"_s, u"link-host"_s, w);
        row("link to a look-alike host",
            u"<a href=\"https://taobao.com.example.cn/\">x</a><a "
            "href=\"https://faketaobao.com/\">y</a>"_s,
            u"link-host"_s, w);
        row("link with a user name", u"<a href=\"https://taobao.com@evil.cn/\">x</a>"_s, u"link-host"_s, w);
        row("links on the platform",
            u"<a href=\"https://item.taobao.com/item.htm?id=1&amp;b=2\">x</a><a "
            u"href=\"https://detail.tmall.com/\">y</a>"
            "<a href=\"https://m.tb.cn/h.x\">z</a><a href=\"#top\">t</a><a href=\"https://evil.cn@shop.taobao.com/\">u</a>"_s,
            u"link-host"_s, none);

        row("link #", u"<a href=\"#\">x</a>"_s, u"placeholder-link"_s, w);
        row("link empty", u"<a href=\"  \">x</a>"_s, u"placeholder-link"_s, w);
        row("link bare http", u"<a href=\"http://\">x</a><a href=\"https://\">y</a>"_s, u"placeholder-link"_s, w);
        row("link to example", u"<a href=\"https://www.example.com/item\">x</a>"_s, u"placeholder-link"_s, w);
        row("placeholder near misses",
            u"<a href=\"#top\">x</a><a href=\"https://shop.taobao.com/example.htm\">y</a><a>z</a>"_s,
            u"placeholder-link"_s, none);

        row("placeholder pictures",
            u"<img src=\"https://placeholder.invalid/750x500.jpg\"><td background=\"http://Pic.Example.com/a.jpg\">"_s,
            u"placeholder-picture"_s, w);
        row("a placeholder picture is no picture elsewhere", u"<img src=\"https://placeholder.invalid/750x500.jpg\">"_s,
            u"image-host"_s, none);
        row("placeholder picture near misses",
            u"<img src=\"https://img.alicdn.com/placeholder.invalid.jpg\"><a href=\"https://x.invalid/\">y</a>"_s,
            u"placeholder-picture"_s, none);

        row("position absolute", u"<div style=\"POSITION: Absolute\">x</div>"_s, u"position"_s, w);
        row("position fixed", u"<div style=\"top:0;position:fixed !important\">x</div>"_s, u"position"_s, w);
        row("position relative", u"<div style=\"position:relative;top:-50px\">x</div>"_s, u"position"_s, none);

        row("url in a style", u"<div style=\"background:URL( https://img.alicdn.com/a.jpg )\">x</div>"_s, u"css-url"_s,
            w);
        row("url escaped in a style", u"<div style=\"background:url\\28 https://img.alicdn.com/a.jpg)\">x</div>"_s,
            u"css-url"_s, w);
        row("import in a style", u"<div style=\"@import 'x.css'; color:red\">x</div>"_s, u"css-url"_s, w);
        row("url near misses", u"<div style=\"font-family:'url(x)'; color:red\">url(x) @import</div>"_s, u"css-url"_s,
            none);

        row("unclosed element", u"<div><span>x</div>"_s, u"markup"_s, w);
        row("unclosed at the end", u"<div><b>x</b>"_s, u"markup"_s, w);
        row("stray end tag", u"<div>x</span></div>"_s, u"markup"_s, w);
        row("link in a link", u"<a href=\"#a\">x<a href=\"#b\">y</a>"_s, u"markup"_s, w);
        row("unterminated comment", u"<div>x</div><!-- <div>y</div>"_s, u"markup"_s, w);
        row("unterminated quote", u"<div title=\"x>y</div>"_s, u"markup"_s, w);
        row("repeated attribute", u"<div style=\"color:red\" style=\"color:blue\">x</div>"_s, u"markup"_s, w);
        row("optional end tags",
            u"<p>a<p>b<ul><li>c<li>d</ul><table><tr><td>e<td>f<tr><td>g</table><dl><dt>h<dd>i</dl>"_s, u"markup"_s,
            none);
        row("blocks inside inline elements",
            u"<a href=\"#x\"><table><tr><td>x</td></tr></table></a><b><p>y</p></b><a href=\"#y\"><div>z</div></a>"_s,
            u"markup"_s, none);
        row("harmless end tags", u"<img src=\"x.jpg\"></img><br></br><p>x</p></body></html>"_s, u"markup"_s, none);
        row("self-closing svg", u"<svg width=\"10\"><path d=\"M0 0\"/><circle r=\"1\"/></svg>"_s, u"markup"_s, none);
        row("list item in a link", u"<ul><a href=\"#x\"><li>x</li></a><a href=\"#y\"><li>y</li></a></ul>"_s,
            u"markup"_s, none);
        row("html5 elements", u"<section><header>x</header><article>y</article></section>"_s, u"markup"_s, none);
        row("ampersands in addresses", u"<a href=\"https://s.taobao.com/?a=1&b=2&c\">x &amp; y & z</a>"_s, u"markup"_s,
            none);

        row("class", u"<div class=\"box\">x</div>"_s, u"class-id"_s, i);
        row("id", u"<div ID=\"top\">x</div>"_s, u"class-id"_s, i);
        row("class near miss", u"<div data-class=\"box\">class=\"x\" id=\"y\"</div>"_s, u"class-id"_s, none);
    }
    void rule()
    {
        QFETCH(QString, html);
        QFETCH(int, pageWidth);
        QFETCH(QString, rule);
        QFETCH(QString, severity);
        const QList<Finding> findings = checkPage(html, pageWidth);
        const QStringList severities = severitiesOf(findings, rule);
        if (severity.isEmpty()) {
            QVERIFY2(severities.isEmpty(), qPrintable(describe(findings)));
        } else {
            QVERIFY2(!severities.isEmpty(), qPrintable(describe(findings)));
            QVERIFY2(severities.count(severity) == severities.size(), qPrintable(describe(findings)));
        }
        for (qsizetype k = 1; k < findings.size(); ++k)
            QVERIFY(findings[k - 1].offset <= findings[k].offset);
    }

    // Lines and columns count CR LF as one break and UTF-16 units in a line,
    // whatever the UTF-8 bytes the parser sees; a charset in the page changes
    // nothing.
    void positions()
    {
        const QString html = u"<meta charset=\"gbk\"><p>中文😀é<a href=\"#\">x</a></p>\r\n"
                             "<div>\r\n"
                             "\t<img src=\"https://pic.example.cn/一.jpg\">\n"
                             "\r"
                             "<b class=\"x\">汉字</b></div>"_s;
        const QList<Finding> findings = checkPage(html, 750);
        QCOMPARE(findings.size(), 4);
        struct Expected {
            QString rule;
            qsizetype offset;
            int line;
            int column;
        };
        const qsizetype line1 = 0;
        const qsizetype line3 = html.indexOf(u"\t<img"_s);
        const qsizetype line5 = html.indexOf(u"<b "_s);
        const Expected expected[] = {
            {u"tags"_s, 0, 1, 1},
            {u"placeholder-link"_s, html.indexOf(u'#'), 1, int(html.indexOf(u'#') - line1 + 1)},
            {u"image-host"_s, html.indexOf(u"https"_s), 3, int(html.indexOf(u"https"_s) - line3 + 1)},
            {u"class-id"_s, html.indexOf(u"class"_s), 5, int(html.indexOf(u"class"_s) - line5 + 1)},
        };
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(findings[k].rule, expected[k].rule);
            QCOMPARE(findings[k].offset, expected[k].offset);
            QCOMPARE(findings[k].line, expected[k].line);
            QCOMPARE(findings[k].column, expected[k].column);
        }
        QCOMPARE(findings[1].column, 38); // the emoji is two units
    }

    // Nothing in the page makes the parser read its bytes otherwise.
    void positionsWhateverThePageDeclares_data()
    {
        QTest::addColumn<QString>("html");
        QTest::newRow("byte-order mark") << u"\uFEFF<p>中</p><a href=\"#\">x</a>"_s;
        QTest::newRow("http-equiv") << u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">"
                                       "<p>中文é</p><a href=\"#\">x</a>"_s;
        QTest::newRow("xml declaration")
            << u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><p>中文</p><a href=\"#\">x</a>"_s;
        QTest::newRow("NUL and lone surrogate") << u"<p>"_s + QChar(0) + QChar(0xD800) + u"中</p><a href=\"#\">x</a>"_s;
    }
    void positionsWhateverThePageDeclares()
    {
        QFETCH(QString, html);
        const QList<Finding> findings = checkPage(html, 750);
        QVERIFY(!findings.isEmpty());
        QCOMPARE(findings.last().rule, u"placeholder-link"_s);
        QCOMPARE(findings.last().offset, html.indexOf(u'#'));
    }

    void lengthCountsCharactersAndBytes()
    {
        const QList<Finding> findings = checkPage(pageOfLength(25'000), 750);
        QCOMPARE(findings.size(), 1);
        QCOMPARE(findings[0].message, u"代码共 25000 个字符（UTF-8 编码 74986 字节），达到了 25000 个字符的上限"_s);
        QCOMPARE(findings[0].offset, 24'999);
    }

    // A summary: every finding names the entry whose code holds it, and each
    // entry is checked at its own page width.
    void summaryEntries()
    {
        struct Entry {
            QString code;
            QString name;
            int width;
        };
        // A divider bar and a combo offer laid out for Tmall, a size table
        // always 750 wide, and custom code too wide for its 750 table.
        const QList<Entry> entries{
            {u"<div style=\"width:790px;height:40px\"><span>产品参数</span></div>"_s, u"分隔条"_s, 790},
            {u"<div style=\"width:750px;\">\r\n\t<table width=\"100%\"><tr><td>S</td></tr></table>\r\n</div>"_s,
             u"产品尺码"_s, 750},
            {u"<table width=\"750\" border=\"0\" cellpadding=\"0\" cellspacing=\"0\"><tr><td>"
             "<table width=\"790\"><tr><td>x</td></tr></table></td></tr></table>"_s,
             u"自定义"_s, 750},
            {u"<div style=\"width:790px;overflow:hidden\"><div style=\"width:850px\"><a href=\"#\">a</a>"
             "<a href=\"#\">b</a><a href=\"#\">c</a></div></div>"_s,
             u"搭配销售"_s, 790},
        };
        QString html;
        QList<CheckSegment> segments;
        for (const Entry &entry : entries) {
            segments.append(
                {html.size(), html.size() + entry.code.size(), int(segments.size()) + 1, entry.name, entry.width});
            html += entry.code + u"\r\n"_s;
        }
        html += u"</span>"_s;
        const QList<Finding> findings = checkPage(html, 790, segments);
        QStringList seen;
        for (const Finding &f : findings)
            seen.append(u"%1 %2 %3"_s.arg(f.rule).arg(f.entry).arg(f.entryName));
        QCOMPARE(seen,
                 (QStringList{u"overflow 3 自定义"_s, u"placeholder-link 4 搭配销售"_s,
                              u"placeholder-link 4 搭配销售"_s, u"placeholder-link 4 搭配销售"_s, u"markup 0 "_s}));
        QCOMPARE(findings[0].offset, html.indexOf(u"<table width=\"790\""_s));
        // The lines of the entries before, CR LF counting once.
        QCOMPARE(findings[0].line, int(html.first(findings[0].offset).replace(u"\r\n"_s, u"\n"_s).count(u'\n') + 1));
    }

    void renderedWidth()
    {
        QVERIFY(!checkRenderedWidth(750, 750));
        QVERIFY(!checkRenderedWidth(790, 790));
        const std::optional<Finding> wide = checkRenderedWidth(812, 790);
        QVERIFY(wide);
        QCOMPARE(wide->rule, u"overflow"_s);
        QCOMPARE(wide->severity, Severity::Error);
        QCOMPARE(wide->message, u"页面显示宽 812 像素，超出页面宽度 790 像素"_s);
        QCOMPARE(wide->line, 1);
    }
};

QTEST_GUILESS_MAIN(TstPageCheck)
#include "tst_pagecheck.moc"
