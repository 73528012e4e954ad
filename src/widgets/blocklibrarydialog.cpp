#include "blocklibrarydialog.h"

#include "core/failure.h"
#include "widgets/dialogs.h"
#include "widgets/namedbutton.h"
#include "widgets/previewgrid.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

constexpr int pathRole = Qt::UserRole;
constexpr int nameRole = Qt::UserRole + 1;
constexpr int problemRole = Qt::UserRole + 2;

const QString blockSuffix = u".orvanta-block"_s;
const QString blockFilter = u"Orvanta 块 (*.orvanta-block)"_s;

} // namespace

BlockLibraryDialog::BlockLibraryDialog(BlockLibrary &library, QWidget *parent)
    : QDialog(parent)
    , m_library(library)
    , m_search(new QLineEdit(this))
    , m_list(new QListWidget(this))
    , m_status(new QLabel(this))
    , m_insert(namedButton(u"插入(&I)"_s, u"btninsert"_s, this))
    , m_rename(namedButton(u"重命名(&R)"_s, u"btnrename"_s, this))
    , m_delete(namedButton(u"删除(&D)"_s, u"btndelete"_s, this))
    , m_export(namedButton(u"导出(&E)…"_s, u"btnexport"_s, this))
{
    setObjectName(u"frmblocks"_s);
    setWindowTitle(u"插入块"_s);

    m_search->setObjectName(u"edtsearch"_s);
    m_search->setPlaceholderText(u"按名称查找"_s);
    m_search->setClearButtonEnabled(true);
    m_search->installEventFilter(this);
    auto *searchLabel = new QLabel(u"查找(&F)："_s, this);
    searchLabel->setBuddy(m_search);
    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_search, 1);

    m_list->setObjectName(u"lstblocks"_s);
    makePreviewGrid(m_list);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setAccessibleName(u"块库"_s);
    m_status->setObjectName(u"lblstatus"_s);
    m_status->setWordWrap(true);
    m_status->setToolTip(QDir::toNativeSeparators(library.folder()));

    QPushButton *import = namedButton(u"导入(&M)…"_s, u"btnimport"_s, this);
    QPushButton *close = namedButton(u"关闭"_s, u"btnclose"_s, this);
    m_insert->setDefault(true);
    m_insert->setToolTip(u"把块的条目添加到模块列表末尾（回车、双击）"_s);
    m_rename->setToolTip(u"修改块的名称（F2）"_s);
    m_delete->setToolTip(u"把块移到回收站（Delete）"_s);
    m_export->setToolTip(u"把块另存为文件，供其他电脑导入"_s);
    import->setToolTip(u"把块文件（.orvanta-block）加入块库"_s);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_rename);
    buttonRow->addWidget(m_delete);
    buttonRow->addWidget(m_export);
    buttonRow->addWidget(import);
    buttonRow->addStretch(1);
    buttonRow->addWidget(m_insert);
    buttonRow->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_status);
    layout->addLayout(buttonRow);
    setMinimumSize(560, 480);
    // Tab follows the buttons as they stand.
    setTabOrder(m_list, m_rename);
    setTabOrder(m_rename, m_delete);
    setTabOrder(m_delete, m_export);
    setTabOrder(m_export, import);
    setTabOrder(import, m_insert);
    setTabOrder(m_insert, close);
    // Four blocks side by side at first.
    resize(4 * m_list->gridSize().width() + 80, 600);

    auto *renameKey = new QShortcut(Qt::Key_F2, this, this, &BlockLibraryDialog::rename);
    renameKey->setObjectName(u"renameKey"_s);
    // Delete in the search field deletes text.
    auto *deleteKey
        = new QShortcut(QKeySequence::Delete, m_list, this, &BlockLibraryDialog::remove, Qt::WidgetShortcut);
    deleteKey->setObjectName(u"deleteKey"_s);
    connect(m_search, &QLineEdit::textChanged, this, &BlockLibraryDialog::filter);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &BlockLibraryDialog::insert);
    connect(m_list, &QListWidget::itemChanged, this, &BlockLibraryDialog::nameEdited);
    connect(m_list, &QListWidget::currentItemChanged, this, &BlockLibraryDialog::updateButtons);
    connect(m_insert, &QPushButton::clicked, this, &BlockLibraryDialog::insert);
    connect(m_rename, &QPushButton::clicked, this, &BlockLibraryDialog::rename);
    connect(m_delete, &QPushButton::clicked, this, &BlockLibraryDialog::remove);
    connect(m_export, &QPushButton::clicked, this, &BlockLibraryDialog::exportBlock);
    connect(import, &QPushButton::clicked, this, &BlockLibraryDialog::importBlock);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    reload();
    m_search->setFocus();
}

void BlockLibraryDialog::reload(const QString &path)
{
    const QString current
        = path.isEmpty() && m_list->currentItem() ? m_list->currentItem()->data(pathRole).toString() : path;
    {
        const QSignalBlocker quiet(m_list);
        m_list->clear();
        const QColor grey = palette().color(QPalette::Disabled, QPalette::Text);
        for (const BlockLibrary::Item &block : m_library.list()) {
            auto *item = new QListWidgetItem(block.name, m_list);
            item->setData(pathRole, block.path);
            item->setData(nameRole, block.name);
            if (block.problem.isEmpty()) {
                item->setIcon(previewIcon(block.preview, u"无预览"_s));
                item->setToolTip(u"%1\n%2 个条目"_s.arg(block.name).arg(block.entries));
                item->setFlags(item->flags() | Qt::ItemIsEditable);
            } else {
                item->setData(problemRole, block.problem);
                item->setIcon(previewIcon({}, u"无法读取"_s));
                item->setToolTip(block.problem);
                item->setForeground(grey);
            }
            if (item->data(pathRole).toString() == current)
                m_list->setCurrentItem(item);
        }
    }
    filter();
}

