// Runs a fuzz target once on every file of the given folders (or on the given
// files), as libFuzzer would run its corpus, without fuzzing. Built where
// libFuzzer is not: the test suite checks each target's properties on its seeds.

#include "fuzzcheck.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

namespace {

int runFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
    }
    const QByteArray input = file.readAll();
    std::fprintf(stderr, "%s\n", qPrintable(path));
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.constData()), size_t(input.size()));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // Taken before the target's set-up, which may change the current folder.
    QStringList paths;
    for (int i = 1; i < argc; ++i)
        paths.append(QFileInfo(QString::fromLocal8Bit(argv[i])).absoluteFilePath());
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    int failures = 0;
    int runs = 0;
    for (const QString &path : paths) {
        if (!QFileInfo(path).isDir()) {
            failures += runFile(path);
            ++runs;
            continue;
        }
        QDirIterator files(path, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            failures += runFile(files.next());
            ++runs;
        }
    }
    std::fprintf(stderr, "%d inputs run\n", runs);
    return failures == 0 && runs > 0 ? 0 : 1;
}
