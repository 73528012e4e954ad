#pragma once

#include "app/document.h"
#include "core/outputbuffer.h"
#include "core/page.h"
#include "widgets/workspace.h"

#include <QMainWindow>
#include <QTemporaryDir>
#include <QUndoStack>

#include <memory>
#include <optional>

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
class ModuleListPanel;
class PageCheckController;
class ModulePage;
class PictureMeasurer;
class Preview;
class RadioGroup;

// The program's one window: navigation column, settings panel with the module
// pages and the module list, and the preview. It owns the output buffer, the
// layout metrics, the undo stack of the module list, the document and the
// private folder for the preview file.
class MainWindow : public QMainWindow, public Workspace, public ProjectHost {
    Q_OBJECT

public:
    // Unsaved work is kept in a recovery file in recoveryFolder.
    explicit MainWindow(QWidget *parent = nullptr, const QString &recoveryFolder = Recovery::defaultFolder());
    ~MainWindow() override;

    Project project() const override;
    // Shows a project (opened, recovered or new): the settings panel with its
    // module list, and its page, as 汇总 makes it, in the buffer and the
    // preview; the start page when it has no entries.
    void setProject(const Project &project) override;
    Document *document() const { return m_document; }
    QUndoStack *undoStack() { return &m_undoStack; }
    ModuleListPanel *moduleList() const { return m_moduleList; }

    const Metrics &metrics() const { return m_metrics; }
    void setMetrics(const Metrics &metrics);

    OutputBuffer &buffer() override { return m_buffer; }
    QString privateFolder() const;
    QWebEngineView *browser() const { return m_browser; }
    ModulePage *page(const QString &id) const;
    ColourFields *colourFields() const { return m_colourFields; }

    // Writes the buffer to the preview file and shows it.
    void preview();
    // Writes a text to the preview file and shows it, leaving the buffer
    // alone; a failure shows in the standard error box.
    void preview(const QString &text) override;
    // The preview file, and the text last written to it.
    QString previewFile() const;
    const QString &previewedText() const { return m_previewedText; }

    // The page check: 检查, 编辑 → 检查页面 (F7), and the question before
    // 提取代码 copies a page with errors.
    PageCheckController *pageCheck() const { return m_pageCheck; }
    bool confirmCopy() override;

    QString moduleName() const override;

    // Editing an entry of the module list on its page: the page shows the
    // fields and metrics the entry was generated from (an entry without a
    // page, its code in the custom-HTML page) until the edit is updated or
    // cancelled; then the window is given back as it was (the page's fields,
    // the metrics and shop type, the page shown). Meanwhile project() holds
    // the work as it was before the edit.
    void editEntry(quint64 id);
    void updateEditedEntry();
    void cancelEdit();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createMenu();
    void createModuleMenu();
    void restoreWindowState();
    void saveWindowState();
    ModulePage *shownPage() const;
    void openHomePage();
    QWidget *createNavigationColumn();
    QWidget *createSettingsPanel();
    QWidget *createBrowserArea();
    QWidget *createStatusStrip();

    void placeModuleList();
    void showModulePage(ModulePage *page);
    void showSettingsPanel();
    void toggleSettingsPanel();
    void changeShopType(int index);
    void generate(ModulePage *page);
    // Runs the page's generator as 生成 does; false when it made no fragment.
    bool runGenerator(ModulePage *page);
    void applyChoice(ModulePage *page);
    void showFailure(const QString &message);
    void setPageValues(ModulePage *page, const FieldValues &values);

    struct EditSession {
        quint64 id = 0;
        ModulePage *page = nullptr;
        // What the window showed before, for 取消.
        FieldValues fieldsBefore;
        Metrics metricsBefore;
        ModulePage *shownBefore = nullptr;
    };
    // Ends the edit and gives the window back as it was before it.
    void leaveEdit();
    void endEdit();

    OutputBuffer m_buffer;
    Metrics m_metrics;
    QUndoStack m_undoStack;
    Document *m_document = nullptr;
    std::optional<EditSession> m_editing;
    QTemporaryDir m_privateDir;
    std::unique_ptr<Preview> m_preview;
    QString m_previewedText;
    std::unique_ptr<PictureMeasurer> m_measurer;

    QWidget *m_settingsPanel = nullptr;
    QSplitter *m_splitter = nullptr;
    bool m_settingsPanelSized = false;
    int m_settingsPanelWidth = 0;
    QSplitter *m_listSplit = nullptr;
    int m_moduleListHeight = 0; // the user's; 0 until the handle is moved
    QWidget *m_browserArea = nullptr;
    QStackedWidget *m_pages = nullptr;
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
};

} // namespace orv
