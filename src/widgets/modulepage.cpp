#include "modulepage.h"

#include "core/linelist.h"
#include "widgets/formloader.h"
#include "widgets/radiogroup.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QVBoxLayout>

#include <climits>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

// The lines of a plain-text document as its layout breaks them. An empty last
// block (the text ends with a line break) is no line.
QStringList laidOutLines(const QTextDocument &document, const QPlainTextDocumentLayout &layout)
{
    QStringList lines;
    const QTextBlock last = document.lastBlock();
    for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        if (block == last && text.isEmpty())
            break;
        layout.ensureBlockLayout(block);
        const QTextLayout *blockLayout = block.layout();
        const int count = blockLayout ? blockLayout->lineCount() : 0;
        if (count == 0) {
            lines.append(text);
            continue;
        }
        for (int i = 0; i < count; ++i) {
            const QTextLine line = blockLayout->lineAt(i);
            lines.append(text.mid(line.textStart(), line.textLength()));
        }
    }
    return lines;
}

// The lines of a text the memo does not hold, laid out as the memo would: with
// its font, its wrap option and the width its viewport gives.
QStringList wrappedLines(const QPlainTextEdit &memo, const QString &text)
{
    const QTextDocument *own = memo.document();
    const int viewportWidth = memo.viewport()->width();
    const qreal width = memo.lineWrapMode() == QPlainTextEdit::WidgetWidth && viewportWidth > 0
                            ? viewportWidth - 2 * own->documentMargin()
                            : qreal(INT_MAX);
    QStringList lines;
    for (const QString &paragraph : splitLines(text)) {
        QTextLayout layout(paragraph, own->defaultFont());
        layout.setTextOption(own->defaultTextOption());
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
            line.setLineWidth(width);
        layout.endLayout();
        if (layout.lineCount() == 0)
            lines.append(paragraph);
        for (int i = 0; i < layout.lineCount(); ++i)
            lines.append(paragraph.mid(layout.lineAt(i).textStart(), layout.lineAt(i).textLength()));
    }
    return lines;
}

// A memo's text as typed or pasted. toPlainText() would turn no-break spaces
// into ordinary ones; only the paragraph and line separators become line
// breaks here.
QString memoText(const QPlainTextEdit &memo)
{
    QString text = memo.document()->toRawText();
    for (QChar &c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = u'\n';
    }
    return text;
}

// Shows a text in a combo box with the current item the one that matches it,
// so that the arrow keys, the wheel and the drop-down start from there; a
// text no item matches leaves no item current.
void showComboText(QComboBox &combo, const QString &text)
{
    const int index = combo.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (combo.currentIndex() != index)
        combo.setCurrentIndex(index);
    if (combo.currentText() != text)
        combo.setEditText(text);
}

} // namespace

ModulePage::ModulePage(const PageSpec &pageSpec, QWidget *parent)
    : QWidget(parent)
    , m_spec(pageSpec)
{
    setObjectName(pageSpec.id);
    setWindowTitle(pageSpec.pageCaption);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (QWidget *form = loadForm(pageSpec.form, this))
        layout->addWidget(form);
    bindFields();
}

