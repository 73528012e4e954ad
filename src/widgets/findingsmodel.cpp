#include "findingsmodel.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

QIcon severityIcon(check::Severity severity)
{
    QStyle *style = QApplication::style();
    switch (severity) {
    case check::Severity::Error:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case check::Severity::Warning:
        return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case check::Severity::Info:
        break;
    }
    return style->standardIcon(QStyle::SP_MessageBoxInformation);
}

} // namespace

FindingsModel::FindingsModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int FindingsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_findings.size());
}

int FindingsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FindingsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_findings.size())
        return {};
    const check::Finding &f = m_findings.at(index.row());
    if (role == Qt::ToolTipRole)
        return f.hint;
    if (role == Qt::DecorationRole && index.column() == SeverityColumn)
        return severityIcon(f.severity);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case SeverityColumn:
        return check::severityName(f.severity);
    case RuleColumn:
        // The rule's name; its id is for the command line and JSON.
        return check::rule(f.kind).name;
    case MessageColumn:
        return f.message;
    case EntryColumn:
        return f.entry > 0 ? QString::number(f.entry) + u' ' + f.entryName.trimmed() : QString();
    case LineColumn:
        return f.line;
    default:
        return {};
    }
}

QVariant FindingsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QStringList headers{u"级别"_s, u"规则"_s, u"说明"_s, u"版块"_s, u"行"_s};
    return headers.value(section);
}

void FindingsModel::setFindings(const QList<check::Finding> &findings)
{
    beginResetModel();
    m_findings = findings;
    endResetModel();
}

QString FindingsModel::countText(const QList<check::Finding> &findings)
{
    int counts[3] = {0, 0, 0};
    for (const check::Finding &f : findings)
        ++counts[int(f.severity)];
    QString text = u"%1 %2 · %3 %4"_s.arg(counts[0])
                       .arg(check::severityName(check::Severity::Error))
                       .arg(counts[1])
                       .arg(check::severityName(check::Severity::Warning));
    if (counts[2] > 0)
        text += u" · %1 %2"_s.arg(counts[2]).arg(check::severityName(check::Severity::Info));
    return text;
}

} // namespace orv
