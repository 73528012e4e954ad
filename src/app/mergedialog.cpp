#include "mergedialog.h"

#include "core/failure.h"
#include "core/linelist.h"
#include "core/sharedvalues.h"
#include "core/slots.h"
#include "core/workspace.h"
#include "fetch/curlmeasurer.h"
#include "modules/catalog.h"
#include "modules/pagewidth.h"
#include "sheets/mergerun.h"
#include "widgets/dialogs.h"
#include "widgets/progressrun.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <atomic>
#include <exception>
#include <thread>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

const QString sheetFilter = u"商品表格 (*.csv *.txt *.tsv *.xlsx *.ods);;所有文件 (*)"_s;

enum ResultColumn { RowColumn, KeyColumn, CharactersColumn, ErrorsColumn, WarningsColumn, MessageColumn };

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString suggestedFolder(const QString &projectPath)
{
    if (projectPath.isEmpty())
        return QDir(QDir::homePath()).filePath(u"商品页面"_s);
    const QFileInfo file(projectPath);
    return file.dir().filePath(file.completeBaseName() + u" 商品页面"_s);
}

QString formatName(const sheets::Sheet &sheet)
{
    switch (sheet.format) {
    case sheets::Format::Xlsx:
        return u"XLSX 工作表“%1”"_s.arg(sheet.sheetName);
    case sheets::Format::Ods:
        return u"ODS 工作表“%1”"_s.arg(sheet.sheetName);
    case sheets::Format::Csv:
        break;
    }
    return u"CSV（%1）"_s.arg(sheets::encodingName(sheet.csv.encoding));
}

QTableWidgetItem *item(const QString &text)
{
    auto *cell = new QTableWidgetItem(text);
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return cell;
}

// A measurer that the run's 取消 stops.
class StoppableMeasurer : public PictureMeasurer {
public:
    StoppableMeasurer(PictureMeasurer &inner, const std::atomic_bool &stop)
        : m_inner(inner)
        , m_stop(stop)
    {
    }

    // Generators pass no flag of their own; a caller's flag wins.
    QList<MeasuredPicture> measureAll(const QStringList &urls, const Progress &progress,
                                      const std::atomic_bool *cancel) override
    {
        return m_inner.measureAll(urls, progress, cancel ? cancel : &m_stop);
    }

private:
    PictureMeasurer &m_inner;
    const std::atomic_bool &m_stop;
};

// The row's page, made on this thread (the reason when it fails); nothing
// when the user stopped it.
std::optional<sheets::MergedRow> mergeOne(const Project &project, const sheets::Sheet &sheet,
                                          sheets::MergeOptions options, qsizetype row, const Services &services)
{
    options.rows = {row};
    std::optional<sheets::MergedRow> made;
    try {
        sheets::mergeSheet(project, catalog::pages(), sheet, options, services,
                           [&](const sheets::MergedRow &done) { made = done; });
    } catch (const Failure &failure) {
        made = sheets::MergedRow{};
        made->row = row;
        made->failure = failure.message();
    }
    return made;
}

} // namespace

