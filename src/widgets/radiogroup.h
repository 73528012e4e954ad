#pragma once

#include <QGroupBox>

class QButtonGroup;

namespace orv {

// A captioned group of radio buttons addressed by item index, -1 meaning that
// no item is chosen.
class RadioGroup : public QGroupBox {
    Q_OBJECT

public:
    explicit RadioGroup(QWidget *parent = nullptr);

    void setItems(const QStringList &items, int columns = 2);
    int itemIndex() const;
    // Chooses an item without emitting itemChosen; -1 clears the choice.
    void setItemIndex(int index);

signals:
    // The user chose an item other than the one chosen before.
    void itemChosen(int index);

private:
    QButtonGroup *m_buttons;
    bool m_quiet = false;
};

} // namespace orv
