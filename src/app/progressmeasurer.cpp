#include "progressmeasurer.h"

#include "widgets/progressrun.h"

#include <QTimer>

#include <exception>
#include <thread>

namespace orv {

using namespace Qt::StringLiterals;

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
    ProgressRun run(m_window, u"fetchProgress"_s, progressText(0, total));
    run.setProgress(0, total, progressText(0, total));

    std::atomic_bool stop = false;
    QList<MeasuredPicture> outcomes;
    std::exception_ptr error;
    std::thread worker([&] {
        try {
            outcomes = m_inner->measureAll(
                urls,
                [&](int done, int) {
                    QMetaObject::invokeMethod(
                        &run,
                        [&, done] {
                            if (progress)
                                progress(done, total);
                            run.setProgress(done, total, progressText(done, total));
                        },
                        Qt::QueuedConnection);
                },
                &stop);
        } catch (...) {
            error = std::current_exception();
        }
        QMetaObject::invokeMethod(&run, &ProgressRun::finish, Qt::QueuedConnection);
    });
    // A caller's own cancel flag is watched as well.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &run, [&] {
        if (cancel && cancel->load())
            stop = true;
    });
    watch.start(50);

    run.exec([&stop] { stop = true; });
    worker.join();
    if (error)
        std::rethrow_exception(error);
    return outcomes;
}

} // namespace orv
