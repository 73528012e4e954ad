#pragma once

#include "app/recovery.h"
#include "core/project.h"

#include <QObject>
#include <QTimer>

class QAction;
class QMenu;
class QUndoStack;
class QWidget;

namespace orv {

// What holds the work: the window gives its state as a project and takes one.
class ProjectHost {
public:
    virtual Project project() const = 0;
    virtual void setProject(const Project &project) = 0;
    // The whole page as 汇总 makes it.
    virtual QString pageText() const = 0;

protected:
    ~ProjectHost() = default;
};

// The work as a document: its file, whether it changed since it was saved,
// the 文件 menu's actions, the question before unsaved work is left, the
// recent files and the recovery file written while it has unsaved changes.
// What the window should show about the recovery file (autosave failing,
// crashed work kept for later) is statusText(), reported by statusChanged().
// A change to the module list is a step on the undo stack; a change to a
// field, the shop type or the metrics is reported by formsChanged().
class Document : public QObject {
    Q_OBJECT

public:
    Document(QWidget *window, ProjectHost *host, QUndoStack *undoStack, const QString &recoveryFolder);
    ~Document() override;

    // Fills the 文件 menu.
    void addActions(QMenu *menu);

    QString filePath() const { return m_path; }
    bool isModified() const { return !m_undoStackClean || m_formsChanged; }
    Recovery &recovery() { return m_recovery; }

    void formsChanged();

    // Asks what to do with unsaved changes; true when the caller may go on
    // (saved, discarded, or nothing to save), false when the user cancelled
    // or the save failed.
    bool maybeSave();
    void newProject();
    // 新建 with this project (a starter design) instead of an empty one; false
    // when the user kept the work there was.
    bool newProject(const Project &project);
    void open();
    // Opens a file without asking for one; true when it was loaded.
    bool openFile(const QString &path);
    bool save();
    bool saveAs();
    void exportHtml();
    // Offers the work of a window that died, newest first, one at a time:
    // 恢复 takes it over, a confirmed 丢弃 deletes it, and 以后再说 (Esc, the
    // close button) keeps it for the next start. A file that cannot be read
    // is kept, and the user told where it is.
    void offerRecovery();
    // The window closes normally: its recovery file goes.
    void closing();
    // Writes the recovery file now rather than after the pause, and waits
    // until it is written.
    void autosaveNow();

    // One line for the window's status strip; empty when all is well.
    QString statusText() const;

    static QStringList recentFiles();

signals:
    // 导出手机详情图片…: the window exports, as it holds the output buffer.
    void exportPicturesRequested();
    // 批量生成…: the window shows its dialog.
    void mergeRequested();
    // 从模板新建…: the window lets the user choose a design.
    void newFromDesignRequested();
    void statusChanged(const QString &text);

private:
    void changed();
    void autosave();
    void recoveryWritten(const QString &error);
    void reportUnreadable(const QString &path, const QString &error);
    void setStatus(QString *part, const QString &text);
    void setClean(const QString &path);
    bool saveTo(const QString &path);
    void updateTitle();
    void remember(const QString &path);
    void fillRecentMenu();
    QString suggestedPath(const QString &suffix) const;

    QWidget *m_window;
    ProjectHost *m_host;
    QUndoStack *m_undoStack;
    Recovery m_recovery;
    QTimer m_autosave;
    QString m_path;
    bool m_undoStackClean = true;
    bool m_formsChanged = false;
    QMenu *m_recentMenu = nullptr;
    QString m_autosaveProblem; // what the status strip says, by importance
    QString m_keptNote;
    bool m_closing = false;
};

} // namespace orv
