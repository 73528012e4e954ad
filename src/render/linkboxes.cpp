#include "linkboxes.h"

#include <QJsonObject>

#include <algorithm>

namespace orv::render {

using namespace Qt::StringLiterals;

QList<check::LinkBox> readLinkBoxes(const QJsonArray &links, double pageHeight)
{
    QList<check::LinkBox> boxes;
    for (const QJsonValue &value : links) {
        const QJsonObject link = value.toObject();
        const QString address = check::hotAreaAddress(link.value(u"href"_s).toString());
        const QJsonArray box = link.value(u"box"_s).toArray();
        if (address.isEmpty() || box.size() != 4)
            continue;
        const double left = box.at(0).toDouble();
        const double top = std::max(0.0, box.at(1).toDouble());
        const double right = box.at(2).toDouble();
        const double bottom = std::min(pageHeight, box.at(3).toDouble());
        if (right <= left || bottom <= top)
            continue;
        boxes.append(
            check::LinkBox{link.value(u"i"_s).toInt(-1), address, QRectF(QPointF(left, top), QPointF(right, bottom))});
    }
    return boxes;
}

} // namespace orv::render
