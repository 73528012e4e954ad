#pragma once

#include "core/check/pagecheck.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <optional>

class QAbstractButton;
class QWidget;

namespace orv {

class FindingsPanel;
class PictureMeasurer;
class Preview;
class Workspace;

// The page check in the window: 检查 (and 编辑 → 检查页面, F7) checks what the
// output buffer holds and shows the findings in the panel under the preview
// and their counts in the status strip until the buffer changes; 检查图片
// adds the pictures' findings; once the preview shows the checked text, the
// width it renders at is checked as well; 提取代码 asks before copying a page
// with errors. The check never changes the buffer.
//
// What is checked: a fragment a page made at that page's width (750 for the
// pages that are always 750 wide, the shop's otherwise); a summary of the
// module list (the buffer holds every entry's code followed by CR LF) entry
// by entry, each at its page's width; anything else at the shop's width.
class PageCheckController : public QObject {
    Q_OBJECT

public:
    // window: the parent of the questions and the picture progress.
    PageCheckController(Workspace *workspace, const Preview *preview, FindingsPanel *panel, QAbstractButton *badge,
                        QWidget *window);
    ~PageCheckController() override;

    // Checks the buffer and shows the findings.
    void checkBuffer();
    // Fetches the pictures of the shown check and adds their findings; the
    // progress dialog shows "正在检查图片 i / N" and can cancel.
    void checkPictures();
    // Before 提取代码 copies: true to copy. A page with errors has its
    // findings shown first and the user is asked; otherwise nothing shows.
    bool confirmCopy();
    // The buffer was written to: the shown check goes once the text differs.
    void bufferChanged();

    // The findings shown, in the order of their offsets; empty when no check
    // of the buffer's present text is shown.
    QList<check::Finding> shownFindings() const;
    bool isShown() const { return m_checked != nullptr; }

    // The script that measures the width the preview renders the page at:
    // the body made the page's width for a moment, as a scroll container,
    // its scroll width read and everything put back. A picture counts at
    // most as wide as what holds it, as the platform scales it down.
    static QString renderedWidthScript(int pageWidth);

signals:
    // A finding of this module-list row was selected.
    void entrySelected(int row);

private:
    struct CheckedPage;

    CheckedPage pageOfBuffer() const;
    void show();
    void clear();
    void previewLoaded(bool ok);
    void measureRendering();
    void selectEntryOf(int findingRow);
    void showLineOf(int findingRow);

    Workspace *m_workspace;
    const Preview *m_preview;
    QWidget *m_window;
    QPointer<FindingsPanel> m_panel;
    QPointer<QAbstractButton> m_badge;
    std::unique_ptr<PictureMeasurer> m_pictureMeasurer;
    std::unique_ptr<CheckedPage> m_checked; // the shown check; null when none is
    int m_serial = 0;
    bool m_changePending = false;
    // The text the preview shows once it has loaded; unset while loading or
    // showing anything else.
    std::optional<QString> m_previewShows;
};

} // namespace orv
