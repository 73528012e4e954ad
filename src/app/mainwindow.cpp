#include "mainwindow.h"

#include "app/application.h"
#include "app/exportpictures.h"
#include "app/links.h"
#include "app/lookactions.h"
#include "app/mergedialog.h"
#include "app/pagecheckcontroller.h"
#include "app/preview.h"
#include "app/previewpage.h"
#include "app/progressmeasurer.h"
#include "app/settings.h"
#include "app/shortcuts.h"
#include "core/failure.h"
#include "core/modulelistmodel.h"
#include "core/summary.h"
#include "core/workspace.h"
#include "fetch/curlmeasurer.h"
#include "modules/catalog.h"
#include "sheets/merge.h"
#include "widgets/colourfields.h"
#include "widgets/dialogs.h"
#include "widgets/editbar.h"
#include "widgets/findingspanel.h"
#include "widgets/ids.h"
#include "widgets/modulelistpanel.h"
#include "widgets/modulepage.h"
#include "widgets/radiogroup.h"
#include "widgets/scrollcolumn.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

constexpr int clientWidth = 1424;
constexpr int clientHeight = 931;
constexpr int navigationWidth = 142;
constexpr int settingsWidth = 287;
constexpr int splitterWidth = 3;
// The window's frame around the client area, allowed for before the window
// manager tells it.
constexpr QSize frameAllowance(16, 48);
// The module list shows this many entries unless the user moves its handle;
// the form over it keeps at least this height, scrolling.
constexpr int listedEntries = 6;
constexpr int smallestForm = 80;
constexpr int toggleTop = 291;
constexpr int toggleHeight = 56;

QFrame *bevelPanel(const QString &name, QWidget *parent)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    return panel;
}

// A splitter's handle, in a light shade of the selection colour.
void styleHandle(QSplitterHandle *handle, const QString &name)
{
    handle->setObjectName(name);
    handle->setAutoFillBackground(true);
    QPalette handlePalette = handle->palette();
    handlePalette.setColor(QPalette::Window,
                           handle->palette().color(QPalette::Inactive, QPalette::Highlight).lighter(150));
    handle->setPalette(handlePalette);
}

QLabel *placedLabel(const QString &text, int x, int y, QWidget *parent, const QString &name = {})
{
    auto *label = new QLabel(text, parent);
    if (!name.isEmpty())
        label->setObjectName(name);
    label->move(x, y);
    return label;
}

} // namespace

MainWindow::MainWindow(QWidget *parent, const QString &recoveryFolder)
    : QMainWindow(parent)
    , m_privateDir(QDir::tempPath() + u"/orvanta-XXXXXX"_s)
{
    setObjectName(ids::mainWindow);
    setWindowIcon(applicationIcon());
    m_workspace = new Workspace(catalog::pages(), catalog::codePage(), this);
    m_document = new Document(this, this, &m_undoStack, recoveryFolder);
    m_colourFields = new ColourFields(this);

    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto *topSpacer = new QWidget(central);
    topSpacer->setObjectName(ids::topSpacer);
    topSpacer->setFixedHeight(9);
    column->addWidget(topSpacer);

    auto *middle = new QHBoxLayout;
    middle->setSpacing(0);
    middle->addWidget(new ScrollColumn(createNavigationColumn(), central));
    m_splitter = new QSplitter(Qt::Horizontal, central);
    m_splitter->setObjectName(ids::middleSplitter);
    m_splitter->setHandleWidth(splitterWidth);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->addWidget(createSettingsPanel());
    m_splitter->addWidget(createBrowserArea());
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    styleHandle(m_splitter->handle(1), ids::settingsHandle);
    middle->addWidget(m_splitter, 1);
    column->addLayout(middle, 1);
    column->addWidget(createStatusStrip());
    setCentralWidget(central);

    m_settingsPanel->hide();
    // The start page first, then the preview that replaces it.
    m_browser->load(links::startPage());
    m_preview = std::make_unique<Preview>(privateFolder(), m_browser);
    m_measurer = std::make_unique<ProgressMeasurer>(std::make_unique<CurlMeasurer>(), this);
    m_pageCheck = new PageCheckController(m_workspace, m_preview.get(), m_findings, m_checkBadge, this);
    m_look = new LookActions(m_workspace, &m_undoStack, m_colourFields, m_measurer.get(), this);
    connect(m_pageCheck, &PageCheckController::entrySelected, m_moduleList, &ModuleListPanel::selectRow);

    // After the module list and the check: the menu names their keys on their buttons.
    createMenu();
    restoreWindowState();
    connectWorkspace();
    showMetrics();
}

