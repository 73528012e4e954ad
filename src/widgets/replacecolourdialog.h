#pragma once

#include "core/colours.h"
#include "widgets/colourfields.h"

#include <QDialog>

#include <optional>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace orv {

// What the seller asked of one colour in use.
struct ColourRequest {
    enum class Kind {
        Replace, // every field holding colour holds text instead: replaceColour()
        Bind,    // every such field holds "{{text}}", a shared value: bindColour()
    };
    Kind kind = Kind::Replace;
    QString colour; // as coloursInUse() lists it
    QString text;   // the replacement (trimmed, not empty), or the value's name (trimmed)

    bool operator==(const ColourRequest &) const = default;
};

// 编辑 → 替换颜色…: the colours of the project's colour fields, each with how
// many fields hold it. For the selected one, 全部替换 with a colour typed or
// chosen in the colour dialog, or 设为店铺风格 under a name (a shared colour
// of the same colour is offered first, else the first of 主色, 辅色, ... the
// project lacks). Either closes the dialog with the request; the dialog
// changes nothing itself.
class ReplaceColourDialog : public QDialog {
    Q_OBJECT

public:
    // colours: coloursInUse(); values: the project's shared values.
    ReplaceColourDialog(const QList<ColourUse> &colours, const SharedValues &values, ColourFields::Chooser chooseColour,
                        QWidget *parent = nullptr);

    // The request, once 全部替换 or 设为店铺风格 closed the dialog.
    const std::optional<ColourRequest> &request() const { return m_request; }

    // The buttons' actions.
    void replace();
    void bind();
    void chooseColour();

private:
    QString selectedColour() const;
    void colourSelected();
    void update();

    QList<ColourUse> m_colours;
    SharedValues m_values;
    ColourFields::Chooser m_chooseColour;
    std::optional<ColourRequest> m_request;
    QTableWidget *m_table;
    QLineEdit *m_replacement;
    QAction *m_replacementSwatch;
    QPushButton *m_choose;
    QPushButton *m_replace;
    QComboBox *m_name;
    QPushButton *m_bind;
    QLabel *m_bindNote;
};

} // namespace orv
