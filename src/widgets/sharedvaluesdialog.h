#pragma once

#include "core/sharedvalues.h"
#include "core/valuechange.h"
#include "widgets/colourfields.h"

#include <QDialog>

#include <functional>

class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace orv {

// 编辑 → 店铺风格…: the project's shared values as a table of name, value and
// how many entries use each. Names and values are edited in place, a colour's
// value also with the colour dialog (a double-click on it, or 选择颜色…);
// values are added and removed; a style file is laid over the table or
// written from it. 确定 refuses a bad or repeated name, naming its row. The
// dialog changes nothing itself: change() is what to apply.
class SharedValuesDialog : public QDialog {
    Q_OBJECT

public:
    // How many entries use the value of that name (trimmed).
    using UseCount = std::function<int(const QString &name)>;

    SharedValuesDialog(const SharedValues &values, UseCount uses, ColourFields::Chooser chooseColour,
                       QWidget *parent = nullptr);

    struct Change {
        SharedValues values;        // the table's rows in order, names trimmed, values as typed
        QList<ValueRename> renames; // a value of the project whose row has another name now
    };
    // What the table holds, as changeSharedValues() takes it.
    Change change() const;

    // Closes only when every name will do.
    void accept() override;

    // The buttons' actions.
    void addValue();
    void removeValue();
    void chooseColour();
    void loadStyle();
    void saveStyle();

private:
    void commitEdit();
    int appendRow(const QString &name, const QString &value, const QString &origin);
    void cellChanged(QTableWidgetItem *item);
    void cellDoubleClicked(int row, int column);
    void showUses(int row);
    // The first bad or repeated name: its row and why, or row -1.
    std::pair<int, QString> nameProblem() const;
    QString rowName(int row) const;
    void updateButtons();

    UseCount m_uses;
    ColourFields::Chooser m_chooseColour;
    QTableWidget *m_table;
    QPushButton *m_remove;
    QPushButton *m_colour;
};

} // namespace orv
