#pragma once

#include "core/blocklibrary.h"

#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace orv {

// 插入块…: the user's library of saved blocks as a grid of preview pictures
// with names, filtered by a search field as the user types (the field has
// the focus first; Up and Down move in the grid). 插入 (Enter, a
// double-click) reads the chosen block and closes the dialog; 重命名 (F2)
// edits the name in place; 删除 (Delete in the grid) asks, then moves the
// file to the desktop's trash; 导出… and 导入… copy block files out and in.
// A file the library cannot read is greyed, its problem in the tool tip, and
// offers nothing but its tool tip.
class BlockLibraryDialog : public QDialog {
    Q_OBJECT

public:
    explicit BlockLibraryDialog(BlockLibrary &library, QWidget *parent = nullptr);

    // The block 插入 read, once it closed the dialog; for insertBlock().
    const std::optional<Block> &block() const { return m_block; }

    // The buttons' actions, on the current block.
    void insert();
    void rename(); // starts editing its name; the edit renames it
    void remove();
    void exportBlock();
    void importBlock();

    // Lists the library again, the block of path current (else the first shown).
    void reload(const QString &path = {});

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QListWidgetItem *currentBlock() const;
    void nameEdited(QListWidgetItem *item);
    void filter();
    void updateButtons();

    BlockLibrary &m_library;
    std::optional<Block> m_block;
    QLineEdit *m_search;
    QListWidget *m_list;
    QLabel *m_status;
    QPushButton *m_insert;
    QPushButton *m_rename;
    QPushButton *m_delete;
    QPushButton *m_export;
};

} // namespace orv
