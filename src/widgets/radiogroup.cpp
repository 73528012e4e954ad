#include "radiogroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace orv {

RadioGroup::RadioGroup(QWidget *parent)
    : QGroupBox(parent)
    , m_buttons(new QButtonGroup(this))
{
    connect(m_buttons, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && !m_quiet)
            emit itemChosen(id);
    });
}

void RadioGroup::setItems(const QStringList &items, int columns)
{
    const QList<QAbstractButton *> old = m_buttons->buttons();
    for (QAbstractButton *button : old) {
        m_buttons->removeButton(button);
        delete button;
    }
    delete layout();
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setHorizontalSpacing(2);
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items.at(i), this);
        m_buttons->addButton(button, i);
        grid->addWidget(button, i / columns, i % columns);
    }
    // Made after the form around it, the items would come last in the tab
    // order; they go where the group stands. (Qt orders only widgets that
    // take focus, which a group box does not.)
    const Qt::FocusPolicy policy = focusPolicy();
    setFocusPolicy(Qt::TabFocus);
    QWidget *previous = this;
    for (QAbstractButton *button : m_buttons->buttons()) {
        setTabOrder(previous, button);
        previous = button;
    }
    setFocusPolicy(policy);
}

int RadioGroup::itemIndex() const
{
    return m_buttons->checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    m_quiet = true;
    if (QAbstractButton *button = m_buttons->button(index)) {
        button->setChecked(true);
    } else if (QAbstractButton *checked = m_buttons->checkedButton()) {
        m_buttons->setExclusive(false);
        checked->setChecked(false);
        m_buttons->setExclusive(true);
    }
    m_quiet = false;
}

} // namespace orv
