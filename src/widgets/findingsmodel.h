#pragma once

#include "core/check/pagecheck.h"

#include <QAbstractTableModel>
#include <QList>

namespace orv {

// The findings of a page check as a table: severity (with the style's icon),
// rule (its Chinese name), message, entry and line. The hint is the row's tool tip.
class FindingsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { SeverityColumn, RuleColumn, MessageColumn, EntryColumn, LineColumn, ColumnCount };

    explicit FindingsModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const QList<check::Finding> &findings() const { return m_findings; }
    const check::Finding &finding(int row) const { return m_findings.at(row); }
    void setFindings(const QList<check::Finding> &findings);

    // The counts by severity for a badge: "2 错误 · 3 警告", with "· 1 提示"
    // when there are notes.
    static QString countText(const QList<check::Finding> &findings);

private:
    QList<check::Finding> m_findings;
};

} // namespace orv
