#include "findinglist.h"

#include <algorithm>

namespace orv::check {

using namespace Qt::StringLiterals;

namespace {

// The text with %1 to %9 replaced in one pass, so that an argument holding
// "%1" stays as it is. Every placeholder of a rule has its argument.
QString filledIn(const QString &text, const QStringList &arguments)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 1 < text.size() && text[i + 1] >= u'1' && text[i + 1] <= u'9') {
            const qsizetype n = text[i + 1].unicode() - u'1';
            Q_ASSERT_X(n < arguments.size(), "makeFinding", "a placeholder without its argument");
            if (n < arguments.size()) {
                out.append(arguments.at(n));
                ++i;
                continue;
            }
        }
        out.append(text[i]);
    }
    return out;
}

} // namespace

Finding makeFinding(FindingKind kind, const QStringList &arguments)
{
    const Rule &r = rule(kind);
    Finding f;
    f.kind = kind;
    f.rule = r.id;
    f.severity = r.severity;
    f.message = filledIn(r.message, arguments);
    f.hint = filledIn(r.hint, arguments);
    return f;
}

QString shownAddress(const QString &address)
{
    constexpr qsizetype shown = 80;
    if (address.size() <= shown)
        return address;
    return address.first(shown - 1) + u"…"_s;
}

FindingList::FindingList(const SourceText &source, int pageWidth, const QList<CheckSegment> &segments)
    : m_source(source)
    , m_pageWidth(pageWidth)
    , m_segments(segments)
{
    std::stable_sort(m_segments.begin(), m_segments.end(),
                     [](const CheckSegment &a, const CheckSegment &b) { return a.begin < b.begin; });
}

const CheckSegment *FindingList::segmentAt(qsizetype offset) const
{
    const auto after = std::upper_bound(m_segments.begin(), m_segments.end(), offset,
                                        [](qsizetype o, const CheckSegment &s) { return o < s.begin; });
    if (after == m_segments.begin())
        return nullptr;
    const CheckSegment &segment = *(after - 1);
    return offset < segment.end ? &segment : nullptr;
}

int FindingList::pageWidthAt(qsizetype offset) const
{
    const CheckSegment *segment = segmentAt(offset);
    return segment ? segment->pageWidth : m_pageWidth;
}

void FindingList::add(FindingKind kind, qsizetype offset, const QStringList &arguments)
{
    Finding f = makeFinding(kind, arguments);
    f.offset = std::clamp(offset, qsizetype(0), m_source.text().size());
    m_findings.append(std::move(f));
}

QList<Finding> FindingList::take()
{
    std::stable_sort(m_findings.begin(), m_findings.end(),
                     [](const Finding &a, const Finding &b) { return a.offset < b.offset; });
    for (Finding &f : m_findings) {
        const TextPosition at = m_source.position(f.offset);
        f.line = at.line;
        f.column = at.column;
        if (const CheckSegment *segment = segmentAt(f.offset)) {
            f.entry = segment->number;
            f.entryName = segment->name;
        }
    }
    return std::exchange(m_findings, {});
}

} // namespace orv::check
