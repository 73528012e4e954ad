#include "pagefactory.h"

#include "app/modulepage.h"
#include "modules/header/dapei/dapeipage.h"
#include "modules/header/fengetiao/fengetiaopage.h"
#include "modules/header/guanlian/guanlianpage.h"
#include "modules/header/youhuiquan/youhuiquanpage.h"
#include "modules/product/xijie/xijiepage.h"

#include <QHash>

#include <functional>

namespace orv {

using namespace Qt::StringLiterals;

ModulePage *createModulePage(const PageSpec &spec, QWidget *parent)
{
    using Factory = std::function<ModulePage *(QWidget *)>;
    static const QHash<QString, Factory> factories{
        {u"tsfengetiao"_s, [](QWidget *p) { return new FengetiaoPage(p); }},
        {u"tsguanlian"_s, [](QWidget *p) { return new GuanlianPage(p); }},
        {u"tsyouhuiquan"_s, [](QWidget *p) { return new YouhuiquanPage(p); }},
        {u"tsdapei"_s, [](QWidget *p) { return new DapeiPage(p); }},
        {u"tsxijie"_s, [](QWidget *p) { return new XijiePage(p); }},
    };
    if (const auto it = factories.constFind(spec.name); it != factories.cend())
        return (*it)(parent);
    return new ModulePage(spec, parent);
}

} // namespace orv
