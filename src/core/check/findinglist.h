#pragma once

#include "core/check/pagecheck.h"
#include "core/check/sourcetext.h"

#include <QStringList>

namespace orv::check {

// A finding of the given kind with the rule's message and hint filled in.
Finding makeFinding(FindingKind kind, const QStringList &arguments);

// An address shortened for a message: at most 80 characters.
QString shownAddress(const QString &address);

// The findings of one check while they are gathered: knows the entry and the
// page width at every offset, and gives the findings in order with their
// lines and columns.
class FindingList {
public:
    FindingList(const SourceText &source, int pageWidth, const QList<CheckSegment> &segments);

    // The segment holding the offset, or null.
    const CheckSegment *segmentAt(qsizetype offset) const;
    int pageWidthAt(qsizetype offset) const;
    TextPosition position(qsizetype offset) const { return m_source.position(offset); }

    void add(FindingKind kind, qsizetype offset, const QStringList &arguments = {});

    // The findings ordered by offset (in the order added where equal).
    QList<Finding> take();

private:
    const SourceText &m_source;
    int m_pageWidth;
    QList<CheckSegment> m_segments; // ordered by begin
    QList<Finding> m_findings;
};

} // namespace orv::check