// The window follows the workspace.
void MainWindow::connectWorkspace()
{
    connect(m_workspace, &Workspace::fieldsChanged, this, [this](const QString &pageId) {
        if (ModulePage *modulePage = m_pageWidgets.value(pageId))
            modulePage->setValues(m_workspace->fields(pageId));
    });
    connect(m_workspace, &Workspace::metricsChanged, this, &MainWindow::showMetrics);
    connect(m_workspace, &Workspace::currentPageChanged, this, &MainWindow::showCurrentPage);
    connect(m_workspace, &Workspace::editChanged, this, &MainWindow::showEdit);
    connect(m_workspace, &Workspace::edited, m_document, &Document::formsChanged);
    // A change of the whole page (the shop's look, say) shows the page.
    connect(m_workspace, &Workspace::pageChanged, this, [this] {
        m_workspace->summarize();
        preview();
    });

    connect(m_moduleList, &ModuleListPanel::editRequested, this, &MainWindow::editEntry);
    connect(m_moduleList, &ModuleListPanel::previewRequested, this, qOverload<const QString &>(&MainWindow::preview));
    connect(m_moduleList, &ModuleListPanel::summarizeRequested, this, &MainWindow::summarize);
    connect(m_moduleList, &ModuleListPanel::extractRequested, this, &MainWindow::extract);
    connect(m_moduleList, &ModuleListPanel::checkRequested, m_pageCheck, &PageCheckController::checkBuffer);
    connect(m_moduleList, &ModuleListPanel::saveBlockRequested, m_look, &LookActions::saveBlock);
    connect(m_moduleList, &ModuleListPanel::insertBlockRequested, m_look, &LookActions::insertBlock);
    connect(m_look, &LookActions::pageChanged, this, [this] {
        m_workspace->summarize();
        preview();
    });
    // A colour field offers the shop's colours.
    connect(m_workspace, &Workspace::valuesChanged, this,
            [this] { m_colourFields->setSharedColours(m_workspace->values()); });
}

void MainWindow::createMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(ids::menuBar);

    QMenu *file = bar->addMenu(u"文件(&F)"_s);
    file->setObjectName(ids::fileMenu);
    m_document->addActions(file);
    connect(m_document, &Document::exportPicturesRequested, this,
            [this] { exportPictures(this, pageProject(), m_workspace->buffer(), m_document->filePath()); });
    connect(m_document, &Document::mergeRequested, this, &MainWindow::showMergeDialog);
    connect(m_document, &Document::newFromDesignRequested, this, [this] {
        if (const std::optional<Project> design = m_look->chooseDesign())
            m_document->newProject(*design);
    });

    QMenu *edit = bar->addMenu(u"编辑(&E)"_s);
    edit->setObjectName(ids::editMenu);
    QAction *undo = m_undoStack.createUndoAction(edit, u"撤销"_s);
    undo->setObjectName(u"actionUndo"_s);
    undo->setShortcut(QKeySequence::Undo);
    QAction *redo = m_undoStack.createRedoAction(edit, u"重做"_s);
    redo->setObjectName(u"actionRedo"_s);
    redo->setShortcuts({QKeySequence(u"Ctrl+Shift+Z"_s), QKeySequence(u"Ctrl+Y"_s)});
    edit->addAction(undo);
    edit->addAction(redo);
    edit->addSeparator();
    QAction *check = edit->addAction(u"检查页面"_s);
    check->setObjectName(u"actionCheckPage"_s);
    check->setShortcut(QKeySequence(Qt::Key_F7));
    connect(check, &QAction::triggered, m_pageCheck, &PageCheckController::checkBuffer);
    if (auto *b = m_moduleList->findChild<QPushButton *>(ids::checkButton))
        b->setToolTip(shortcuts::withKey(b->text(), check->shortcut()));
    edit->addSeparator();
    const auto lookAction = [&](const QString &name, const QString &text, void (LookActions::*slot)()) {
        QAction *action = edit->addAction(text);
        action->setObjectName(name);
        connect(action, &QAction::triggered, m_look, slot);
    };
    lookAction(u"actionStyle"_s, u"店铺风格(&L)…"_s, &LookActions::editStyle);
    lookAction(u"actionColours"_s, u"替换颜色(&R)…"_s, &LookActions::replaceColours);
    lookAction(u"actionInsertBlock"_s, u"插入块(&I)…"_s, &LookActions::insertBlock);

    createModuleMenu();
    const auto item = [&](const QString &name, const QString &caption, auto slot) {
        QAction *action = bar->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, slot);
    };
    item(ids::homePageItem, u" 官方网站(&H) "_s, [this] { openHomePage(); });
    item(ids::announcementsItem, u" 软件公告(&N) "_s, [this] { m_browser->load(links::announcements()); });
    item(ids::tutorialItem, u" 视频教程(&T) "_s, [this] { m_browser->load(links::tutorial()); });
    item(ids::downloadItem, u" 新版下载(&D) "_s, [this] { m_browser->load(links::downloadPage()); });
}

