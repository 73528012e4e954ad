// Shared values and colours changed in one step: every entry that uses a
// changed value is made again exactly as `orvanta-cli generate --set` makes
// it with the new value, a rename carries its slots along, a removal keeps
// the page, and the other entries stay as they were.

#include "cli/cli.h"
#include "core/colours.h"
#include "core/valuechange.h"
#include "modules/catalog.h"
#include "support/generated.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;

namespace {

ModuleEntry entryOf(int number, const QString &page, const test::Fields &fields, Shop shop = Shop::Taobao)
{
    FieldValues values;
    for (const auto &[key, text] : fields)
        values.insert(key, text);
    return {number, u"[ %1 ] "_s.arg(page), u"old"_s, EntrySource{page, values, Metrics::forShop(shop)}};
}

// What the command line makes of the entry's page and fields, its slots
// filled with values.
QString generated(const ModuleEntry &entry, const SharedValues &values)
{
    QStringList arguments{u"generate"_s, entry.source->page, u"--shop"_s, shopName(entry.source->metrics.shop)};
    for (auto it = entry.source->fields.cbegin(); it != entry.source->fields.cend(); ++it)
        arguments << u"--set"_s << it.key() + u'=' + fillSlots(it.value(), slotValues(values));
    const cli::Result result = cli::run(arguments);
    if (result.exitCode != cli::Success)
        qFatal("generate failed: %s", result.err.constData());
    return QString::fromUtf8(result.out);
}

const SharedValues before{{u"主色"_s, u"#FF6600"_s}, {u"店铺名称"_s, u"小林家居"_s}};

// Five entries of three kinds use 主色 (row 2 does not), a page's form too.
Project shop()
{
    Project project;
    project.values = before;
    project.pages.insert(u"tsfengetiao"_s, {{u"line_colour"_s, u"{{主色}}"_s}});
    project.entries = {
        entryOf(1, u"tsfengetiao"_s, {{u"highlight_colour"_s, u"{{主色}}"_s}, {u"title"_s, u"{{店铺名称}}"_s}}),
        entryOf(2, u"tsyouhuiquan"_s, {{u"card_colour"_s, u"{{ 主色 }}"_s}}, Shop::Tmall),
        entryOf(3, u"tsfengetiao"_s, {{u"title"_s, u"{{店铺名称}}"_s}}),
        entryOf(4, u"tsjiaoliu"_s, {{u"label_colour"_s, u"{{主色}}"_s}}),
        entryOf(5, u"tsyouhuiquan"_s, {{u"tab_colour"_s, u"{{主色}}"_s}, {u"amounts"_s, u"{{{{主色}}|5|8"_s}}),
        entryOf(6, u"tsfengetiao"_s, {{u"line_colour"_s, u"{{主色}}"_s}}, Shop::Tmall),
    };
    return project;
}

} // namespace

class TstSharedValues : public QObject {
    Q_OBJECT

private slots:
    void changeValues_data()
    {
        QTest::addColumn<SharedValues>("values");
        QTest::addColumn<QString>("renamedTo"); // 主色 renamed to this; empty: no rename
        QTest::addColumn<QString>("slot");      // what entry 4's label colour holds after the change
        QTest::addColumn<QList<int>>("rows");
        const QList<int> users{0, 1, 3, 4, 5};
        QTest::newRow("changed") << SharedValues{{u"主色"_s, u"#00AA00"_s}, before[1]} << QString() << u"{{主色}}"_s
                                 << users;
        QTest::newRow("renamed") << SharedValues{{u"品牌色"_s, u"#FF6600"_s}, before[1]} << u"品牌色"_s
                                 << u"{{品牌色}}"_s << users;
        QTest::newRow("renamed and changed")
            << SharedValues{before[1], {u"品牌色"_s, u"#0000FF"_s}} << u"品牌色"_s << u"{{品牌色}}"_s << users;
        QTest::newRow("removed") << SharedValues{before[1]} << QString() << u"#FF6600"_s << users;
        QTest::newRow("another changed") << SharedValues{before[0], {u"店铺名称"_s, u"林家"_s}} << QString()
                                         << u"{{主色}}"_s << QList<int>{0, 2};
        QTest::newRow("one added") << SharedValues{before[0], before[1], {u"辅色"_s, u"#EEE"_s}} << QString()
                                   << u"{{主色}}"_s << QList<int>{};
    }
    void changeValues()
    {
        QFETCH(SharedValues, values);
        QFETCH(QString, renamedTo);
        QFETCH(QString, slot);
        QFETCH(QList<int>, rows);
        const Project project = shop();
        QList<ValueRename> renames;
        if (!renamedTo.isEmpty())
            renames.append({u"主色"_s, renamedTo});
        const ProjectChange change = changeSharedValues(project, values, renames, catalog::pages(), {});
        QCOMPARE(change.failures.join(u'\n'), QString());
        QCOMPARE(change.rows, rows);
        QCOMPARE(change.project.values, values);
        QCOMPARE(change.project.entries[3].source->fields[u"label_colour"_s], slot);
        QCOMPARE(change.project.pages[u"tsfengetiao"_s][u"line_colour"_s], slot);
        // A literal "{{" stays one.
        QCOMPARE(change.project.entries[4].source->fields[u"amounts"_s], u"{{{{主色}}|5|8"_s);
        for (int row = 0; row < project.entries.size(); ++row) {
            const ModuleEntry &entry = change.project.entries[row];
            if (rows.contains(row))
                QCOMPARE(entry.code, generated(entry, values));
            else
                QCOMPARE(entry, project.entries[row]);
        }
    }

