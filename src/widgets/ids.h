#pragma once

#include <QString>

// The object names of the window's parts, once. They are data: sellers'
// guides, the accessibility tree and the tests find the parts by them, so a
// name never changes. The names of the module pages' own fields and buttons
// come with each page's description (src/modules).
namespace orv::ids {

// The window and its regions
inline const QString mainWindow = QStringLiteral("frmmain");
inline const QString topSpacer = QStringLiteral("pnl1");
inline const QString navigationColumn = QStringLiteral("pnl2");
inline const QString shopBox = QStringLiteral("pnl3");
inline const QString shopType = QStringLiteral("rg1");
inline const QString settingsPanel = QStringLiteral("pnl4");
inline const QString middleSplitter = QStringLiteral("middle");
inline const QString settingsHandle = QStringLiteral("spl1");
inline const QString browserArea = QStringLiteral("pnl19");
inline const QString browser = QStringLiteral("wb1");
inline const QString panelToggle = QStringLiteral("pnl18");
inline const QString statusStrip = QStringLiteral("pnl37");
inline const QString moduleName = QStringLiteral("lblname");
inline const QString recoveryStatus = QStringLiteral("lblrecovery");
inline const QString checkBadge = QStringLiteral("checkBadge");
inline const QString previewSplit = QStringLiteral("previewSplit");

// The settings panel
inline const QString metricsStrip = QStringLiteral("pnl73");
inline const QString totalWidth = QStringLiteral("lblzongkuan");
inline const QString totalHeight = QStringLiteral("lblzonggao");
inline const QString imageWidth = QStringLiteral("lbltukuan");
inline const QString imageHeight = QStringLiteral("lbltugao");
inline const QString pages = QStringLiteral("pgc1");
inline const QString pageColumn = QStringLiteral("pageColumn");
inline const QString settingsSplit = QStringLiteral("settingsSplit");
inline const QString listHandle = QStringLiteral("spl2");
inline const QString editBar = QStringLiteral("editBar");

// The module list
inline const QString moduleListArea = QStringLiteral("pnl9");
inline const QString moduleList = QStringLiteral("lv1");
inline const QString moduleListMenu = QStringLiteral("pm1");
inline const QString previewEntry = QStringLiteral("N11");
inline const QString editEntry = QStringLiteral("editEntry");
inline const QString duplicateEntry = QStringLiteral("duplicateEntry");
inline const QString moveEntryUp = QStringLiteral("N2");
inline const QString moveEntryDown = QStringLiteral("N3");
inline const QString removeEntry = QStringLiteral("N1");
inline const QString clearEntries = QStringLiteral("N9");
inline const QString summarizeButton = QStringLiteral("btn2");
inline const QString extractButton = QStringLiteral("btntiqu");
inline const QString checkButton = QStringLiteral("btnCheck");

// The menu bar
inline const QString menuBar = QStringLiteral("mm1");
inline const QString fileMenu = QStringLiteral("menuFile");
inline const QString editMenu = QStringLiteral("menuEdit");
inline const QString modulesMenu = QStringLiteral("menuModules");
inline const QString recentMenu = QStringLiteral("menuRecent");
inline const QString homePageItem = QStringLiteral("N4");
inline const QString announcementsItem = QStringLiteral("N5");
inline const QString tutorialItem = QStringLiteral("N7");
inline const QString downloadItem = QStringLiteral("N8");

} // namespace orv::ids