// The 版块 menu: every module in navigation order, grouped as the column
// groups them, each with its key; then the shown page's 生成 and 添加 and the
// module list's 汇总 and 提取代码. The buttons' tool tips name the keys.
void MainWindow::createModuleMenu()
{
    QMenu *menu = menuBar()->addMenu(u"版块(&M)"_s);
    menu->setObjectName(ids::modulesMenu);
    menu->menuAction()->setObjectName(ids::modulesMenu);

    qsizetype place = 0;
    for (const catalog::Group &group : catalog::groups()) {
        menu->addSection(QString(group.heading).remove(u'◇').trimmed());
        for (const PageSpec *pageSpec : group.pages) {
            const QChar mnemonic = shortcuts::moduleMnemonic(pageSpec->id);
            QString text = pageSpec->moduleName;
            if (!mnemonic.isNull())
                text += u"(&"_s + mnemonic + u')';
            QAction *action = menu->addAction(text);
            action->setObjectName(u"show_"_s + pageSpec->id);
            action->setShortcut(shortcuts::module(place++));
            const QString id = pageSpec->id;
            connect(action, &QAction::triggered, this, [this, id] { showModulePage(id); });
            if (QPushButton *button = m_navigationButtons.value(id); button && !action->shortcut().isEmpty())
                button->setToolTip(shortcuts::withKey(pageSpec->moduleName, action->shortcut()));
        }
    }
    menu->addSeparator();

    // 生成 and 添加 of the page shown; nothing while the panel is hidden.
    const auto pageAction = [&](const QString &name, const QString &text, const QList<QKeySequence> &keys,
                                void (MainWindow::*slot)(const QString &)) {
        QAction *action = menu->addAction(text);
        action->setObjectName(name);
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, [this, slot] {
            if (const QString id = shownPage(); !id.isEmpty())
                (this->*slot)(id);
        });
    };
    pageAction(u"actionGenerate"_s, u"生成(&B)"_s, shortcuts::generate(), &MainWindow::generate);
    pageAction(u"actionAdd"_s, u"添加(&A)"_s, shortcuts::add(), &MainWindow::add);
    menu->addSeparator();

    const auto listAction = [&](const QString &name, const QString &text, const QKeySequence &key,
                                const QString &buttonName, void (MainWindow::*slot)()) {
        QAction *action = menu->addAction(text);
        action->setObjectName(name);
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, slot);
        if (auto *b = m_moduleList->findChild<QPushButton *>(buttonName))
            b->setToolTip(shortcuts::withKey(b->text(), key));
    };
    listAction(u"actionSummarize"_s, u"汇总(&P)"_s, shortcuts::summarize(), ids::summarizeButton,
               &MainWindow::summarize);
    listAction(u"actionExtract"_s, u"提取代码(&T)"_s, shortcuts::extract(), ids::extractButton, &MainWindow::extract);
}

QString MainWindow::shownPage() const
{
    const auto *modulePage = qobject_cast<const ModulePage *>(m_pages->currentWidget());
    return m_settingsPanel->isVisible() && modulePage ? modulePage->pageSpec().id : QString();
}

