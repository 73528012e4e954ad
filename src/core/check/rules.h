#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace orv::check {

enum class Severity { Error, Warning, Info };

// "错误", "警告", "提示".
QString severityName(Severity severity);
// "error", "warning", "info": for machine-readable output.
QString severityKey(Severity severity);

// Every kind of finding. A rule (one id) may have several kinds, each with its
// own severity and message.
enum class FindingKind {
    LengthOver,
    LengthNear,
    LengthShort,
    ForbiddenTag,
    EventAttribute,
    ScriptAddress,
    StyleScript,
    DataAddress,
    WideElement,
    WideRendering,
    HttpAddress,
    HttpUpgradedAddress,
    ForeignPicture,
    ForeignLink,
    PlaceholderLink,
    PositionedStyle,
    StyleAddress,
    UnclosedTag,
    StrayEndTag,
    UnterminatedComment,
    UnterminatedTag,
    UnterminatedQuote,
    RepeatedAttribute,
    DeepNesting,
    ClassOrId,
    PictureDead,
    PictureFormat,
    PictureWide,
    MobileFit,
    PlaceholderPicture,
    LinkTooLow,
    LinkOverlap,
};

// One row of the rule table. The id names the rule on the command line and
// in JSON, the name in the window. message and hint may hold %1, %2, ...: the
// finding fills in the same values in both.
struct Rule {
    FindingKind kind;
    QString id;
    QString name;
    Severity severity;
    QString message;
    QString hint;
};

// The rule table, one row per kind of finding, in the order of FindingKind.
const QList<Rule> &rules();
const Rule &rule(FindingKind kind);

// The rules' limits, retuned here.
struct CheckLimits {
    static constexpr qsizetype maxCharacters = 25'000;  // this many or more: error
    static constexpr qsizetype nearCharacters = 22'500; // this many or more: warning
    static constexpr qsizetype minCharacters = 6;       // fewer: error
    // What the mobile description takes when it imports pictures.
    static constexpr int mobileMinWidth = 480;
    static constexpr int mobileMaxWidth = 1500;
    static constexpr int mobileMaxHeight = 2500;
    static constexpr qint64 mobileMaxBytes = 3 * 1024 * 1024;
};

// Elements the platform removes.
const QStringList &forbiddenTags();
// The platform's picture hosts; a picture elsewhere draws a warning.
const QStringList &pictureHosts();
// Where links may go.
const QStringList &linkHosts();
// Hosts whose http:// addresses the platform turns into https:// itself.
const QStringList &httpsUpgradeHosts();

} // namespace orv::check
