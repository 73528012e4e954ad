#include "catalog.h"

#include "modules/auxiliary/customhtml/customhtml.h"
#include "modules/auxiliary/heading/heading.h"
#include "modules/auxiliary/notice/notice.h"
#include "modules/header/combo/combo.h"
#include "modules/header/coupons/coupons.h"
#include "modules/header/divider/divider.h"
#include "modules/header/relatedsales/relatedsales.h"
#include "modules/product/details/details.h"
#include "modules/product/display/display.h"
#include "modules/product/parameters/parameters.h"
#include "modules/product/sizetable/sizetable.h"

namespace orv::catalog {

using namespace Qt::StringLiterals;

const QList<Group> &groups()
{
    static const QList<Group> list{
        {u"pnl32"_s,
         u"◇ 头部版块"_s,
         {&relatedsales::pageSpec(), &divider::pageSpec(), &coupons::pageSpec(), &combo::pageSpec()}},
        {u"pnl24"_s,
         u"◇ 产品信息"_s,
         {&parameters::pageSpec(), &sizetable::pageSpec(), &display::pageSpec(), &details::pageSpec()}},
        {u"pnl29"_s, u"◇ 辅助版块"_s, {&heading::pageSpec(), &notice::pageSpec(), &customhtml::pageSpec()}},
    };
    return list;
}

const QList<const PageSpec *> &pages()
{
    static const QList<const PageSpec *> list = [] {
        QList<const PageSpec *> all;
        for (const Group &group : groups())
            all.append(group.pages);
        return all;
    }();
    return list;
}

const PageSpec *findPage(const QString &id)
{
    for (const PageSpec *page : pages()) {
        if (page->id == id)
            return page;
    }
    return nullptr;
}

const PageSpec &codePage()
{
    return customhtml::pageSpec();
}

} // namespace orv::catalog
