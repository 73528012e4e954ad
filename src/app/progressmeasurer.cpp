#include "progressmeasurer.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <exception>
#include <thread>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

constexpr int dialogDelayMs = 500;

} // namespace

ProgressMeasurer::ProgressMeasurer(std::unique_ptr<PictureMeasurer> inner, QWidget *window, QString progressFormat)
    : m_inner(std::move(inner))
    , m_window(window)
    , m_progressFormat(std::move(progressFormat))
{
}

ProgressMeasurer::~ProgressMeasurer() = default;

QString ProgressMeasurer::progressText(int done, int total) const
{
    return m_progressFormat.arg(done).arg(total);
}

QList<MeasuredPicture> ProgressMeasurer::measureAll(const QStringList &urls, const Progress &progress,
                                                    const std::atomic_bool *cancel)
{
    if (urls.isEmpty())
        return {};
    const auto total = int(urls.size());
    QProgressDialog dialog(progressText(0, total), u"取消"_s, 0, total, m_window);
    dialog.setObjectName(u"fetchProgress"_s);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumDuration(dialogDelayMs);

    std::atomic_bool stop = false;
    std::atomic_bool finished = false;
    QEventLoop loop;
    QObject::connect(&dialog, &QProgressDialog::canceled, &loop, [&stop] { stop = true; });
    QObject::connect(&dialog, &QDialog::rejected, &loop, [&stop] { stop = true; }); // Escape
    const auto shown = [&](int done) {
        if (progress)
            progress(done, total);
        // Only once it shows: a modal dialog's update runs the event loop.
        if (dialog.isVisible()) {
            dialog.setLabelText(progressText(done, total));
            dialog.setValue(done);
        }
    };

    QList<MeasuredPicture> outcomes;
    std::exception_ptr error;
    std::thread worker([&] {
        try {
            outcomes = m_inner->measureAll(
                urls,
                [&](int done, int) {
                    QMetaObject::invokeMethod(
                        &dialog, [&shown, done] { shown(done); }, Qt::QueuedConnection);
                },
                &stop);
        } catch (...) {
            error = std::current_exception();
        }
        finished = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // A caller's own cancel flag is watched as well.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (cancel && cancel->load())
            stop = true;
    });
    watch.start(50);

    // The first half second takes no input, so nothing starts another action.
    QTimer::singleShot(dialogDelayMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!finished) {
        dialog.show();
        loop.exec();
    }
    // The loop also ends when the application quits: the batch stops then.
    if (!finished)
        stop = true;
    worker.join();
    if (error)
        std::rethrow_exception(error);
    return outcomes;
}

} // namespace orv
