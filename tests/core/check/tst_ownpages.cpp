// The page check on the program's own output: every module page's start-up
// fragment (and each of its radio choices) in both shops, a summary of them,
// and every module's fixed test cases (the golden fragments) trip no error, and
// only the warnings the rules call for: a placeholder link where the link is
// "#" or empty, a picture elsewhere where the address is not on the platform's
// picture hosts, an http address where it is one.

#include "core/check/addresses.h"
#include "core/check/pagecheck.h"
#include "core/generation.h"
#include "core/picturemeasurer.h"
#include "modules/catalog.h"
#include "modules/pagewidth.h"
#include "support/golden.h"

#include <QDirIterator>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;
using check::Finding;
using check::Severity;

namespace {

// Every picture as a sound server gives it: a JPEG picture 750 pixels wide.
class SoundPictures : public PictureMeasurer {
public:
    QList<MeasuredPicture> measureAll(const QStringList &urls, const Progress &, const std::atomic_bool *) override
    {
        return QList<MeasuredPicture>(urls.size(), {600, {}, true, {PictureFormat::Jpeg, 750, 600, {}}, 120'000});
    }
};

// The modules that always lay out 750 pixels wide, by page id and by the
// folder of their golden fragments.
const QStringList fixedWidthPages{u"tschima"_s, u"tsjiaoliu"_s, u"tszidingyi"_s};
const QStringList fixedWidthFolders{u"sizetable"_s, u"notice"_s, u"customhtml"_s};

int shopWidth(Shop shop)
{
    return Metrics::forShop(shop).totalWidth;
}

// The width the page check takes for a page's fragments.
int pageWidth(const QString &page, Shop shop)
{
    const int width = pagewidth::fragmentWidth(page, Metrics::forShop(shop));
    if (width != (fixedWidthPages.contains(page) ? 750 : shopWidth(shop)))
        qFatal("fragmentWidth(%s) is %d", qPrintable(page), width);
    return width;
}

QString describe(const QList<Finding> &findings)
{
    QStringList lines;
    for (const Finding &f : findings)
        lines.append(
            u"%1:%2 %3 %4 %5"_s.arg(f.line).arg(f.column).arg(check::severityKey(f.severity), f.rule, f.message));
    return lines.join(u'\n');
}

// The address that starts at offset, up to its closing quote.
QString addressAt(const QString &html, qsizetype offset)
{
    qsizetype end = offset;
    while (end < html.size() && html[end] != u'"' && html[end] != u'\'' && html[end] != u')')
        ++end;
    return html.sliced(offset, end - offset).trimmed();
}

// Why the finding is not one the rules call for on the program's own output;
// empty when it is.
QString unjustified(const QString &html, const Finding &f, const QStringList &allowedRules)
{
    if (allowedRules.contains(f.rule))
        return {};
    if (f.severity == Severity::Error)
        return u"an error"_s;
    const QString address = addressAt(html, f.offset);
    if (f.rule == u"placeholder-link"_s)
        return address.isEmpty() || address == u"#"_s ? QString() : u"a link that is no placeholder"_s;
    if (f.rule == u"image-host"_s) {
        const QString host = check::addressHost(address);
        return host.isEmpty() || !check::hostWithin(host, check::pictureHosts()) ? QString()
                                                                                 : u"a picture on the platform"_s;
    }
    if (f.rule == u"http"_s)
        return address.startsWith(u"http:"_s, Qt::CaseInsensitive) ? QString() : u"no http address"_s;
    return u"a rule the modules never call for"_s;
}

void verifyOwnOutput(const QString &html, int pageWidth, const QStringList &allowedRules = {},
                     const QList<check::CheckSegment> &segments = {})
{
    const QList<Finding> findings = check::checkPage(html, pageWidth, segments);
    for (const Finding &f : findings) {
        const QString why = unjustified(html, f, allowedRules);
        QVERIFY2(why.isEmpty(), qPrintable(why + u" in\n"_s + describe(findings)));
    }
    for (const QString &rule : allowedRules) {
        const bool tripped
            = std::any_of(findings.begin(), findings.end(), [&](const Finding &f) { return f.rule == rule; });
        QVERIFY2(tripped, qPrintable(rule + u" was expected in\n"_s + describe(findings)));
    }
}

// A page's state in a shop with one radio item chosen (-1: as it starts),
// with the metrics the choice writes.
PageState stateWithChoice(const PageSpec &page, Shop shop, const QString &radio, int item)
{
    PageState state = page.defaultState(Metrics::forShop(shop));
    if (item >= 0) {
        state.setField(radio, QString::number(item));
        if (page.metricsOnChoice)
            state.metrics = page.metricsOnChoice(state);
    }
    return state;
}

// The start-up fragments of every page in the shop, where it makes one.
QList<std::pair<const PageSpec *, QString>> allStartUpFragments(Shop shop)
{
    SoundPictures pictures;
    QList<std::pair<const PageSpec *, QString>> fragments;
    for (const PageSpec *page : catalog::pages()) {
        const Generation run = generate(*page, page->defaultState(Metrics::forShop(shop)), {.measurer = &pictures});
        if (run.outcome == Generation::Outcome::Fragment)
            fragments.append({page, run.text});
    }
    return fragments;
}

} // namespace

Q_DECLARE_METATYPE(orv::Shop)

class TstOwnPages : public QObject {
    Q_OBJECT

private slots:
    // Every page as it starts, and with each item of each of its radio groups
    // chosen: the related-sales page makes nothing before a style is chosen,
    // the product details measure their pictures in the overlay style.
    void startUpFragments_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<Shop>("shop");
        QTest::addColumn<QString>("radio");
        QTest::addColumn<int>("item");
        for (const PageSpec *page : catalog::pages()) {
            for (Shop shop : {Shop::Taobao, Shop::Tmall}) {
                const char *shopText = shop == Shop::Taobao ? "taobao" : "tmall";
                QTest::addRow("%s %s", qPrintable(page->id), shopText) << page->id << shop << QString() << -1;
                for (const FieldSpec &field : page->fields) {
                    for (qsizetype item = 0; field.kind == FieldKind::Radio && item < field.items.size(); ++item) {
                        QTest::addRow("%s %s %s=%d", qPrintable(page->id), shopText, qPrintable(field.key), int(item))
                            << page->id << shop << field.key << int(item);
                    }
                }
            }
        }
    }
    void startUpFragments()
    {
        QFETCH(QString, page);
        QFETCH(Shop, shop);
        QFETCH(QString, radio);
        QFETCH(int, item);
        const PageSpec &pageSpec = *catalog::findPage(page);
        SoundPictures pictures;
        const Generation run
            = generate(pageSpec, stateWithChoice(pageSpec, shop, radio, item), {.measurer = &pictures});
        if (run.outcome == Generation::Outcome::Reminder && item < 0)
            QSKIP("makes nothing before a choice");
        QCOMPARE(int(run.outcome), int(Generation::Outcome::Fragment));
        verifyOwnOutput(run.text, pageWidth(page, shop));
        // The Tmall column holds every Taobao layout as well.
        verifyOwnOutput(run.text, 790);
    }

