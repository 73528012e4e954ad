// Slots: what a text becomes for a set of values, and how a slot that
// cannot be filled is named.

#include "core/slots.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;

namespace {

SlotValues valuesOf(const QHash<QString, QString> &values)
{
    return [values](const QString &name) -> std::optional<QString> {
        const auto it = values.constFind(name);
        return it == values.cend() ? std::nullopt : std::optional<QString>(*it);
    };
}

const QHash<QString, QString> row{
    {u"宝贝名称"_s, u"纯棉 T恤"_s}, {u"price"_s, u"99.9"_s}, {u"空"_s, QString()}, {u"lines"_s, u"一\n二"_s}};

QString failureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const SlotFailure &failure) {
        return failure.message();
    }
    return {};
}

} // namespace

class TstSlots : public QObject {
    Q_OBJECT

private slots:
    void fill_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("filled");  // or the failure's message
        QTest::addColumn<QString>("asTyped"); // filled with SlotMode::AsTyped: what cannot be filled stays
        const auto row = [](const char *name, const QString &text, const QString &filled, const QString &asTyped = {}) {
            QTest::newRow(name) << text << filled << (asTyped.isNull() ? filled : asTyped);
        };
        row("no slot", u"<p>{a}} }}</p>"_s, u"<p>{a}} }}</p>"_s);
        row("slots", u"{{宝贝名称}}: ¥{{price}}"_s, u"纯棉 T恤: ¥99.9"_s);
        row("trimmed", u"{{ price\t}}{{\u3000宝贝名称 }}"_s, u"99.9纯棉 T恤"_s);
        row("empty cell", u"[{{空}}]"_s, u"[]"_s);
        row("literal", u"{{{{price}} {{{{{{price}}"_s, u"{{price}} {{99.9"_s);
        row("literal then slot", u"{{{{{{price}}}}"_s, u"{{99.9}}"_s);
        row("value kept as is", u"{{lines}}"_s, u"一\n二"_s);
        row("value not filled again", u"{{x}}"_s, u"{{price}}"_s);
        row("unknown", u"a {{价格}} {{price}}"_s, u"field f: no value for the slot {{价格}}"_s, u"a {{价格}} 99.9"_s);
        row("case counts", u"{{Price}}"_s, u"field f: no value for the slot {{Price}}"_s, u"{{Price}}"_s);
        row("empty name", u"{{ }}{{price}}"_s, u"field f: the slot {{ }} has no name"_s, u"{{ }}99.9"_s);
        row("unclosed", u"{{price} and the rest of a long line"_s,
            u"field f: the slot {{price} and the rest … is not closed by }} on its "
            "line (write {{{{ for a literal {{)"_s,
            u"{{price} and the rest of a long line"_s);
        row("closed on the next line", u"{{price\r\n}}{{price}}"_s,
            u"field f: the slot {{price is not closed by }} on its line (write {{{{ for a literal {{)"_s,
            u"{{price\r\n}}99.9"_s);
    }
    void fill()
    {
        QFETCH(QString, text);
        QFETCH(QString, filled);
        QFETCH(QString, asTyped);
        QHash<QString, QString> values = row;
        values.insert(u"x"_s, u"{{price}}"_s);
        const PageSpec page{.id = u"p"_s, .fields = {{u"f"_s, u"edt1"_s, u"文字"_s}}};
        QString result;
        const QString failure = failureOf([&] {
            result = fillFields(page, {{u"f"_s, text}}, valuesOf(values)).value(u"f"_s);
        });
        QCOMPARE(failure.isEmpty() ? result : failure, filled);
        QCOMPARE(fillSlots(text, valuesOf(values), SlotMode::AsTyped), asTyped);
        QCOMPARE(slotProblems({{1, u"e"_s, {}, EntrySource{u"p"_s, {{u"f"_s, text}}, {}}}}, {&page}, valuesOf(values))
                     .size(),
                 failure.isEmpty() ? 0 : 1);
    }

    // A page's multi-line field holds CR LF; a page-less entry's code is
    // filled as it is; a problem names the slot, the entry and the field.
    void entries()
    {
        const PageSpec page{.id = u"p"_s,
                            .fields = {{u"memo"_s, u"mmo1"_s, u"行"_s, FieldKind::Memo},
                                       {u"title"_s, u"edt1"_s, u"标题"_s},
                                       {u"plain"_s, u"edt2"_s, u"不变"_s}}};
        const ModuleEntry design{
            2, u"[ 标题 ] "_s, u"old"_s,
            EntrySource{
                u"p"_s, {{u"memo"_s, u"{{lines}}\n三"_s}, {u"title"_s, u"{{price}}"_s}, {u"plain"_s, u"a\nb"_s}}, {}}};
        const ModuleEntry filled = fillEntry(design, &page, valuesOf(row));
        QCOMPARE(filled.source->fields,
                 (FieldValues{{u"memo"_s, u"一\r\n二\r\n三"_s}, {u"title"_s, u"99.9"_s}, {u"plain"_s, u"a\nb"_s}}));
        QCOMPARE(filled.code, u"old"_s);

        const ModuleEntry code{5, u"汇总"_s, u"<p>{{宝贝名称}}\n{{lines}}</p>"_s, std::nullopt};
        QCOMPARE(fillEntry(code, nullptr, valuesOf(row)).code, u"<p>纯棉 T恤\n一\n二</p>"_s);

        ModuleEntry missing = design;
        missing.source->fields[u"plain"_s] = u"{{ 库存 }}"_s;
        QCOMPARE(failureOf([&] { fillEntry(missing, &page, valuesOf(row)); }),
                 u"entry 2 ([ 标题 ]), field plain: no value for the slot {{ 库存 }}"_s);
        const QList<SlotProblem> problems = slotProblems({missing, code}, {&page}, valuesOf({}));
        QStringList places;
        for (const SlotProblem &problem : problems)
            places.append(problem.place() + u' ' + problem.name);
        QCOMPARE(places,
                 (QStringList{u"entry 2 ([ 标题 ]), field memo lines"_s, u"entry 2 ([ 标题 ]), field title price"_s,
                              u"entry 2 ([ 标题 ]), field plain 库存"_s, u"entry 5 (汇总), code 宝贝名称"_s,
                              u"entry 5 (汇总), code lines"_s}));
        QCOMPARE(slotNames(QList<ModuleEntry>{missing, code}),
                 (QStringList{u"lines"_s, u"库存"_s, u"price"_s, u"宝贝名称"_s}));
    }

    // The first source that has a name wins: a sheet's column over a shared value.
    void sources()
    {
        const SlotValues values = firstOf(valuesOf(row), valuesOf({{u"price"_s, u"1"_s}, {u"主色"_s, u"#f30"_s}}));
        QCOMPARE(fillSlots(u"{{price}} {{主色}} {{空}}."_s, values), u"99.9 #f30 ."_s);
    }
};

QTEST_APPLESS_MAIN(TstSlots)
#include "tst_slots.moc"
