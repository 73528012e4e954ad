#pragma once

#include <QByteArray>
#include <QIcon>
#include <QString>

class QListWidget;

namespace orv {

// Lists of preview pictures (插入块…, 从模板新建…): the pictures the render
// layer makes (240 pixels wide, at most 360 high) at half size in a grid,
// each with its name below.
void makePreviewGrid(QListWidget *list);

// The picture of PNG bytes; a grey card with note on it when there are
// none or they are no picture.
QIcon previewIcon(const QByteArray &png, const QString &note);

} // namespace orv
