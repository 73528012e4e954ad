#include "picturemeasurer.h"

namespace orv {

Cancelled::Cancelled()
    : Failure(QStringLiteral("Cancelled"))
{
}

PictureMeasurer::~PictureMeasurer() = default;

Failure cannotDownload(const QString &url, const QString &reason)
{
    return Failure(QStringLiteral("Cannot download \"%1\". %2").arg(url, reason));
}

} // namespace orv