MergeDialog::MergeDialog(Workspace *workspace, PictureMeasurer *measurer, QWidget *parent)
    : QDialog(parent)
    , m_workspace(workspace)
    , m_measurer(measurer)
    , m_sheetPath(new QLineEdit(this))
    , m_sheetInfo(new QLabel(this))
    , m_columns(new QListWidget(this))
    , m_slots(new QListWidget(this))
    , m_missing(new QLabel(this))
    , m_key(new QComboBox(this))
    , m_row(new QSpinBox(this))
    , m_folder(new QLineEdit(this))
    , m_check(new QCheckBox(u"检查每一页(&C)（较慢）"_s, this))
    , m_run(new QPushButton(u"生成全部(&G)"_s, this))
    , m_results(new QTableWidget(0, 6, this))
    , m_status(new QLabel(this))
{
    setObjectName(u"frmmerge"_s);
    setWindowTitle(u"批量生成"_s);

    // A path's field with its button to choose one.
    const auto pathRow = [this](QLineEdit *field, const QString &fieldName, const QString &caption,
                                const QString &buttonName, void (MergeDialog::*browse)()) {
        field->setObjectName(fieldName);
        auto *button = new QPushButton(caption, this);
        button->setObjectName(buttonName);
        connect(button, &QPushButton::clicked, this, browse);
        auto *row = new QHBoxLayout;
        row->addWidget(field, 1);
        row->addWidget(button);
        return row;
    };
    m_sheetPath->setReadOnly(true);
    QHBoxLayout *sheetRow
        = pathRow(m_sheetPath, u"edtsheet"_s, u"选择表格(&S)…"_s, u"btnsheet"_s, &MergeDialog::browseSheet);
    m_sheetInfo->setObjectName(u"lblsheetinfo"_s);

    // The sheet's columns beside the slots the design uses.
    m_columns->setObjectName(u"lstcolumns"_s);
    m_slots->setObjectName(u"lstslots"_s);
    auto *lists = new QGridLayout;
    const auto listLabel = [this](const QString &text, QWidget *buddy) {
        auto *label = new QLabel(text, this);
        label->setBuddy(buddy);
        return label;
    };
    lists->addWidget(listLabel(u"表格的列(&L)："_s, m_columns), 0, 0);
    lists->addWidget(listLabel(u"设计用到的占位符(&O)："_s, m_slots), 0, 1);
    lists->addWidget(m_columns, 1, 0);
    lists->addWidget(m_slots, 1, 1);
    m_columns->setMinimumHeight(120);
    m_slots->setMinimumHeight(120);
    m_missing->setObjectName(u"lblmissing"_s);
    m_missing->setWordWrap(true);
    QPalette warning = m_missing->palette();
    warning.setColor(QPalette::WindowText, Qt::red);
    m_missing->setPalette(warning);

    m_key->setObjectName(u"cbbkey"_s);
    m_row->setObjectName(u"spnrow"_s);
    m_row->setRange(1, 1);
    m_row->setKeyboardTracking(false);
    auto *showRow = new QPushButton(u"预览(&P)"_s, this);
    showRow->setObjectName(u"btnpreviewrow"_s);
    auto *rowLine = new QHBoxLayout;
    rowLine->addWidget(m_row);
    rowLine->addWidget(showRow);
    rowLine->addStretch(1);

    QHBoxLayout *folderRow
        = pathRow(m_folder, u"edtfolder"_s, u"浏览(&B)…"_s, u"btnfolder"_s, &MergeDialog::browseFolder);
    m_check->setObjectName(u"chkcheck"_s);

    auto *form = new QFormLayout;
    form->addRow(u"商品表格："_s, sheetRow);
    form->addRow(QString(), m_sheetInfo);
    form->addRow(u"文件名取自(&K)："_s, m_key);
    form->addRow(u"预览第几行(&R)："_s, rowLine);
    form->addRow(u"保存到文件夹(&F)："_s, folderRow);
    form->addRow(QString(), m_check);
    qobject_cast<QLabel *>(form->labelForField(m_key))->setBuddy(m_key);
    qobject_cast<QLabel *>(form->labelForField(rowLine))->setBuddy(m_row);
    qobject_cast<QLabel *>(form->labelForField(folderRow))->setBuddy(m_folder);

    m_results->setObjectName(u"tblresults"_s);
    m_results->setHorizontalHeaderLabels({u"行"_s, u"文件名"_s, u"字符数"_s, u"错误"_s, u"警告"_s, u"说明"_s});
    m_results->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_results->horizontalHeader()->setStretchLastSection(true);
    m_results->verticalHeader()->hide();
    m_results->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_results->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_results->setSelectionMode(QAbstractItemView::SingleSelection);
    m_results->setToolTip(u"双击一行，在预览区查看该商品的页面"_s);
    m_results->hide();
    m_status->setObjectName(u"lblstatus"_s);
    m_status->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(this);
    m_run->setObjectName(u"btnrun"_s);
    m_run->setDefault(true);
    buttons->addButton(m_run, QDialogButtonBox::ActionRole);
    QPushButton *close = buttons->addButton(u"关闭"_s, QDialogButtonBox::RejectRole);
    close->setObjectName(u"btnclose"_s);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(lists, 1);
    layout->addWidget(m_missing);
    layout->addWidget(m_results, 2);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    setMinimumSize(560, 520);

    connect(m_row, &QSpinBox::valueChanged, this, &MergeDialog::previewRow);
    connect(showRow, &QPushButton::clicked, this, [this] { previewRow(m_row->value()); });
    connect(m_folder, &QLineEdit::textChanged, this, &MergeDialog::updateButtons);
    connect(m_run, &QPushButton::clicked, this, &MergeDialog::mergeAll);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_results, &QTableWidget::cellDoubleClicked, this,
            [this](int row) { previewRow(m_results->item(row, RowColumn)->text().toInt()); });
    updateButtons();
}

