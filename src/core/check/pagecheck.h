#pragma once

#include "core/check/rules.h"

#include <QList>
#include <QString>

#include <optional>

namespace orv::check {

// The code of one module-list entry inside a checked summary.
struct CheckSegment {
    qsizetype begin = 0; // offset of the entry's code in the checked text
    qsizetype end = 0;   // just past it
    int number = 0;      // the entry's number in the list, from 1
    QString name;        // the entry's name
    int pageWidth = 750; // the width its module lays out for: 750 or 790
                         // (750 for the modules that always use 750)
};

// One thing the check found.
struct Finding {
    FindingKind kind = FindingKind::LengthShort;
    QString rule; // the rule's id, e.g. "overflow"
    Severity severity = Severity::Error;
    QString message;      // filled in
    QString hint;         // filled in
    qsizetype offset = 0; // in the checked text, at most its length
    int line = 1;         // 1-based, CR LF counting as one line break
    int column = 1;       // 1-based, in UTF-16 units of the line
    int entry = 0;        // number of the module-list entry holding it; 0: none
    QString entryName;
};

// Checks the HTML the output buffer holds: a fragment, or a summary whose
// segments say which entry's code lies where. pageWidth (750 or 790) applies
// outside the segments. The findings come in the order of their offsets
// (as the check meets them where offsets are equal).
//
// Where a finding stands: an element's '<' (tags, overflow, unclosed tags),
// an attribute's name (event attributes, class and id), an address's first
// character (scripting, data, http, hosts, placeholders), a declaration's
// property in a style (position, expression, behavior) or its "url(" (style
// addresses). Length findings stand at the text's start, except that "25,000
// characters or more" stands at the 25,000th character. Of elements too wide
// for the page only the outermost is reported: what it holds goes with it.
// Characters are counted as UTF-16 units, as a browser's editor counts them.
QList<Finding> checkPage(const QString &html, int pageWidth, const QList<CheckSegment> &segments = {});

// The finding for a rendered page wider than the page width: the preview
// measures the document's scrollWidth once it has loaded. Nothing when it
// fits. It stands at the text's start (line 1, column 1).
std::optional<Finding> checkRenderedWidth(int scrollWidth, int pageWidth);

} // namespace orv::check

// Moved in memory as they are, so that long lists grow cheaply.
Q_DECLARE_TYPEINFO(orv::check::Finding, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(orv::check::CheckSegment, Q_RELOCATABLE_TYPE);
