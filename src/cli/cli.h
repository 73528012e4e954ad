#pragma once

#include "cli/renderjob.h"
#include "core/page.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <atomic>
#include <functional>

class QIODevice;

// The command line of orvanta-cli as a pure function: the arguments in, the
// exit code and the bytes for standard output and standard error out. Nothing
// is printed and nothing is read from the terminal, so tests and fuzzers can
// drive it directly.
namespace orv::cli {

// Exit codes.
enum ExitCode : int {
    Success = 0,
    GeneratorFailed = 1, // a failure or a reminder of the page's generator; render failed
    FoundErrors = 1,     // check: the page has an error
    UsageError = 2,      // bad command, page, shop, field, value or file
    Interrupted = 130,   // merge: stopped by Ctrl+C; nothing written
};

// The largest text a command reads (a page to check, a --set-file value): far
// above any description's limit.
inline constexpr qint64 maxInputBytes = qint64(16) * 1024 * 1024;

struct Result {
    int exitCode = Success;
    QByteArray out;
    QByteArray err;
};

// What a run takes from its surroundings.
struct Context {
    // The pages that can be named; empty means every module's page.
    QList<const PageSpec *> pages;
    // Handed to the generators that fetch pictures: measures them all at once.
    PictureMeasurer *measurer = nullptr;
    // Standard input, open for reading: check reads it to its end. Unset:
    // standard input is empty.
    QIODevice *standardInput = nullptr;
    // Makes the pictures of "render" (the browser engine off screen). Unset
    // where no engine may start, as in tests and the fuzzer: render then
    // checks its arguments and the project and fails with exit code 1.
    std::function<Result(const RenderJob &job)> render;
    // merge: shows a progress line in place of the last one (an empty line
    // clears it). Unset: no progress is shown.
    std::function<void(const QString &line)> progress;
    // merge: from now on, Ctrl+C sets the flag returned instead of ending the
    // program. Unset: nothing stops a run.
    std::function<const std::atomic<bool> *()> catchInterrupt;
};

// Runs one command. The arguments do not include the program name.
Result run(const QStringList &arguments, const Context &context = {});

// The same for the arguments as the system passes them: UTF-8 bytes. An
// argument that is not valid UTF-8 is a usage error, never replaced silently.
Result run(const QList<QByteArray> &arguments, const Context &context = {});

// The text of --help.
QString helpText(const QList<const PageSpec *> &pages);

} // namespace orv::cli
