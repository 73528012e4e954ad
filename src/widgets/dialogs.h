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

// Test seam. In test mode no box is shown: each one is recorded and answered
// with the next queued answer, or with its default button when none is queued.
struct Shown {
    QMessageBox::Icon icon;
    QString caption;
    QString text;
};
void setTestMode(bool on);
void queueAnswer(QMessageBox::StandardButton answer);
QList<Shown> takeShown();

} // namespace orv::dialogs