// The size, position and settings-panel width of the last run; the first time
// (or when the settings are unusable) a size that fits the screen, centred.
void MainWindow::restoreWindowState()
{
    const Settings settings;
    m_settingsPanelWidth = settings.settingsPanelWidth() > 0 ? settings.settingsPanelWidth() : settingsWidth;
    m_moduleListHeight = settings.moduleListHeight();
    const QScreen *screen = this->screen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    // A geometry cut short restores a window of no size: that is none.
    if (restoreGeometry(settings.windowGeometry()) && width() >= minimumSizeHint().width()
        && height() >= minimumSizeHint().height() && (!screen || available.intersects(frameGeometry())))
        return;
    QSize size(clientWidth, clientHeight + menuBar()->sizeHint().height());
    if (screen) {
        resize(size.boundedTo(available.size() - frameAllowance).expandedTo(minimumSizeHint()));
        move(available.center() - rect().center());
    } else {
        resize(size);
    }
}

void MainWindow::saveWindowState()
{
    if (m_settingsPanel->isVisible())
        m_settingsPanelWidth = m_splitter->sizes().value(0, m_settingsPanelWidth);
    Settings settings;
    settings.setWindowGeometry(saveGeometry());
    settings.setSettingsPanelWidth(m_settingsPanelWidth);
    settings.setModuleListHeight(m_moduleListHeight);
}

// The toggle strip keeps its place on the browser's edge, moving up when the
// window is too short for it.
bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_browserArea && event->type() == QEvent::Resize)
        m_toggle->move(1, qMax(1, qMin(toggleTop, m_browserArea->height() - toggleHeight - 1)));
    // The first time the findings show they take a third of the height under
    // the preview; after that the splitter keeps where the user put it.
    if (watched == m_findings && event->type() == QEvent::Show && !m_findingsPlaced) {
        m_findingsPlaced = true;
        auto *split = static_cast<QSplitter *>(m_findings->parentWidget());
        const int total = split->height() - split->handleWidth();
        split->setSizes({total - total / 3, total / 3});
    }
    if (watched == m_listSplit && event->type() == QEvent::Resize)
        placeModuleList();
    return QMainWindow::eventFilter(watched, event);
}

// The module list keeps the height the user gave it (by default room for a
// few entries, more where the form needs less), the form the rest.
void MainWindow::placeModuleList()
{
    const int total = m_listSplit->height() - m_listSplit->handleWidth();
    if (total <= 0)
        return;
    const int form = m_listSplit->widget(0)->maximumHeight();
    int list
        = m_moduleListHeight > 0 ? m_moduleListHeight : qMax(m_moduleList->heightForRows(listedEntries), total - form);
    list = qMax(m_moduleList->minimumSizeHint().height(), qMin(list, total - smallestForm));
    m_listSplit->setSizes({total - list, list});
}

// Opens the home page in the user's default browser. A build without a home
// page opens a copy of the built-in start page instead.
void MainWindow::openHomePage()
{
    QUrl url = links::homePage();
    if (url.isEmpty()) {
        const QString folder = privateFolder() + u"/home"_s;
        QDir().mkpath(folder);
        for (const QString &name : {u"start.html"_s, u"guide.html"_s, u"notes.html"_s, u"style.css"_s}) {
            QFile::remove(folder + u'/' + name);
            QFile::copy(u":/pages/"_s + name, folder + u'/' + name);
        }
        url = QUrl::fromLocalFile(folder + u"/start.html"_s);
    }
    QDesktopServices::openUrl(url);
}

MainWindow::~MainWindow() = default;

