#include "cli.h"

#include "core/failure.h"
#include "core/generation.h"
#include "core/linelist.h"
#include "modules/catalog.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringDecoder>

namespace orv::cli {

using namespace Qt::StringLiterals;

namespace {

const QString programName = u"orvanta-cli"_s;

// Ends the command with exit code 2 and this message on standard error.
struct UsageFailure {
    QString message;
};

[[noreturn]] void usageError(const QString &message)
{
    throw UsageFailure{message};
}

QString quoted(const QString &text)
{
    return u"'"_s + text + u"'"_s;
}

QStringList pageNames(const QList<const PageSpec *> &pages)
{
    QStringList names;
    for (const PageSpec *page : pages)
        names.append(page->id);
    return names;
}

const PageSpec *pageNamed(const QList<const PageSpec *> &pages, const QString &name)
{
    for (const PageSpec *page : pages) {
        if (page->id == name)
            return page;
    }
    usageError(u"unknown page %1; the pages are: %2"_s.arg(quoted(name), pageNames(pages).join(u", "_s)));
}

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

Shop shopOption(const QString &name)
{
    if (const std::optional<Shop> shop = shopNamed(name))
        return *shop;
    usageError(u"unknown shop %1; use taobao or tmall"_s.arg(quoted(name)));
}

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
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        QString option = argument;
        QString value;
        bool hasValue = false;
        if (argument.startsWith(u"--"_s)) {
            if (const qsizetype equals = argument.indexOf(u'='); equals >= 0) {
                option = argument.left(equals);
                value = argument.mid(equals + 1);
                hasValue = true;
            }
        }
        if (option != u"--shop"_s && option != u"--set"_s && option != u"--set-file"_s) {
            usageError(u"unknown option %1 for generate; the options are --shop, --set and --set-file"_s.arg(
                quoted(argument)));
        }
        if (!hasValue) {
            if (i + 1 >= arguments.size())
                usageError(u"%1 needs a value"_s.arg(option));
            value = arguments.at(++i);
        }
        if (option == u"--shop"_s)
            options.shop = shopOption(value);
        else
            options.assignments.append(assignment(option, value, option == u"--set-file"_s));
    }
    return options;
}

QString readUtf8File(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        usageError(u"cannot read %1: %2"_s.arg(quoted(path), file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        usageError(u"cannot read %1: %2"_s.arg(quoted(path), file.errorString()));
    // A byte-order mark at the start is dropped, as editors write it.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        usageError(u"%1 is not valid UTF-8"_s.arg(quoted(path)));
    return text;
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
    const QString value = a.fromFile ? readUtf8File(a.value) : a.value;
    state.setField(field->key, fieldText(page, *field, value));
}

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

// A string as JSON text. A field's members are written by hand so that they
// keep the order name, kind, default, items, key, label; QJsonObject would
// sort them.
QByteArray jsonValue(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

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

} // namespace

QString helpText(const QList<const PageSpec *> &pages)
{
    QString text
        = uR"(Usage: orvanta-cli generate PAGE [--shop taobao|tmall] [--set NAME=VALUE]... [--set-file NAME=PATH]...
       orvanta-cli fields PAGE
       orvanta-cli --help | --version

Builds the HTML fragment of one module page, exactly as the window's generate
button does, and writes it to standard output as UTF-8 with nothing added.

  --shop taobao|tmall   the shop type: total width 750 (taobao, the default)
                        or 790 (tmall)
  --set NAME=VALUE      the text of the page's field NAME (its key, such as
                        amounts, or its component name, such as mmojine);
                        every field not set keeps its start-up default;
                        later options win
  --set-file NAME=PATH  the same, with VALUE the whole content of a UTF-8 file

Multi-line fields take every line break as CR LF. Radio groups take the
chosen item's index (-1, no item chosen, where the group starts that way).
"fields PAGE" lists the page's fields (name, kind, default, items, key,
label) as JSON.

Exit status: 0 success; 1 the generator failed or reminded (its message on
standard error); 2 usage error.

Pages:
)"_s;
    for (const PageSpec *page : pages)
        text += u"  "_s + page->id.leftJustified(14) + page->moduleName + u'\n';
    return text;
}

Result run(const QList<QByteArray> &arguments, const Context &context)
{
    QStringList decoded;
    decoded.reserve(arguments.size());
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        decoded.append(decoder(arguments.at(i)));
        if (decoder.hasError()) {
            return {UsageError, {}, (programName + u": argument %1 is not valid UTF-8\n"_s.arg(i + 1)).toUtf8()};
        }
    }
    return run(decoded, context);
}

Result run(const QStringList &arguments, const Context &context)
{
    const QList<const PageSpec *> &pages = context.pages.isEmpty() ? catalog::pages() : context.pages;
    try {
        const QString command = arguments.value(0);
        const QStringList rest = arguments.mid(1);
        if (command == u"--help"_s || command == u"-h"_s || command == u"help"_s) {
            if (!rest.isEmpty())
                usageError(u"%1 takes no arguments"_s.arg(command));
            return {Success, helpText(pages).toUtf8(), {}};
        }
        if (command == u"--version"_s) {
            if (!rest.isEmpty())
                usageError(u"%1 takes no arguments"_s.arg(command));
            return {Success, (programName + u' ' + QStringLiteral(ORVANTA_VERSION) + u'\n').toUtf8(), {}};
        }
        if (command == u"generate"_s)
            return generate(pages, rest, context);
        if (command == u"fields"_s)
            return fields(pages, rest);
        if (arguments.isEmpty())
            usageError(u"no command given; the commands are generate, fields, --help and --version"_s);
        usageError(
            u"unknown command %1; the commands are generate, fields, --help and --version"_s.arg(quoted(command)));
    } catch (const UsageFailure &failure) {
        return {
            UsageError, {}, (programName + u": "_s + failure.message + u"\nTry 'orvanta-cli --help'.\n"_s).toUtf8()};
    }
}

} // namespace orv::cli
