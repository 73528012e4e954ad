#pragma once

// Driving widgets by object name, as a user would reach them.

#include "core/linelist.h"
#include "widgets/modulepage.h"
#include "widgets/radiogroup.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
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
    // On its indicator: a radio button answers a click on its indicator and
    // text only, not anywhere in a row wider than they are.
    QRadioButton *button = buttons.at(item);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// Puts a text into a field of a page as typing or choosing would, so that the
// window hears of it (ModulePage::setValue is the window's own, and quiet).
// A radio group's text is the index of the item to click.
inline void enter(ModulePage &page, const QString &key, const QString &text)
{
    QWidget *w = page.fieldWidget(key);
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        edit->setText(text);
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(w))
        memo->setPlainText(toLf(text));
    else if (auto *combo = qobject_cast<QComboBox *>(w))
        combo->setEditText(text);
    else if (auto *radio = qobject_cast<RadioGroup *>(w))
        choose(page, radio->objectName(), text.toInt());
    else
        qFatal("no field %s", qPrintable(key));
}

} // namespace orv::test
