#pragma once

#include "widgets/picturesdialog.h"

#include <QList>
#include <QMessageBox>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

namespace orv::dialogs {

inline constexpr auto applicationTitle = "Orvanta";

// Information with OK only, captioned "提示信息", no icon.
void inform(QWidget *parent, const QString &text);

// OK and Cancel, OK the default, captioned "提示信息", no icon; true only for OK.
bool confirm(QWidget *parent, const QString &text);

// The standard error box: the message with the full-stop rule, an error icon
// and OK, captioned with the application's title.
void showError(QWidget *parent, const QString &message);

// Unsaved changes: 保存 (Save, the default), 不保存 (Discard) or 取消 (Cancel).
QMessageBox::StandardButton askToSave(QWidget *parent, const QString &text);

// Work found from a run that ended abnormally: 恢复 (the default), 丢弃 or
// 以后再说; Esc and the close button are 以后再说, which keeps the work.
enum class RecoveryChoice { Recover, Discard, Later };
RecoveryChoice askToRecover(QWidget *parent, const QString &text);

// Before that work is deleted: 丢弃 (true) or 取消 (false, the default, Esc).
bool confirmDiscard(QWidget *parent, const QString &text);

// Copying a page the check found errors in: 仍然复制 (true, the default, as
// the user asked to copy) or 取消.
bool askToCopyAnyway(QWidget *parent, const QString &text);

// Qt's file dialogs; an empty text when the user cancels.
QString openFileName(QWidget *parent, const QString &caption, const QString &folder, const QString &filter);
QString saveFileName(QWidget *parent, const QString &caption, const QString &suggestion, const QString &filter);
QString folderName(QWidget *parent, const QString &caption, const QString &folder);

// The pictures export's dialog (PicturesDialog); nullopt when cancelled.
std::optional<PictureSettings> askPictureSettings(QWidget *parent, const QString &what, int pageWidth,
                                                  const PictureSettings &initial);

// Files that would be replaced: 替换 (true) or 取消 (false, the default).
bool askToReplace(QWidget *parent, const QString &text);

// Pictures of the page did not load: 继续导出 (true) or 停止 (false, the default).
bool askToContinue(QWidget *parent, const QString &text);

// Information about a finished export: 打开文件夹 (true, the default) or 关闭.
bool askToOpenFolder(QWidget *parent, const QString &text);

// Opens a file, folder or web address with the desktop's program for it.
void openUrl(const QUrl &url);

// Test seam. In test mode no box is shown: each one is recorded and answered
// with the next queued answer, or with its default button when none is queued.
// A queued action instead shows the real box and runs on it once it is up
// (pressing a key, closing it, doing something meanwhile); the box answers as
// it would the user.
// A file or folder dialog takes the next queued file name, or is cancelled;
// the pictures dialog is recorded (its caption and what it exports) and takes
// the next queued settings, or is cancelled. Addresses are recorded, not
// opened. Setting the mode forgets what was queued, shown and opened.
struct Shown {
    QMessageBox::Icon icon;
    QString caption;
    QString text;
};
void setTestMode(bool on);
void queueAnswer(QMessageBox::StandardButton answer);
void queueAction(std::function<void(QMessageBox &)> action);
void queueFileName(const QString &path);
void queuePictureSettings(const PictureSettings &settings);
QList<Shown> takeShown();
QList<QUrl> takeOpenedUrls();

} // namespace orv::dialogs
