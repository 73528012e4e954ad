#include "cli/arguments.h"
#include "cli/commands.h"
#include "core/check/pagecheck.h"
#include "core/check/picturecheck.h"
#include "core/picturemeasurer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace orv::cli {

using namespace Qt::StringLiterals;

namespace {

struct CheckOptions {
    QString file; // "-" for standard input
    Shop shop = Shop::Taobao;
    bool pictures = false;
    bool json = false;
};

CheckOptions parseCheckOptions(const QStringList &arguments)
{
    CheckOptions options;
    bool fileGiven = false;
    ArgumentReader args(arguments);
    while (args.next()) {
        const QString &option = args.option();
        if (option == u"--shop"_s) {
            options.shop = shopOption(args.value());
        } else if (option == u"--pictures"_s && !args.hasValue()) {
            options.pictures = true;
        } else if (option == u"--json"_s && !args.hasValue()) {
            options.json = true;
        } else if (args.isOption()) {
            usageError(u"unknown option %1 for check; the options are --shop, --pictures and --json"_s.arg(
                quoted(args.argument())));
        } else if (!fileGiven) {
            options.file = args.argument();
            fileGiven = true;
        } else {
            usageError(u"check takes one FILE, not also %1"_s.arg(quoted(args.argument())));
        }
    }
    if (!fileGiven)
        options.file = u"-"_s;
    return options;
}

// The text to check, from the file or standard input.
QString readInput(const QString &file, const Context &context)
{
    if (file == u"-"_s)
        return context.standardInput ? readText(*context.standardInput, u"standard input"_s) : QString();
    if (file.isEmpty())
        throw UsageFailure{u"check takes a FILE name or -, not an empty argument"_s};
    return readTextFile(file);
}

// One line per finding: control characters (from a server's reason, say)
// would break the line apart.
QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = u' ';
    }
    return text;
}

QByteArray findingLines(const QList<check::Finding> &findings)
{
    QString out;
    for (const check::Finding &f : findings) {
        out += u"%1:%2 %3 %4 %5\n"_s.arg(f.line).arg(f.column).arg(check::severityKey(f.severity), f.rule,
                                                                   oneLine(f.message));
    }
    return out.toUtf8();
}

QByteArray findingJson(const QList<check::Finding> &findings)
{
    QJsonArray array;
    for (const check::Finding &f : findings) {
        array.append(QJsonObject{
            {u"line"_s, f.line},
            {u"column"_s, f.column},
            {u"offset"_s, qint64(f.offset)},
            {u"severity"_s, check::severityKey(f.severity)},
            {u"severityName"_s, check::severityName(f.severity)},
            {u"rule"_s, f.rule},
            {u"message"_s, f.message},
            {u"hint"_s, f.hint},
        });
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

} // namespace

Result check(const QStringList &arguments, const Context &context)
{
    const CheckOptions options = parseCheckOptions(arguments);
    if (options.pictures && !context.measurer)
        usageError(u"--pictures: this program cannot fetch pictures"_s);
    const QString html = readInput(options.file, context);
    const int pageWidth = Metrics::forShop(options.shop).totalWidth;

    QList<check::Finding> findings = check::checkPage(html, pageWidth);
    if (options.pictures) {
        findings += check::measureAndCheckPictures(check::listPictures(html, pageWidth), *context.measurer);
        std::stable_sort(findings.begin(), findings.end(),
                         [](const check::Finding &a, const check::Finding &b) { return a.offset < b.offset; });
    }
    const bool errors = std::any_of(findings.cbegin(), findings.cend(),
                                    [](const check::Finding &f) { return f.severity == check::Severity::Error; });
    return {errors ? FoundErrors : Success, options.json ? findingJson(findings) : findingLines(findings), {}};
}

} // namespace orv::cli
