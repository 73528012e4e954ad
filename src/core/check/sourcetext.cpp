#include "sourcetext.h"

#include <algorithm>

namespace orv::check {

namespace {

constexpr qsizetype blockBytes = 64;

// The length of the UTF-8 sequence a lead byte starts, as SourceText writes it.
qsizetype sequenceLength(uchar lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    return 2;
}

} // namespace

SourceText::SourceText(const QString &text)
    : m_text(text)
{
    const qsizetype size = text.size();
    m_utf8.reserve(size + size / 2);
    m_checkpoints.reserve(size_t(size / blockBytes + 1));
    m_lineStarts.push_back(0);
    const QChar *units = text.constData();
    for (qsizetype i = 0; i < size; ++i) {
        const qsizetype byte = m_utf8.size();
        while (qsizetype(m_checkpoints.size()) * blockBytes <= byte)
            m_checkpoints.push_back({byte, i});
        char32_t c = units[i].unicode();
        if (c == u'\n' || (c == u'\r' && (i + 1 == size || units[i + 1] != u'\n')))
            m_lineStarts.push_back(i + 1);
        if (QChar::isHighSurrogate(c) && i + 1 < size && units[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(char16_t(c), units[i + 1].unicode());
            ++i;
        } else if (QChar::isSurrogate(c) || c == 0) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            m_utf8.append(char(c));
        } else if (c < 0x800) {
            m_utf8.append(char(0xC0 | c >> 6));
            m_utf8.append(char(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            m_utf8.append(char(0xE0 | c >> 12));
            m_utf8.append(char(0x80 | (c >> 6 & 0x3F)));
            m_utf8.append(char(0x80 | (c & 0x3F)));
        } else {
            m_utf8.append(char(0xF0 | c >> 18));
            m_utf8.append(char(0x80 | (c >> 12 & 0x3F)));
            m_utf8.append(char(0x80 | (c >> 6 & 0x3F)));
            m_utf8.append(char(0x80 | (c & 0x3F)));
        }
    }
    if (m_checkpoints.empty())
        m_checkpoints.push_back({0, 0});
}

qsizetype SourceText::offsetAtByte(qsizetype byte) const
{
    if (byte >= m_utf8.size())
        return m_text.size();
    if (byte <= 0)
        return 0;
    size_t block = std::min(size_t(byte / blockBytes), m_checkpoints.size() - 1);
    // A character that straddles the block's start began in the block before.
    if (m_checkpoints[block].byte > byte)
        --block;
    qsizetype at = m_checkpoints[block].byte;
    qsizetype offset = m_checkpoints[block].offset;
    for (;;) {
        const qsizetype length = sequenceLength(uchar(m_utf8[at]));
        if (at + length > byte)
            return offset;
        at += length;
        offset += length == 4 ? 2 : 1;
    }
}

TextPosition SourceText::position(qsizetype offset) const
{
    offset = std::clamp(offset, qsizetype(0), m_text.size());
    const auto next = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), offset);
    const auto line = next - m_lineStarts.begin(); // at least 1: the first start is 0
    return {int(line), int(offset - *(next - 1) + 1)};
}

} // namespace orv::check
