#pragma once

#include "core/failure.h"
#include "core/page.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <QTest>

#include <functional>
#include <utility>

Q_DECLARE_METATYPE(orv::Shop)
Q_DECLARE_METATYPE(orv::Metrics)

namespace orv::test {

// Field texts by key, set over a page's defaults in this order.
using Fields = QList<std::pair<QString, QString>>;

inline PageState stateWith(const PageSpec &page, Shop shop, const Fields &fields = {})
{
    PageState state = page.defaultState(Metrics::forShop(shop));
    for (const auto &[key, text] : fields)
        state.setField(key, text);
    return state;
}

// A "shop" column with the rows "defaults-taobao" and "defaults-tmall": a
// page's start-up fragment in either shop.
inline void addDefaultsRows()
{
    QTest::addColumn<Shop>("shop");
    QTest::newRow("defaults-taobao") << Shop::Taobao;
    QTest::newRow("defaults-tmall") << Shop::Tmall;
}

// The message of the Failure the action throws, or an empty text.
inline QString failureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Failure &failure) {
        return failure.message();
    }
    return {};
}

} // namespace orv::test