QWidget *MainWindow::createNavigationColumn()
{
    auto *navigation = new QWidget;
    navigation->setObjectName(ids::navigationColumn);
    navigation->setFixedWidth(navigationWidth);
    auto *layout = new QVBoxLayout(navigation);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *shopBox = new QWidget(navigation);
    shopBox->setObjectName(ids::shopBox);
    shopBox->setFixedHeight(73);
    m_shopType = new RadioGroup(shopBox);
    m_shopType->setObjectName(ids::shopType);
    m_shopType->setTitle(u"店铺类型"_s);
    m_shopType->setGeometry(8, 8, 122, 49);
    m_shopType->setItems({u"淘宝店"_s, u"天猫店"_s});
    m_shopType->setItemIndex(0);
    connect(m_shopType, &RadioGroup::itemChosen, this,
            [this](int index) { m_workspace->changeShop(index == 1 ? Shop::Tmall : Shop::Taobao); });
    layout->addWidget(shopBox);

    for (const catalog::Group &group : catalog::groups()) {
        auto *heading = new QLabel(group.heading, navigation);
        heading->setObjectName(group.headingName);
        heading->setAlignment(Qt::AlignCenter);
        heading->setFixedHeight(45);
        layout->addWidget(heading);
        for (qsizetype i = 0; i < group.pages.size(); ++i) {
            const PageSpec *pageSpec = group.pages.at(i);
            if (i > 0)
                layout->addSpacing(5);
            auto *button = new QPushButton(pageSpec->moduleName, navigation);
            button->setObjectName(pageSpec->navButton);
            button->setFixedHeight(41);
            button->setFocusPolicy(Qt::NoFocus);
            const QString id = pageSpec->id;
            connect(button, &QPushButton::clicked, this, [this, id] { showModulePage(id); });
            m_navigationButtons.insert(id, button);
            layout->addWidget(button);
        }
    }
    layout->addStretch(1);
    return navigation;
}

QWidget *MainWindow::createSettingsPanel()
{
    m_settingsPanel = bevelPanel(ids::settingsPanel, nullptr);
    auto *frameLayout = new QVBoxLayout(m_settingsPanel);
    frameLayout->setContentsMargins(1, 1, 1, 1);
    // The splitter narrows the panel as far as its content allows; a short
    // window scrolls it.
    auto *content = new QWidget;
    frameLayout->addWidget(new ScrollColumn(content, m_settingsPanel));
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *metrics = new QWidget(content);
    metrics->setObjectName(ids::metricsStrip);
    metrics->setFixedHeight(35);
    QFont valueFont = font();
    valueFont.setPixelSize(12);
    valueFont.setBold(true);
    const auto valueLabel = [&](const QString &name, int x) {
        QLabel *label = placedLabel(u"0"_s, x, 11, metrics, name);
        label->setFont(valueFont);
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, Qt::red);
        label->setPalette(p);
        label->setMinimumWidth(30);
        return label;
    };
    placedLabel(u"总宽："_s, 13, 11, metrics);
    m_totalWidth = valueLabel(ids::totalWidth, 44);
    placedLabel(u"总高："_s, 78, 11, metrics);
    m_totalHeight = valueLabel(ids::totalHeight, 109);
    placedLabel(u"图宽："_s, 147, 11, metrics);
    m_imageWidth = valueLabel(ids::imageWidth, 178);
    placedLabel(u"图高："_s, 212, 11, metrics);
    m_imageHeight = valueLabel(ids::imageHeight, 242);
    layout->addWidget(metrics);

    m_editBar = new EditBar(content);
    connect(m_editBar, &EditBar::updateRequested, this, &MainWindow::updateEditedEntry);
    connect(m_editBar, &EditBar::cancelRequested, this, &MainWindow::cancelEdit);
    layout->addWidget(m_editBar);

    // The module pages are made as they are first shown (page()).
    m_pages = new QStackedWidget;
    m_pages->setObjectName(ids::pages);
    m_pages->setFixedHeight(536);
    m_pages->setFocusPolicy(Qt::NoFocus);

    // The page's form over the module list, the handle between them where the
    // user puts it; a form cut short scrolls.
    m_listSplit = new QSplitter(Qt::Vertical, content);
    m_listSplit->setObjectName(ids::settingsSplit);
    m_listSplit->setHandleWidth(splitterWidth);
    m_listSplit->setChildrenCollapsible(false);
    auto *form = new ScrollColumn(m_pages, m_listSplit);
    form->setObjectName(ids::pageColumn);
    form->setMinimumHeight(smallestForm);
    form->setMaximumHeight(m_pages->height());
    m_listSplit->addWidget(form);
    m_moduleList = new ModuleListPanel(m_workspace->list(), &m_undoStack, m_listSplit);
    m_listSplit->addWidget(m_moduleList);
    m_listSplit->setStretchFactor(0, 0);
    m_listSplit->setStretchFactor(1, 1);
    styleHandle(m_listSplit->handle(1), ids::listHandle);
    m_listSplit->installEventFilter(this);
    connect(m_listSplit, &QSplitter::splitterMoved, this,
            [this] { m_moduleListHeight = m_listSplit->sizes().value(1, m_moduleListHeight); });
    layout->addWidget(m_listSplit, 1);
    return m_settingsPanel;
}

