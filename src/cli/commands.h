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

} // namespace orv::cli
