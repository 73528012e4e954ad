#pragma once

#include <QString>

class QWidget;

namespace orv {

// Builds a module page's Designer form from its resource, with the program's
// own widgets (RadioGroup) where the form names them. Returns nullptr and
// warns when the form cannot be read.
QWidget *loadForm(const QString &resourcePath, QWidget *parent);

} // namespace orv
