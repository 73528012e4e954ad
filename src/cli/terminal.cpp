#include "terminal.h"

#include <QtGlobal>

#include <csignal>
#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace orv::cli {

namespace {

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void onInterrupt(int signal)
{
    interrupted.store(true);
    std::signal(signal, SIG_DFL);
}

} // namespace

bool standardErrorIsTerminal()
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

void showProgressLine(const QString &line)
{
    static qsizetype shown = 0;
    QByteArray out = '\r' + line.toUtf8();
    if (line.size() < shown)
        out += QByteArray(shown - line.size(), ' ') + '\r' + line.toUtf8();
    shown = line.size();
    std::fwrite(out.constData(), 1, size_t(out.size()), stderr);
    std::fflush(stderr);
}

const std::atomic<bool> *catchInterrupt()
{
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    return &interrupted;
}

} // namespace orv::cli
