#include "links.h"

namespace orv::links {

using namespace Qt::StringLiterals;

namespace {

QUrl configured(const char *address, const QUrl &fallback)
{
    const QUrl url(QString::fromUtf8(address));
    return url.isValid() && !url.isEmpty() ? url : fallback;
}

} // namespace

QUrl startPage()
{
    return QUrl(u"qrc:/pages/start.html"_s);
}

QUrl announcements()
{
    return QUrl(u"qrc:/pages/notes.html"_s);
}

QUrl tutorial()
{
    return QUrl(u"qrc:/pages/guide.html"_s);
}

QUrl downloadPage()
{
    return configured(ORVANTA_DOWNLOAD_URL, QUrl(u"qrc:/pages/download.html"_s));
}

QUrl homePage()
{
    return configured(ORVANTA_HOME_URL, QUrl());
}

} // namespace orv::links
