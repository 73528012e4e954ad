#pragma once

// Driving widgets by object name, as a user would reach them.

#include "widgets/radiogroup.h"

#include <QAbstractButton>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

namespace orv::test {

template<typename T = QWidget>
T *child(const QObject &root, const QString &name)
{
    T *w = root.findChild<T *>(name);
    if (!w)
        qFatal("no widget %s", qPrintable(name));
    return w;
}

inline QString labelText(const QObject &root, const QString &name)
{
    return child<QLabel>(root, name)->text();
}

inline void click(const QObject &root, const QString &buttonName)
{
    QTest::mouseClick(child<QAbstractButton>(root, buttonName), Qt::LeftButton);
}

// Chooses an item of a radio group by clicking it.
inline void choose(const QObject &root, const QString &groupName, int item)
{
    const QList<QRadioButton *> buttons = child<RadioGroup>(root, groupName)->findChildren<QRadioButton *>();
    if (item >= buttons.size())
        qFatal("%s has no item %d", qPrintable(groupName), item);
    QTest::mouseClick(buttons.at(item), Qt::LeftButton);
}

} // namespace orv::test
