// The pipe-list cleaner and splitter on any text.
//  - Cleaning drops blanks at both ends only, and cleaning again changes nothing.
//  - For a text without double quotes the items are exactly what a second,
//    independent reading gives: the text cut at every "|" into segments, each
//    segment giving its runs of non-blanks, or one empty item when it has none;
//    a last segment of blanks gives nothing, an empty last one (the text ends
//    with "|") gives an empty item. So no non-blank character outside quotes
//    is lost or invented, and none moves to another item.
//  - With quotes, no item is longer than the text and there are at most as
//    many items as characters plus one.

#include "fuzzcheck.h"

#include "core/pipelist.h"

#include <QStringList>

namespace {

QStringList bySegments(const QString &text)
{
    QStringList items;
    if (text.isEmpty())
        return items;
    const QStringList segments = text.split(u'|');
    for (qsizetype s = 0; s < segments.size(); ++s) {
        const QString &segment = segments.at(s);
        QStringList runs;
        QString run;
        for (const QChar c : segment) {
            if (orv::isBlank(c)) {
                if (!run.isEmpty())
                    runs.append(std::exchange(run, QString()));
            } else {
                run += c;
            }
        }
        if (!run.isEmpty())
            runs.append(run);
        const bool last = s + 1 == segments.size();
        if (!runs.isEmpty())
            items += runs;
        else if (!last || segment.isEmpty())
            items.append(QString());
    }
    return items;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = orv::fuzz::text(data, size);

    QString cleaned = text;
    orv::cleanPipeField(cleaned);
    FUZZ_CHECK(cleaned.isEmpty() || (!orv::isBlank(cleaned.front()) && !orv::isBlank(cleaned.back())));
    FUZZ_CHECK(text.contains(cleaned));
    QString again = cleaned;
    orv::cleanPipeField(again);
    FUZZ_CHECK(again == cleaned);

    for (const QString &input : {text, cleaned}) {
        const QStringList items = orv::splitPipeList(input);
        if (!input.contains(u'"')) {
            FUZZ_CHECK(items == bySegments(input));
        } else {
            FUZZ_CHECK(items.size() <= input.size() + 1);
            for (const QString &item : items)
                FUZZ_CHECK(item.size() <= input.size());
        }
    }
    return 0;
}