void ModulePage::bindFields()
{
    const QList<QLabel *> labels = findChildren<QLabel *>();
    for (const FieldSpec &f : m_spec.fields) {
        QWidget *w = fieldWidget(f.key);
        Q_ASSERT_X(w, "ModulePage::bindFields", qPrintable(f.name));
        if (!w)
            continue;
        // The caption: on the field's label where the form gives it one, else
        // on the radio group's frame; always the field's accessible name.
        for (QLabel *label : labels) {
            if (label->buddy() == w)
                label->setText(f.label);
        }
        w->setAccessibleName(f.label);
        if (auto *combo = qobject_cast<QComboBox *>(w)) {
            combo->setEditable(true);
            // The items stay the module's own; a typed text counts as it is.
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->clear();
            combo->addItems(f.items);
        } else if (auto *memo = qobject_cast<QPlainTextEdit *>(w)) {
            // Tab moves on to the next field, as everywhere else in the form.
            memo->setTabChangesFocus(true);
        } else if (auto *radio = qobject_cast<RadioGroup *>(w)) {
            radio->setTitle(f.label);
            radio->setItems(f.items);
            connect(radio, &RadioGroup::itemChosen, this, &ModulePage::choiceMade);
        }
        setValue(f.key, f.defaultText);
        watch(f.key, w);
    }

    if (auto *button = findChild<QPushButton *>(m_spec.generateButton)) {
        button->setText(m_spec.generateCaption);
        connect(button, &QPushButton::clicked, this, &ModulePage::generateRequested);
    }
    if (auto *button = findChild<QPushButton *>(m_spec.addButton)) {
        button->setText(u"添加"_s);
        connect(button, &QPushButton::clicked, this, &ModulePage::addRequested);
    }
}

void ModulePage::watch(const QString &key, QWidget *field)
{
    const auto changed = [this, key] { userEdit(key); };
    if (auto *edit = qobject_cast<QLineEdit *>(field))
        connect(edit, &QLineEdit::textChanged, this, changed);
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(field))
        connect(memo, &QPlainTextEdit::textChanged, this, changed);
    else if (auto *combo = qobject_cast<QComboBox *>(field))
        connect(combo, &QComboBox::editTextChanged, this, changed);
    else if (auto *radio = qobject_cast<RadioGroup *>(field))
        connect(radio, &RadioGroup::itemChosen, this, changed);
}

void ModulePage::userEdit(const QString &key)
{
    if (!m_settingValues)
        emit edited(key);
}

void ModulePage::setButtonToolTips(const QString &generate, const QString &add)
{
    if (auto *button = findChild<QPushButton *>(m_spec.generateButton))
        button->setToolTip(generate);
    if (auto *button = findChild<QPushButton *>(m_spec.addButton))
        button->setToolTip(add);
}

QWidget *ModulePage::fieldWidget(const QString &key) const
{
    const FieldSpec *f = m_spec.field(key);
    return f ? findChild<QWidget *>(f->name) : nullptr;
}

QString ModulePage::value(const QString &key) const
{
    QWidget *w = fieldWidget(key);
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        return edit->text();
    if (auto *memo = qobject_cast<QPlainTextEdit *>(w))
        return toCrLf(memoText(*memo));
    if (auto *combo = qobject_cast<QComboBox *>(w))
        return combo->currentText();
    if (auto *radio = qobject_cast<RadioGroup *>(w))
        return QString::number(radio->itemIndex());
    return {};
}

void ModulePage::setValue(const QString &key, const QString &text)
{
    const QScopedValueRollback quiet(m_settingValues, true);
    QWidget *w = fieldWidget(key);
    if (auto *edit = qobject_cast<QLineEdit *>(w)) {
        if (edit->text() != text) {
            edit->setText(text);
            edit->home(false); // long addresses show their beginning
        }
    } else if (auto *memo = qobject_cast<QPlainTextEdit *>(w)) {
        const QString shown = toLf(text);
        if (memoText(*memo) != shown)
            memo->setPlainText(shown);
    } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
        showComboText(*combo, text);
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
        out.insert(f.key, value(f.key));
    return out;
}

void ModulePage::setValues(const FieldValues &values)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        setValue(it.key(), it.value());
}

QStringList ModulePage::displayedLines(const QString &key, const QString &text) const
{
    const auto *memo = qobject_cast<const QPlainTextEdit *>(fieldWidget(key));
    auto *ownLayout = memo ? qobject_cast<QPlainTextDocumentLayout *>(memo->document()->documentLayout()) : nullptr;
    if (!ownLayout)
        return splitLines(text);
    if (memoText(*memo) == toLf(text))
        return laidOutLines(*memo->document(), *ownLayout);
    return wrappedLines(*memo, text);
}

} // namespace orv
