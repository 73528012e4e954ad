#pragma once

#include "core/block.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The user's library of saved blocks: a folder of ".orvanta-block" files, one
// per block (docs/block-format.md). Names are unique in a library (compared
// trimmed and regardless of case); each file is named after its block. A
// file that cannot be read (written by a newer version, damaged) is listed
// with its problem and never deleted or written over.
namespace orv {

class BlockLibrary {
public:
    // pages: as readProjectFile takes them.
    BlockLibrary(QString folder, QList<const PageSpec *> pages);

    // The library under the program's data folder, beside the recovery
    // files: "blocks" in QStandardPaths::AppDataLocation
    // (~/.local/share/Orvanta/blocks on Linux).
    static QString defaultFolder();
    const QString &folder() const { return m_folder; }

    struct Item {
        QString path;       // the block's file
        QString name;       // the block's name; for a file that cannot be read, the file's name
        QByteArray preview; // PNG, or empty
        int entries = 0;
        QString problem; // why the file cannot be read; empty when it can
    };
    // Every block file of the folder, by name (none when the folder is missing).
    QList<Item> list() const;

    // The block a file of the library holds; throws Failure.
    Block read(const QString &path) const;

    // A name like name that no block of the library has: name itself, else
    // "name (2)", "name (3)", ...
    QString uniqueName(const QString &name) const;

    // Saves the block into a new file named after it and returns its path.
    // A block of the same name is replaced when replace is set; otherwise
    // the save fails. Throws Failure (nothing written then).
    QString save(const Block &block, bool replace = false);

    // Gives the block of that file another name (unique in the library; its
    // file is named anew). Throws Failure; the block is then as it was.
    QString rename(const QString &path, const QString &name);

    // Moves the block's file to the desktop's trash. Where there is no
    // trash, or the move fails, nothing is removed and it throws Failure
    // naming the file (which the user can remove by hand).
    void moveToTrash(const QString &path);

    // Writes the block of a file of the library to target, a file anywhere,
    // whole or not at all. Throws Failure.
    void exportTo(const QString &path, const QString &target) const;

    // Saves the block of a file from anywhere into the library, under
    // uniqueName() of its name when a block has that name; returns the new
    // file's path. Throws Failure (the file cannot be read, or not saved).
    QString importFrom(const QString &source);

    // The name a block file gets: the block's name without the characters
    // file systems refuse (<>:"/\|?* and control characters), without blanks
    // and dots at either end, at most 80 characters, never a name Windows
    // keeps for devices (CON, NUL, COM1 ...), then ".orvanta-block".
    static QString fileNameFor(const QString &name);

private:
    const Item *itemNamed(const QList<Item> &items, const QString &name, const QString &except = {}) const;
    QString freePath(const QString &name, const QString &except = {}) const;
    void checkInside(const QString &path) const;

    QString m_folder;
    QList<const PageSpec *> m_pages;
};

} // namespace orv
