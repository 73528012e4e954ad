#pragma once

#include <QIcon>
#include <QString>

namespace orv {

// Qt's own texts (standard buttons, the colour and file dialogs, the context
// menus of fields) in the program's language, Simplified Chinese: installs
// qtbase_zh_CN from the folder, Qt's translations folder when none is given.
// A missing or unreadable file leaves them in English; returns whether the
// translation was installed.
bool installQtTranslation(const QString &folder = {});

// The program's icon, for its windows and the task bar.
QIcon applicationIcon();

} // namespace orv
