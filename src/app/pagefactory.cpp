#include "pagefactory.h"

#include "app/modulepage.h"
#include "modules/auxiliary/jiaoliu/jiaoliupage.h"
#include "modules/auxiliary/yangshi/yangshipage.h"
#include "modules/auxiliary/zidingyi/zidingyipage.h"
#include "modules/header/dapei/dapeipage.h"
#include "modules/header/fengetiao/fengetiaopage.h"
#include "modules/header/guanlian/guanlianpage.h"
#include "modules/header/youhuiquan/youhuiquanpage.h"
#include "modules/product/canshu/canshupage.h"
#include "modules/product/chima/chimapage.h"
#include "modules/product/xijie/xijiepage.h"
#include "modules/product/zhanshi/zhanshipage.h"

#include <QHash>

#include <functional>

namespace orv {

using namespace Qt::StringLiterals;

ModulePage *createModulePage(const PageSpec &pageSpec, QWidget *parent)
{
    using Factory = std::function<ModulePage *(QWidget *)>;
    static const QHash<QString, Factory> factories{
        {u"tsfengetiao"_s, [](QWidget *p) { return new FengetiaoPage(p); }},
        {u"tsguanlian"_s, [](QWidget *p) { return new GuanlianPage(p); }},
        {u"tsyouhuiquan"_s, [](QWidget *p) { return new YouhuiquanPage(p); }},
        {u"tsdapei"_s, [](QWidget *p) { return new DapeiPage(p); }},
        {u"tsxijie"_s, [](QWidget *p) { return new XijiePage(p); }},
        {u"tscanshu"_s, [](QWidget *p) { return new CanshuPage(p); }},
        {u"tschima"_s, [](QWidget *p) { return new ChimaPage(p); }},
        {u"tszhanshi"_s, [](QWidget *p) { return new ZhanshiPage(p); }},
        {u"tsyangshi"_s, [](QWidget *p) { return new YangshiPage(p); }},
        {u"tsjiaoliu"_s, [](QWidget *p) { return new JiaoliuPage(p); }},
        {u"tszidingyi"_s, [](QWidget *p) { return new ZidingyiPage(p); }},
    };
    if (const auto it = factories.constFind(pageSpec.name); it != factories.cend())
        return (*it)(parent);
    return new ModulePage(pageSpec, parent);
}

} // namespace orv
