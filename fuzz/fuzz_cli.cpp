// The command line's argument handling on any argument list: the input's
// lines are the arguments, as bytes (so not always UTF-8). Every run ends with
// exit code 0, 1 or 2; only a success writes to standard output and only a
// failure to standard error, except that check writes its findings to
// standard output and nothing to standard error when it ends with 1.
//
// --set-file and check read files: the target runs in a folder of its own
// holding a few small files, and inputs that could name a file elsewhere ("/"
// anywhere with --set-file or check) are skipped, so that no device or large
// file is read. Standard input is empty.
//
// The context has no renderer: render reads its arguments and the project and
// fails without starting the browser engine.

#include "fuzzcheck.h"

#include "cli/cli.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static QTemporaryDir folder;
    if (!folder.isValid() || !QDir::setCurrent(folder.path()))
        std::abort();
    const auto write = [](const char *name, const QByteArray &content) {
        QFile file(QString::fromLatin1(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            std::abort();
    };
    write("a.txt", "10|20|50\r\n");
    write("b.txt", "\xEF\xBB\xBFhttp://127.0.0.1:1/x.jpg|\nhttp://127.0.0.1:1/y.jpg\n");
    write("bad.txt", "\xFF\xFE\x80");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = orv::fuzz::bytes(data, size);
    if ((input.contains("--set-file") || input.contains("check")) && input.contains('/'))
        return 0;
    QList<QByteArray> arguments = input.split('\n');
    if (input.isEmpty())
        arguments.clear();
    if (arguments.size() > 64)
        return 0;

    const orv::cli::Result result = orv::cli::run(arguments, orv::cli::Context{});
    FUZZ_CHECK(result.exitCode == orv::cli::Success || result.exitCode == orv::cli::GeneratorFailed
               || result.exitCode == orv::cli::UsageError);
    // Arguments are read as text is: a leading byte-order mark is dropped.
    const bool checkCommand = !arguments.isEmpty()
                              && (arguments.first() == "check"
                                  || arguments.first()
                                         == "\xEF\xBB\xBF"
                                            "check");
    const bool checkFound = checkCommand && result.exitCode == orv::cli::FoundErrors;
    FUZZ_CHECK(result.exitCode == orv::cli::Success || checkFound || result.out.isEmpty());
    FUZZ_CHECK((result.exitCode == orv::cli::Success || checkFound) == result.err.isEmpty());
    return 0;
}
