#pragma once

#include "cli/cli.h"

// The commands of orvanta-cli, each reading its arguments after the command
// word; a usage error throws UsageFailure.
namespace orv::cli {

Result generate(const QList<const PageSpec *> &pages, const QStringList &arguments, const Context &context);
Result fields(const QList<const PageSpec *> &pages, const QStringList &arguments);
Result build(const QList<const PageSpec *> &pages, const QStringList &arguments, const Context &context);
Result check(const QStringList &arguments, const Context &context);
Result render(const QList<const PageSpec *> &pages, const QStringList &arguments, const Context &context);
Result merge(const QList<const PageSpec *> &pages, const QStringList &arguments, const Context &context);

class ArgumentReader;

// Reads the option args stands on into job when it is one of the picture
// options that render and merge --render share (--width, --format,
// --max-height, --keep-going, --timeout); false when it is none of them.
bool readPictureOption(ArgumentReader &args, RenderJob &job);

} // namespace orv::cli
