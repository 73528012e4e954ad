#include "arguments.h"

namespace orv::cli {

using namespace Qt::StringLiterals;

void usageError(const QString &message)
{
    throw UsageFailure{message};
}

QString quoted(const QString &text)
{
    return u"'"_s + text + u"'"_s;
}

Shop shopOption(const QString &name)
{
    if (const std::optional<Shop> shop = shopNamed(name))
        return *shop;
    usageError(u"unknown shop %1; use taobao or tmall"_s.arg(quoted(name)));
}

QStringList pageNames(const QList<const PageSpec *> &pages)
{
    QStringList names;
    for (const PageSpec *page : pages)
        names.append(page->id);
    return names;
}

const PageSpec *pageNamed(const QList<const PageSpec *> &pages, const QString &name)
{
    for (const PageSpec *page : pages) {
        if (page->id == name)
            return page;
    }
    usageError(u"unknown page %1; the pages are: %2"_s.arg(quoted(name), pageNames(pages).join(u", "_s)));
}

Option splitOption(const QString &argument)
{
    if (argument.startsWith(u"--"_s)) {
        if (const qsizetype equals = argument.indexOf(u'='); equals >= 0)
            return {argument.left(equals), argument.mid(equals + 1), true};
    }
    return {argument, {}, false};
}

} // namespace orv::cli
