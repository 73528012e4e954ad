#include "cli/arguments.h"
#include "cli/commands.h"
#include "core/check/pagecheck.h"
#include "core/check/picturecheck.h"
#include "core/failure.h"
#include "core/picturemeasurer.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>

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
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        auto [option, value, hasValue] = splitOption(argument);
        if (option == u"--shop"_s) {
            if (!hasValue) {
                if (i + 1 >= arguments.size())
                    usageError(u"--shop needs a value"_s);
                value = arguments.at(++i);
            }
            options.shop = shopOption(value);
        } else if (option == u"--pictures"_s && !hasValue) {
            options.pictures = true;
        } else if (option == u"--json"_s && !hasValue) {
            options.json = true;
        } else if (argument.startsWith(u'-') && argument != u"-"_s) {
            usageError(
                u"unknown option %1 for check; the options are --shop, --pictures and --json"_s.arg(quoted(argument)));
        } else if (!fileGiven) {
            options.file = argument;
            fileGiven = true;
        } else {
            usageError(u"check takes one FILE, not also %1"_s.arg(quoted(argument)));
        }
    }
    if (!fileGiven)
        options.file = u"-"_s;
    return options;
}

// The bytes to check, from the file or standard input, at most the largest
// size (one byte more shows that there is more).
QByteArray readInput(const QString &file, const Context &context)
{
    const QString largest = u"larger than %1 MiB"_s.arg(maxCheckBytes / (1024 * 1024));
    if (file == u"-"_s) {
        QByteArray bytes;
        try {
            if (context.readStandardInput)
                bytes = context.readStandardInput(maxCheckBytes + 1);
        } catch (const Failure &failure) {
            throw UsageFailure{u"cannot read standard input: "_s + failure.message(), false};
        }
        if (bytes.size() > maxCheckBytes)
            throw UsageFailure{u"standard input is "_s + largest, false};
        return bytes;
    }
    if (file.isEmpty())
        throw UsageFailure{u"check takes a FILE name or -, not an empty argument"_s};
    if (QFileInfo(file).isDir())
        throw UsageFailure{u"cannot read %1: it is a folder"_s.arg(quoted(file)), false};
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        throw UsageFailure{u"cannot read %1: %2"_s.arg(quoted(file), in.errorString()), false};
    const QByteArray bytes = in.read(maxCheckBytes + 1);
    if (in.error() != QFileDevice::NoError)
        throw UsageFailure{u"cannot read %1: %2"_s.arg(quoted(file), in.errorString()), false};
    if (bytes.size() > maxCheckBytes)
        throw UsageFailure{u"%1 is %2"_s.arg(quoted(file), largest), false};
    return bytes;
}

// The text as UTF-8, a leading byte-order mark dropped; anything else is refused.
QString decodeInput(const QByteArray &bytes, const QString &file)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError()) {
        const QString what = file == u"-"_s ? u"standard input"_s : quoted(file);
        throw UsageFailure{what + u" is not valid UTF-8"_s, false};
    }
    return text;
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
    const QString html = decodeInput(readInput(options.file, context), options.file);
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
