// The line splitter on any text: no line holds a line break, joining the
// lines gives the text with CR LF breaks and one CR LF after a last line that
// had none, and the two ways of writing breaks agree with each other.

#include "fuzzcheck.h"

#include "core/linelist.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = orv::fuzz::text(data, size);
    const QStringList lines = orv::splitLines(text);
    for (const QString &line : lines)
        FUZZ_CHECK(!line.contains(u'\r') && !line.contains(u'\n'));

    const QString crlf = orv::toCrLf(text);
    QString expected = crlf;
    if (!text.isEmpty() && !expected.endsWith(u"\r\n"))
        expected += u"\r\n";
    FUZZ_CHECK(orv::joinLines(lines) == expected);
    FUZZ_CHECK(orv::splitLines(crlf) == lines);
    FUZZ_CHECK(orv::toCrLf(crlf) == crlf);
    FUZZ_CHECK(orv::toLf(crlf) == orv::toLf(text));
    FUZZ_CHECK(orv::toCrLf(orv::toLf(text)) == crlf);

    // Only breaks change: the other characters stay, in order.
    QString kept = text;
    kept.remove(u'\r').remove(u'\n');
    QString keptAfter = crlf;
    keptAfter.remove(u'\r').remove(u'\n');
    FUZZ_CHECK(keptAfter == kept);
    return 0;
}