    void refusedValues()
    {
        const Project project = shop();
        for (const SharedValues &values : {SharedValues{before[0], before[0]}, SharedValues{{u"a{{b"_s, u"x"_s}}}) {
            QVERIFY(!test::failureOf([&] { changeSharedValues(project, values, {}, catalog::pages(), {}); }).isEmpty());
        }
        QVERIFY(test::failureOf([&] {
                    changeSharedValues(project, before, {{u"无"_s, u"主色"_s}}, catalog::pages(), {});
                }).contains(u"\"无\""_s));
    }

    // Colours of colour fields, however they are written; a bound field
    // counts for none. Replacing one or binding it makes its entries again.
    void colours()
    {
        Project project;
        project.values = before;
        project.pages.insert(u"tsjiaoliu"_s, {{u"label_colour"_s, u"#f30"_s}});
        project.entries = {
            entryOf(1, u"tsfengetiao"_s, {{u"highlight_colour"_s, u" #FF3300"_s}, {u"title"_s, u"#f30"_s}}),
            entryOf(2, u"tsyouhuiquan"_s, {{u"card_colour"_s, u"Red"_s}, {u"tab_colour"_s, u"#ff3300"_s}}),
            entryOf(3, u"tsfengetiao"_s, {{u"highlight_colour"_s, u"{{主色}}"_s}, {u"line_colour"_s, u"red"_s}}),
        };
        QList<std::pair<QString, int>> uses;
        for (const ColourUse &use : coloursInUse(project, catalog::pages()))
            uses.append({use.colour, use.fields});
        QCOMPARE(uses, (QList<std::pair<QString, int>>{{u"#FF3300"_s, 3}, {u"Red"_s, 2}}));
        QCOMPARE(
            colourValues({{u"a"_s, u" #0a0"_s}, {u"b"_s, u"red"_s}, {u"c"_s, u"#12345"_s}, {u"d"_s, u"#AABBCC"_s}}),
            (SharedValues{{u"a"_s, u" #0a0"_s}, {u"d"_s, u"#AABBCC"_s}}));

        const ProjectChange replaced = replaceColour(project, u"#F30"_s, u"#00AA00"_s, catalog::pages(), {});
        QCOMPARE(replaced.rows, (QList<int>{0, 1}));
        QCOMPARE(replaced.project.pages[u"tsjiaoliu"_s][u"label_colour"_s], u"#00AA00"_s);
        QCOMPARE(replaced.project.entries[0].source->fields[u"title"_s], u"#f30"_s); // no colour field

        const ProjectChange bound = bindColour(project, u"red"_s, u"辅色"_s, catalog::pages(), {});
        QCOMPARE(bound.rows, (QList<int>{1, 2}));
        QCOMPARE(bound.project.values.last(), (SharedValue{u"辅色"_s, u"Red"_s}));
        QCOMPARE(bound.project.entries[2].source->fields[u"line_colour"_s], u"{{辅色}}"_s);
        for (const ProjectChange *change : {&replaced, &bound}) {
            for (const int row : change->rows)
                QCOMPARE(change->project.entries[row].code,
                         generated(change->project.entries[row], change->project.values));
        }
    }
};

QTEST_GUILESS_MAIN(TstSharedValues)
#include "tst_sharedvalues.moc"
