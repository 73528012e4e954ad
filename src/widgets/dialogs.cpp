#include "dialogs.h"

#include "core/failure.h"

#include <QQueue>

namespace orv::dialogs {

using namespace Qt::StringLiterals;

namespace {

struct TestSeam {
    bool on = false;
    QQueue<QMessageBox::StandardButton> answers;
    QList<Shown> shown;
};

TestSeam &seam()
{
    static TestSeam s;
    return s;
}

QMessageBox::StandardButton ask(QWidget *parent, QMessageBox::Icon icon, const QString &caption, const QString &text,
                                QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    TestSeam &s = seam();
    if (s.on) {
        s.shown.append({icon, caption, text});
        return s.answers.isEmpty() ? defaultButton : s.answers.dequeue();
    }
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return QMessageBox::StandardButton(box.exec());
}

const QString promptCaption = u"提示信息"_s;

} // namespace

void inform(QWidget *parent, const QString &text)
{
    ask(parent, QMessageBox::NoIcon, promptCaption, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool confirm(QWidget *parent, const QString &text)
{
    return ask(parent, QMessageBox::NoIcon, promptCaption, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
           == QMessageBox::Ok;
}

void showError(QWidget *parent, const QString &message)
{
    ask(parent, QMessageBox::Critical, QString::fromLatin1(applicationTitle), errorBoxText(message), QMessageBox::Ok,
        QMessageBox::Ok);
}

void setTestMode(bool on)
{
    seam().on = on;
}

void queueAnswer(QMessageBox::StandardButton answer)
{
    seam().answers.enqueue(answer);
}

QList<Shown> takeShown()
{
    return std::exchange(seam().shown, {});
}

} // namespace orv::dialogs
