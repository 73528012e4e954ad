#pragma once

#include <QString>

#include <optional>

namespace orv {

// The shop type: a Taobao page is 750 pixels wide, a Tmall page 790.
enum class Shop { Taobao, Tmall };

// "taobao" or "tmall", as the command line and project files name them.
QString shopName(Shop shop);
std::optional<Shop> shopNamed(const QString &name);

// The layout metrics shown above the module pages. Total height 0 means that
// no related-sales style is chosen; it never enters any HTML.
struct Metrics {
    Shop shop = Shop::Taobao;
    int totalWidth = 750;
    int totalHeight = 0;
    int imageWidth = 0;
    int imageHeight = 0;

    // The metrics right after choosing a shop type.
    static Metrics forShop(Shop shop);
    bool operator==(const Metrics &) const = default;
};

} // namespace orv
