#pragma once

#include "core/moduleentry.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace orv {

// Where one entry's code stands in a summary: [begin, end).
struct SummarySpan {
    qsizetype begin = 0;
    qsizetype end = 0;
};

// The page a module list makes (汇总): every entry's code followed by CR LF,
// in list order. spans, when given, receives where each code stands. mark,
// when given, is written before each code (the render layer marks where each
// entry begins); the spans leave it out.
QString summaryText(const QStringList &codes, QList<SummarySpan> *spans = nullptr,
                    const std::function<QString(qsizetype index)> &mark = {});
QString summaryText(const QList<ModuleEntry> &entries, QList<SummarySpan> *spans = nullptr);

} // namespace orv
