#include "pagewidth.h"

#include "modules/auxiliary/customhtml/customhtml.h"
#include "modules/auxiliary/notice/notice.h"
#include "modules/product/sizetable/sizetable.h"

namespace orv::catalog {

int layoutWidth(const QString &pageId, Shop shop)
{
    if (pageId == sizetable::pageSpec().id || pageId == notice::pageSpec().id || pageId == customhtml::pageSpec().id)
        return Metrics::forShop(Shop::Taobao).totalWidth;
    return Metrics::forShop(shop).totalWidth;
}

} // namespace orv::catalog
