#include "colourfields.h"

#include "core/colours.h"
#include "widgets/modulepage.h"

#include <QColorDialog>
#include <QContextMenuEvent>
#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSettings>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

QColor startingBackground(ColourBackground background, const QPalette &palette)
{
    switch (background) {
    case ColourBackground::Red:
        return Qt::red;
    case ColourBackground::ScrollBar:
        return palette.color(QPalette::Button).darker(105);
    case ColourBackground::MenuText:
        return palette.color(QPalette::WindowText);
    case ColourBackground::Window:
        break;
    }
    return palette.color(QPalette::Base);
}

void paintBackground(QLineEdit *field, const QColor &colour)
{
    QPalette p = field->palette();
    p.setColor(QPalette::Base, colour);
    field->setPalette(p);
}

// Where Qt keeps the colour dialog's custom colours.
const QString qtSettingsOrganisation = u"QtProject"_s;
const QString customColoursGroup = u"Qt/customColors"_s;

const QString colourHint = u"双击（或按 Alt+↓、F4）打开颜色对话框；右键菜单可使用店铺风格中的颜色"_s;

// Whether a key press asks a colour field for its dialog: Alt+Down or F4,
// the keys that open a combo box's list.
bool opensDialog(const QKeyEvent &key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    return (key.key() == Qt::Key_Down && modifiers == Qt::AltModifier)
           || (key.key() == Qt::Key_F4 && modifiers == Qt::NoModifier);
}

// The double-click (and key) handler of one colour field, and its pop-up menu
// while there are shared colours to offer.
class DoubleClickHandler : public QObject {
public:
    DoubleClickHandler(QLineEdit *field, ColourFields *fields)
        : QObject(field)
        , m_field(field)
        , m_fields(fields)
    {
        setObjectName(field->objectName() + u"DblClick"_s);
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_field)
            return false;
        if (event->type() == QEvent::MouseButtonDblClick
            || (event->type() == QEvent::KeyPress && opensDialog(*static_cast<QKeyEvent *>(event)))) {
            m_fields->choose(m_field);
            return true;
        }
        if (event->type() == QEvent::ContextMenu && !m_fields->sharedColours().isEmpty()) {
            // Popped up rather than run in a loop of its own; it deletes
            // itself once closed.
            QMenu *menu = m_fields->createMenu(m_field);
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(static_cast<QContextMenuEvent *>(event)->globalPos());
            return true;
        }
        return false;
    }

private:
    QLineEdit *m_field;
    ColourFields *m_fields;
};

} // namespace

QString colourToHexText(const QColor &colour)
{
    const QRgb rgb = colour.rgb();
    return u"#%1%2%3"_s.arg(qRed(rgb), 2, 16, QLatin1Char('0'))
        .arg(qGreen(rgb), 2, 16, QLatin1Char('0'))
        .arg(qBlue(rgb), 2, 16, QLatin1Char('0'))
        .toUpper();
}

QColor colourOfText(const QString &text, const QColor &fallback)
{
    const QColor colour = QColor::fromString(text.trimmed());
    return colour.isValid() ? colour : fallback;
}

QIcon colourSwatch(const QColor &colour)
{
    QPixmap swatch(16, 16);
    swatch.fill(colour);
    QPainter painter(&swatch);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(0, 0, swatch.width() - 1, swatch.height() - 1);
    return QIcon(swatch);
}

ColourFields::ColourFields(QWidget *window)
    : QObject(window)
    , m_window(window)
{
}

// Qt keeps the dialog's custom colours in its own settings file, written when
// a dialog object is destroyed. They should last for the run only: the dialog
// goes first, then the group is put back as it was before the first dialog.
ColourFields::~ColourFields()
{
    delete m_dialog;
    if (m_qtCustomColours)
        m_qtCustomColours->restore();
}

ColourFields::SavedGroup ColourFields::SavedGroup::take()
{
    SavedGroup saved;
    QSettings settings(QSettings::UserScope, qtSettingsOrganisation);
    saved.fileExisted = QFile::exists(settings.fileName());
    settings.beginGroup(customColoursGroup);
    for (const QString &key : settings.childKeys())
        saved.values.insert(key, settings.value(key));
    return saved;
}

void ColourFields::SavedGroup::restore() const
{
    QString fileName;
    bool empty = false;
    {
        QSettings settings(QSettings::UserScope, qtSettingsOrganisation);
        fileName = settings.fileName();
        settings.remove(customColoursGroup);
        settings.beginGroup(customColoursGroup);
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            settings.setValue(it.key(), it.value());
        settings.endGroup();
        settings.sync();
        empty = settings.allKeys().isEmpty();
    }
    // A file only the dialog made goes again.
    if (!fileExisted && empty)
        QFile::remove(fileName);
}

void ColourFields::attach(ModulePage *page)
{
    for (const FieldSpec &fieldSpec : page->pageSpec().fields) {
        if (fieldSpec.kind != FieldKind::Colour)
            continue;
        auto *field = page->findChild<QLineEdit *>(fieldSpec.name);
        if (!field)
            continue;
        paintBackground(field, startingBackground(fieldSpec.background, field->palette()));
        field->setToolTip(colourHint);
        field->setAccessibleDescription(colourHint);
        new DoubleClickHandler(field, this);
    }
}

std::optional<QColor> ColourFields::ask(const QColor &initial)
{
    if (m_chooser)
        return m_chooser(initial);
    if (!m_dialog) {
        if (!m_qtCustomColours)
            m_qtCustomColours = SavedGroup::take();
        m_dialog = new QColorDialog(m_window);
        m_dialog->setObjectName(u"colourDialog"_s);
    }
    m_dialog->setCurrentColor(initial);
    if (m_dialog->exec() != QDialog::Accepted)
        return std::nullopt;
    return m_dialog->currentColor();
}

void ColourFields::choose(QLineEdit *field)
{
    const std::optional<QColor> chosen = ask(m_last);
    if (!chosen)
        return;
    m_last = *chosen;
    field->setText(colourToHexText(*chosen));
    paintBackground(field, *chosen);
}

void ColourFields::setSharedColours(const SharedValues &values)
{
    m_sharedColours = colourValues(values);
}

QMenu *ColourFields::createMenu(QLineEdit *field)
{
    QMenu *menu = field->createStandardContextMenu();
    menu->setObjectName(u"colourFieldMenu"_s);
    if (m_sharedColours.isEmpty())
        return menu;
    menu->addSeparator();
    for (const SharedValue &value : std::as_const(m_sharedColours)) {
        const QColor colour(value.value.trimmed());
        QString caption = u"使用 %1"_s.arg(value.name);
        QAction *action = menu->addAction(colourSwatch(colour), caption.replace(u'&', u"&&"_s));
        action->setToolTip(value.value);
        action->setEnabled(!field->isReadOnly());
        const QString slot = u"{{"_s + value.name + u"}}"_s;
        connect(action, &QAction::triggered, field, [field, slot, colour] {
            // As typed: the page hears it and Ctrl+Z in the field takes it back.
            field->selectAll();
            field->insert(slot);
            paintBackground(field, colour);
        });
    }
    return menu;
}

} // namespace orv
