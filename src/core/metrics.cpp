#include "metrics.h"

namespace orv {

using namespace Qt::StringLiterals;

QString shopName(Shop shop)
{
    return shop == Shop::Tmall ? u"tmall"_s : u"taobao"_s;
}

std::optional<Shop> shopNamed(const QString &name)
{
    if (name == u"taobao"_s)
        return Shop::Taobao;
    if (name == u"tmall"_s)
        return Shop::Tmall;
    return std::nullopt;
}

Metrics Metrics::forShop(Shop shop)
{
    Metrics m;
    m.shop = shop;
    m.totalWidth = shop == Shop::Tmall ? 790 : 750;
    return m;
}

} // namespace orv
