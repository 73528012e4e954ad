#include "imagefetcher.h"

namespace orv {

ImageFetcher::~ImageFetcher() = default;

Failure cannotDownload(const QString &url, const QString &reason)
{
    return Failure(QStringLiteral("Cannot download \"%1\". %2").arg(url, reason));
}

} // namespace orv
