#include "modulelistmodel.h"

#include "core/linelist.h"
#include "core/outputbuffer.h"
#include "core/summary.h"

namespace orv {

using namespace Qt::StringLiterals;

namespace {

// How much of a code the narrow code column gets; the rest is elided anyway.
constexpr qsizetype codeExcerptLength = 64;

QString codeExcerpt(const QString &code)
{
    QString excerpt = code.left(codeExcerptLength);
    excerpt.replace(u'\r', u' ');
    excerpt.replace(u'\n', u' ');
    return excerpt;
}

} // namespace

ModuleListModel::ModuleListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int ModuleListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

int ModuleListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ModuleListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const ModuleEntry &e = m_entries.at(index.row());
    if (role == CodeRole)
        return e.code;
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case NumberColumn:
        return QString::number(e.number);
    case NameColumn:
        return e.name;
    case CodeColumn:
        return codeExcerpt(e.code);
    default:
        return {};
    }
}

QVariant ModuleListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case NumberColumn:
        return u"编号"_s;
    case NameColumn:
        return u"版块名"_s;
    case CodeColumn:
        return u"代码"_s;
    default:
        return {};
    }
}

Qt::ItemFlags ModuleListModel::flags(const QModelIndex &index) const
{
    // Rows can be dragged to another place in the list; the view asks for the
    // move, the model never takes dropped data itself.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren | Qt::ItemIsDragEnabled
           | Qt::ItemIsDropEnabled;
}

Qt::DropActions ModuleListModel::supportedDropActions() const
{
    return Qt::MoveAction | Qt::CopyAction;
}

int ModuleListModel::rowOf(quint64 id) const
{
    return int(m_ids.indexOf(id));
}

int ModuleListModel::append(const QString &name, const QString &code, const std::optional<EntrySource> &source)
{
    const int row = count();
    insert(row, {row + 1, name, code, source});
    return row;
}

void ModuleListModel::insert(int row, const ModuleEntry &entry)
{
    Q_ASSERT(row >= 0 && row <= count());
    beginInsertRows({}, row, row);
    m_entries.insert(row, entry);
    m_ids.insert(row, m_nextId++);
    endInsertRows();
}

void ModuleListModel::changed(int top, int bottom)
{
    emit dataChanged(index(top, NameColumn), index(bottom, CodeColumn));
}

bool ModuleListModel::moveUp(int row)
{
    return validRow(row) && row > 0 && move(row, row - 1);
}

bool ModuleListModel::moveDown(int row)
{
    return validRow(row) && row + 1 < count() && move(row, row + 1);
}

bool ModuleListModel::move(int from, int to)
{
    if (!validRow(from) || !validRow(to) || from == to)
        return false;
    // The contents move; each number stays on its row.
    ModuleEntry moving = m_entries.at(from);
    const quint64 movingId = m_ids.at(from);
    const int step = from < to ? 1 : -1;
    for (int row = from; row != to; row += step) {
        ModuleEntry &here = m_entries[row];
        const ModuleEntry &next = m_entries.at(row + step);
        here.name = next.name;
        here.code = next.code;
        here.source = next.source;
        m_ids[row] = m_ids.at(row + step);
    }
    ModuleEntry &target = m_entries[to];
    target.name = std::move(moving.name);
    target.code = std::move(moving.code);
    target.source = std::move(moving.source);
    m_ids[to] = movingId;
    changed(std::min(from, to), std::max(from, to));
    return true;
}

bool ModuleListModel::replace(int row, const ModuleEntry &entry)
{
    if (!validRow(row))
        return false;
    ModuleEntry &here = m_entries[row];
    here.name = entry.name;
    here.code = entry.code;
    here.source = entry.source;
    changed(row, row);
    return true;
}

bool ModuleListModel::remove(int row)
{
    if (!validRow(row))
        return false;
    beginRemoveRows({}, row, row);
    m_entries.removeAt(row);
    m_ids.removeAt(row);
    endRemoveRows();
    return true;
}

void ModuleListModel::clear()
{
    if (!m_entries.isEmpty())
        setEntries({});
}

void ModuleListModel::setEntries(const QList<ModuleEntry> &entries)
{
    beginResetModel();
    m_entries = entries;
    m_ids.clear();
    for (qsizetype i = 0; i < entries.size(); ++i)
        m_ids.append(m_nextId++);
    endResetModel();
}

QString ModuleListModel::previewText(int row) const
{
    return joinLines(splitLines(code(row)));
}

void writeSummary(const QList<ModuleEntry> &entries, OutputBuffer &buffer)
{
    buffer.setText(summaryText(entries));
}

} // namespace orv
