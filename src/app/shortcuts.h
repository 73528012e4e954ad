#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

// The window's own keys, in one place (the README lists them). They stay clear
// of the text fields' editing keys and of the 文件 and 编辑 menus' keys
// (Ctrl+N, Ctrl+O, Ctrl+S, Ctrl+Shift+S, Ctrl+Q, Ctrl+Z, Ctrl+Shift+Z,
// Ctrl+Y, F7).
namespace orv::shortcuts {

// The key that shows the module at this place in navigation order, counted
// from 0: Ctrl+1 to Ctrl+9, then Ctrl+0 and Ctrl+-; none after those.
QKeySequence module(qsizetype index);

// The mnemonic of the module's item in the 版块 menu, from its page id;
// a null character when it has none.
QChar moduleMnemonic(const QString &pageId);

// 生成 and 添加 on the module page shown: Ctrl+Return and Ctrl+Shift+Return
// (and Enter).
QList<QKeySequence> generate();
QList<QKeySequence> add();

// 汇总 (the whole page into the buffer and the preview, as a refresh) and
// 提取代码 (copy the whole code, Ctrl+C widened).
QKeySequence summarize();
QKeySequence extract();

// "caption (key)", for a button's tool tip.
QString withKey(const QString &caption, const QKeySequence &key);

} // namespace orv::shortcuts
