#include "mainwindow.h"

#include "app/application.h"
#include "app/exportpictures.h"
#include "app/links.h"
#include "app/pagecheckcontroller.h"
#include "app/preview.h"
#include "app/previewpage.h"
#include "app/progressmeasurer.h"
#include "app/settings.h"
#include "app/shortcuts.h"
#include "core/failure.h"
#include "core/generation.h"
#include "core/modulelistmodel.h"
#include "fetch/curlmeasurer.h"
#include "modules/catalog.h"
#include "widgets/colourfields.h"
#include "widgets/dialogs.h"
#include "widgets/editbar.h"
#include "widgets/findingspanel.h"
#include "widgets/modulelistpanel.h"
#include "widgets/modulepage.h"
#include "widgets/radiogroup.h"
#include "widgets/scrollcolumn.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QFrame>
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
    setObjectName(u"frmmain"_s);
    setWindowIcon(applicationIcon());
    m_document = new Document(this, this, &m_undoStack, recoveryFolder);
    m_colourFields = new ColourFields(this);

    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto *topSpacer = new QWidget(central);
    topSpacer->setObjectName(u"pnl1"_s);
    topSpacer->setFixedHeight(9);
    column->addWidget(topSpacer);

    auto *middle = new QHBoxLayout;
    middle->setSpacing(0);
    middle->addWidget(new ScrollColumn(createNavigationColumn(), central));
    m_splitter = new QSplitter(Qt::Horizontal, central);
    m_splitter->setObjectName(u"middle"_s);
    m_splitter->setHandleWidth(splitterWidth);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->addWidget(createSettingsPanel());
    m_splitter->addWidget(createBrowserArea());
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    styleHandle(m_splitter->handle(1), u"spl1"_s);
    middle->addWidget(m_splitter, 1);
    column->addLayout(middle, 1);
    column->addWidget(createStatusStrip());
    setCentralWidget(central);

    m_settingsPanel->hide();
    // After the pages and the module list: the menu names their keys on their buttons.
    createMenu();
    restoreWindowState();

    // The start page first, then the preview that replaces it.
    m_browser->load(links::startPage());
    m_preview = std::make_unique<Preview>(privateFolder(), m_browser);
    m_measurer = std::make_unique<ProgressMeasurer>(std::make_unique<CurlMeasurer>(), this);

    m_pageCheck = new PageCheckController(this, m_findings, m_checkBadge);
    connect(m_moduleList, &ModuleListPanel::checkRequested, m_pageCheck, &PageCheckController::checkBuffer);
    m_buffer.setChangeHandler([this] { m_pageCheck->bufferChanged(); });
}

void MainWindow::createMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(u"mm1"_s);

    QMenu *file = bar->addMenu(u"文件(&F)"_s);
    file->setObjectName(u"menuFile"_s);
    m_document->addActions(file);
    connect(m_document, &Document::exportPicturesRequested, this,
            [this] { exportPictures(this, project(), m_buffer, m_document->filePath()); });

    QMenu *edit = bar->addMenu(u"编辑(&E)"_s);
    edit->setObjectName(u"menuEdit"_s);
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
    connect(check, &QAction::triggered, this, [this] { m_pageCheck->checkBuffer(); });
    if (auto *b = m_moduleList->findChild<QPushButton *>(u"btnCheck"_s))
        b->setToolTip(shortcuts::withKey(b->text(), check->shortcut()));

    createModuleMenu();
    const auto item = [&](const QString &name, const QString &caption, auto slot) {
        QAction *action = bar->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, slot);
    };
    item(u"N4"_s, u" 官方网站(&H) "_s, [this] { openHomePage(); });
    item(u"N5"_s, u" 软件公告(&N) "_s, [this] { m_browser->load(links::announcements()); });
    item(u"N7"_s, u" 视频教程(&T) "_s, [this] { m_browser->load(links::tutorial()); });
    item(u"N8"_s, u" 新版下载(&D) "_s, [this] { m_browser->load(links::downloadPage()); });
}

