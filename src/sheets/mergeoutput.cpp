#include "mergeoutput.h"

#include "core/failure.h"
#include "sheets/merge.h"
#include "sheets/sheet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace orv::sheets {

using namespace Qt::StringLiterals;

namespace {

// A plain name in the folder itself: no separators, no hidden file.
bool isPlainName(const QString &name)
{
    static const QString forbidden = u"/\\:"_s;
    return !name.isEmpty() && !name.startsWith(u'.')
           && std::none_of(name.cbegin(), name.cend(), [](QChar c) { return forbidden.contains(c); });
}

// A name an earlier merge may have written: a page, or a picture folder
// ("KEY/").
bool isSetName(const QString &name)
{
    if (name.endsWith(u'/'))
        return isPlainName(name.chopped(1));
    return isPlainName(name) && name.endsWith(u".html"_s, Qt::CaseInsensitive);
}

bool present(const QFileInfo &info)
{
    return info.exists() || info.isSymLink();
}

QString quoted(const QString &text)
{
    return u'"' + text + u'"';
}

// A cell of index.csv, quoted where it must be.
QString csvCell(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    return u'"' + QString(text).replace(u"\""_s, u"\"\""_s) + u'"';
}

} // namespace

QStringList indexedFiles(const QString &indexPath)
{
    const Sheet index = readSheet(indexPath);
    const int column = index.column(u"file"_s);
    if (column < 0)
        throw Failure(u"\"%1\" has no column \"file\""_s.arg(indexPath));
    const int pictures = index.column(u"pictures"_s);
    QStringList files;
    for (const Row &row : index.rows) {
        for (const QString &name : {row.cells.value(column), row.cells.value(pictures)}) {
            if (isSetName(name) && !files.contains(name))
                files.append(name);
        }
    }
    return files;
}

MergeOutput::MergeOutput(const QString &folder, const QStringList &names, bool overwrite)
    : m_folder(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()))
{
    const QFileInfo info(m_folder);
    if (present(info) && !info.isDir())
        throw OutputRefused(u"%1 is a file, not a folder"_s.arg(quoted(folder)));
    if (!info.exists())
        return;
    QStringList candidates = names;
    const QString index = QDir(m_folder).filePath(indexName);
    if (present(QFileInfo(index))) {
        try {
            candidates += indexedFiles(index);
        } catch (const Failure &failure) {
            throw OutputRefused(u"%1 holds an index.csv that lists no earlier merge (%2); move it away first"_s.arg(
                quoted(folder), failure.message()));
        }
    }
    for (const QString &candidate : std::as_const(candidates)) {
        // A folder's name ends in "/": what stands there must be a folder.
        const bool folderName = candidate.endsWith(u'/');
        const QString name = folderName ? candidate.chopped(1) : candidate;
        const QFileInfo file(QDir(m_folder).filePath(name));
        if (!present(file) || m_replaced.contains(name))
            continue;
        const bool isFolder = file.isDir() && !file.isSymLink();
        if (isFolder != folderName) {
            if (names.contains(candidate)) {
                throw OutputRefused((isFolder ? u"%1 is a folder where the merge writes a file"_s
                                              : u"%1 is a file where the merge writes a folder of pictures"_s)
                                        .arg(quoted(file.filePath())));
            }
            continue; // never a file of an earlier merge
        }
        m_replaced.append(name);
    }
    if (!m_replaced.isEmpty() && !overwrite) {
        QStringList shown = m_replaced.mid(0, 3);
        if (m_replaced.size() > shown.size())
            shown.append(u"…"_s);
        throw OutputRefused(u"%1 holds an earlier merge or files this one writes (%2); give --overwrite to replace "
                            "them (other files stay)"_s.arg(quoted(folder), shown.join(u", "_s)),
                            m_replaced);
    }
}

MergeOutput::~MergeOutput() = default;

QString indexHeader()
{
    return u"\uFEFFrow,key,file,characters,errors,warnings,message,pictures\r\n"_s;
}

