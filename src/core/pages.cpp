#include "pages.h"

#include "modules/auxiliary/jiaoliu/jiaoliu.h"
#include "modules/auxiliary/yangshi/yangshi.h"
#include "modules/auxiliary/zidingyi/zidingyi.h"
#include "modules/header/dapei/dapei.h"
#include "modules/header/fengetiao/fengetiao.h"
#include "modules/header/guanlian/guanlian.h"
#include "modules/header/youhuiquan/youhuiquan.h"
#include "modules/product/canshu/canshu.h"
#include "modules/product/chima/chima.h"
#include "modules/product/xijie/xijie.h"
#include "modules/product/zhanshi/zhanshi.h"

namespace orv {

const QList<const PageSpec *> &modulePages()
{
    static const QList<const PageSpec *> pages{
        &guanlian::page(), &youhuiquan::page(), &fengetiao::page(), &dapei::page(),
        &canshu::page(),   &chima::page(),      &zhanshi::page(),   &yangshi::page(),
        &xijie::page(),    &jiaoliu::page(),    &zidingyi::page(),
    };
    return pages;
}

const PageSpec *findPage(const QString &name)
{
    for (const PageSpec *page : modulePages()) {
        if (page->name == name)
            return page;
    }
    return nullptr;
}

} // namespace orv
