#pragma once

#include "sheets/merge.h"
#include "sheets/sheet.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace orv {

class PictureMeasurer;
class Workspace;

// 文件 → 批量生成…: one page per product of a sheet, from the project as a
// design whose fields hold slots ("{{宝贝名称}}"). The sheet's columns and
// the slots the design uses stand side by side, slots without a column
// marked before anything runs; a row number shows that row's page in the
// preview; 生成全部 writes every page, index.csv and nothing else into a
// folder, with progress and 取消, and lists every row's outcome (a
// double-click shows a row's page). The dialog stays open beside the window.
class MergeDialog : public QDialog {
    Q_OBJECT

public:
    // measurer: fetches the pictures of the pages previewed.
    MergeDialog(Workspace *workspace, PictureMeasurer *measurer, QWidget *parent = nullptr);
    ~MergeDialog() override;

    // Shows it for the project saved at projectPath (empty when never
    // saved): with the sheet the project last used, when there is one.
    void showFor(const QString &projectPath);

    // Reads a sheet; false (and the reason shown) when it cannot be read.
    bool loadSheet(const QString &path);
    // The product row shown in the preview, from 1.
    void previewRow(int row);
    // 生成全部.
    void mergeAll();

signals:
    // A page to show in the window's preview.
    void previewRequested(const QString &page);

private:
    void browseSheet();
    void browseFolder();
    void showColumns();
    void addResult(const sheets::MergedRow &row);
    sheets::MergeOptions mergeOptions(const Project &project) const;
    void updateButtons();
    QString keyColumn() const;
    QStringList missingSlots() const;

    Workspace *m_workspace;
    PictureMeasurer *m_measurer;
    std::optional<sheets::Sheet> m_sheet;
    QLineEdit *m_sheetPath;
    QLabel *m_sheetInfo;
    QListWidget *m_columns;
    QListWidget *m_slots;
    QLabel *m_missing;
    QComboBox *m_key;
    QSpinBox *m_row;
    QLineEdit *m_folder;
    QCheckBox *m_check;
    QPushButton *m_run;
    QTableWidget *m_results;
    QLabel *m_status;
};

} // namespace orv
