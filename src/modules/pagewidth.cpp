#include "pagewidth.h"

#include "modules/auxiliary/customhtml/customhtml.h"
#include "modules/auxiliary/notice/notice.h"
#include "modules/product/sizetable/sizetable.h"

#include <algorithm>

namespace orv::pagewidth {

namespace {

constexpr int fixedWidth = 750;

} // namespace

int fragmentWidth(const QString &pageId, const Metrics &metrics)
{
    if (pageId == sizetable::pageSpec().id || pageId == notice::pageSpec().id || pageId == customhtml::pageSpec().id)
        return fixedWidth;
    return metrics.totalWidth;
}

int entryWidth(const ModuleEntry &entry, int shopWidth)
{
    return entry.source ? fragmentWidth(entry.source->page, entry.source->metrics) : shopWidth;
}

int summaryWidth(const QList<ModuleEntry> &entries, int shopWidth)
{
    if (entries.isEmpty())
        return shopWidth;
    int width = 0;
    for (const ModuleEntry &entry : entries)
        width = std::max(width, entryWidth(entry, shopWidth));
    return width;
}

} // namespace orv::pagewidth