// The 版块 menu: every module in navigation order, grouped as the column
// groups them, each with its key; then the shown page's 生成 and 添加 and the
// module list's 汇总 and 提取代码. The buttons' tool tips name the keys.
void MainWindow::createModuleMenu()
{
    QMenu *menu = menuBar()->addMenu(u"版块(&M)"_s);
    menu->setObjectName(u"menuModules"_s);
    menu->menuAction()->setObjectName(u"menuModules"_s);

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
            connect(action, &QAction::triggered, this, [this, id] { showModulePage(page(id)); });
            if (auto *button = findChild<QPushButton *>(pageSpec->navButton); button && !action->shortcut().isEmpty())
                button->setToolTip(shortcuts::withKey(pageSpec->moduleName, action->shortcut()));
        }
    }
    menu->addSeparator();

    const auto pageAction = [&](const QString &name, const QString &text, const QList<QKeySequence> &keys,
                                QString PageSpec::*button, const QString &caption) {
        QAction *action = menu->addAction(text);
        action->setObjectName(name);
        action->setShortcuts(keys);
        // The page the panel shows; nothing while the panel is hidden.
        connect(action, &QAction::triggered, this, [this, button] {
            if (ModulePage *modulePage = shownPage()) {
                if (auto *b = modulePage->findChild<QPushButton *>(modulePage->pageSpec().*button))
                    b->click();
            }
        });
        for (int i = 0; i < m_pages->count(); ++i) {
            const auto *modulePage = qobject_cast<ModulePage *>(m_pages->widget(i));
            if (auto *b = modulePage ? modulePage->findChild<QPushButton *>(modulePage->pageSpec().*button) : nullptr)
                b->setToolTip(shortcuts::withKey(caption.isEmpty() ? b->text() : caption, keys.value(0)));
        }
    };
    pageAction(u"actionGenerate"_s, u"生成(&B)"_s, shortcuts::generate(), &PageSpec::generateButton, {});
    pageAction(u"actionAdd"_s, u"添加(&A)"_s, shortcuts::add(), &PageSpec::addButton, u"添加"_s);
    menu->addSeparator();

    const auto listAction = [&](const QString &name, const QString &text, const QKeySequence &key,
                                const QString &buttonName, void (ModuleListPanel::*slot)()) {
        QAction *action = menu->addAction(text);
        action->setObjectName(name);
        action->setShortcut(key);
        connect(action, &QAction::triggered, m_moduleList, slot);
        if (auto *b = m_moduleList->findChild<QPushButton *>(buttonName))
            b->setToolTip(shortcuts::withKey(b->text(), key));
    };
    listAction(u"actionSummarize"_s, u"汇总(&P)"_s, shortcuts::summarize(), u"btn2"_s, &ModuleListPanel::summarize);
    listAction(u"actionExtract"_s, u"提取代码(&T)"_s, shortcuts::extract(), u"btntiqu"_s, &ModuleListPanel::extract);
}

ModulePage *MainWindow::shownPage() const
{
    return m_settingsPanel->isVisible() ? qobject_cast<ModulePage *>(m_pages->currentWidget()) : nullptr;
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
    navigation->setObjectName(u"pnl2"_s);
    navigation->setFixedWidth(navigationWidth);
    auto *layout = new QVBoxLayout(navigation);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *shopBox = new QWidget(navigation);
    shopBox->setObjectName(u"pnl3"_s);
    shopBox->setFixedHeight(73);
    m_shopType = new RadioGroup(shopBox);
    m_shopType->setObjectName(u"rg1"_s);
    m_shopType->setTitle(u"店铺类型"_s);
    m_shopType->setGeometry(8, 8, 122, 49);
    m_shopType->setItems({u"淘宝店"_s, u"天猫店"_s});
    m_shopType->setItemIndex(0);
    connect(m_shopType, &RadioGroup::itemChosen, this, &MainWindow::changeShopType);
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
            connect(button, &QPushButton::clicked, this, [this, id] { showModulePage(page(id)); });
            layout->addWidget(button);
        }
    }
    layout->addStretch(1);
    return navigation;
}

