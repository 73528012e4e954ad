// The argument handling of orvanta-cli, driven through orv::cli::run with a
// probe page whose generator reports what it was given, fails or reminds on
// demand.
#include "cli/cli.h"
#include "core/failure.h"
#include "core/project.h"
#include "modules/catalog.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using orv::FieldKind;

namespace {

// Reports the fields by key, the metrics and the displayed lines as JSON;
// fails with the text of "fail" or reminds with the text of "remind" when
// they are set.
orv::Generated probeGenerate(orv::PageState &state, const orv::Services &services)
{
    if (!state.field(u"fail"_s).isEmpty())
        throw orv::Failure(state.field(u"fail"_s));
    orv::Generated generated;
    if (!state.field(u"remind"_s).isEmpty()) {
        generated.fragment = u"never shown"_s;
        generated.reminder = state.field(u"remind"_s);
        return generated;
    }
    QJsonObject fields;
    for (auto it = state.fields.cbegin(); it != state.fields.cend(); ++it)
        fields.insert(it.key(), it.value());
    const QJsonObject report{
        {u"fields"_s, fields},
        {u"shop"_s, orv::shopName(state.metrics.shop)},
        {u"totalWidth"_s, state.metrics.totalWidth},
        {u"lines"_s, QJsonArray::fromStringList(services.displayedLines(u"lines"_s, state.field(u"lines"_s)))},
    };
    generated.fragment = QString::fromUtf8(QJsonDocument(report).toJson(QJsonDocument::Compact));
    generated.preview = state.field(u"preview"_s) != u"0"_s;
    return generated;
}

const orv::PageSpec &probePage()
{
    static const orv::PageSpec pageSpec{
        .id = u"tsprobe"_s,
        .moduleName = u"探针"_s,
        .fields = {
            {u"lines"_s, u"mmo1"_s, u"行："_s, FieldKind::Memo, u"一\r\n二\r\n"_s},
            {u"text"_s, u"edt1"_s, u"文字："_s, FieldKind::Edit, u"say \"hi\" \\ \t"_s},
            {u"choice"_s, u"cbb1"_s, u"选择："_s, FieldKind::Combo, u"1"_s, {u"1"_s, u"2"_s}},
            {u"colour"_s, u"edt2"_s, u"颜色："_s, FieldKind::Colour, u"#fff"_s},
            {u"maybe"_s, u"rgnone"_s, u"可选"_s, FieldKind::Radio, u"-1"_s, {u"A"_s, u"B"_s, u"C"_s}},
            {u"either"_s, u"rg2"_s, u"二选一"_s, FieldKind::Radio, u"0"_s, {u"A"_s, u"B"_s}},
            {u"fail"_s, u"edtfail"_s, u"失败："_s, FieldKind::Edit, {}},
            {u"remind"_s, u"edtremind"_s, u"提醒："_s, FieldKind::Edit, {}},
            {u"preview"_s, u"edtpreview"_s, u"预览："_s, FieldKind::Edit, u"1"_s},
        },
        .generate = &probeGenerate,
    };
    return pageSpec;
}

orv::cli::Result runProbe(const QStringList &arguments)
{
    orv::cli::Context context;
    context.pages = {&probePage()};
    return orv::cli::run(arguments, context);
}

// The key of the probe's field with this key or component name.
QString probeKey(const QString &keyOrName)
{
    const orv::FieldSpec *field = probePage().fieldByKeyOrName(keyOrName);
    return field ? field->key : keyOrName;
}

QJsonObject report(const orv::cli::Result &result)
{
    return QJsonDocument::fromJson(result.out).object();
}

QString probeField(const QStringList &arguments, const QString &field)
{
    return report(runProbe(arguments)).value(u"fields"_s).toObject().value(probeKey(field)).toString();
}

// A module-list entry as a page's generation leaves it (page and shop; the
// fields keep their defaults), or without a page for an empty page id.
orv::ModuleEntry entry(int number, const QString &page, orv::Shop shop)
{
    orv::ModuleEntry e{number, u"[ %1 ]"_s.arg(number), u"<p>%1</p>"_s.arg(number), std::nullopt};
    if (!page.isEmpty())
        e.source = orv::EntrySource{page, {}, orv::Metrics::forShop(shop)};
    return e;
}

// Runs render with a renderer that records the job it is given.
struct RenderRun {
    orv::cli::Result result;
    std::optional<orv::cli::RenderJob> job;
};
RenderRun runRender(const QStringList &arguments)
{
    RenderRun run;
    orv::cli::Context context;
    context.render = [&run](const orv::cli::RenderJob &job) {
        run.job = job;
        return orv::cli::Result{orv::cli::Success, "rendered\n", {}};
    };
    run.result = orv::cli::run(QStringList{u"render"_s} + arguments, context);
    return run;
}

} // namespace

