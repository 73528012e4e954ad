#include "cli/cli.h"
#include "cli/renderpictures.h"
#include "cli/terminal.h"
#include "core/failure.h"
#include "fetch/curlmeasurer.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Only render starts the browser engine (off screen, no display needed).
    const std::unique_ptr<QCoreApplication> app = orv::cli::makeApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvanta-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVANTA_VERSION));

    // The product-details page fetches its pictures to measure them; pages
    // that fetch nothing ignore the measurer.
    orv::CurlMeasurer measurer;
    orv::cli::Context context;
    context.measurer = &measurer;
    context.readStandardInput = [](qint64 maxBytes) {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            throw orv::Failure(in.errorString());
        const QByteArray bytes = in.read(maxBytes);
        if (in.error() != QFileDevice::NoError)
            throw orv::Failure(in.errorString());
        return bytes;
    };
    context.render = orv::cli::renderPictures;
    context.catchInterrupt = orv::cli::catchInterrupt;
    if (orv::cli::standardErrorIsTerminal())
        context.progress = orv::cli::showProgressLine;

    QList<QByteArray> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QByteArray(argv[i]));
    const orv::cli::Result result = orv::cli::run(arguments, context);
    std::fwrite(result.out.constData(), 1, size_t(result.out.size()), stdout);
    std::fwrite(result.err.constData(), 1, size_t(result.err.size()), stderr);
    if (std::fflush(stdout) != 0) {
        std::fputs("orvanta-cli: cannot write to standard output\n", stderr);
        return 1;
    }
    return result.exitCode;
}
