#include "core/check/htmlparser.h"
#include "core/check/sourcetext.h"
#include "core/check/style.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv::check;

namespace {

QString kindName(HtmlProblem::Kind kind)
{
    switch (kind) {
    case HtmlProblem::Unclosed:
        return u"unclosed"_s;
    case HtmlProblem::StrayEndTag:
        return u"stray"_s;
    case HtmlProblem::UnterminatedComment:
        return u"comment"_s;
    case HtmlProblem::UnterminatedTag:
        return u"tag"_s;
    case HtmlProblem::UnterminatedQuote:
        return u"quote"_s;
    case HtmlProblem::RepeatedAttribute:
        return u"repeated"_s;
    case HtmlProblem::TooDeep:
        break;
    }
    return u"deep"_s;
}

} // namespace

class TstHtmlParser : public QObject {
    Q_OBJECT

private slots:
    // Every byte of the UTF-8 form maps back to the character it belongs to,
    // across the map's blocks, for characters of one to four bytes, a lone
    // surrogate and NUL (both written as three bytes).
    void bytesMapToCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii") << u"<p>abc</p>"_s;
        QTest::newRow("mixed") << u"aé中😀b"_s.repeated(40);
        QTest::newRow("lone surrogates and NUL")
            << (u"x"_s + QChar(0xD800) + u"y"_s + QChar(0xDC00) + QChar(0) + u"中"_s).repeated(30);
        QTest::newRow("empty") << QString();
    }
    void bytesMapToCharacters()
    {
        QFETCH(QString, text);
        const SourceText source(text);
        qsizetype byte = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
            const qsizetype length = pair                                               ? 4
                                     : text[i].unicode() < 0x80 && text[i] != QChar(0)  ? 1
                                     : text[i].unicode() < 0x800 && text[i] != QChar(0) ? 2
                                                                                        : 3;
            for (qsizetype k = 0; k < length; ++k)
                QCOMPARE(source.offsetAtByte(byte + k), i);
            byte += length;
            if (pair)
                ++i;
        }
        QCOMPARE(source.utf8().size(), byte);
        QCOMPARE(source.offsetAtByte(byte), text.size());
        QVERIFY(!source.utf8().contains('\0'));
    }

    void lines()
    {
        const SourceText source(u"ab\r\ncd\ne\rf\r\n"_s);
        const QList<TextPosition> expected{{1, 1}, {1, 2}, {1, 3}, {1, 4}, {2, 1}, {2, 2}, {2, 3},
                                           {3, 1}, {3, 2}, {4, 1}, {4, 2}, {4, 3}, {5, 1}};
        for (qsizetype i = 0; i < expected.size(); ++i)
            QCOMPARE(source.position(i), expected[i]);
    }

    // Problems as HTML5 browsers see them: "kind|name|the text at the offset".
    void structure_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QStringList>("problems");
        const auto row = [](const char *name, const QString &html, const QStringList &problems) {
            QTest::newRow(name) << html << problems;
        };
        // Every row below gives the problems of an HTML5 parser's errors of
        // these kinds, and none where a browser reads the text without one.
        row("balanced", u"<div><span>x</span><br><img src=x></div>"_s, {});
        row("optional end tags", u"<p>a<p>b<div>c</div><ul><li>d<li>e</ul><select><option>f<option>g</select>"_s, {});
        row("tables without end tags", u"<table><tbody><tr><td>a<th>b<tr><td>c<tbody><tr><td>d</table>"_s, {});
        row("html4 closes that html5 keeps", u"<a href=x><table><tr><td>x</td></tr></table></a><b><p>y</p></b>"_s, {});
        row("text at the top", u"text <a href=x><table></table></a> more"_s, {});
        row("headings", u"<h1>a<h2>b</h2>"_s, {u"unclosed|h1|<h1>"_s});
        row("inline closed by a block end", u"<div><span>x</div>"_s, {u"unclosed|span|<span>"_s});
        row("inline end past a block", u"<span><div>x</span></div>"_s,
            {u"unclosed|span|<span>"_s, u"stray|span|</span>"_s});
        row("misnested inline", u"<b><i>x</b></i>"_s, {u"unclosed|i|<i>"_s, u"stray|i|</i>"_s});
        row("unclosed at the end", u"<div><font color=red>x"_s, {u"unclosed|div|<div>"_s, u"unclosed|font|<font"_s});
        row("stray end tags", u"</div><p>x</p></p></li>"_s,
            {u"stray|div|</div>"_s, u"stray|p|</p></li>"_s, u"stray|li|</li>"_s});
        row("link in a link", u"<a href=1>x<a href=2>y</a>"_s, {u"unclosed|a|<a href=1"_s});
        row("self-closing div", u"<div/>x"_s, {u"unclosed|div|<div/"_s});
        row("self-closing in svg", u"<svg><g><path/></g></svg>"_s, {});
        row("end tags of void elements", u"<img></img><br></br><input></input>"_s, {});
        row("comment", u"<div>x</div><!-- <b>"_s, {u"comment||<!-- <b>"_s});
        row("closed comment", u"<!-- <b> --><div>x</div>"_s, {});
        row("script text", u"<script>if (a < b) document.write('</div>');</script>"_s, {});
        row("unterminated script", u"<script>x"_s, {u"unclosed|script|<script"_s});
        row("unterminated tag", u"<div>x</div><span class=a"_s, {u"tag|span|<span"_s});
        row("unterminated quote", u"<div title=\"x>y</div>"_s, {u"quote|title|\"x>y"_s});
        row("repeated attribute", u"<div id=a ID=b>x</div>"_s, {u"repeated|id|ID=b"_s});
        // The parser would take quadratic time: the check stops, and says so.
        row("too deep", u"<span>"_s.repeated(1100) + u"</span>"_s.repeated(1100), {u"deep|span|<span>"_s});
        row("end tag of the wrapper", u"</orvanta-check-root><p>x</p>"_s, {u"stray|orvanta-check-root|</or"_s});

        row("comment ended by --!>", u"FOO<!-- BAR --!>BAZ<b>x</b>"_s, {});
        row("empty comment <!-->", u"FOO<!-->BAZ<b>x</b>"_s, {});
        row("empty comment <!--->", u"FOO<!--->BAZ<b>x</b>"_s, {});
        row("comment ended by --->", u"<!-- a -- b --->c<b>x</b>"_s, {});
        row("comment not ended by -- >", u"<!-- a -- >b<b>x</b>"_s, {u"comment||<!-- a"_s});
        row("comment not ended by ->", u"x<!-- a ->"_s, {u"comment||<!-- a ->"_s});
        row("comment ended at the end", u"x<!-- a --!"_s, {u"comment||<!-- a --!"_s});
        row("bogus comments", u"<!x>y<?php a ?>z</3>w"_s, {});
        row("bogus comment at the end", u"x<?xml a"_s, {u"comment||<?xml"_s});

        row("inline carried across an inline end", u"<b><i>x</b>y</i>"_s, {u"unclosed|i|<i>"_s});
        row("inline across a block", u"<a href=x><div>y</a>z</div>"_s, {u"unclosed|a|<a"_s});
        row("inline across a paragraph", u"<b>1<p>2</b>3</p>"_s, {u"unclosed|b|<b>1"_s});
        row("heading ended by another", u"<h1>a</h2>"_s, {u"unclosed|h1|<h1>"_s});
        row("paragraph end without one", u"<div>x</p></div>"_s, {u"stray|p|</p>"_s});
        row("table inside a paragraph", u"<p>a<table><tr><td>b</td></tr></table></p>"_s, {u"stray|p|</p>"_s});

        row("foster-parented block", u"<table><tr><td>a</td></tr><div>x</div></table>"_s, {});
        row("foster-parented text", u"<table>x<tr><td>a</table>"_s, {});
        row("foster-parented inline", u"<table><b>x</table>"_s, {u"unclosed|b|<b>"_s});
        row("row end without a row", u"<table><tr><td>a</td></tr></tr></table>"_s, {u"stray|tr|</tr></table>"_s});
        row("cell outside a table", u"<div><td>x</td></div>"_s, {u"stray|td|</td>"_s});

        row("void elements self-closed", u"<br/><img src=x /><hr/><input>"_s, {});
        row("void element with an end tag", u"<img>x</img><p>y</p>"_s, {});

        row("style text", u"<style>a</b>{}</style><b>x</b>"_s, {});
        row("textarea text", u"<textarea><div></textarea><b>x</b>"_s, {});
        row("title text", u"<title><b></title><b>x</b>"_s, {});
        row("script with a comment", u"<script><!-- x</script><b>y</b>"_s, {});
        row("unterminated style", u"<style>p{}"_s, {u"unclosed|style|<style>"_s});

        row("svg closed by its end tag", u"<svg><g><path></svg>"_s, {u"unclosed|g|<g>"_s, u"unclosed|path|<path>"_s});
        row("cdata in svg", u"<svg><![CDATA[</div>]]></svg>"_s, {});
        row("mathml", u"<math><mi>x</mi><mo>+</mo></math><svg/>y"_s, {});

        row("unterminated end tag", u"<div>x</div"_s, {u"unclosed|div|<div>"_s, u"tag|/div|</div"_s});
        row("body inside the page", u"<div>x</div><body onload=x>y"_s, {});
    }
    void structure()
    {
        QFETCH(QString, html);
        QFETCH(QStringList, problems);
        const HtmlDocument document = parseHtml(SourceText(html));
        QStringList found;
        for (const HtmlProblem &p : document.problems)
            found.append(kindName(p.kind) + u'|' + p.name + u'|' + html.sliced(p.offset));
        QCOMPARE(found.size(), problems.size());
        for (qsizetype i = 0; i < found.size(); ++i)
            QVERIFY2(found[i].startsWith(problems[i]), qPrintable(found.join(u" ~ "_s)));
    }

    void elementsAndAttributes()
    {
        const QString html = u"中文<DIV Style='color:red' title=\"a&amp;b&#x4E2D;&colon;\" hidden data-x=1>"
                             "<p>x</DIV><body onload=\"go()\"><img src=\"a.jpg\" src=\"b.jpg\"/>"_s;
        const HtmlDocument document = parseHtml(SourceText(html));
        QCOMPARE(document.elements.size(), 4);
        const HtmlElement &div = document.elements[0];
        QCOMPARE(div.name, u"div"_s);
        QCOMPARE(div.offset, 2);
        QCOMPARE(div.end, html.indexOf(u"<p>"_s));
        QCOMPARE(div.parent, -1);
        QCOMPARE(div.attributes.size(), 4);
        QCOMPARE(div.attributes[0].name, u"style"_s);
        QCOMPARE(div.attributes[0].value, u"color:red"_s);
        QCOMPARE(div.attributes[0].valueOffset, html.indexOf(u"color"_s));
        const HtmlAttribute *title = div.attribute(u"title");
        QVERIFY(title);
        QCOMPARE(title->value, u"a&b中:"_s);
        QCOMPARE(title->nameOffset, html.indexOf(u"title"_s));
        // Decoded characters map to their references.
        QCOMPARE(title->offsetInValue(2), html.indexOf(u"b&#x"_s));
        QCOMPARE(title->offsetInValue(3), html.indexOf(u"&#x"_s));
        QCOMPARE(title->offsetInValue(5), html.indexOf(u"\" hidden"_s));
        QVERIFY(!div.attribute(u"hidden")->hasValue);
        QCOMPARE(div.attribute(u"data-x")->value, u"1"_s);
        QCOMPARE(document.elements[1].name, u"p"_s);
        QCOMPARE(document.elements[1].parent, 0);
        // A <body> inside the page encloses nothing, its attributes still count.
        QCOMPARE(document.elements[2].name, u"body"_s);
        QCOMPARE(document.elements[2].attribute(u"onload")->value, u"go()"_s);
        const HtmlElement &img = document.elements[3];
        QCOMPARE(img.offset, html.indexOf(u"<img"_s));
        QCOMPARE(img.attributes.size(), 1); // the first of a repeated attribute counts
        QCOMPARE(img.attribute(u"src")->value, u"a.jpg"_s);
    }

    // <html> and <head> inside a page are dropped by browsers (the page's own
    // <html> takes the attributes); they are still read.
    void droppedTags()
    {
        const QString html = u"<div>x</div><html onclick=\"a()\"><head title=\"<div>\"><div>y</div>"_s;
        const HtmlDocument document = parseHtml(SourceText(html));
        QStringList names;
        for (const HtmlElement &e : document.elements)
            names.append(e.name + u'@' + QString::number(e.offset) + (e.dropped ? u"d"_s : QString()));
        QCOMPARE(names, (QStringList{u"div@0"_s, u"html@12d"_s, u"head@32d"_s,
                                     u"div@"_s + QString::number(html.lastIndexOf(u"<div>"_s))}));
        QCOMPARE(document.elements[1].attribute(u"onclick")->value, u"a()"_s);
    }

    void characterReferences_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("decoded");
        QTest::newRow("plain") << u"abc"_s << u"abc"_s;
        QTest::newRow("named") << u"&lt;&gt;&amp;&quot;&nbsp;&colon;&Tab;"_s << u"<>&\"\u00A0:\t"_s;
        QTest::newRow("numeric") << u"&#106;&#x6A;&#X6a&#0;&#xD800;&#x110000;"_s << u"jjj\uFFFD\uFFFD\uFFFD"_s;
        QTest::newRow("astral") << u"&#x1F600;"_s << u"😀"_s;
        QTest::newRow("not references") << u"a&b &unknown; &#; &#x; &"_s << u"a&b &unknown; &#; &#x; &"_s;
        QTest::newRow("huge number") << u"&#99999999999999999999;x"_s << u"\uFFFDx"_s;
        QTest::newRow("without semicolons")
            << u"&copy 1 &amp=1 &copy2 &notit; &lt"_s << u"© 1 &amp=1 &copy2 &notit; <"_s;
        QTest::newRow("windows-1252 numbers") << u"&#150;&#x80;&#x81;"_s << u"\u2013\u20AC\u0081"_s;
        QTest::newRow("two characters") << u"&NotEqualTilde;"_s << u"\u2242\u0338"_s;
    }
    void characterReferences()
    {
        QFETCH(QString, text);
        QFETCH(QString, decoded);
        QList<qsizetype> offsets;
        QCOMPARE(decodeCharacterReferences(text, &offsets), decoded);
        QCOMPARE(offsets.size(), decoded.size() + 1);
        QCOMPARE(offsets.last(), text.size());
        QVERIFY(std::is_sorted(offsets.begin(), offsets.end()));
    }

    void splitStyle_data()
    {
        QTest::addColumn<QString>("style");
        QTest::addColumn<QStringList>("declarations"); // property=value, "!" when important
        QTest::newRow("simple") << u"width:750px; HEIGHT : 40px ;"_s << QStringList{u"width=750px"_s, u"height=40px"_s};
        QTest::newRow("quotes and parentheses")
            << u"font-family:\"a;b\", 'c:d'; background:url(x.jpg?a=1;b=2)"_s
            << QStringList{u"font-family=\"a;b\", 'c:d'"_s, u"background=url(x.jpg?a=1;b=2)"_s};
        QTest::newRow("important") << u"color:red!important;width: 1px ! IMPORTANT"_s
                                   << QStringList{u"color=red!"_s, u"width=1px!"_s};
        QTest::newRow("comments") << u"/* a;b */ posi/**/tion : absolute /* c */; top:0"_s
                                  << QStringList{u"position=absolute"_s, u"top=0"_s};
        QTest::newRow("no declarations") << u"; ; x ; :y"_s << QStringList{};
        QTest::newRow("unclosed") << u"content:'a;b"_s << QStringList{u"content='a;b"_s};
        QTest::newRow("escaped quote") << u"content:'a\\';b'; top:0"_s
                                       << QStringList{u"content='a\\';b'"_s, u"top=0"_s};
    }
    void splitStyle()
    {
        QFETCH(QString, style);
        QFETCH(QStringList, declarations);
        QStringList found;
        for (const StyleDeclaration &d : orv::check::splitStyle(style)) {
            found.append(d.property + u'=' + d.value + (d.important ? u"!"_s : QString()));
            QCOMPARE(style.sliced(d.valueOffset, d.value.size()), d.value);
        }
        QCOMPARE(found, declarations);
    }

    // CSS escapes and comments as a browser reads them, quotes paired as written.
    void styleText_data()
    {
        QTest::addColumn<QString>("style");
        QTest::addColumn<QString>("text");
        const auto row
            = [](const char *name, const QString &style, const QString &text) { QTest::newRow(name) << style << text; };
        row("escapes", u"width:expr\\65ssion(1); posit\\69 on:FIXED"_s, u"width:expression(1); position:FIXED"_s);
        row("escaped parenthesis", u"background:url\\28 x.jpg)"_s, u"background:url(x.jpg)"_s);
        row("comments", u"width:expr/**/ession(1)/* a; */"_s, u"width:expression(1)"_s);
        row("inside quotes", u"content:'/**/\\41'"_s, u"content:'/**/A'"_s);
        row("escaped quotes stay", u"content:\"a\\\"b\\22\";top:0"_s, u"content:\"a\\\"b\\22\";top:0"_s);
        row("astral and invalid", u"\\1F600\\0 \\110000"_s, u"😀\uFFFD\uFFFD"_s);
        row("six digits at most", u"\\0000411"_s, u"A1"_s);
        row("backslash escaping nothing", u"a\\\nb\\"_s, u"a\\\nb\\"_s);
        row("nothing to decode", u"color:red"_s, u"color:red"_s);
    }
    void styleText()
    {
        QFETCH(QString, style);
        QFETCH(QString, text);
        const StyleText css(style);
        QCOMPARE(css.text, text);
        QCOMPARE(css.styleOffset(text.size()), style.size());
        for (qsizetype i = 1; i <= text.size(); ++i)
            QVERIFY(css.styleOffset(i - 1) <= css.styleOffset(i));
    }

    void styleValues()
    {
        const QList<StyleUrl> urls = styleUrls(u"url( 'a.jpg' ), my-url(b), URL(c.png) 'url(d)'"_s);
        QCOMPARE(urls.size(), 2);
        QCOMPARE(urls[0].address, u"a.jpg"_s);
        QCOMPARE(urls[0].addressOffset, 6);
        QCOMPARE(urls[1].address, u"c.png"_s);
        QCOMPARE(urls[1].offset, 27);
        QCOMPARE(pixelLength(u"750px"), 750.0);
        QCOMPARE(pixelLength(u" 790 "), 790.0);
        QCOMPARE(pixelLength(u"0"), 0.0);
        QVERIFY(!pixelLength(u"100%"));
        QVERIFY(!pixelLength(u"50em"));
        QVERIFY(!pixelLength(u"auto"));
        QCOMPARE(styleKeyword(u" Ab/*x*/solute "), u"absolute"_s);
    }
};

QTEST_GUILESS_MAIN(TstHtmlParser)
#include "tst_htmlparser.moc"
