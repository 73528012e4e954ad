#include "cli/cli.h"
#include "cli/renderpictures.h"
#include "cli/terminal.h"
#include "fetch/curlmeasurer.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char *argv[])
{
#ifdef Q_OS_WIN
    // Bytes in and out as they are: the text modes would turn every LF of a
    // page into CR LF (and its CR LF into CR CR LF), and a Ctrl+Z end it.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    // Only render starts the browser engine (off screen, no display needed).
    const std::unique_ptr<QCoreApplication> app = orv::cli::makeApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvanta-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVANTA_VERSION));

    // The product-details page fetches its pictures to measure them; pages
    // that fetch nothing ignore the measurer.
    orv::CurlMeasurer measurer;
    orv::cli::Context context;
    context.measurer = &measurer;
    // Read only by check; a closed standard input fails there with the reason.
    QFile standardInput;
    standardInput.open(stdin, QIODevice::ReadOnly);
    context.standardInput = &standardInput;
    context.render = orv::cli::renderPictures;
    context.catchInterrupt = orv::cli::catchInterrupt;
    if (orv::cli::standardErrorIsTerminal())
        context.progress = orv::cli::showProgressLine;

    QList<QByteArray> arguments;
#ifdef Q_OS_WIN
    // argv is in the ANSI code page there; Qt reads the wide command line.
    for (const QString &argument : QCoreApplication::arguments().mid(1))
        arguments.append(argument.toUtf8());
#else
    for (int i = 1; i < argc; ++i)
        arguments.append(QByteArray(argv[i]));
#endif
    const orv::cli::Result result = orv::cli::run(arguments, context);
    std::fwrite(result.out.constData(), 1, size_t(result.out.size()), stdout);
    std::fwrite(result.err.constData(), 1, size_t(result.err.size()), stderr);
    if (std::fflush(stdout) != 0) {
        std::fputs("orvanta-cli: cannot write to standard output\n", stderr);
        return 1;
    }
    return result.exitCode;
}
