#pragma once

#include "cli/cli.h"

#include <functional>

// The commands of orvanta-cli, each reading its arguments after the command
// word; a usage error throws UsageFailure.
namespace orv::cli {

Result generate(const QList<const PageSpec *> &pages, const QStringList &arguments, const Context &context);
Result fields(const QList<const PageSpec *> &pages, const QStringList &arguments);
Result build(const QList<const PageSpec *> &pages, const QStringList &arguments, const Context &context);
Result check(const QStringList &arguments, const Context &context);
Result render(const QList<const PageSpec *> &pages, const QStringList &arguments, const Context &context);
Result merge(const QList<const PageSpec *> &pages, const QStringList &arguments, const Context &context);

// Reads one of the picture options that render and merge --render share
// (--width, --format, --max-height, --keep-going, --timeout) into job, taking
// its value from value() or checking that it has none with flag(); false
// when option is none of them.
bool readPictureOption(const QString &option, const std::function<QString()> &value, const std::function<bool()> &flag,
                       RenderJob &job);

} // namespace orv::cli
