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

// Splits "--option=value" into its option and value; anything else is
// returned as it is, without a value.
struct Option {
    QString name;
    QString value;
    bool hasValue = false;
};
Option splitOption(const QString &argument);

} // namespace orv::cli
