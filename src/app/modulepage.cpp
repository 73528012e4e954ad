#include "modulepage.h"

#include "app/radiogroup.h"
#include "app/text/linelist.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace orv {

using namespace Qt::StringLiterals;

ModulePage::ModulePage(const PageSpec &pageSpec, QWidget *parent)
    : QWidget(parent)
    , m_spec(pageSpec)
{
    setObjectName(pageSpec.name);
    setWindowTitle(pageSpec.pageCaption);
}

QString ModulePage::addConfirmation() const
{
    return u"确定添加该板块？"_s;
}

void ModulePage::bindFields()
{
    for (const FieldSpec &f : m_spec.fields) {
        QWidget *w = fieldWidget(f.name);
        Q_ASSERT_X(w, "ModulePage::bindFields", qPrintable(f.name));
        if (auto *combo = qobject_cast<QComboBox *>(w)) {
            combo->setEditable(true);
            combo->clear();
            combo->addItems(f.items);
        } else if (auto *radio = qobject_cast<RadioGroup *>(w)) {
            radio->setItems(f.items);
        }
        setValue(f.name, f.defaultText);
    }

    if (auto *button = findChild<QPushButton *>(m_spec.generateButton)) {
        button->setText(m_spec.generateCaption);
        connect(button, &QPushButton::clicked, this, &ModulePage::generateRequested);
    }
    if (auto *button = findChild<QPushButton *>(m_spec.addButton)) {
        button->setText(u"添加"_s);
        connect(button, &QPushButton::clicked, this, &ModulePage::addRequested);
    }

    const QList<QLabel *> labels = findChildren<QLabel *>();
    for (QLabel *label : labels) {
        if (QWidget *buddy = label->buddy(); buddy && buddy->accessibleName().isEmpty())
            buddy->setAccessibleName(label->text());
    }
}

QWidget *ModulePage::fieldWidget(const QString &name) const
{
    return findChild<QWidget *>(name);
}

QString ModulePage::value(const QString &field) const
{
    QWidget *w = fieldWidget(field);
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        return edit->text();
    if (auto *memo = qobject_cast<QPlainTextEdit *>(w))
        return toCrLf(memo->toPlainText());
    if (auto *combo = qobject_cast<QComboBox *>(w))
        return combo->currentText();
    if (auto *radio = qobject_cast<RadioGroup *>(w))
        return QString::number(radio->itemIndex());
    return {};
}

void ModulePage::setValue(const QString &field, const QString &text)
{
    QWidget *w = fieldWidget(field);
    if (auto *edit = qobject_cast<QLineEdit *>(w)) {
        if (edit->text() != text) {
            edit->setText(text);
            edit->home(false); // long addresses show their beginning
        }
    } else if (auto *memo = qobject_cast<QPlainTextEdit *>(w)) {
        const QString shown = toLf(text);
        if (memo->toPlainText() != shown)
            memo->setPlainText(shown);
    } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
        if (combo->currentText() != text)
            combo->setEditText(text);
    } else if (auto *radio = qobject_cast<RadioGroup *>(w)) {
        bool ok = false;
        const int index = text.toInt(&ok);
        radio->setItemIndex(ok ? index : -1);
    }
}

FieldValues ModulePage::values() const
{
    FieldValues out;
    for (const FieldSpec &f : m_spec.fields)
        out.insert(f.name, value(f.name));
    return out;
}

void ModulePage::setValues(const FieldValues &values)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        setValue(it.key(), it.value());
}

QStringList ModulePage::displayedLines(const QString &, const QString &text) const
{
    return SplitLines(text);
}

} // namespace orv
