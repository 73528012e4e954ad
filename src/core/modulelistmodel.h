#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>

namespace orv {

class OutputBuffer;

// One collected fragment: its running number (fixed when it was added), the
// name shown in the list and the whole code.
struct ModuleEntry {
    int number = 0;
    QString name;
    QString code;

    bool operator==(const ModuleEntry &) const = default;
};

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

    int count() const { return int(m_entries.size()); }
    const ModuleEntry &entry(int row) const { return m_entries.at(row); }
    QString code(int row) const { return m_entries.at(row).code; }

    // Appends an entry numbered by the count of entries plus 1; returns its row.
    int append(const QString &name, const QString &code);
    // Exchange name and code with the row above / below; the numbers stay on
    // their rows. False, and nothing changes, on the first / last row or an
    // invalid row.
    bool moveUp(int row);
    bool moveDown(int row);
    // Removes one entry; the others keep their numbers.
    bool remove(int row);
    void clear();

    // The text an entry's preview shows: its code with every line break made
    // CR LF and one CR LF after the last line; an empty code stays empty.
    QString previewText(int row) const;

private:
    bool validRow(int row) const { return row >= 0 && row < count(); }
    void swapRows(int a, int b);

    QList<ModuleEntry> m_entries;
};

// Puts the codes of all entries, in list order, into the buffer, each as a
// line of its own (the buffer is cleared first).
void writeSummary(const ModuleListModel &list, OutputBuffer &buffer);

} // namespace orv
