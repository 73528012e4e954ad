#include "outputbuffer.h"

namespace orv {

void OutputBuffer::appendLine(const QString &line)
{
    static const QString crlf = QStringLiteral("\r\n");
    m_source.reset();
    if (m_text.isEmpty() || m_text.endsWith(crlf)) {
        m_text += line;
        m_text += crlf;
    } else {
        m_text += crlf;
        m_text += line;
    }
}

} // namespace orv
