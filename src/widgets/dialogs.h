#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>

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

// Work found from a run that ended abnormally: 恢复 (true, the default) or 丢弃.
bool askToRecover(QWidget *parent, const QString &text);

// Qt's file dialogs; an empty text when the user cancels.
QString openFileName(QWidget *parent, const QString &caption, const QString &folder, const QString &filter);
QString saveFileName(QWidget *parent, const QString &caption, const QString &suggestion, const QString &filter);

// Test seam. In test mode no box is shown: each one is recorded and answered
// with the next queued answer, or with its default button when none is queued.
// A file dialog takes the next queued file name, or is cancelled. Setting the
// mode forgets what was queued and shown.
struct Shown {
    QMessageBox::Icon icon;
    QString caption;
    QString text;
};
void setTestMode(bool on);
void queueAnswer(QMessageBox::StandardButton answer);
void queueFileName(const QString &path);
QList<Shown> takeShown();

} // namespace orv::dialogs
