#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QEventLoop;
class QProgressDialog;
class QWidget;

namespace orv {

// Long work the window waits for while its event loop turns: for the first
// half second the window takes no input, as during any short action; then a
// window-modal progress dialog shows with 取消 (Esc too). The work reports
// its progress and ends the run with finish().
//
//   ProgressRun run(window, u"pictureProgress"_s, u"正在生成图片…"_s);
//   connect(&job, &Job::progress, [&](int d, int t) { run.setProgress(d, t, text(d, t)); });
//   connect(&job, &Job::finished, [&] { run.finish(); });
//   run.exec([&] { job.cancel(); });
class ProgressRun : public QObject {
    Q_OBJECT

public:
    ProgressRun(QWidget *window, const QString &objectName, const QString &text);
    ~ProgressRun() override;

    QProgressDialog &dialog() { return *m_dialog; }

    // done of total, and the text that says so; shown once the dialog shows
    // (a modal dialog's update runs the event loop), kept until then.
    void setProgress(int done, int total, const QString &text);
    // Shows the dialog at once, for a question to come over it (else the
    // dialog would show itself over the question when its time comes).
    QWidget *showNow();

    // Runs until finish(). cancel is called when the user cancels, and once
    // more when the loop ends without finish() (the application quits); the
    // work still ends with finish() after a cancel.
    void exec(const std::function<void()> &cancel);
    // Ends exec(); may be called before it. Only on the window's thread.
    void finish();
    bool isFinished() const { return m_finished; }

private:
    void showProgress();

    QProgressDialog *m_dialog;
    QPointer<QEventLoop> m_loop;
    bool m_finished = false;
    int m_done = 0;
    int m_total = 0;
    QString m_text;
};

} // namespace orv
