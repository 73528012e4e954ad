#pragma once

#include "core/moduleentry.h"
#include "core/page.h"
#include "core/project.h"
#include "core/regenerate.h"
#include "core/sharedvalues.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A saved block: module-list entries made once and used in every product
// (保存为块, 插入块…). Stored as an ".orvanta-block" file: UTF-8 JSON,
// described in docs/block-format.md.
namespace orv {

struct Block {
    QString name;
    // The shop the entries were made for.
    Shop shop = Shop::Taobao;
    // Their pages, stored fields (slots kept), metrics and codes, as the
    // project held them.
    QList<ModuleEntry> entries;
    // The shared values the entries' slots name, as the project had them
    // when the block was saved, in the project's order.
    SharedValues values;
    // A picture of the block's top (PNG; render::thumbnailPng), or empty.
    QByteArray preview;

    bool operator==(const Block &) const = default;
};

// The largest block file: larger ones are neither written nor read.
inline constexpr qint64 maxBlockBytes = maxProjectBytes;

// A block of these entries of the project: its shop, and those of its shared
// values the entries use.
Block makeBlock(const QString &name, const QList<ModuleEntry> &entries, const Project &project);

// What a name for a block must not be, or empty when it will do: empty once
// trimmed, or holding a line break.
QString blockNameProblem(const QString &name);

// The file's text, and reading it strictly: anything but a whole, valid block
// of a version this program reads fails with a Failure naming the file and
// the place ("Cannot open block \"a.orvanta-block\": entries[1].page: unknown
// page \"x\""). Page ids and field keys must be those of pages.
QByteArray blockJson(const Block &block);
Block parseBlock(const QByteArray &json, const QList<const PageSpec *> &pages, const QString &fileName);
Block readBlockFile(const QString &path, const QList<const PageSpec *> &pages);
// Whole or not at all; fails with "Cannot save block ...".
void writeBlockFile(const QString &path, const Block &block);

// A block's entries made ready for a project (插入块…).
struct BlockInsertion {
    // Numbered on from the project's highest number, each made again for
    // the project's shop with the project's shared values (a name the
    // project lacks: the block's value).
    QList<ModuleEntry> entries;
    // The block's values the project lacks and the entries use: to add to
    // the project's shared values, so that the entries keep their look.
    SharedValues missingValues;
    // Entries that could not be made again (kept as the block had them,
    // renumbered), one message each.
    QStringList failures;
    // A generation was stopped: nothing to insert.
    bool cancelled = false;
};
BlockInsertion insertBlock(const Block &block, const Project &project, const QList<const PageSpec *> &pages,
                           const Services &services, SlotMode mode = SlotMode::AsTyped);

} // namespace orv
