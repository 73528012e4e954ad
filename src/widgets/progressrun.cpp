#include "progressrun.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

constexpr int dialogDelayMs = 500;

} // namespace

ProgressRun::ProgressRun(QWidget *window, const QString &objectName, const QString &text)
    : m_dialog(new QProgressDialog(text, u"取消"_s, 0, 0, window))
{
    m_dialog->setObjectName(objectName);
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumDuration(dialogDelayMs);
    m_text = text;
}

ProgressRun::~ProgressRun()
{
    m_dialog->hide();
    m_dialog->reset(); // and its timer does not show it again
    delete m_dialog;
}

void ProgressRun::setProgress(int done, int total, const QString &text)
{
    m_done = done;
    m_total = total;
    m_text = text;
    if (m_dialog->isVisible())
        showProgress();
}

void ProgressRun::showProgress()
{
    if (m_total <= 0)
        return;
    m_dialog->setMaximum(m_total);
    m_dialog->setLabelText(m_text);
    m_dialog->setValue(m_done);
}

QWidget *ProgressRun::showNow()
{
    if (!m_dialog->isVisible()) {
        m_dialog->show();
        showProgress();
    }
    return m_dialog;
}

void ProgressRun::exec(const std::function<void()> &cancel)
{
    const auto userCancel = [this, &cancel] {
        if (!m_finished && cancel)
            cancel();
    };
    const QMetaObject::Connection cancelled = connect(m_dialog, &QProgressDialog::canceled, this, userCancel);
    const QMetaObject::Connection escaped = connect(m_dialog, &QDialog::rejected, this, userCancel);

    QEventLoop loop;
    m_loop = &loop;
    if (!m_finished) {
        // The first half second takes no input, so nothing starts another action.
        QTimer::singleShot(dialogDelayMs, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!m_finished) {
        showNow();
        loop.exec();
    }
    m_loop.clear();
    disconnect(cancelled);
    disconnect(escaped);
    // The loop also ends when the application quits: the work stops then.
    if (!m_finished && cancel)
        cancel();
    m_dialog->hide();
    m_dialog->reset();
}

void ProgressRun::finish()
{
    m_finished = true;
    if (m_loop)
        m_loop->quit();
}

} // namespace orv