QWidget *MainWindow::createBrowserArea()
{
    QFrame *area = bevelPanel(ids::browserArea, nullptr);
    m_browserArea = area;
    area->installEventFilter(this);
    auto *layout = new QVBoxLayout(area);
    layout->setContentsMargins(1, 1, 1, 1);
    m_browser = new QWebEngineView(area);
    m_browser->setObjectName(ids::browser);
    m_browser->setPage(new PreviewPage(m_browser));
    QWebEngineSettings *settings = m_browser->settings();
    settings->setDefaultTextEncoding(u"utf-8"_s);
    // Previews show pasted HTML from anywhere: it may not read the user's files.
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    // The preview is a local file, and the engine keeps local pages from every
    // remote address, pictures included, unless allowed: the pictures of a
    // description are all on the web.
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    // Showing a page leaves the keyboard focus where the user had it. The
    // engine keeps no key of the window for itself, except the editing keys
    // inside a text field of the page (undo there is the field's own).
    settings->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
    // The page check's findings show under the preview.
    auto *previewSplit = new QSplitter(Qt::Vertical, area);
    previewSplit->setObjectName(ids::previewSplit);
    previewSplit->setChildrenCollapsible(false);
    previewSplit->addWidget(m_browser);
    m_findings = new FindingsPanel(previewSplit);
    m_findings->hide();
    m_findings->installEventFilter(this);
    previewSplit->addWidget(m_findings);
    previewSplit->setStretchFactor(0, 3);
    previewSplit->setStretchFactor(1, 1);
    layout->addWidget(previewSplit);

    m_toggle = new QPushButton(u"》"_s, area);
    m_toggle->setObjectName(ids::panelToggle);
    m_toggle->setToolTip(u"点击打开面板"_s);
    m_toggle->setAccessibleName(u"点击打开面板"_s);
    m_toggle->setGeometry(1, toggleTop, 33, toggleHeight);
    m_toggle->setFocusPolicy(Qt::NoFocus);
    m_toggle->setStyleSheet(u"QPushButton { color: white; font: bold 14px; border: none;"
                            " background-color: qlineargradient(x1:0, y1:0, x2:1, y2:0,"
                            " stop:0 #0054E3, stop:1 #3D95FF); }"_s);
    m_toggle->raise();
    connect(m_toggle, &QPushButton::clicked, this, &MainWindow::toggleSettingsPanel);
    return area;
}

QWidget *MainWindow::createStatusStrip()
{
    QFrame *strip = bevelPanel(ids::statusStrip, nullptr);
    strip->setFixedHeight(30);
    placedLabel(u"当前操作的版块名称："_s, 10, 8, strip);
    m_moduleName = placedLabel(u"版块名称"_s, 130, 8, strip, ids::moduleName);
    m_moduleName->setMinimumWidth(200);
    // The counts of the shown check, at the right; a click shows the findings.
    auto *right = new QHBoxLayout(strip);
    right->setContentsMargins(0, 2, 8, 2);
    right->addStretch(1);
    // What the document says about keeping unsaved work (autosave failing).
    auto *recoveryStatus = new QLabel(m_document->statusText(), strip);
    recoveryStatus->setObjectName(ids::recoveryStatus);
    connect(m_document, &Document::statusChanged, recoveryStatus, &QLabel::setText);
    right->addWidget(recoveryStatus);
    m_checkBadge = new QToolButton(strip);
    m_checkBadge->setObjectName(ids::checkBadge);
    m_checkBadge->setAutoRaise(true);
    right->addWidget(m_checkBadge);
    return strip;
}

QString MainWindow::privateFolder() const
{
    return m_privateDir.path();
}

