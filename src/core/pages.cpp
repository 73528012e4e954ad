#include "pages.h"

#include "modules/header/dapei/dapei.h"
#include "modules/header/fengetiao/fengetiao.h"
#include "modules/header/guanlian/guanlian.h"
#include "modules/header/youhuiquan/youhuiquan.h"
#include "modules/product/xijie/xijie.h"

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
        &guanlian::page(),
        &youhuiquan::page(),
        &fengetiao::page(),
        &dapei::page(),
        placeholder(u"tscanshu"_s, u"参数"_s, u"btncanshu"_s, u"产品参数"_s),
        placeholder(u"tschima"_s, u"尺码"_s, u"btnchima"_s, u"产品尺码"_s),
        placeholder(u"tszhanshi"_s, u"展示"_s, u"btnzhanshi"_s, u"产品展示"_s),
        placeholder(u"tsyangshi"_s, u"样式"_s, u"btnyangshi"_s, u"分割样式"_s),
        &xijie::page(),
        placeholder(u"tsjiaoliu"_s, u"交流"_s, u"btnjiaoliu"_s, u"交流版块"_s),
        placeholder(u"tszidingyi"_s, u"自定义"_s, u"btnzidingyi"_s, u"自定义"_s),
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