QString indexLine(const MergedRow &row, bool pictures)
{
    const auto count = [&](qsizetype n) { return row.checked ? QString::number(n) : QString(); };
    const bool made = row.failed() ? row.checked : true;
    return QStringList{QString::number(row.row + 1),
                       csvCell(row.key),
                       row.failed() ? QString() : csvCell(row.key + u".html"_s),
                       made ? QString::number(row.characters) : QString(),
                       count(row.errors),
                       count(row.warnings),
                       csvCell(row.failure),
                       pictures && !row.failed() ? csvCell(row.key + u'/') : QString()}
               .join(u',')
           + u"\r\n"_s;
}

// The new files stand in a folder made as any other (QTemporaryDir's own is
// for its owner only), which becomes the folder when there was none.
QString MergeOutput::stagingPath(const QString &name) const
{
    return QDir(m_staging->path()).filePath(u"set/"_s + name);
}

void MergeOutput::makeStaging()
{
    if (m_staging)
        return;
    const QString parent = QFileInfo(m_folder).absolutePath();
    if (!QDir().mkpath(parent))
        throw Failure(u"Cannot make the folder \"%1\""_s.arg(parent));
    m_staging = std::make_unique<QTemporaryDir>(QDir(parent).filePath(u".orvanta-merge-XXXXXX"_s));
    if (!m_staging->isValid() || !QDir(m_staging->path()).mkdir(u"set"_s))
        throw Failure(u"Cannot write into \"%1\": %2"_s.arg(parent, m_staging->errorString()));
}

void MergeOutput::write(const QString &name, const QByteArray &bytes)
{
    makeStaging();
    QFile file(stagingPath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        throw Failure(u"Cannot write \"%1\": %2"_s.arg(QDir(m_folder).filePath(name), file.errorString()));
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw Failure(u"Cannot write \"%1\": %2"_s.arg(QDir(m_folder).filePath(name), file.errorString()));
    m_written.append(name);
}

QString MergeOutput::stagingFolder(const QString &name)
{
    makeStaging();
    return stagingPath(name);
}

void MergeOutput::addFolder(const QString &name)
{
    m_written.append(name);
}

void MergeOutput::commit()
{
    if (!m_staging)
        return;
    const auto fail = [&](const QString &what) {
        throw Failure(u"Cannot put the merge in place in \"%1\": %2; the folder is as it was"_s.arg(m_folder, what));
    };
    if (!present(QFileInfo(m_folder))) {
        if (!QDir().rename(stagingPath({}), m_folder))
            fail(u"the staging folder \"%1\" cannot be renamed"_s.arg(stagingPath({})));
        return;
    }
    // The earlier set goes aside into the staging folder (removed with it at
    // the end), then the new files come in; on a failure both go back.
    const QDir folder(m_folder);
    const QString aside = QDir(m_staging->path()).filePath(u"replaced"_s);
    if (!QDir().mkdir(aside))
        fail(u"cannot make \"%1\""_s.arg(aside));
    QStringList movedAside;
    QStringList movedIn;
    const auto undo = [&] {
        for (const QString &name : std::as_const(movedIn))
            QFile::rename(folder.filePath(name), stagingPath(name));
        for (const QString &name : std::as_const(movedAside))
            QFile::rename(QDir(aside).filePath(name), folder.filePath(name));
    };
    for (const QString &name : std::as_const(m_replaced)) {
        if (!present(QFileInfo(folder.filePath(name))))
            continue; // gone, or the same file under another case
        if (!QFile::rename(folder.filePath(name), QDir(aside).filePath(name))) {
            undo();
            fail(u"\"%1\" cannot be moved"_s.arg(folder.filePath(name)));
        }
        movedAside.append(name);
    }
    for (const QString &name : std::as_const(m_written)) {
        if (!QFile::rename(stagingPath(name), folder.filePath(name))) {
            undo();
            fail(u"\"%1\" cannot be written"_s.arg(folder.filePath(name)));
        }
        movedIn.append(name);
    }
}

} // namespace orv::sheets
