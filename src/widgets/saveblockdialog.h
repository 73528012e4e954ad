#pragma once

#include "core/blocklibrary.h"
#include "core/moduleentry.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace orv {

// 保存为块: a name and the module list's entries to save, each checked or
// not (the entry selected in the list checked first). 保存 is enabled once
// the name will do and an entry is checked; a name the library holds
// already is saved over only when the user says so. Until the name is
// edited, it follows the first checked entry, made unique in the library.
class SaveBlockDialog : public QDialog {
    Q_OBJECT

public:
    // entries: the module list; selected: the row selected there, or -1.
    SaveBlockDialog(const QList<ModuleEntry> &entries, int selected, const BlockLibrary &library,
                    QWidget *parent = nullptr);

    QString name() const;    // trimmed
    QList<int> rows() const; // the checked entries' rows, in list order
    // The user agreed to replace the library's block of that name:
    // BlockLibrary::save(block, replaces()).
    bool replaces() const { return m_replace; }

    // Asks before a block of the same name is replaced; stays open when not.
    void accept() override;

private:
    void suggestName();
    void updateButton();

    const BlockLibrary &m_library;
    QList<ModuleEntry> m_entries;
    QLineEdit *m_name;
    QListWidget *m_list;
    QPushButton *m_save;
    bool m_nameEdited = false;
    bool m_replace = false;
};

} // namespace orv
