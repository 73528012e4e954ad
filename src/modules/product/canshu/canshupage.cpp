#include "canshupage.h"

#include "app/text/linelist.h"
#include "canshu.h"
#include "ui_canshupage.h"

#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

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

} // namespace

CanshuPage::CanshuPage(QWidget *parent)
    : ModulePage(canshu::page(), parent)
    , m_ui(std::make_unique<Ui::CanshuPage>())
{
    m_ui->setupUi(this);
    setObjectName(pageSpec().name);
    bindFields();
}

CanshuPage::~CanshuPage() = default;

QStringList CanshuPage::displayedLines(const QString &field, const QString &text) const
{
    const QPlainTextEdit *memo = m_ui->mmocanshu;
    auto *ownLayout = qobject_cast<QPlainTextDocumentLayout *>(memo->document()->documentLayout());
    if (field != memo->objectName() || !ownLayout)
        return ModulePage::displayedLines(field, text);

    const QString shown = toLf(text);
    if (memo->toPlainText() == shown)
        return laidOutLines(*memo->document(), *ownLayout);

    // Another text than the memo holds: lay each line out as the memo would,
    // with its font, its wrap option and the width its viewport gives.
    const QTextDocument *own = memo->document();
    const int viewportWidth = memo->viewport()->width();
    const qreal width = memo->lineWrapMode() == QPlainTextEdit::WidgetWidth && viewportWidth > 0
                            ? viewportWidth - 2 * own->documentMargin()
                            : qreal(INT_MAX);
    QStringList lines;
    for (const QString &paragraph : SplitLines(text)) {
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

} // namespace orv
