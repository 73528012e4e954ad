#include "modulelistmodel.h"

#include "core/linelist.h"
#include "core/outputbuffer.h"

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
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

int ModuleListModel::append(const QString &name, const QString &code)
{
    const int row = count();
    beginInsertRows({}, row, row);
    m_entries.append({row + 1, name, code});
    endInsertRows();
    return row;
}

void ModuleListModel::swapRows(int a, int b)
{
    ModuleEntry &first = m_entries[a];
    ModuleEntry &second = m_entries[b];
    std::swap(first.name, second.name);
    std::swap(first.code, second.code);
    const int top = std::min(a, b);
    const int bottom = std::max(a, b);
    emit dataChanged(index(top, NameColumn), index(bottom, CodeColumn));
}

bool ModuleListModel::moveUp(int row)
{
    if (!validRow(row) || row == 0)
        return false;
    swapRows(row, row - 1);
    return true;
}

bool ModuleListModel::moveDown(int row)
{
    if (!validRow(row) || row + 1 >= count())
        return false;
    swapRows(row, row + 1);
    return true;
}

bool ModuleListModel::remove(int row)
{
    if (!validRow(row))
        return false;
    beginRemoveRows({}, row, row);
    m_entries.removeAt(row);
    endRemoveRows();
    return true;
}

void ModuleListModel::clear()
{
    if (m_entries.isEmpty())
        return;
    beginResetModel();
    m_entries.clear();
    endResetModel();
}

QString ModuleListModel::previewText(int row) const
{
    return joinLines(splitLines(code(row)));
}

void writeSummary(const ModuleListModel &list, OutputBuffer &buffer)
{
    buffer.clear();
    for (int row = 0; row < list.count(); ++row)
        buffer.appendLine(list.code(row));
}

} // namespace orv
