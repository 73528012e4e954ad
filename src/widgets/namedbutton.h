#pragma once

#include <QPushButton>
#include <QString>

namespace orv {

// A push button with its caption and its object name, by which tests and
// sellers' guides find it.
inline QPushButton *namedButton(const QString &text, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

} // namespace orv
