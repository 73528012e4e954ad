#pragma once

#include "core/moduleentry.h"

#include <QList>
#include <QString>

// The width a page is drawn at when it becomes pictures for the mobile
// description. Most fragments are laid out at the shop's total width (750 or
// 790); the size table, the buyer notice and custom HTML are 750 wide in
// every shop.
namespace orv::pagewidth {

// The width of a fragment of this page, generated with these metrics.
int fragmentWidth(const QString &pageId, const Metrics &metrics);

// An entry's width: its page's fragment width at the metrics it was generated
// with; an entry no page generated (a summary, pasted code) is taken to be
// shopWidth wide.
int entryWidth(const ModuleEntry &entry, int shopWidth);

// The width a page of these entries is drawn at: the widest entry's, so that
// none is cut off (a narrower one keeps its width at the left edge, as the
// shop's page shows it); shopWidth when there are none.
int summaryWidth(const QList<ModuleEntry> &entries, int shopWidth);

} // namespace orv::pagewidth