ModulePage *MainWindow::page(const QString &id)
{
    if (ModulePage *modulePage = m_pageWidgets.value(id))
        return modulePage;
    const PageSpec *pageSpec = m_workspace->pageSpec(id);
    if (!pageSpec)
        return nullptr;
    auto *modulePage = new ModulePage(*pageSpec, m_pages);
    modulePage->setValues(m_workspace->fields(id));
    m_pages->addWidget(modulePage);
    m_pageWidgets.insert(id, modulePage);
    m_colourFields->attach(modulePage);
    modulePage->setButtonToolTips(shortcuts::withKey(pageSpec->generateCaption, shortcuts::generate().value(0)),
                                  shortcuts::withKey(u"添加"_s, shortcuts::add().value(0)));
    connect(modulePage, &ModulePage::edited, this,
            [this, id, modulePage](const QString &key) { m_workspace->setField(id, key, modulePage->value(key)); });
    connect(modulePage, &ModulePage::choiceMade, this, [this, id, modulePage] {
        m_workspace->setFields(id, modulePage->values());
        m_workspace->applyChoice(id);
    });
    connect(modulePage, &ModulePage::generateRequested, this, [this, id] { generate(id); });
    connect(modulePage, &ModulePage::addRequested, this, [this, id] { add(id); });
    return modulePage;
}

void MainWindow::showMetrics()
{
    const Metrics &metrics = m_workspace->metrics();
    m_shopType->setItemIndex(metrics.shop == Shop::Tmall ? 1 : 0);
    m_totalWidth->setNum(metrics.totalWidth);
    m_totalHeight->setNum(metrics.totalHeight);
    m_imageWidth->setNum(metrics.imageWidth);
    m_imageHeight->setNum(metrics.imageHeight);
}

void MainWindow::showSettingsPanel()
{
    // Before any module is chosen the panel shows the first page.
    if (m_pages->count() == 0)
        m_pages->setCurrentWidget(page(m_workspace->pages().constFirst()->id));
    m_settingsPanel->show();
    if (!m_settingsPanelSized) {
        m_settingsPanelSized = true;
        const int total = m_splitter->width() - splitterWidth;
        const int width = qMin(m_settingsPanelWidth, qMax(0, total - m_splitter->widget(1)->minimumSizeHint().width()));
        m_splitter->setSizes({width, qMax(0, total - width)});
    }
}

void MainWindow::showModulePage(const QString &pageId)
{
    showSettingsPanel();
    m_workspace->choosePage(pageId);
}

void MainWindow::showCurrentPage()
{
    const QString id = m_workspace->currentPage();
    if (ModulePage *modulePage = page(id))
        m_pages->setCurrentWidget(modulePage);
    m_moduleName->setText(m_workspace->moduleName());
}

void MainWindow::toggleSettingsPanel()
{
    if (m_toggle->text() == u"》"_s) {
        showSettingsPanel();
        m_toggle->setText(u"《"_s);
    } else {
        m_settingsPanelWidth = m_splitter->sizes().value(0, m_settingsPanelWidth);
        m_settingsPanel->hide();
        m_toggle->setText(u"》"_s);
    }
}

Project MainWindow::project() const
{
    return m_workspace->project();
}

// The project with each entry's code as the page shows it.
Project MainWindow::pageProject() const
{
    Project shown = project();
    const QStringList codes = m_workspace->pageCodes();
    for (qsizetype i = 0; i < shown.entries.size() && i < codes.size(); ++i)
        shown.entries[i].code = codes.at(i);
    return shown;
}

QString MainWindow::pageText() const
{
    return summaryText(m_workspace->pageCodes());
}

void MainWindow::setProject(const Project &project)
{
    m_workspace->setProject(project);
    showFirstProduct(project.sheet);
    // The preview shows the project's page with the module list; a project
    // without entries (新建) shows the start page.
    showSettingsPanel();
    if (project.entries.isEmpty()) {
        m_browser->load(links::startPage());
        return;
    }
    preview();
}

