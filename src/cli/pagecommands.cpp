#include "cli/arguments.h"
#include "cli/commands.h"
#include "core/failure.h"
#include "core/generation.h"
#include "core/linelist.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace orv::cli {

using namespace Qt::StringLiterals;

namespace {

// One --set or --set-file, kept in the order given.
struct Assignment {
    QString option; // "--set" or "--set-file", for messages
    QString name;
    QString value; // the text, or the file's path for --set-file
    bool fromFile = false;
};

struct GenerateOptions {
    Shop shop = Shop::Taobao;
    QList<Assignment> assignments;
};

Assignment assignment(const QString &option, const QString &argument, bool fromFile)
{
    const qsizetype equals = argument.indexOf(u'=');
    if (equals < 0) {
        usageError(u"%1 takes %2, not %3"_s.arg(option, fromFile ? u"NAME=PATH"_s : u"NAME=VALUE"_s, quoted(argument)));
    }
    return {option, argument.left(equals), argument.mid(equals + 1), fromFile};
}

// Reads the options after "generate PAGE": "--opt value" and "--opt=value".
GenerateOptions parseGenerateOptions(const QStringList &arguments)
{
    GenerateOptions options;
    ArgumentReader args(arguments);
    while (args.next()) {
        const QString &option = args.option();
        if (option != u"--shop"_s && option != u"--set"_s && option != u"--set-file"_s) {
            usageError(u"unknown option %1 for generate; the options are --shop, --set and --set-file"_s.arg(
                quoted(args.argument())));
        }
        const QString value = args.value();
        if (option == u"--shop"_s)
            options.shop = shopOption(value);
        else
            options.assignments.append(assignment(option, value, option == u"--set-file"_s));
    }
    return options;
}

// The text a field holds when VALUE is put into it, as the window would hold it.
QString fieldText(const PageSpec &page, const FieldSpec &field, const QString &value)
{
    switch (field.kind) {
    case FieldKind::Memo:
        return toCrLf(value);
    case FieldKind::Radio: {
        // No item chosen is only possible where the group starts that way.
        const bool noneAllowed = field.defaultText == u"-1"_s;
        bool ok = false;
        const int index = value.toInt(&ok, 10);
        if (!ok || index >= field.items.size() || index < (noneAllowed ? -1 : 0)) {
            const QString range
                = field.items.isEmpty() ? QString() : u"an item index from 0 to %1"_s.arg(field.items.size() - 1);
            QString allowed = range;
            if (noneAllowed)
                allowed = range.isEmpty() ? u"-1 (no item chosen)"_s : range + u" or -1 (no item chosen)"_s;
            if (allowed.isEmpty())
                allowed = u"no value: the group has no items"_s;
            usageError(u"field %1 of page %2 takes %3, not %4"_s.arg(field.name, page.id, allowed, quoted(value)));
        }
        return QString::number(index);
    }
    case FieldKind::Edit:
    case FieldKind::Combo:
    case FieldKind::Colour:
        break;
    }
    return value;
}

void apply(const PageSpec &page, const Assignment &a, PageState &state)
{
    const FieldSpec *field = page.fieldByKeyOrName(a.name);
    if (!field) {
        QStringList names;
        for (const FieldSpec &f : page.fields)
            names.append(u"%1 (%2)"_s.arg(f.key, f.name));
        usageError(u"page %1 has no field %2; its fields are: %3"_s.arg(page.id, quoted(a.name), names.join(u", "_s)));
    }
    const QString value = a.fromFile ? readTextFile(a.value) : a.value;
    state.setField(field->key, fieldText(page, *field, value));
}

} // namespace

Result generate(const QList<const PageSpec *> &pages, const QStringList &arguments, const Context &context)
{
    if (arguments.isEmpty())
        usageError(u"generate needs a PAGE; the pages are: %1"_s.arg(pageNames(pages).join(u", "_s)));
    const PageSpec *page = pageNamed(pages, arguments.first());
    const GenerateOptions options = parseGenerateOptions(arguments.mid(1));

    PageState state = page->defaultState(Metrics::forShop(options.shop));
    for (const Assignment &a : options.assignments)
        apply(*page, a, state);

    Services services;
    services.measurer = context.measurer;
    // No widget wraps the text here: the displayed lines are the text's lines.
    services.displayedLines = [](const QString &, const QString &text) { return splitLines(text); };

    const Generation run = orv::generate(*page, state, services);
    switch (run.outcome) {
    case Generation::Outcome::Fragment:
        return {Success, run.text.toUtf8(), {}};
    case Generation::Outcome::Reminder:
        return {GeneratorFailed, {}, (run.text + u'\n').toUtf8()};
    case Generation::Outcome::Failure:
    case Generation::Outcome::Cancelled:
        break;
    }
    return {GeneratorFailed, {}, (errorBoxText(run.text) + u'\n').toUtf8()};
}

namespace {

// A string as JSON text. A field's members are written by hand so that they
// keep the order name, kind, default, items, key, label; QJsonObject would
// sort them.
QByteArray jsonValue(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

} // namespace

Result fields(const QList<const PageSpec *> &pages, const QStringList &arguments)
{
    if (arguments.size() != 1) {
        usageError(arguments.isEmpty() ? u"fields needs a PAGE; the pages are: %1"_s.arg(pageNames(pages).join(u", "_s))
                                       : u"fields takes one PAGE, not %1"_s.arg(quoted(arguments.join(u' '))));
    }
    const PageSpec *page = pageNamed(pages, arguments.first());
    // One field per line, so that the list is easy to read and to grep.
    QByteArray json = "[";
    for (qsizetype i = 0; i < page->fields.size(); ++i) {
        const FieldSpec &f = page->fields.at(i);
        json += i == 0 ? "\n  " : ",\n  ";
        json += "{\"name\":" + jsonValue(f.name) + ",\"kind\":" + jsonValue(fieldKindName(f.kind))
                + ",\"default\":" + jsonValue(f.defaultText)
                + ",\"items\":" + QJsonDocument(QJsonArray::fromStringList(f.items)).toJson(QJsonDocument::Compact)
                + ",\"key\":" + jsonValue(f.key) + ",\"label\":" + jsonValue(f.label) + '}';
    }
    json += page->fields.isEmpty() ? "]\n" : "\n]\n";
    return {Success, json, {}};
}

} // namespace orv::cli
