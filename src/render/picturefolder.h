#pragma once

#include "core/failure.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QTemporaryDir;

// The folder an export writes into: which files an earlier export wrote
// there, and putting a new set of pictures in place as a whole.
//
// The rule: an export replaces only pictures.txt, the files the earlier
// export listed in it and the slices.json beside it, and only when allowed (替换, --overwrite); those of
// them the new set does not reuse go, so that the folder holds one set. Any
// other file the new set would write over (a seller's own 01.jpg, a
// pictures.txt no export wrote) is never replaced without being named to the
// user first; files the new set does not name (2023.jpg, notes.txt) are never
// touched.
namespace orv::render {

inline constexpr QLatin1String pictureListName("pictures.txt");
// The manifest beside the pictures (docs/slices-format.md). It belongs to the
// set of the pictures.txt beside it.
inline constexpr QLatin1String slicesManifestName("slices.json");

// The folder holds files in the way of the new set: the earlier export's
// pictures when replacing them was not allowed, or files no export listed.
class FolderInUse : public Failure {
public:
    FolderInUse(const QString &message, const QStringList &files, bool earlierSet);
    const QStringList &files() const { return m_files; }
    bool earlierSet() const { return m_earlierSet; }

private:
    QStringList m_files;
    bool m_earlierSet;
};

// What an earlier export left in a folder, as its pictures.txt tells.
struct EarlierPictures {
    QStringList files; // pictures.txt, the pictures it lists and slices.json, those that exist, sorted
    QString notAList;  // why pictures.txt is no list an export wrote; empty when it is one or is missing
};
EarlierPictures earlierPictures(const QString &folder);

// Whether the pictures may go into folder (missing, or a folder): throws
// FolderInUse when it is a file, when it holds an earlier export's set and
// replaceEarlier is not set, or when its pictures.txt is no list an export
// wrote (the new list would write over it). Returns the earlier set.
EarlierPictures checkFolder(const QString &folder, bool replaceEarlier);

// The message for files in folder that the new set would write over
// although no earlier export listed them.
QString unlistedMessage(const QString &folder, const QStringList &files);

// The picture names a pictures.txt lists, in order; throws Failure naming the
// file and line when the text is no such list ("01.jpg 750x2500 123456" a
// line: name, pixel size, bytes; UTF-8, LF).
QStringList listedPictures(const QString &path, const QByteArray &text);

// Moves a file; returns an empty string or why it failed. Tests put in one
// that fails at a chosen step.
using FileMover = std::function<QString(const QString &from, const QString &to)>;

// A new set of files written beside a folder's files and put in place as a
// whole. The files go into a hidden staging folder inside the folder (made,
// with the folder, at the first file); commit() moves the earlier set aside
// into a second hidden folder, moves the new set in and removes the earlier
// set. A failure at any step puts the earlier set back, so that the folder
// holds either the whole earlier set or the whole new one. What was never put
// in place is removed again, and a folder made for it when it stays empty.
class PictureStaging {
public:
    explicit PictureStaging(const QString &folder, FileMover move = {});
    ~PictureStaging();
    PictureStaging(const PictureStaging &) = delete;
    PictureStaging &operator=(const PictureStaging &) = delete;

    // Writes the next file of the new set. Throws Failure.
    void add(const QByteArray &data);
    qsizetype count() const { return m_count; }

    // The files in the folder that the staged files, named names (in the
    // order added), would write over although no earlier export listed them.
    QStringList unlisted(const QStringList &names) const;

    // Puts the staged files in place under names. The earlier set goes when
    // replaceEarlier is set; files of unlisted() go when replaceUnlisted names
    // them. Throws FolderInUse (nothing changed) or Failure (the earlier set
    // put back, or, when even that failed, kept in a folder the message names).
    void commit(const QStringList &names, bool replaceEarlier, const QStringList &replaceUnlisted = {});

    // Removes what was staged; the folder is as it was.
    void discard();

private:
    QString m_folder;
    FileMover m_move;
    std::unique_ptr<QTemporaryDir> m_staging;
    qsizetype m_count = 0;
    bool m_madeFolder = false;
};

} // namespace orv::render
