#pragma once

#include "core/page.h"
#include "core/sharedvalues.h"

#include <QColor>
#include <QHash>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QVariant>

#include <functional>
#include <optional>

class QColorDialog;
class QLineEdit;
class QMenu;

namespace orv {

class ModulePage;

// "#" and the red, green and blue bytes as two upper-case hex digits each.
QString colourToHexText(const QColor &colour);

// The colour a text names (#RGB, #RRGGBB or a name such as "red"), else
// fallback: what a colour dialog opens at.
QColor colourOfText(const QString &text, const QColor &fallback = Qt::black);

// A small square of the colour with a thin grey edge, as menus and tables
// show a colour beside its text.
QIcon colourSwatch(const QColor &colour);

// The colour fields of every module page and the one colour dialog they
// share. A double-click on a field opens the dialog preset to the colour last
// confirmed in any field (Alt+Down and F4 open it too); a confirmed colour
// becomes the field's text and its background, a cancelled dialog changes
// nothing. The dialog's custom colours last for the run only: Qt's settings
// file keeps what it held before. A field's pop-up menu offers the project's
// shared colours too: "使用 主色" binds the field to the value ("{{主色}}").
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

    // The colour dialog preset to initial (or the chooser, when one is set);
    // nullopt when cancelled. For other dialogs that ask for a colour.
    std::optional<QColor> ask(const QColor &initial);

    void choose(QLineEdit *field);

    // The project's shared values; the colours among them (colourValues())
    // are what the fields' pop-up menus offer.
    void setSharedColours(const SharedValues &values);
    const SharedValues &sharedColours() const { return m_sharedColours; }

    // The field's pop-up menu: the line edit's own, then, when there are
    // shared colours, "使用 主色" and the like with a swatch each. Choosing
    // one puts "{{主色}}" into the field as typing would (undoable there).
    // The caller owns the menu.
    QMenu *createMenu(QLineEdit *field);

private:
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
    SharedValues m_sharedColours;
};

} // namespace orv
