#include "colourfields.h"

#include "widgets/modulepage.h"

#include <QColorDialog>
#include <QEvent>
#include <QLineEdit>

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

// The double-click handler of one colour field.
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
        if (watched == m_field && event->type() == QEvent::MouseButtonDblClick) {
            m_fields->choose(m_field);
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

ColourFields::ColourFields(QWidget *window)
    : QObject(window)
    , m_window(window)
{
}

ColourFields::~ColourFields() = default;

void ColourFields::attach(ModulePage *page)
{
    for (const FieldSpec &fieldSpec : page->pageSpec().fields) {
        if (fieldSpec.kind != FieldKind::Colour)
            continue;
        auto *field = page->findChild<QLineEdit *>(fieldSpec.name);
        if (!field)
            continue;
        paintBackground(field, startingBackground(fieldSpec.background, field->palette()));
        new DoubleClickHandler(field, this);
    }
}

std::optional<QColor> ColourFields::ask(const QColor &initial)
{
    if (m_chooser)
        return m_chooser(initial);
    if (!m_dialog) {
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

} // namespace orv