// A design shows its sheet's first product while it is edited, when the sheet
// can be read (else its slots as typed; 批量生成 says what is wrong).
void MainWindow::showFirstProduct(const QString &sheetPath)
{
    if (sheetPath.isEmpty() || !QFileInfo::exists(sheetPath))
        return;
    try {
        const sheets::Sheet sheet = sheets::readSheet(sheetPath);
        if (!sheet.rows.isEmpty())
            m_workspace->setRowValues(sheets::rowValues(sheet, 0));
    } catch (const Failure &) {
    }
}

Services MainWindow::services(const QString &pageId)
{
    Services services;
    services.measurer = m_measurer.get();
    ModulePage *modulePage = page(pageId);
    services.displayedLines
        = [modulePage](const QString &key, const QString &text) { return modulePage->displayedLines(key, text); };
    return services;
}

void MainWindow::present(const Generation &run)
{
    switch (run.outcome) {
    case Generation::Outcome::Fragment:
        if (run.preview)
            preview();
        break;
    case Generation::Outcome::Reminder:
        dialogs::inform(this, run.text);
        break;
    case Generation::Outcome::Failure:
        showFailure(run.text);
        break;
    case Generation::Outcome::Cancelled:
        break;
    }
}

void MainWindow::generate(const QString &pageId)
{
    present(m_workspace->generate(pageId, services(pageId)));
}

void MainWindow::add(const QString &pageId)
{
    const PageSpec *pageSpec = m_workspace->pageSpec(pageId);
    if (pageSpec && dialogs::confirm(this, pageSpec->addConfirmation))
        m_moduleList->add(m_workspace->entryToAdd(pageId));
}

void MainWindow::summarize()
{
    m_workspace->summarize();
    dialogs::inform(this, u"所有代码已经提交完毕，可以通过右侧预览区查看总体样式！"_s);
    preview();
}

void MainWindow::extract()
{
    const OutputBuffer &buffer = m_workspace->buffer();
    if (!buffer.isEmpty()) {
        if (!m_pageCheck->confirmCopy())
            return;
        QGuiApplication::clipboard()->setText(buffer.text());
    }
    dialogs::inform(this, u"代码提取完毕！"_s);
}

void MainWindow::editEntry(quint64 id)
{
    if (m_workspace->editEntry(id))
        showSettingsPanel();
}

void MainWindow::showEdit()
{
    if (const Workspace::Edit *edit = m_workspace->editing())
        m_editBar->showFor(edit->number, edit->name);
    else
        m_editBar->hide();
}

void MainWindow::updateEditedEntry()
{
    const Workspace::Edit *edit = m_workspace->editing();
    if (!edit)
        return;
    const Workspace::Update update = m_workspace->updateEdit(services(edit->pageId));
    switch (update.outcome) {
    case Workspace::Update::Outcome::Gone:
        dialogs::inform(this, u"正在编辑的条目已不在版块列表中。"_s);
        break;
    case Workspace::Update::Outcome::NotGenerated:
        present(update.run); // the failure or reminder; the edit goes on
        break;
    case Workspace::Update::Outcome::Updated:
        if (update.entry.source)
            present(update.run);
        m_moduleList->update(update.row, update.entry);
        break;
    }
}

void MainWindow::cancelEdit()
{
    m_workspace->cancelEdit();
}

MergeDialog *MainWindow::showMergeDialog()
{
    if (!m_mergeDialog) {
        m_mergeDialog = new MergeDialog(m_workspace, m_measurer.get(), this);
        connect(m_mergeDialog, &MergeDialog::previewRequested, this, qOverload<const QString &>(&MainWindow::preview));
    }
    m_mergeDialog->showFor(m_document->filePath());
    return m_mergeDialog;
}

void MainWindow::showFailure(const QString &message)
{
    dialogs::showError(this, message);
}

void MainWindow::preview()
{
    preview(m_workspace->buffer().text());
}

void MainWindow::preview(const QString &text)
{
    try {
        m_preview->show(text);
    } catch (const Failure &failure) {
        showFailure(failure.message());
    }
}

QString MainWindow::previewFile() const
{
    return m_preview->filePath();
}

const QString &MainWindow::previewedText() const
{
    return m_preview->text();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_document->maybeSave()) {
        event->ignore();
        return;
    }
    m_document->closing();
    saveWindowState();
    m_workspace->buffer().clear();
    m_privateDir.remove();
    event->accept();
}

} // namespace orv
