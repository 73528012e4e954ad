#pragma once

#include "core/metrics.h"
#include "core/page.h"

#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

// What the commands of orvanta-cli share: usage failures and their words.
namespace orv::cli {

inline const QString programName = QStringLiteral("orvanta-cli");

// Ends the command with exit code 2 and this message on standard error.
struct UsageFailure {
    QString message;
    // Whether the message ends with the hint to --help: not for a file the
    // user named that cannot be used, where the message says it all.
    bool hint = true;
};

[[noreturn]] void usageError(const QString &message);

QString quoted(const QString &text);

// "taobao" or "tmall"; anything else is a usage error.
Shop shopOption(const QString &name);

QStringList pageNames(const QList<const PageSpec *> &pages);
const PageSpec *pageNamed(const QList<const PageSpec *> &pages, const QString &name);

// The text of a file the user named, or of a stream (SOURCE names it in
// messages): UTF-8, a byte-order mark dropped, at most maxInputBytes, read to
// its end. Anything else is a usage failure naming the file.
QString readTextFile(const QString &path);
QString readText(QIODevice &device, const QString &source);

// Reads a command's arguments one at a time: "--option value",
// "--option=value" and plain arguments.
//
//   ArgumentReader args(arguments);
//   while (args.next()) {
//       if (args.option() == u"--out"_s) folder = args.value();
//       else if (args.option() == u"--check"_s) check = args.flag();
//       else if (args.isOption()) usageError(...);
//       else files.append(args.argument());
//   }
class ArgumentReader {
public:
    explicit ArgumentReader(const QStringList &arguments);

    // Moves to the next argument; false after the last.
    bool next();
    // The argument as given.
    const QString &argument() const { return m_arguments.at(m_at); }
    // Its option's name: "--out" of "--out=x"; else the argument itself.
    const QString &option() const { return m_option; }
    // Whether it is an option ("-" alone is standard input, no option).
    bool isOption() const;
    // Whether it was written "--option=value".
    bool hasValue() const { return m_hasValue; }
    // The option's value: after "=", else the next argument, which is then
    // read; a usage error ("--out needs a value") when there is none.
    QString value();
    // An option without a value: true, and a usage error when one was given.
    bool flag();

private:
    const QStringList &m_arguments;
    qsizetype m_at = -1;
    QString m_option;
    QString m_value;
    bool m_hasValue = false;
};

} // namespace orv::cli
