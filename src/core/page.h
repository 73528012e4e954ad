#pragma once

#include "core/metrics.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace orv {

class PictureMeasurer;

// What a field of a module page is. Memos hold CR LF texts; radio groups hold
// the chosen item's index as decimal text ("-1" for none).
enum class FieldKind { Edit, Memo, Combo, Radio, Colour };

QString fieldKindName(FieldKind kind);

// Where a colour field's background starts, before any colour is chosen.
enum class ColourBackground { Window, Red, ScrollBar, MenuText };

// One input field of a module page, described once for the window, the
// command line and project files alike.
struct FieldSpec {
    QString key;   // public English key, e.g. "amounts"
    QString name;  // component name of its widget, e.g. "mmojine"
    QString label; // its caption as the form shows it
    FieldKind kind = FieldKind::Edit;
    QString defaultText;
    QStringList items; // combo choices or radio items
    ColourBackground background = ColourBackground::Window;
    // Goes back to its default when the shop type changes.
    bool resetWithShop = false;
};

// Field texts by field key.
using FieldValues = QHash<QString, QString>;

// Everything a generator reads and may write back: the page's field texts
// (pipe-list fields are cleaned in place) and the layout metrics.
struct PageState {
    FieldValues fields;
    Metrics metrics;

    QString field(const QString &key) const;
    void setField(const QString &key, const QString &text);
    int radioIndex(const QString &key) const;
};

// What a generator needs from outside besides the page.
struct Services {
    // Fetches and measures the pictures a generator needs, all at once.
    PictureMeasurer *measurer = nullptr;
    // The lines of a memo as its widget displays them (wrapped); without a
    // widget the lines are the text's lines.
    std::function<QStringList(const QString &key, const QString &text)> displayedLines;
};

// The outcome of a generator that did not fail.
struct Generated {
    QString fragment;
    bool preview = true;
    // When set, the action shows this reminder instead and leaves the buffer.
    QString reminder;
};

// A generator; throws Failure to end the action.
using Generator = Generated (*)(PageState &, const Services &);

// A module page: its component names, captions, form, fields and generator.
struct PageSpec {
    QString id;          // page id, the page's component name, e.g. "tsfengetiao"
    QString pageCaption; // the page's own caption (never shown)
    QString navButton;   // navigation button, e.g. "btnfengetiao"
    QString moduleName;  // the navigation button's caption, the module name
    QString generateButton;
    QString generateCaption = QStringLiteral("生成");
    QString addButton;
    QString addConfirmation = QStringLiteral("确定添加该板块？");
    QString form; // the page's Designer form, a resource path
    QList<FieldSpec> fields;
    Generator generate = nullptr;
    // The metrics after the user chose an item of one of the page's radio
    // groups; the page writes none when unset.
    Metrics (*metricsOnChoice)(const PageState &state) = nullptr;
    // The word a module entry added from the page carries after its name.
    QString (*entrySuffix)(const PageState &state) = nullptr;

    const FieldSpec *field(const QString &key) const;
    // The field with this key or, failing that, with this component name.
    const FieldSpec *fieldByKeyOrName(const QString &keyOrName) const;
    PageState defaultState(const Metrics &metrics = {}) const;
};

} // namespace orv
