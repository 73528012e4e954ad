#pragma once

#include "core/moduleentry.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>

namespace orv {

class OutputBuffer;

// The module list: an ordered sequence of entries shown in three columns,
// "编号", "版块名" and "代码". The code column shows only the beginning of a
// code; CodeRole (on any column) and code() give the whole of it.
class ModuleListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { NumberColumn, NameColumn, CodeColumn, ColumnCount };
    enum Role { CodeRole = Qt::UserRole + 1 };

    explicit ModuleListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    Qt::DropActions supportedDropActions() const override;

    int count() const { return int(m_entries.size()); }
    const ModuleEntry &entry(int row) const { return m_entries.at(row); }
    QString code(int row) const { return m_entries.at(row).code; }
    const QList<ModuleEntry> &entries() const { return m_entries; }

    // Each entry's content carries an id that no other content in this model
    // has had; it follows the content when entries move, and is how a running
    // edit finds its entry again. -1 when no row holds it.
    quint64 id(int row) const { return m_ids.at(row); }
    int rowOf(quint64 id) const;

    // Appends an entry numbered by the count of entries plus 1; returns its row.
    int append(const QString &name, const QString &code, const std::optional<EntrySource> &source = {});
    // Puts an entry, its number as it is, at row (0 to count).
    void insert(int row, const ModuleEntry &entry);
    // Exchange name, code and source with the row above / below; the numbers
    // stay on their rows. False, and nothing changes, on the first / last row
    // or an invalid row.
    bool moveUp(int row);
    bool moveDown(int row);
    // Moves the content of row from to row to, the rows between shifting by
    // one; the numbers stay on their rows, as for moveUp and moveDown.
    bool move(int from, int to);
    // Replaces the name, code and source of a row; its number stays.
    bool replace(int row, const ModuleEntry &entry);
    // Removes one entry; the others keep their numbers.
    bool remove(int row);
    void clear();
    void setEntries(const QList<ModuleEntry> &entries);

    // The text an entry's preview shows: its code with every line break made
    // CR LF and one CR LF after the last line; an empty code stays empty.
    QString previewText(int row) const;

private:
    bool validRow(int row) const { return row >= 0 && row < count(); }
    void changed(int top, int bottom);

    QList<ModuleEntry> m_entries;
    QList<quint64> m_ids;
    quint64 m_nextId = 1;
};

// Puts the codes of all entries, in list order, into the buffer, each as a
// line of its own (the buffer is cleared first).
void writeSummary(const QList<ModuleEntry> &entries, OutputBuffer &buffer);
inline void writeSummary(const ModuleListModel &list, OutputBuffer &buffer)
{
    writeSummary(list.entries(), buffer);
}

} // namespace orv
