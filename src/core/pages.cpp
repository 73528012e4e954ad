#include "pages.h"

#include "modules/auxiliary/jiaoliu/jiaoliu.h"
#include "modules/auxiliary/yangshi/yangshi.h"
#include "modules/auxiliary/zidingyi/zidingyi.h"
#include "modules/header/fengetiao/fengetiao.h"
#include "modules/product/canshu/canshu.h"
#include "modules/product/chima/chima.h"
#include "modules/product/zhanshi/zhanshi.h"

namespace orv {

using namespace Qt::StringLiterals;

namespace {

// A page whose module is not built yet: it has its place and its navigation
// button, but no fields and no generator.
const PageSpec *placeholder(QString name, QString caption, QString navButton, QString moduleName)
{
    return new PageSpec{.name = std::move(name),
                        .pageCaption = std::move(caption),
                        .navButton = std::move(navButton),
                        .moduleName = std::move(moduleName)};
}

} // namespace

const QList<const PageSpec *> &modulePages()
{
    static const QList<const PageSpec *> pages{
        placeholder(u"tsguanlian"_s, u"关联"_s, u"btnguanlian"_s, u"关联销售"_s),
        placeholder(u"tsyouhuiquan"_s, u"优惠券"_s, u"btnyouhuiquan"_s, u"优惠券"_s),
        &fengetiao::page(),
        placeholder(u"tsdapei"_s, u"搭配"_s, u"btndapei"_s, u"搭配销售"_s),
        &canshu::page(),
        &chima::page(),
        &zhanshi::page(),
        &yangshi::page(),
        placeholder(u"tsxijie"_s, u"细节"_s, u"btnxijie"_s, u"产品细节"_s),
        &jiaoliu::page(),
        &zidingyi::page(),
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
