#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace orv {

class ImageFetcher;
class PictureMeasurer;

// What a field of a module page is. Memos hold CR LF texts; radio groups hold
// the chosen item's index as decimal text ("-1" for none).
enum class FieldKind { Edit, Memo, Combo, Radio, Colour };

QString fieldKindName(FieldKind kind);

// Where a colour field's background starts, before any colour is chosen.
enum class ColourBackground { Window, Red, ScrollBar, MenuText };

// One input field of a module page, described once for the window and the
// command line alike.
struct FieldSpec {
    QString name;
    FieldKind kind = FieldKind::Edit;
    QString defaultText;
    QStringList items;  // combo choices or radio items
    ColourBackground background = ColourBackground::Window;
};

using FieldValues = QHash<QString, QString>;

// The shop type and the four layout metrics shown above the module pages.
struct Metrics {
    int shopType = 0; // 0 Taobao, 1 Tmall
    QString totalWidth = QStringLiteral("750");
    QString totalHeight = QStringLiteral("0");
    QString imageWidth = QStringLiteral("0");
    QString imageHeight = QStringLiteral("0");

    static Metrics forShop(int shopType);
    bool operator==(const Metrics &) const = default;
};

// Everything a generator reads and may write back: the page's field texts
// (pipe-list fields are cleaned in place) and the layout metrics.
struct PageState {
    FieldValues fields;
    Metrics metrics;

    QString field(const QString &name) const;
    void setField(const QString &name, const QString &text);
    int radioIndex(const QString &name) const;
};

// What a generator needs from outside besides the page.
struct Services {
    ImageFetcher *fetcher = nullptr;
    // Fetches and measures pictures in a batch; when set, it is used instead
    // of fetching the pictures one by one through the fetcher.
    PictureMeasurer *measurer = nullptr;
    QString privateDir;
    // The lines of a memo as its widget displays them (wrapped); without a
    // widget the lines are the text's lines.
    std::function<QStringList(const QString &field, const QString &text)> displayedLines;
};

// The outcome of a generate action that did not fail.
struct Generated {
    QString fragment;
    bool preview = true;
    // When set, the action shows this reminder instead and leaves the buffer.
    QString reminder;
};

// A generator; throws Failure to end the action.
using Generator = Generated (*)(PageState &, const Services &);

// A module page: its component names, fields and generator.
struct PageSpec {
    QString name;          // component name of the page, e.g. "tsfengetiao"
    QString pageCaption;   // the page's own caption (never shown)
    QString navButton;     // navigation button, e.g. "btnfengetiao"
    QString moduleName;    // the navigation button's caption, the module name
    QString generateButton;
    QString generateCaption = QStringLiteral("生成");
    QString addButton;
    QList<FieldSpec> fields;
    Generator generate = nullptr;

    const FieldSpec *findField(const QString &fieldName) const;
    PageState defaultState(const Metrics &metrics = {}) const;
};

} // namespace orv
