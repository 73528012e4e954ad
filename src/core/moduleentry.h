#pragma once

#include "core/page.h"

#include <QList>
#include <QString>

#include <optional>

namespace orv {

// Where an entry's code came from when a page's generation made it: the page
// and its fields and metrics as they were then, so that the entry can be
// edited and generated again.
struct EntrySource {
    QString page; // page id
    FieldValues fields;
    Metrics metrics;

    bool operator==(const EntrySource &) const = default;
};

// One collected fragment: its running number (fixed when it was added), the
// name shown in the list, the whole code and, when a generation made it, its
// source.
struct ModuleEntry {
    int number = 0;
    QString name;
    QString code;
    std::optional<EntrySource> source;

    bool operator==(const ModuleEntry &) const = default;
};

} // namespace orv