QWidget *MainWindow::createSettingsPanel()
{
    m_settingsPanel = bevelPanel(u"pnl4"_s, nullptr);
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
    metrics->setObjectName(u"pnl73"_s);
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
    m_totalWidth = valueLabel(u"lblzongkuan"_s, 44);
    placedLabel(u"总高："_s, 78, 11, metrics);
    m_totalHeight = valueLabel(u"lblzonggao"_s, 109);
    placedLabel(u"图宽："_s, 147, 11, metrics);
    m_imageWidth = valueLabel(u"lbltukuan"_s, 178);
    placedLabel(u"图高："_s, 212, 11, metrics);
    m_imageHeight = valueLabel(u"lbltugao"_s, 242);
    layout->addWidget(metrics);

    m_editBar = new EditBar(content);
    connect(m_editBar, &EditBar::updateRequested, this, &MainWindow::updateEditedEntry);
    connect(m_editBar, &EditBar::cancelRequested, this, &MainWindow::cancelEdit);
    layout->addWidget(m_editBar);

    m_pages = new QStackedWidget;
    m_pages->setObjectName(u"pgc1"_s);
    m_pages->setFixedHeight(536);
    m_pages->setFocusPolicy(Qt::NoFocus);
    for (const PageSpec *pageSpec : catalog::pages()) {
        auto *modulePage = new ModulePage(*pageSpec, m_pages);
        m_pages->addWidget(modulePage);
        m_colourFields->attach(modulePage);
        connect(modulePage, &ModulePage::generateRequested, this, [this, modulePage] { generate(modulePage); });
        connect(modulePage, &ModulePage::choiceMade, this, [this, modulePage] { applyChoice(modulePage); });
        connect(modulePage, &ModulePage::edited, m_document, &Document::formsChanged);
        connect(modulePage, &ModulePage::addRequested, this, [this, modulePage] { m_moduleList->add(*modulePage); });
    }

    // The page's form over the module list, the handle between them where the
    // user puts it; a form cut short scrolls.
    m_listSplit = new QSplitter(Qt::Vertical, content);
    m_listSplit->setObjectName(u"settingsSplit"_s);
    m_listSplit->setHandleWidth(splitterWidth);
    m_listSplit->setChildrenCollapsible(false);
    auto *form = new ScrollColumn(m_pages, m_listSplit);
    form->setObjectName(u"pageColumn"_s);
    form->setMinimumHeight(smallestForm);
    form->setMaximumHeight(m_pages->height());
    m_listSplit->addWidget(form);
    m_moduleList = new ModuleListPanel(this, &m_undoStack, m_listSplit);
    connect(m_moduleList, &ModuleListPanel::editRequested, this, &MainWindow::editEntry);
    m_listSplit->addWidget(m_moduleList);
    m_listSplit->setStretchFactor(0, 0);
    m_listSplit->setStretchFactor(1, 1);
    styleHandle(m_listSplit->handle(1), u"spl2"_s);
    m_listSplit->installEventFilter(this);
    connect(m_listSplit, &QSplitter::splitterMoved, this,
            [this] { m_moduleListHeight = m_listSplit->sizes().value(1, m_moduleListHeight); });
    layout->addWidget(m_listSplit, 1);
    setMetrics(Metrics::forShop(Shop::Taobao));
    return m_settingsPanel;
}

QWidget *MainWindow::createBrowserArea()
{
    QFrame *area = bevelPanel(u"pnl19"_s, nullptr);
    m_browserArea = area;
    area->installEventFilter(this);
    auto *layout = new QVBoxLayout(area);
    layout->setContentsMargins(1, 1, 1, 1);
    m_browser = new QWebEngineView(area);
    m_browser->setObjectName(u"wb1"_s);
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
    previewSplit->setObjectName(u"previewSplit"_s);
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
    m_toggle->setObjectName(u"pnl18"_s);
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
    QFrame *strip = bevelPanel(u"pnl37"_s, nullptr);
    strip->setFixedHeight(30);
    placedLabel(u"当前操作的版块名称："_s, 10, 8, strip);
    m_moduleName = placedLabel(u"版块名称"_s, 130, 8, strip, u"lblname"_s);
    m_moduleName->setMinimumWidth(200);
    // The counts of the shown check, at the right; a click shows the findings.
    auto *right = new QHBoxLayout(strip);
    right->setContentsMargins(0, 2, 8, 2);
    right->addStretch(1);
    // What the document says about keeping unsaved work (autosave failing).
    auto *recoveryStatus = new QLabel(m_document->statusText(), strip);
    recoveryStatus->setObjectName(u"lblrecovery"_s);
    connect(m_document, &Document::statusChanged, recoveryStatus, &QLabel::setText);
    right->addWidget(recoveryStatus);
    m_checkBadge = new QToolButton(strip);
    m_checkBadge->setObjectName(u"checkBadge"_s);
    m_checkBadge->setAutoRaise(true);
    right->addWidget(m_checkBadge);
    return strip;
}

