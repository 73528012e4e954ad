#pragma once

#include "core/check/linkcheck.h"

#include <QList>

#include <functional>

class QObject;
class QWebEnginePage;

namespace orv {

// Measures the boxes of the links the page shows (render::scripts::linkBoxes,
// the script the pictures' renderer runs too) and hands them to done, unless
// context is gone by then; an empty list when the page gives no answer.
void measurePreviewLinks(QWebEnginePage *page, QObject *context,
                         std::function<void(const QList<check::LinkBox> &links)> done);

} // namespace orv