void BlockLibraryDialog::filter()
{
    const QString text = m_search->text().trimmed();
    int shown = 0;
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem *item = m_list->item(row);
        item->setHidden(!item->data(nameRole).toString().contains(text, Qt::CaseInsensitive));
        shown += item->isHidden() ? 0 : 1;
    }
    QListWidgetItem *current = m_list->currentItem();
    if (!current || current->isHidden()) {
        m_list->setCurrentItem(nullptr);
        for (int row = 0; row < m_list->count(); ++row) {
            if (!m_list->item(row)->isHidden()) {
                m_list->setCurrentItem(m_list->item(row));
                break;
            }
        }
    }
    if (m_list->currentItem())
        m_list->currentItem()->setSelected(true);
    if (m_list->count() == 0)
        m_status->setText(u"块库中还没有块：在模块列表中选择条目，用“保存为块…”保存。"_s);
    else if (shown == 0)
        m_status->setText(u"没有名称含“%1”的块。"_s.arg(text));
    else
        m_status->setText(shown == m_list->count() ? u"共 %1 个块。"_s.arg(shown)
                                                   : u"找到 %1 个块（共 %2 个）。"_s.arg(shown).arg(m_list->count()));
    updateButtons();
}

QListWidgetItem *BlockLibraryDialog::currentBlock() const
{
    QListWidgetItem *item = m_list->currentItem();
    if (!item || item->isHidden() || !item->data(problemRole).isNull())
        return nullptr;
    return item;
}

void BlockLibraryDialog::updateButtons()
{
    const bool readable = currentBlock() != nullptr;
    for (QPushButton *b : {m_insert, m_rename, m_delete, m_export})
        b->setEnabled(readable);
}

bool BlockLibraryDialog::eventFilter(QObject *watched, QEvent *event)
{
    // Up and Down in the search field move in the grid.
    if (watched == m_search && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QKeyEvent copy(QEvent::KeyPress, key, static_cast<QKeyEvent *>(event)->modifiers());
            QCoreApplication::sendEvent(m_list, &copy);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void BlockLibraryDialog::insert()
{
    QListWidgetItem *item = currentBlock();
    if (!item)
        return;
    try {
        m_block = m_library.read(item->data(pathRole).toString());
    } catch (const Failure &failure) {
        dialogs::showError(this, failure.message());
        reload();
        return;
    }
    accept();
}

void BlockLibraryDialog::rename()
{
    if (QListWidgetItem *item = currentBlock()) {
        m_list->setFocus();
        m_list->editItem(item);
    }
}

void BlockLibraryDialog::nameEdited(QListWidgetItem *item)
{
    const QString old = item->data(nameRole).toString();
    const QString name = item->text().trimmed();
    if (name == old) {
        const QSignalBlocker quiet(m_list);
        item->setText(old);
        return;
    }
    QString renamed;
    try {
        renamed = m_library.rename(item->data(pathRole).toString(), name);
    } catch (const Failure &failure) {
        {
            const QSignalBlocker quiet(m_list);
            item->setText(old);
        }
        dialogs::showError(this, failure.message());
        return;
    }
    // Reloaded once the view is done with the item that was edited.
    QMetaObject::invokeMethod(
        this, [this, renamed] { reload(renamed); }, Qt::QueuedConnection);
    const QSignalBlocker quiet(m_list);
    item->setText(name);
    item->setData(nameRole, name);
    item->setData(pathRole, renamed);
}

void BlockLibraryDialog::remove()
{
    QListWidgetItem *item = currentBlock();
    if (!item || !dialogs::confirm(this, u"把块“%1”移到回收站吗？"_s.arg(item->data(nameRole).toString())))
        return;
    const QString path = item->data(pathRole).toString();
    const int row = m_list->row(item);
    try {
        m_library.moveToTrash(path);
    } catch (const Failure &failure) {
        dialogs::showError(this, failure.message());
        return;
    }
    // The block after it becomes current (the one before, for the last).
    const int next = row + 1 < m_list->count() ? row + 1 : row - 1;
    reload(next >= 0 ? m_list->item(next)->data(pathRole).toString() : QString());
}

void BlockLibraryDialog::exportBlock()
{
    QListWidgetItem *item = currentBlock();
    if (!item)
        return;
    const QString suggestion
        = QDir(QDir::homePath()).filePath(BlockLibrary::fileNameFor(item->data(nameRole).toString()));
    QString target = dialogs::saveFileName(this, u"导出块"_s, suggestion, blockFilter);
    if (target.isEmpty())
        return;
    if (QFileInfo(target).suffix().isEmpty())
        target += blockSuffix;
    try {
        m_library.exportTo(item->data(pathRole).toString(), target);
    } catch (const Failure &failure) {
        dialogs::showError(this, failure.message());
    }
}

void BlockLibraryDialog::importBlock()
{
    const QString source
        = dialogs::openFileName(this, u"导入块"_s, QDir::homePath(), blockFilter + u";;所有文件 (*)"_s);
    if (source.isEmpty())
        return;
    QString imported;
    try {
        imported = m_library.importFrom(source);
    } catch (const Failure &failure) {
        dialogs::showError(this, failure.message());
        return;
    }
    // Shown even when the search would hide it.
    m_search->clear();
    reload(imported);
}

} // namespace orv
