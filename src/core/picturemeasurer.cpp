#include "picturemeasurer.h"

namespace orv {

Cancelled::Cancelled()
    : Failure(QStringLiteral("Cancelled"))
{
}

PictureMeasurer::~PictureMeasurer() = default;

} // namespace orv