QString MainWindow::privateFolder() const
{
    return m_privateDir.path();
}

QString MainWindow::moduleName() const
{
    return m_moduleName->text();
}

ModulePage *MainWindow::page(const QString &id) const
{
    return m_pages->findChild<ModulePage *>(id, Qt::FindDirectChildrenOnly);
}

void MainWindow::setMetrics(const Metrics &metrics)
{
    m_metrics = metrics;
    m_shopType->setItemIndex(metrics.shop == Shop::Tmall ? 1 : 0);
    m_totalWidth->setNum(metrics.totalWidth);
    m_totalHeight->setNum(metrics.totalHeight);
    m_imageWidth->setNum(metrics.imageWidth);
    m_imageHeight->setNum(metrics.imageHeight);
}

void MainWindow::showSettingsPanel()
{
    m_settingsPanel->show();
    if (!m_settingsPanelSized) {
        m_settingsPanelSized = true;
        const int total = m_splitter->width() - splitterWidth;
        const int width = qMin(m_settingsPanelWidth, qMax(0, total - m_splitter->widget(1)->minimumSizeHint().width()));
        m_splitter->setSizes({width, qMax(0, total - width)});
    }
}

void MainWindow::showModulePage(ModulePage *modulePage)
{
    showSettingsPanel();
    m_pages->setCurrentWidget(modulePage);
    m_moduleName->setText(modulePage->pageSpec().moduleName);
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

void MainWindow::changeShopType(int index)
{
    setMetrics(Metrics::forShop(index == 1 ? Shop::Tmall : Shop::Taobao));
    for (int i = 0; i < m_pages->count(); ++i) {
        if (auto *modulePage = qobject_cast<ModulePage *>(m_pages->widget(i)))
            modulePage->resetForShop();
    }
    m_document->formsChanged();
}

void MainWindow::applyChoice(ModulePage *modulePage)
{
    const PageSpec &pageSpec = modulePage->pageSpec();
    if (pageSpec.metricsOnChoice)
        setMetrics(pageSpec.metricsOnChoice(PageState{modulePage->values(), m_metrics}));
}

Project MainWindow::project() const
{
    Project p;
    p.metrics = m_metrics;
    for (int i = 0; i < m_pages->count(); ++i) {
        if (const auto *modulePage = qobject_cast<const ModulePage *>(m_pages->widget(i)))
            p.pages.insert(modulePage->pageSpec().id, modulePage->values());
    }
    // An entry being edited borrows its page and the metrics: the work is
    // what the window held before.
    if (m_editing) {
        p.metrics = m_editing->metricsBefore;
        p.pages.insert(m_editing->page->pageSpec().id, m_editing->fieldsBefore);
    }
    p.entries = m_moduleList->model()->entries();
    return p;
}

void MainWindow::setPageValues(ModulePage *modulePage, const FieldValues &values)
{
    // Fields the values leave out go back to their defaults.
    modulePage->setValues(modulePage->pageSpec().defaultState().fields);
    modulePage->setValues(values);
}

void MainWindow::setProject(const Project &project)
{
    endEdit();
    setMetrics(project.metrics);
    for (int i = 0; i < m_pages->count(); ++i) {
        if (auto *modulePage = qobject_cast<ModulePage *>(m_pages->widget(i)))
            setPageValues(modulePage, project.pages.value(modulePage->pageSpec().id));
    }
    m_moduleList->model()->setEntries(project.entries);
    // The buffer belonged to the work before: it holds this project's page
    // now, as 汇总 makes it, and the preview shows it with the module list;
    // a project without entries (新建) shows the start page.
    m_buffer.clear();
    showSettingsPanel();
    if (project.entries.isEmpty()) {
        m_browser->load(links::startPage());
        return;
    }
    writeSummary(*m_moduleList->model(), m_buffer);
    preview();
}

void MainWindow::editEntry(quint64 id)
{
    const ModuleListModel &model = *m_moduleList->model();
    const int row = model.rowOf(id);
    if (row < 0)
        return;
    const ModuleEntry &entry = model.entry(row);
    ModulePage *target = page(entry.source ? entry.source->page : catalog::codePage().id);
    if (!target)
        return;
    if (!m_editing) {
        m_editing = EditSession{id, target, target->values(), m_metrics,
                                qobject_cast<ModulePage *>(m_pages->currentWidget())};
    } else {
        // Another entry now: the window goes back to what it showed before the
        // first one when the edit is cancelled.
        if (m_editing->page != target) {
            setPageValues(m_editing->page, m_editing->fieldsBefore);
            m_editing->fieldsBefore = target->values();
        }
        m_editing->id = id;
        m_editing->page = target;
    }
    if (entry.source) {
        setPageValues(target, entry.source->fields);
        setMetrics(entry.source->metrics);
    } else {
        setPageValues(target, {{catalog::codePage().fields.first().key, entry.code}});
    }
    showModulePage(target);
    m_editBar->showFor(entry.number, entry.name);
}

void MainWindow::updateEditedEntry()
{
    if (!m_editing)
        return;
    const ModuleListModel &model = *m_moduleList->model();
    const int row = model.rowOf(m_editing->id);
    if (row < 0) {
        dialogs::inform(this, u"正在编辑的条目已不在版块列表中。"_s);
        leaveEdit();
        return;
    }
    ModuleEntry entry = model.entry(row);
    if (entry.source) {
        if (!runGenerator(m_editing->page))
            return; // the failure or reminder shows; the edit goes on
        const PageSpec &pageSpec = m_editing->page->pageSpec();
        const EntrySource &source = *m_buffer.source();
        const QString suffix
            = pageSpec.entrySuffix ? pageSpec.entrySuffix(PageState{source.fields, source.metrics}) : QString();
        entry.name = u"[ "_s + pageSpec.moduleName + u" ] "_s + suffix;
        entry.code = m_buffer.text();
        entry.source = m_buffer.source();
    } else {
        // An entry without a page is code of its own: the code as edited.
        entry.code = m_editing->page->value(catalog::codePage().fields.first().key);
    }
    m_moduleList->update(row, entry);
    leaveEdit();
}

void MainWindow::cancelEdit()
{
    if (m_editing)
        leaveEdit();
}

void MainWindow::leaveEdit()
{
    const EditSession session = *m_editing;
    endEdit();
    setPageValues(session.page, session.fieldsBefore);
    setMetrics(session.metricsBefore);
    // The page shown before, and its name for the next 添加.
    showModulePage(session.shownBefore ? session.shownBefore : session.page);
}

void MainWindow::endEdit()
{
    m_editing.reset();
    m_editBar->hide();
}

void MainWindow::showFailure(const QString &message)
{
    dialogs::showError(this, message);
}

void MainWindow::preview()
{
    preview(m_buffer.text());
}

void MainWindow::preview(const QString &text)
{
    try {
        m_preview->show(text);
        m_previewedText = text;
    } catch (const Failure &failure) {
        showFailure(failure.message());
    }
}

QString MainWindow::previewFile() const
{
    return m_preview->filePath();
}

bool MainWindow::confirmCopy()
{
    return m_pageCheck->confirmCopy();
}

void MainWindow::generate(ModulePage *modulePage)
{
    runGenerator(modulePage);
}

bool MainWindow::runGenerator(ModulePage *modulePage)
{
    const PageSpec &pageSpec = modulePage->pageSpec();
    Services services;
    services.measurer = m_measurer.get();
    services.displayedLines
        = [modulePage](const QString &key, const QString &text) { return modulePage->displayedLines(key, text); };
    const Generation run = orv::generate(pageSpec, PageState{modulePage->values(), m_metrics}, services);
    if (run.outcome == Generation::Outcome::Cancelled)
        return false;
    // Whatever the generator cleaned or wrote stays, also when it fails.
    modulePage->setValues(run.state.fields);
    setMetrics(run.state.metrics);
    switch (run.outcome) {
    case Generation::Outcome::Fragment:
        m_buffer.setFragment(run.text, EntrySource{pageSpec.id, run.state.fields, run.state.metrics});
        if (run.preview)
            preview();
        return true;
    case Generation::Outcome::Reminder:
        dialogs::inform(this, run.text);
        break;
    case Generation::Outcome::Failure:
        showFailure(run.text);
        break;
    case Generation::Outcome::Cancelled:
        break;
    }
    return false;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_document->maybeSave()) {
        event->ignore();
        return;
    }
    m_document->closing();
    saveWindowState();
    m_buffer.clear();
    m_privateDir.remove();
    event->accept();
}

} // namespace orv