    // All start-up fragments of a shop as the summary writes them: each entry
    // at its own width, every finding in the entry that holds it.
    void summary_data()
    {
        QTest::addColumn<Shop>("shop");
        QTest::newRow("taobao") << Shop::Taobao;
        QTest::newRow("tmall") << Shop::Tmall;
    }
    void summary()
    {
        QFETCH(Shop, shop);
        QString html;
        QList<check::CheckSegment> segments;
        for (const auto &[page, code] : allStartUpFragments(shop)) {
            const int width = fixedWidthPages.contains(page->id) ? 750 : shopWidth(shop);
            segments.append(
                {html.size(), html.size() + code.size(), int(segments.size()) + 1, page->moduleName, width});
            html += code + u"\r\n"_s;
        }
        QCOMPARE(segments.size(), catalog::pages().size() - 1); // all but the related sales
        verifyOwnOutput(html, shopWidth(shop), {}, segments);
        for (const Finding &f : check::checkPage(html, shopWidth(shop), segments)) {
            const check::CheckSegment &segment = segments.at(f.entry - 1);
            QVERIFY(f.offset >= segment.begin && f.offset < segment.end);
            QCOMPARE(f.entryName, segment.name);
        }
    }

    // Every golden fragment of the modules' tests. The shop is in the case's
    // name, except for the cases typed into a Tmall page. Some cases hold what
    // the user typed on purpose: a colour carrying an event attribute, code
    // with an unclosed element, a count of no pictures (an empty fragment).
    void goldenFragments_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("pageWidth");
        QTest::addColumn<QStringList>("allowedRules");
        const QHash<QString, QStringList> typed{
            {u"relatedsales/quoted"_s, {u"scripting"_s}},
            {u"customhtml/code"_s, {u"markup"_s}},
            {u"display/zero"_s, {u"length"_s}},
            {u"display/negative"_s, {u"length"_s}},
            {u"display/zero-empty-list"_s, {u"length"_s}},
        };
        const QStringList typedIntoTmall{u"combo/as-typed"_s};
        const QString root = test::dataPath(u"modules"_s);
        QDirIterator files(root, {u"*.html"_s}, QDir::Files, QDirIterator::Subdirectories);
        int count = 0;
        while (files.hasNext()) {
            const QString path = files.next();
            const QString name = QDir(root).relativeFilePath(path).chopped(5);
            const QString folder = name.section(u'/', 0, 0);
            const bool tmall = name.endsWith(u"-tmall"_s) || typedIntoTmall.contains(name);
            const int width = fixedWidthFolders.contains(folder) ? 750 : tmall ? 790 : 750;
            QTest::newRow(qPrintable(name)) << path << width << typed.value(name);
            ++count;
        }
        QVERIFY(count >= 46);
    }
    void goldenFragments()
    {
        QFETCH(QString, path);
        QFETCH(int, pageWidth);
        QFETCH(QStringList, allowedRules);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        verifyOwnOutput(QString::fromUtf8(file.readAll()), pageWidth, allowedRules);
    }
};

QTEST_GUILESS_MAIN(TstOwnPages)
#include "tst_ownpages.moc"