MergeDialog::~MergeDialog() = default;

void MergeDialog::showFor(const QString &projectPath)
{
    if (m_folder->text().isEmpty())
        m_folder->setText(nativePath(suggestedFolder(projectPath)));
    const QString remembered = m_workspace->project().sheet;
    if (!m_sheet && !remembered.isEmpty() && QFileInfo::exists(remembered))
        loadSheet(remembered);
    showColumns();
    show();
    raise();
    activateWindow();
}

void MergeDialog::browseSheet()
{
    const QString start = m_sheet ? QFileInfo(m_sheet->path).absolutePath() : QDir::homePath();
    const QString path = dialogs::openFileName(this, u"选择商品表格"_s, start, sheetFilter);
    if (!path.isEmpty())
        loadSheet(path);
}

void MergeDialog::browseFolder()
{
    const QString start = m_folder->text().trimmed().isEmpty() ? QDir::homePath() : m_folder->text().trimmed();
    const QString chosen = dialogs::folderName(this, u"选择保存页面的文件夹"_s, QDir::fromNativeSeparators(start));
    if (!chosen.isEmpty())
        m_folder->setText(nativePath(chosen));
}

bool MergeDialog::loadSheet(const QString &path)
{
    try {
        m_sheet = sheets::readSheet(path);
    } catch (const Failure &failure) {
        dialogs::showError(this, failure.message());
        return false;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_workspace->setSheet(absolute);
    m_sheetPath->setText(nativePath(absolute));
    m_sheetInfo->setText(u"%1 · %2 个商品 · %3 列%4"_s.arg(formatName(*m_sheet))
                             .arg(m_sheet->rows.size())
                             .arg(m_sheet->columns.size())
                             .arg(m_sheet->listingLayout ? u" · 商品导出格式"_s : QString()));
    m_key->clear();
    m_key->addItem(u"自动（商家编码，没有时用行号）"_s, QString());
    for (const sheets::Column &column : std::as_const(m_sheet->columns)) {
        const QString shown
            = column.localName.isEmpty() ? column.name : u"%1（%2）"_s.arg(column.localName, column.name);
        m_key->addItem(shown, column.name);
    }
    m_row->setRange(1, int(qMax<qsizetype>(1, m_sheet->rows.size())));
    m_results->setRowCount(0);
    m_results->hide();
    m_status->clear();
    showColumns();
    if (!m_sheet->rows.isEmpty() && missingSlots().isEmpty())
        previewRow(m_row->value());
    return true;
}

// The slots the design uses that neither a column nor a shared value fills.
QStringList MergeDialog::missingSlots() const
{
    const Project project = m_workspace->project();
    QStringList missing;
    for (const QString &name : slotNames(project.entries)) {
        if (!(m_sheet && m_sheet->column(name) >= 0) && !findSharedValue(project.values, name))
            missing.append(name);
    }
    return missing;
}

void MergeDialog::showColumns()
{
    const Project project = m_workspace->project();
    const QStringList slotList = slotNames(project.entries);
    m_columns->clear();
    if (m_sheet) {
        for (const sheets::Column &c : std::as_const(m_sheet->columns)) {
            const QString name = c.localName.isEmpty() ? c.name : u"%1（%2）"_s.arg(c.localName, c.name);
            const bool used = slotList.contains(c.name) || (!c.localName.isEmpty() && slotList.contains(c.localName));
            m_columns->addItem(used ? u"✔ "_s + name : name);
        }
    }
    m_slots->clear();
    for (const QString &name : slotList) {
        auto *slot = new QListWidgetItem(u"{{%1}}"_s.arg(name), m_slots);
        if (m_sheet && m_sheet->column(name) >= 0)
            continue;
        if (findSharedValue(project.values, name)) {
            slot->setText(slot->text() + u"（店铺风格）"_s);
        } else if (m_sheet) {
            slot->setText(slot->text() + u"（表格中没有）"_s);
            slot->setForeground(Qt::red);
        }
    }
    const QStringList missing = missingSlots();
    if (slotList.isEmpty())
        m_missing->setText(u"设计中没有占位符：每个商品的页面都相同。在字段中写 {{列名}}，生成时换成该行的内容。"_s);
    else if (m_sheet && !missing.isEmpty())
        m_missing->setText(
            u"表格中没有这些占位符的列：{{%1}}。请改正设计或表格后再生成。"_s.arg(missing.join(u"}}、{{"_s)));
    else
        m_missing->clear();
    m_missing->setVisible(!m_missing->text().isEmpty());
    updateButtons();
}

void MergeDialog::updateButtons()
{
    m_run->setEnabled(m_sheet && !m_sheet->rows.isEmpty() && !m_folder->text().trimmed().isEmpty()
                      && missingSlots().isEmpty());
}

QString MergeDialog::keyColumn() const
{
    return m_key->currentData().toString();
}

sheets::MergeOptions MergeDialog::mergeOptions(const Project &project) const
{
    sheets::MergeOptions options;
    options.keyColumn = keyColumn();
    options.check = m_check->isChecked();
    options.entryWidth = pagewidth::entryWidth;
    options.otherValues = slotValues(project.values);
    return options;
}

void MergeDialog::previewRow(int row)
{
    if (!m_sheet || row < 1 || row > m_sheet->rows.size())
        return;
    Services services;
    services.measurer = m_measurer;
    services.displayedLines = [](const QString &, const QString &text) { return splitLines(text); };
    const Project project = m_workspace->project();
    const std::optional<sheets::MergedRow> made = mergeOne(project, *m_sheet, mergeOptions(project), row - 1, services);
    if (!made) {
        m_status->setText(u"已取消第 %1 行的预览。"_s.arg(row));
        return;
    }
    if (made->failed()) {
        m_status->setText(u"第 %1 行：%2"_s.arg(row).arg(made->failure));
        return;
    }
    m_status->setText(u"预览区显示第 %1 行（%2）的页面。"_s.arg(row).arg(made->key));
    // What the window generates meanwhile shows this product too.
    m_workspace->setRowValues(sheets::rowValues(*m_sheet, row - 1));
    emit previewRequested(made->page);
}

void MergeDialog::addResult(const sheets::MergedRow &row)
{
    const int at = m_results->rowCount();
    m_results->insertRow(at);
    const auto count = [&](int n) { return row.checked ? QString::number(n) : QString(); };
    m_results->setItem(at, RowColumn, item(QString::number(row.row + 1)));
    m_results->setItem(at, KeyColumn, item(row.failed() ? row.key : row.key + u".html"_s));
    m_results->setItem(at, CharactersColumn, item(row.characters > 0 ? QString::number(row.characters) : QString()));
    m_results->setItem(at, ErrorsColumn, item(count(row.errors)));
    m_results->setItem(at, WarningsColumn, item(count(row.warnings)));
    QTableWidgetItem *message = item(row.failed() ? row.failure : u"完成"_s);
    if (row.failed())
        message->setForeground(Qt::red);
    m_results->setItem(at, MessageColumn, message);
}

void MergeDialog::mergeAll()
{
    if (!m_sheet)
        return;
    const Project project = m_workspace->project();
    const sheets::MergeOptions options = mergeOptions(project);
    sheets::MergeTarget target;
    target.folder = QDir::fromNativeSeparators(m_folder->text().trimmed());
    std::unique_ptr<sheets::MergeRun> run;
    for (;;) {
        try {
            run = std::make_unique<sheets::MergeRun>(*m_sheet, options, target);
            break;
        } catch (const sheets::OutputRefused &refused) {
            if (refused.replaced().isEmpty() || target.overwrite) {
                dialogs::showError(this, refused.message());
                return;
            }
            const QString text
                = u"文件夹“%1”中已有上次批量生成的页面或同名文件（%2）。\n要用新的页面替换它们吗？"
                  "（其他文件不受影响）"_s.arg(nativePath(target.folder), refused.replaced().mid(0, 5).join(u"、"_s));
            if (!dialogs::askToReplace(this, text))
                return;
            target.overwrite = true;
        } catch (const Failure &failure) {
            dialogs::showError(this, failure.message());
            return;
        }
    }

    m_results->setRowCount(0);
    m_results->show();
    const auto total = int(run->rows().size());
    const auto progressText = [total](int done) { return u"正在生成 %1 / %2"_s.arg(done).arg(total); };
    ProgressRun progress(this, u"mergeProgress"_s, progressText(0));
    progress.dialog().setWindowTitle(u"批量生成"_s);
    progress.setProgress(0, total, progressText(0));

    std::atomic_bool stop = false;
    sheets::MergeTotals totals;
    std::exception_ptr error;
    int done = 0;
    std::thread worker([&] {
        try {
            CurlMeasurer curl;
            StoppableMeasurer measurer(curl, stop);
            Services services;
            services.measurer = &measurer;
            services.displayedLines = [](const QString &, const QString &text) { return splitLines(text); };
            totals = run->run(
                project, catalog::pages(), services,
                [&](const sheets::MergedRow &row) {
                    sheets::MergedRow shown = row;
                    shown.page.clear();
                    shown.codes.clear();
                    QMetaObject::invokeMethod(
                        &progress,
                        [&, shown] {
                            addResult(shown);
                            ++done;
                            progress.setProgress(done, total, progressText(done));
                        },
                        Qt::QueuedConnection);
                },
                &stop);
        } catch (...) {
            error = std::current_exception();
        }
        QMetaObject::invokeMethod(&progress, &ProgressRun::finish, Qt::QueuedConnection);
    });
    progress.exec([&stop] { stop = true; });
    worker.join();
    run.reset(); // its staging folder goes before anything is asked

    const QString folder = nativePath(QDir(target.folder).absolutePath());
    if (error) {
        QString message;
        try {
            std::rethrow_exception(error);
        } catch (const Failure &failure) {
            message = failure.message();
        } catch (const std::exception &failure) {
            message = QString::fromLocal8Bit(failure.what());
        }
        m_status->setText(u"批量生成失败，文件夹“%1”保持原样。"_s.arg(folder));
        dialogs::showError(this, message);
        return;
    }
    if (totals.cancelled) {
        m_status->setText(u"已取消：生成了 %1 / %2 行，文件夹“%3”保持原样。"_s.arg(done).arg(total).arg(folder));
        return;
    }
    const qsizetype pages = totals.rows - totals.failed;
    m_status->setText(
        u"已生成 %1 个页面到文件夹“%2”，%3 行失败；index.csv 列出每一行。"_s.arg(pages).arg(folder).arg(totals.failed));
    QString text = u"已生成 %1 个页面到文件夹：\n%2"_s.arg(pages).arg(folder);
    if (totals.failed > 0)
        text += u"\n其中 %1 行失败，原因见列表和 index.csv。"_s.arg(totals.failed);
    if (dialogs::askToOpenFolder(this, text + u"\n\n要打开该文件夹吗？"_s))
        dialogs::openUrl(QUrl::fromLocalFile(QDir(target.folder).absolutePath()));
}

} // namespace orv
