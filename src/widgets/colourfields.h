#pragma once

#include "core/page.h"

#include <QColor>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QVariant>

#include <functional>
#include <optional>

class QColorDialog;
class QLineEdit;

namespace orv {

class ModulePage;

// "#" and the red, green and blue bytes as two upper-case hex digits each.
QString colourToHexText(const QColor &colour);

// The colour fields of every module page and the one colour dialog they
// share. A double-click on a field opens the dialog preset to the colour last
// confirmed in any field (Alt+Down and F4 open it too); a confirmed colour
// becomes the field's text and its background, a cancelled dialog changes
// nothing. The dialog's custom colours last for the run only: Qt's settings
// file keeps what it held before.
class ColourFields : public QObject {
    Q_OBJECT

public:
    explicit ColourFields(QWidget *window);
    ~ColourFields() override;

    // Gives each colour field of the page its starting background and its
    // double-click handler, an object named after the field and "DblClick".
    void attach(ModulePage *page);

    QColor lastConfirmed() const { return m_last; }

    // Test seam: answers the dialog instead of the user; nullopt cancels.
    using Chooser = std::function<std::optional<QColor>(const QColor &initial)>;
    void setChooser(Chooser chooser) { m_chooser = std::move(chooser); }

    void choose(QLineEdit *field);

private:
    std::optional<QColor> ask(const QColor &initial);

    // The custom-colour group of Qt's own settings file as it was.
    struct SavedGroup {
        bool fileExisted = false;
        QHash<QString, QVariant> values;
        static SavedGroup take();
        void restore() const;
    };

    QWidget *m_window;
    QPointer<QColorDialog> m_dialog;
    std::optional<SavedGroup> m_qtCustomColours;
    QColor m_last = Qt::black;
    Chooser m_chooser;
};

} // namespace orv