class TstCli : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void defaultsAndShop_data()
    {
        QTest::addColumn<QStringList>("shopArguments");
        QTest::addColumn<QString>("shop");
        QTest::addColumn<int>("totalWidth");
        QTest::newRow("no shop") << QStringList{} << u"taobao"_s << 750;
        QTest::newRow("tmall") << QStringList{u"--shop"_s, u"tmall"_s} << u"tmall"_s << 790;
        QTest::newRow("--shop=tmall") << QStringList{u"--shop=tmall"_s} << u"tmall"_s << 790;
        QTest::newRow("later wins") << QStringList{u"--shop=tmall"_s, u"--shop"_s, u"taobao"_s} << u"taobao"_s << 750;
    }

    void defaultsAndShop()
    {
        QFETCH(QStringList, shopArguments);
        QFETCH(QString, shop);
        QFETCH(int, totalWidth);
        const orv::cli::Result result = runProbe(QStringList{u"generate"_s, u"tsprobe"_s} + shopArguments);
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.err, QByteArray());
        const QJsonObject r = report(result);
        QCOMPARE(r.value(u"shop"_s).toString(), shop);
        QCOMPARE(r.value(u"totalWidth"_s).toInt(), totalWidth);
        const QJsonObject fields = r.value(u"fields"_s).toObject();
        QCOMPARE(fields.size(), probePage().fields.size());
        for (const orv::FieldSpec &f : probePage().fields)
            QCOMPARE(fields.value(f.key).toString(), f.defaultText);
    }

    // Every line break of a multi-line value becomes CR LF, from --set and
    // from a file alike; single-line fields and combo boxes keep the text.
    void lineBreaks_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("memo CR LF") << u"mmo1"_s << u"a\r\nb"_s << u"a\r\nb"_s;
        QTest::newRow("memo LF") << u"mmo1"_s << u"a\nb\n"_s << u"a\r\nb\r\n"_s;
        QTest::newRow("memo lone CR") << u"mmo1"_s << u"a\rb\r"_s << u"a\r\nb\r\n"_s;
        QTest::newRow("memo LF CR is two breaks") << u"mmo1"_s << u"a\n\rb"_s << u"a\r\n\r\nb"_s;
        QTest::newRow("memo empty") << u"mmo1"_s << QString() << QString();
        QTest::newRow("memo pipes and blanks") << u"mmo1"_s << u" a | b |\n c"_s << u" a | b |\r\n c"_s;
        QTest::newRow("edit keeps LF") << u"edt1"_s << u"a\nb"_s << u"a\nb"_s;
        QTest::newRow("edit keeps CR") << u"edt1"_s << u"a\rb\r\n"_s << u"a\rb\r\n"_s;
        QTest::newRow("combo keeps typed text") << u"cbb1"_s << u"99\n"_s << u"99\n"_s;
        QTest::newRow("colour as typed") << u"edt2"_s << u"#F30"_s << u"#F30"_s;
        QTest::newRow("value with =") << u"edt1"_s << u"a=b=c"_s << u"a=b=c"_s;
        QTest::newRow("memo by key") << u"lines"_s << u"a\nb"_s << u"a\r\nb"_s;
        QTest::newRow("edit by key") << u"text"_s << u"a\nb"_s << u"a\nb"_s;
        QTest::newRow("no preview still writes the fragment") << u"edtpreview"_s << u"0"_s << u"0"_s;
    }

    void lineBreaks()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, expected);
        QCOMPARE(probeField({u"generate"_s, u"tsprobe"_s, u"--set"_s, field + u'=' + value}, field), expected);
        QCOMPARE(probeField({u"generate"_s, u"tsprobe"_s, u"--set="_s + field + u'=' + value}, field), expected);
        const QString path = writeFile(u"value.txt"_s, value.toUtf8());
        QCOMPARE(probeField({u"generate"_s, u"tsprobe"_s, u"--set-file"_s, field + u'=' + path}, field), expected);
    }

    // A file's byte-order mark is dropped; of two assignments the later wins.
    void fileBomAndLaterOptions()
    {
        const QString bom = writeFile(u"bom.txt"_s, "\xEF\xBB\xBF" + u"标题\n"_s.toUtf8());
        QCOMPARE(probeField({u"generate"_s, u"tsprobe"_s, u"--set-file"_s, u"mmo1="_s + bom}, u"mmo1"_s),
                 u"标题\r\n"_s);
        const QString path = writeFile(u"later.txt"_s, "from file");
        const QString g = u"generate"_s, p = u"tsprobe"_s, set = u"--set"_s, file = u"--set-file"_s;
        QCOMPARE(probeField({g, p, set, u"edt1=a"_s, file, u"edt1="_s + path}, u"edt1"_s), u"from file"_s);
        QCOMPARE(probeField({g, p, file, u"edt1="_s + path, set, u"edt1=b"_s}, u"edt1"_s), u"b"_s);
    }

    void radio_data()
    {
        QTest::addColumn<QString>("assignment");
        QTest::addColumn<QString>("expected"); // empty: usage error
        QTest::newRow("none where it starts so") << u"rgnone=-1"_s << u"-1"_s;
        QTest::newRow("first") << u"rgnone=0"_s << u"0"_s;
        QTest::newRow("last") << u"rgnone=2"_s << u"2"_s;
        QTest::newRow("past the last") << u"rgnone=3"_s << QString();
        QTest::newRow("below none") << u"rgnone=-2"_s << QString();
        QTest::newRow("item text") << u"rgnone=B"_s << QString();
        QTest::newRow("empty") << u"rgnone="_s << QString();
        QTest::newRow("fraction") << u"rgnone=1.0"_s << QString();
        QTest::newRow("huge") << u"rgnone=99999999999999999999"_s << QString();
        QTest::newRow("chosen group") << u"rg2=1"_s << u"1"_s;
        QTest::newRow("by key") << u"either=1"_s << u"1"_s;
        QTest::newRow("no none in a chosen group") << u"rg2=-1"_s << QString();
    }

    void radio()
    {
        QFETCH(QString, assignment);
        QFETCH(QString, expected);
        const orv::cli::Result result = runProbe({u"generate"_s, u"tsprobe"_s, u"--set"_s, assignment});
        if (expected.isEmpty()) {
            QCOMPARE(result.exitCode, 2);
            QVERIFY(result.out.isEmpty());
            QVERIFY2(result.err.contains("takes an item index from 0 to"), result.err.constData());
            return;
        }
        const QString field = probeKey(assignment.section(u'=', 0, 0));
        QCOMPARE(report(result).value(u"fields"_s).toObject().value(field).toString(), expected);
    }

    // A failure shows as the error box would show it: full stop added after a
    // character that sorts after ".", not after ")" or "!"; a reminder as it is.
    void generatorFailure_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("list index") << u"edtfail"_s << u"List index out of bounds (5)"_s
                                    << u"List index out of bounds (5)"_s;
        QTest::newRow("integer") << u"edtfail"_s << u"'abc' is not a valid integer value"_s
                                 << u"'abc' is not a valid integer value."_s;
        QTest::newRow("jpeg") << u"edtfail"_s << u"JPEG error #53"_s << u"JPEG error #53."_s;
        QTest::newRow("CJK") << u"edtfail"_s << u"无法读取"_s << u"无法读取."_s;
        QTest::newRow("already a stop") << u"edtfail"_s << u"Cannot open file \"1.jpg\". Gone."_s
                                        << u"Cannot open file \"1.jpg\". Gone."_s;
        QTest::newRow("reminder") << u"edtremind"_s << u"请先选择样式"_s << u"请先选择样式"_s;
        QTest::newRow("exclamation") << u"edtfail"_s << u"Stop!"_s << u"Stop!"_s;
    }

    void generatorFailure()
    {
        QFETCH(QString, field);
        QFETCH(QString, message);
        QFETCH(QString, shown);
        const orv::cli::Result result = runProbe({u"generate"_s, u"tsprobe"_s, u"--set"_s, field + u'=' + message});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.out, QByteArray());
        QCOMPARE(QString::fromUtf8(result.err), shown + u'\n');
    }

    // The generator gets the text's lines as displayed lines, however long
    // they are.
    void displayedLines()
    {
        const QString longLine(5000, u'长');
        const QJsonObject r
            = report(runProbe({u"generate"_s, u"tsprobe"_s, u"--set"_s, u"mmo1=a\r\n"_s + longLine + u"\rc\n"_s}));
        QCOMPARE(r.value(u"lines"_s).toArray(), QJsonArray::fromStringList({u"a"_s, longLine, u"c"_s}));
    }

    void fields()
    {
        const orv::cli::Result result = runProbe({u"fields"_s, u"tsprobe"_s});
        QCOMPARE(result.exitCode, 0);
        const QJsonArray array = QJsonDocument::fromJson(result.out).array();
        QCOMPARE(array.size(), probePage().fields.size());
        const QJsonObject memo = array.at(0).toObject();
        QCOMPARE(memo.value(u"name"_s).toString(), u"mmo1"_s);
        QCOMPARE(memo.value(u"kind"_s).toString(), u"memo"_s);
        QCOMPARE(memo.value(u"default"_s).toString(), u"一\r\n二\r\n"_s);
        QCOMPARE(memo.value(u"key"_s).toString(), u"lines"_s);
        QCOMPARE(memo.value(u"label"_s).toString(), u"行："_s);
        QCOMPARE(array.at(1).toObject().value(u"default"_s).toString(), u"say \"hi\" \\ \t"_s);
        QCOMPARE(array.at(1).toObject().keys().size(), 6);
        const QJsonObject radio = array.at(4).toObject();
        QCOMPARE(radio.value(u"kind"_s).toString(), u"radio"_s);
        QCOMPARE(radio.value(u"items"_s).toArray(), QJsonArray::fromStringList({u"A"_s, u"B"_s, u"C"_s}));
        QCOMPARE(array.at(3).toObject().value(u"kind"_s).toString(), u"colour"_s);
        QCOMPARE(array.at(2).toObject().value(u"kind"_s).toString(), u"combo"_s);
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("mentions"); // part of the message naming what is allowed
        const QString g = u"generate"_s;
        const QString p = u"tsprobe"_s;
        QTest::newRow("nothing") << QStringList{}
                                 << u"generate, fields, build, check, render, merge, --help and --version"_s;
        QTest::newRow("unknown command") << QStringList{u"make"_s}
                                         << u"generate, fields, build, check, render, merge, --help and --version"_s;
        QTest::newRow("no page") << QStringList{g} << u"the pages are: tsprobe"_s;
        QTest::newRow("unknown page") << QStringList{g, u"tsnothing"_s} << u"the pages are: tsprobe"_s;
        QTest::newRow("option for page") << QStringList{g, u"--shop"_s, u"tmall"_s} << u"the pages are: tsprobe"_s;
        QTest::newRow("bad shop") << QStringList{g, p, u"--shop"_s, u"jd"_s} << u"taobao or tmall"_s;
        QTest::newRow("shop case") << QStringList{g, p, u"--shop=Tmall"_s} << u"taobao or tmall"_s;
        QTest::newRow("shop without value") << QStringList{g, p, u"--shop"_s} << u"--shop needs a value"_s;
        QTest::newRow("set without value") << QStringList{g, p, u"--set"_s} << u"--set needs a value"_s;
        QTest::newRow("unknown field") << QStringList{g, p, u"--set"_s, u"edt9=1"_s}
                                       << u"lines (mmo1), text (edt1), choice (cbb1), colour (edt2)"_s;
        QTest::newRow("empty field name") << QStringList{g, p, u"--set"_s, u"=1"_s} << u"its fields are"_s;
        QTest::newRow("found before a failing value")
            << QStringList{g, p, u"--set"_s, u"edtfail=boom"_s, u"--set"_s, u"nofield=1"_s} << u"its fields are"_s;
        QTest::newRow("field name case") << QStringList{g, p, u"--set"_s, u"EDT1=1"_s} << u"its fields are"_s;
        QTest::newRow("missing =") << QStringList{g, p, u"--set"_s, u"edt1"_s} << u"NAME=VALUE"_s;
        QTest::newRow("file missing =") << QStringList{g, p, u"--set-file"_s, u"edt1"_s} << u"NAME=PATH"_s;
        QTest::newRow("missing file") << QStringList{g, p, u"--set-file"_s, u"edt1=/nonexistent/x.txt"_s}
                                      << u"cannot read '/nonexistent/x.txt'"_s;
        QTest::newRow("folder as file") << QStringList{g, p, u"--set-file"_s, u"edt1=/"_s} << u"cannot read '/'"_s;
        QTest::newRow("endless file") << QStringList{g, p, u"--set-file"_s, u"edt1=/dev/zero"_s}
                                      << u"'/dev/zero' is larger than 16 MiB"_s;
        QTest::newRow("unknown option") << QStringList{g, p, u"--wrap"_s} << u"--shop, --set and --set-file"_s;
        QTest::newRow("stray argument") << QStringList{g, p, u"edt1=1"_s} << u"--shop, --set and --set-file"_s;
        QTest::newRow("fields without page") << QStringList{u"fields"_s} << u"the pages are: tsprobe"_s;
        QTest::newRow("fields unknown page") << QStringList{u"fields"_s, u"x"_s} << u"the pages are: tsprobe"_s;
        QTest::newRow("fields two pages") << QStringList{u"fields"_s, p, p} << u"fields takes one PAGE"_s;
        QTest::newRow("version extra") << QStringList{u"--version"_s, p} << u"takes no arguments"_s;
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, mentions);
        const orv::cli::Result result = runProbe(arguments);
        QCOMPARE(result.exitCode, 2);
        QCOMPARE(result.out, QByteArray());
        const QString err = QString::fromUtf8(result.err);
        QVERIFY2(err.startsWith(u"orvanta-cli: "_s) && err.endsWith(u'\n'), qPrintable(err));
        QVERIFY2(err.contains(mentions), qPrintable(err));
    }

    void invalidUtf8File_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("cut at the end") << QByteArray("caf\xE9");
        QTest::newRow("Latin-1 inside") << QByteArray("caf\xE9 au lait");
        QTest::newRow("GBK") << QByteArray("\xC9\xCC\xC6\xB7"); // 商品
    }

    void invalidUtf8File()
    {
        QFETCH(QByteArray, bytes);
        const QString path = writeFile(u"notutf8.txt"_s, bytes);
        const orv::cli::Result result = runProbe({u"generate"_s, u"tsprobe"_s, u"--set-file"_s, u"edt1="_s + path});
        QCOMPARE(result.exitCode, 2);
        QCOMPARE(result.out, QByteArray());
        QVERIFY2(result.err.contains("is not valid UTF-8"), result.err.constData());
    }

    // Arguments as bytes: UTF-8 is decoded, anything else is refused.
    void byteArguments()
    {
        orv::cli::Context context;
        context.pages = {&probePage()};
        const orv::cli::Result cjk
            = orv::cli::run(QList<QByteArray>{"generate", "tsprobe", "--set", u"edt1=店铺"_s.toUtf8()}, context);
        QCOMPARE(report(cjk).value(u"fields"_s).toObject().value(u"text"_s).toString(), u"店铺"_s);

        const orv::cli::Result gbk
            = orv::cli::run(QList<QByteArray>{"generate", "tsprobe", "--set", "edt1=\xB5\xEA"}, context);
        QCOMPARE(gbk.exitCode, 2);
        QCOMPARE(gbk.out, QByteArray());
        QCOMPARE(gbk.err, QByteArray("orvanta-cli: argument 4 is not valid UTF-8 at byte 6\n"));
    }

    // Every field of every module page answers to its key and to its
    // component name alike.
    void keysAndNamesAreOneField_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        for (const orv::PageSpec *page : orv::catalog::pages()) {
            for (const orv::FieldSpec &f : page->fields) {
                const QString value = f.kind == FieldKind::Radio ? u"0"_s : u"\"a b\"|c|12|#F30\n2"_s;
                QTest::addRow("%s %s", qPrintable(page->id), qPrintable(f.key)) << page->id << f.key << f.name << value;
            }
        }
    }
    void keysAndNamesAreOneField()
    {
        QFETCH(QString, page);
        QFETCH(QString, key);
        QFETCH(QString, name);
        QFETCH(QString, value);
        const orv::cli::Result byKey = orv::cli::run({u"generate"_s, page, u"--set"_s, key + u'=' + value});
        const orv::cli::Result byName = orv::cli::run({u"generate"_s, page, u"--set"_s, name + u'=' + value});
        QCOMPARE(byKey.exitCode, byName.exitCode);
        QCOMPARE(byKey.out, byName.out);
        QCOMPARE(byKey.err, byName.err);
        const orv::cli::Result unchanged = orv::cli::run({u"generate"_s, page});
        if (byKey.exitCode == 0 && unchanged.exitCode == 0 && key != u"style"_s)
            QVERIFY2(byKey.out != unchanged.out || page == u"tschima"_s, "the value reached no field");
    }

    // The page is drawn at the widest entry's width: the shop's, except for
    // the pages that are 750 wide in every shop; entries without a page take
    // the project's shop width.
    void renderPageWidth_data()
    {
        using orv::Shop;
        QTest::addColumn<Shop>("shop");
        QTest::addColumn<QList<orv::ModuleEntry>>("entries");
        QTest::addColumn<int>("width");
        const QString divider = u"tsfengetiao"_s;
        QTest::newRow("taobao") << Shop::Taobao << QList{entry(1, divider, Shop::Taobao), entry(2, {}, Shop::Taobao)}
                                << 750;
        QTest::newRow("tmall with a size table")
            << Shop::Tmall << QList{entry(1, u"tschima"_s, Shop::Tmall), entry(2, divider, Shop::Tmall)} << 790;
        QTest::newRow("tmall, fixed-width pages only")
            << Shop::Tmall
            << QList{entry(1, u"tschima"_s, Shop::Tmall), entry(2, u"tsjiaoliu"_s, Shop::Tmall),
                     entry(3, u"tszidingyi"_s, Shop::Tmall)}
            << 750;
        QTest::newRow("tmall, entry without page") << Shop::Tmall << QList{entry(1, {}, Shop::Taobao)} << 790;
        QTest::newRow("taobao holding a tmall entry")
            << Shop::Taobao << QList{entry(1, divider, Shop::Taobao), entry(2, divider, Shop::Tmall)} << 790;
        QTest::newRow("tmall holding taobao entries")
            << Shop::Tmall << QList{entry(1, divider, Shop::Taobao), entry(2, u"tsjiaoliu"_s, Shop::Tmall)} << 750;
    }

    void renderPageWidth()
    {
        QFETCH(orv::Shop, shop);
        QFETCH(QList<orv::ModuleEntry>, entries);
        QFETCH(int, width);
        orv::Project project;
        project.metrics = orv::Metrics::forShop(shop);
        project.entries = entries;
        const QString path = writeFile(u"widths.orvanta"_s, orv::projectJson(project));
        const RenderRun run = runRender({path, u"--out"_s, m_dir.filePath(u"out"_s)});
        QCOMPARE(run.result.exitCode, 0);
        QCOMPARE(run.result.out, QByteArray("rendered\n"));
        QVERIFY(run.job);
        QCOMPARE(run.job->pageWidth, width);
        QStringList codes;
        for (const orv::ModuleEntry &e : std::as_const(entries))
            codes.append(e.code);
        QCOMPARE(run.job->entries, codes);
    }

    void renderOptions_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<orv::cli::RenderJob>("expected"); // entries and page width aside
        QTest::newRow("defaults") << QStringList{u"--out"_s, u"pics"_s} << orv::cli::RenderJob{{}, 750, u"pics"_s};
        QTest::newRow("every option") << QStringList{u"--width"_s,      u"1242"_s,        u"--format"_s,  u"png"_s,
                                                     u"--keep-going"_s, u"--overwrite"_s, u"--timeout"_s, u"5"_s,
                                                     u"--out"_s,        u"a b"_s}
                                      << orv::cli::RenderJob{{}, 750, u"a b"_s, 1242, true, true, true, 5000};
        QTest::newRow("with =") << QStringList{u"--out=x"_s, u"--width=480"_s, u"--format=jpg"_s, u"--timeout=0"_s}
                                << orv::cli::RenderJob{{}, 750, u"x"_s, 480, false, false, false, 0};
        QTest::newRow("later wins") << QStringList{u"--out=x"_s, u"--width=1500"_s, u"--out=y"_s, u"--format=png"_s,
                                                   u"--format=jpg"_s}
                                    << orv::cli::RenderJob{{}, 750, u"y"_s, 1500};
        QTest::newRow("the older editor's height")
            << QStringList{u"--out=x"_s, u"--max-height"_s, u"2500"_s}
            << orv::cli::RenderJob{{}, 750, u"x"_s, 0, false, false, false, 30000, 2500};
        QTest::newRow("manifest only") << QStringList{u"--manifest-only"_s, u"--max-height=2000"_s, u"--width=1242"_s}
                                       << orv::cli::RenderJob{{},    750,   {},    1242, false,
                                                              false, false, 30000, 2000, true};
    }

    void renderOptions()
    {
        QFETCH(QStringList, options);
        QFETCH(orv::cli::RenderJob, expected);
        orv::Project project;
        project.entries = {entry(1, u"tsfengetiao"_s, orv::Shop::Taobao)};
        const QString path = writeFile(u"options.orvanta"_s, orv::projectJson(project));
        const RenderRun run = runRender(QStringList{path} + options);
        QCOMPARE(run.result.exitCode, 0);
        QVERIFY(run.job);
        expected.entries = run.job->entries;
        expected.entryNames = run.job->entryNames;
        QVERIFY(run.job->entries.size() == 1 && run.job->entryNames.size() == 1);
        QVERIFY(*run.job == expected);
    }

    void renderUsageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("mentions");
        const QString p = u"p.orvanta"_s; // never read: the arguments fail first
        const QString o = u"--out=x"_s;
        QTest::newRow("no project") << QStringList{o} << u"render needs a PROJECT file"_s;
        QTest::newRow("no folder") << QStringList{p} << u"render needs --out DIR"_s;
        QTest::newRow("out without value") << QStringList{p, u"--out"_s} << u"--out needs a value"_s;
        QTest::newRow("empty out") << QStringList{p, u"--out="_s} << u"--out needs a folder"_s;
        for (const QString &width : {u"479"_s, u"1501"_s, u"0"_s, u"-5"_s, u"1242px"_s, u" 800"_s, u"99999999999"_s})
            QTest::addRow("width %s", qPrintable(width))
                << QStringList{p, o, u"--width="_s + width} << u"--width takes a whole number from 480 to 1500"_s;
        QTest::newRow("width without value") << QStringList{p, o, u"--width"_s} << u"--width needs a value"_s;
        QTest::newRow("format gif") << QStringList{p, o, u"--format"_s, u"gif"_s} << u"use jpg or png"_s;
        QTest::newRow("format case") << QStringList{p, o, u"--format=PNG"_s} << u"use jpg or png"_s;
        QTest::newRow("timeout") << QStringList{p, o, u"--timeout=3601"_s} << u"from 0 to 3600"_s;
        QTest::newRow("flag with value") << QStringList{p, o, u"--keep-going=yes"_s} << u"takes no value"_s;
        for (const QString &height : {u"2200"_s, u"1999"_s, u"2500px"_s, u""_s})
            QTest::addRow("max height %s", qPrintable(height))
                << QStringList{p, o, u"--max-height="_s + height} << u"--max-height takes 2000"_s;
        QTest::newRow("manifest only with a folder")
            << QStringList{p, o, u"--manifest-only"_s} << u"--manifest-only writes slices.json to standard output"_s;
        QTest::newRow("manifest only, overwrite")
            << QStringList{p, u"--overwrite"_s, u"--manifest-only"_s} << u"leave out --overwrite"_s;
        QTest::newRow("manifest only with a value") << QStringList{p, u"--manifest-only=1"_s} << u"takes no value"_s;
        QTest::newRow("unknown option") << QStringList{p, o, u"--shop=tmall"_s}
                                        << u"--out, --width, --format, --max-height"_s;
        QTest::newRow("two projects") << QStringList{p, o, p} << u"render takes one PROJECT"_s;
        QTest::newRow("missing project") << QStringList{u"/nonexistent/p.orvanta"_s, o} << u"p.orvanta"_s;
    }

    void renderUsageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, mentions);
        const RenderRun run = runRender(arguments);
        QCOMPARE(run.result.exitCode, 2);
        QCOMPARE(run.result.out, QByteArray());
        QVERIFY2(QString::fromUtf8(run.result.err).contains(mentions), run.result.err.constData());
        QVERIFY(!run.job);
    }

    // Nothing to draw, or no engine to draw with (tests, the fuzzer): exit 1,
    // and the renderer's own result is passed on unchanged.
    void renderFailures()
    {
        const QString empty = writeFile(u"empty.orvanta"_s, orv::projectJson(orv::Project{}));
        const RenderRun none = runRender({empty, u"--out=x"_s});
        QCOMPARE(none.result.exitCode, 1);
        QVERIFY2(none.result.err.contains("has no entries"), none.result.err.constData());
        QVERIFY(!none.job);

        orv::Project project;
        project.entries = {entry(1, {}, orv::Shop::Taobao)};
        const QString path = writeFile(u"one.orvanta"_s, orv::projectJson(project));
        const orv::cli::Result noEngine = orv::cli::run({u"render"_s, path, u"--out=x"_s});
        QCOMPARE(noEngine.exitCode, 1);
        QCOMPARE(noEngine.out, QByteArray());
        QVERIFY2(noEngine.err.contains("not available"), noEngine.err.constData());

        orv::cli::Context context;
        context.render = [](const orv::cli::RenderJob &) {
            return orv::cli::Result{orv::cli::GeneratorFailed, {}, "did not load\n"};
        };
        const orv::cli::Result failed = orv::cli::run({u"render"_s, path, u"--out=x"_s}, context);
        QCOMPARE(failed.exitCode, 1);
        QCOMPARE(failed.err, QByteArray("did not load\n"));
    }

    void help()
    {
        const orv::cli::Result result = runProbe({u"--help"_s});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.err, QByteArray());
        const QString text = QString::fromUtf8(result.out);
        QVERIFY(text.startsWith(u"Usage: orvanta-cli generate PAGE"_s));
        QVERIFY2(text.contains(u"  tsprobe       探针\n"_s), qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(TstCli)
#include "tst_cli.moc"
