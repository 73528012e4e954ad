#pragma once

#include "core/page.h"

#include <QList>

// The one ordered list of modules: the navigation column's groups, each with
// its module pages from top to bottom. The window builds its navigation, its
// pages and their forms from it; the command line names its pages from it.
namespace orv::catalog {

struct Group {
    QString headingName; // component name of the group's heading
    QString heading;     // its caption
    QList<const PageSpec *> pages;
};

const QList<Group> &groups();

// Every module page, in navigation order.
const QList<const PageSpec *> &pages();

// The page with this page id, or nullptr.
const PageSpec *findPage(const QString &id);

// The page whose one field is code as the user writes it: a module-list entry
// that no page generated (a summary, say) is edited there.
const PageSpec &codePage();

} // namespace orv::catalog
