#include "summary.h"

namespace orv {

using namespace Qt::StringLiterals;

QString summaryText(const QStringList &codes, QList<SummarySpan> *spans,
                    const std::function<QString(qsizetype index)> &mark)
{
    qsizetype size = 0;
    for (const QString &code : codes)
        size += code.size() + 2;
    QString text;
    text.reserve(size);
    if (spans)
        spans->clear();
    for (qsizetype i = 0; i < codes.size(); ++i) {
        if (mark)
            text += mark(i);
        if (spans)
            spans->append({text.size(), text.size() + codes.at(i).size()});
        text += codes.at(i);
        text += u"\r\n"_s;
    }
    return text;
}

QString summaryText(const QList<ModuleEntry> &entries, QList<SummarySpan> *spans)
{
    QStringList codes;
    codes.reserve(entries.size());
    for (const ModuleEntry &entry : entries)
        codes.append(entry.code);
    return summaryText(codes, spans);
}

} // namespace orv
