#include "pagefactory.h"

#include "app/modulepage.h"
#include "modules/header/fengetiao/fengetiaopage.h"
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
        {u"tsxijie"_s, [](QWidget *p) { return new XijiePage(p); }},
    };
    if (const auto it = factories.constFind(spec.name); it != factories.cend())
        return (*it)(parent);
    return new ModulePage(spec, parent);
}

} // namespace orv
