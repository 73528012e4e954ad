#pragma once

#include "app/document.h"
#include "core/generation.h"
#include "core/page.h"
#include "core/workspace.h"

#include <QHash>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QUndoStack>

#include <memory>

class QLabel;
class QPushButton;
class QToolButton;
class QSplitter;
class QStackedWidget;
class QWebEngineView;

namespace orv {

class ColourFields;
class EditBar;
class FindingsPanel;
class LookActions;
class MergeDialog;
class ModuleListPanel;
class PageCheckController;
class ModulePage;
class PictureMeasurer;
class Preview;
class RadioGroup;

// The program's one window: navigation column, settings panel with the module
// pages and the module list, and the preview. It shows the workspace (the
// work's state) and forwards the user's actions to it; buttons, menus and
// keys call the same slots. It owns the undo stack of the module list, the
// document and the private folder for the preview file.
class MainWindow : public QMainWindow, public ProjectHost {
    Q_OBJECT

public:
    // Unsaved work is kept in a recovery file in recoveryFolder.
    explicit MainWindow(QWidget *parent = nullptr, const QString &recoveryFolder = Recovery::defaultFolder());
    ~MainWindow() override;

    Workspace *workspace() const { return m_workspace; }
    Project project() const override;
    // Shows a project (opened, recovered or new): the settings panel with its
    // module list, and its page, as 汇总 makes it, in the buffer and the
    // preview; the start page when it has no entries.
    void setProject(const Project &project) override;
    QString pageText() const override;
    Document *document() const { return m_document; }
    QUndoStack *undoStack() { return &m_undoStack; }
    ModuleListPanel *moduleList() const { return m_moduleList; }

    QString privateFolder() const;
    QWebEngineView *browser() const { return m_browser; }
    // A module's page; pages are made the first time they are needed.
    ModulePage *page(const QString &id);
    ColourFields *colourFields() const { return m_colourFields; }

    // Writes the buffer to the preview file and shows it.
    void preview();
    // Writes a text to the preview file and shows it, leaving the buffer
    // alone; a failure shows in the standard error box.
    void preview(const QString &text);
    // The preview file, and the text last written to it.
    QString previewFile() const;
    const QString &previewedText() const;

    // The page check: 检查, 编辑 → 检查页面 (F7), and the question before
    // 提取代码 copies a page with errors.
    PageCheckController *pageCheck() const { return m_pageCheck; }

    // The user's actions.
    // Navigation (a button, the 版块 menu): the settings panel with the page.
    void showModulePage(const QString &pageId);
    // 生成 and 添加 on a page.
    void generate(const QString &pageId);
    void add(const QString &pageId);
    // 汇总 and 提取代码.
    void summarize();
    void extract();
    // Editing an entry of the module list on its page (编辑, a double-click),
    // then 更新 or 取消; the workspace keeps what the page held before.
    void editEntry(quint64 id);
    void updateEditedEntry();
    void cancelEdit();
    // 文件 → 批量生成….
    MergeDialog *showMergeDialog();
    LookActions *look() const { return m_look; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createMenu();
    void createModuleMenu();
    void restoreWindowState();
    void saveWindowState();
    // The page the settings panel shows; empty while it is hidden.
    QString shownPage() const;
    void openHomePage();
    QWidget *createNavigationColumn();
    QWidget *createSettingsPanel();
    QWidget *createBrowserArea();
    QWidget *createStatusStrip();
    void connectWorkspace();
    Project pageProject() const;
    void showFirstProduct(const QString &sheetPath);

    void placeModuleList();
    void showSettingsPanel();
    void toggleSettingsPanel();
    void showCurrentPage();
    void showMetrics();
    void showEdit();
    Services services(const QString &pageId);
    // Shows what a generator run came to: the preview of a fragment, a
    // reminder or a failure.
    void present(const Generation &run);
    void showFailure(const QString &message);

    QUndoStack m_undoStack;
    Workspace *m_workspace = nullptr;
    Document *m_document = nullptr;
    QTemporaryDir m_privateDir;
    std::unique_ptr<Preview> m_preview;
    std::unique_ptr<PictureMeasurer> m_measurer;

    QWidget *m_settingsPanel = nullptr;
    QSplitter *m_splitter = nullptr;
    bool m_settingsPanelSized = false;
    int m_settingsPanelWidth = 0;
    QSplitter *m_listSplit = nullptr;
    int m_moduleListHeight = 0; // the user's; 0 until the handle is moved
    QWidget *m_browserArea = nullptr;
    QStackedWidget *m_pages = nullptr;
    QHash<QString, ModulePage *> m_pageWidgets;
    QHash<QString, QPushButton *> m_navigationButtons;
    QPushButton *m_toggle = nullptr;
    QLabel *m_moduleName = nullptr;
    RadioGroup *m_shopType = nullptr;
    QLabel *m_totalWidth = nullptr;
    QLabel *m_totalHeight = nullptr;
    QLabel *m_imageWidth = nullptr;
    QLabel *m_imageHeight = nullptr;
    QWebEngineView *m_browser = nullptr;
    ModuleListPanel *m_moduleList = nullptr;
    EditBar *m_editBar = nullptr;
    ColourFields *m_colourFields = nullptr;
    FindingsPanel *m_findings = nullptr;
    bool m_findingsPlaced = false;
    QToolButton *m_checkBadge = nullptr;
    PageCheckController *m_pageCheck = nullptr;
    MergeDialog *m_mergeDialog = nullptr;
    LookActions *m_look = nullptr;
};

} // namespace orv
