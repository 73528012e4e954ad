#include "pictureexport.h"

#include "core/failure.h"

#include <QEventLoop>
#include <QThreadPool>

#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>

namespace orv::render {

using namespace Qt::StringLiterals;

namespace {

// The workers' threads live as long as the program: a thread made anew for
// each export would leave the memory it allocated with (a C library's
// arenas are per thread), some 10 to 30 MiB an export.
QThreadPool &workers()
{
    static QThreadPool *pool = [] {
        auto *threads = new QThreadPool;
        threads->setExpiryTimeout(-1);
        threads->setMaxThreadCount(4);
        return threads;
    }();
    return *pool;
}

} // namespace

QString failedPicturesMessage(const QStringList &addresses)
{
    return u"%1 picture(s) of the page did not load:\n"_s.arg(addresses.size()) + addresses.join(u'\n');
}

PicturesFailed::PicturesFailed(const QStringList &addresses)
    : Failure(failedPicturesMessage(addresses))
    , m_addresses(addresses)
{
}

// The worker: takes the passes and stretches the renderer draws, in turn, on
// a thread of workers(), and makes the pictures of the last pass.
class PictureExport::Work {
public:
    struct Item {
        enum Kind { Pass, Rows, End } kind;
        PageLayout layout;
        PageStretch stretch;
    };

    Work(PictureExport *owner, quint64 id, const QString &folder, const ExportOptions &options)
        : id(id)
        , writer(
              folder, options,
              [this](int done, int total) { post([done, total](PictureExport *e) { emit e->progress(done, total); }); },
              &cancel)
        , m_owner(owner)
    {
        m_done = m_ran.get_future();
        workers().start([this] {
            run();
            m_ran.set_value();
        });
    }

    ~Work()
    {
        {
            const std::lock_guard lock(m_mutex);
            cancel = true;
        }
        m_wake.notify_all();
        wait();
    }

    // Until the worker returned; then the writer is the owner's.
    void wait()
    {
        if (m_done.valid())
            m_done.wait();
    }

    void push(Item item)
    {
        {
            const std::lock_guard lock(m_mutex);
            if (item.kind == Item::Rows)
                ++m_queuedRows;
            m_items.push_back(std::move(item));
        }
        m_wake.notify_all();
    }

    // Whether a stretch waits: the renderer draws the next one only then.
    bool busy()
    {
        const std::lock_guard lock(m_mutex);
        return m_queuedRows > 0;
    }

    const quint64 id;
    std::atomic_bool cancel{false};
    // The worker's until it reports the set staged, then the owner's.
    PictureWriter writer;

private:
    // Queued to the owner's thread, and dropped there when this work was
    // cancelled or replaced in the meantime.
    void post(std::function<void(PictureExport *)> report)
    {
        PictureExport *owner = m_owner;
        QMetaObject::invokeMethod(
            owner,
            [owner, id = id, report = std::move(report)] {
                if (owner->m_work && owner->m_work->id == id)
                    report(owner);
            },
            Qt::QueuedConnection);
    }

    void run()
    {
        try {
            while (true) {
                Item item;
                {
                    std::unique_lock lock(m_mutex);
                    m_wake.wait(lock, [this] { return cancel || !m_items.empty(); });
                    if (cancel)
                        return;
                    item = std::move(m_items.front());
                    m_items.pop_front();
                    if (item.kind == Item::Rows)
                        --m_queuedRows;
                }
                if (item.kind == Item::Pass) {
                    writer.startPass(item.layout);
                } else if (item.kind == Item::Rows) {
                    if (!writer.add(item.stretch))
                        return;
                } else {
                    writer.finish();
                    return post([](PictureExport *e) { e->onStaged(); });
                }
            }
        } catch (const Failure &failure) {
            post([message = failure.message()](PictureExport *e) { e->fail(message); });
        }
    }

    PictureExport *m_owner;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Item> m_items;
    int m_queuedRows = 0;
    std::promise<void> m_ran;
    std::future<void> m_done;
};

PictureExport::PictureExport(QObject *parent)
    : QObject(parent)
{
    connect(&m_renderer, &PageRenderer::picturesFailed, this, &PictureExport::onPicturesFailed);
    connect(&m_renderer, &PageRenderer::passStarted, this, [this](const PageLayout &layout) {
        if (m_work)
            m_work->push({Work::Item::Pass, layout, {}});
    });
    connect(&m_renderer, &PageRenderer::stretchDrawn, this, [this](const PageStretch &stretch) {
        if (m_work)
            m_work->push({Work::Item::Rows, {}, stretch});
    });
    connect(&m_renderer, &PageRenderer::finished, this, [this] {
        if (m_work)
            m_work->push({Work::Item::End, {}, {}});
    });
    connect(&m_renderer, &PageRenderer::failed, this, &PictureExport::fail);
    m_renderer.setStretchGate([this] { return !m_work || !m_work->busy(); });
}

PictureExport::~PictureExport() = default;

void PictureExport::start(const PageSource &source, const QString &folder, const ExportOptions &options,
                          const RenderOptions &renderOptions)
{
    cancel();
    m_options = options;
    m_failedPictures.clear();
    try {
        checkedOutputWidth(source.pageWidth, options.outputWidth);
        if (!options.manifestOnly)
            checkFolder(folder, options.overwrite);
    } catch (const Failure &failure) {
        QMetaObject::invokeMethod(
            this, [this, message = failure.message()] { emit failed(message); }, Qt::QueuedConnection);
        return;
    }
    m_work = std::make_unique<Work>(this, ++m_workCount, folder, options);
    m_renderer.start(source, renderOptions);
}

void PictureExport::onPicturesFailed(const QStringList &addresses)
{
    if (m_options.failedPictures == FailedPictures::Stop)
        return fail(failedPicturesMessage(addresses));
    m_failedPictures.append(addresses);
    if (m_options.failedPictures == FailedPictures::KeepGoing)
        return m_renderer.proceed();
    m_waiting = Waiting::Pictures;
    emit picturesFailed(addresses);
}

void PictureExport::proceed()
{
    const Waiting waiting = std::exchange(m_waiting, Waiting::Nothing);
    if (waiting == Waiting::Pictures)
        m_renderer.proceed();
    else if (waiting == Waiting::Unlisted)
        commit(m_unlisted);
}

void PictureExport::onStaged()
{
    m_work->wait();
    m_unlisted = m_work->writer.unlisted();
    if (m_unlisted.isEmpty())
        return commit({});
    m_waiting = Waiting::Unlisted;
    emit unlistedFiles(m_unlisted);
}

void PictureExport::commit(const QStringList &replaceUnlisted)
{
    try {
        m_work->writer.commit(replaceUnlisted);
    } catch (const Failure &failure) {
        return fail(failure.message());
    }
    ExportResult result = m_work->writer.result();
    result.failedPictures = m_failedPictures;
    m_work.reset();
    emit finished(result);
}

void PictureExport::fail(const QString &message)
{
    m_renderer.cancel();
    m_work.reset(); // discards what was staged
    m_waiting = Waiting::Nothing;
    emit failed(message);
}

void PictureExport::cancel()
{
    const bool running = isRunning();
    m_renderer.cancel();
    m_work.reset();
    m_waiting = Waiting::Nothing;
    if (running)
        emit cancelled();
}

bool PictureExport::isRunning() const
{
    return m_renderer.isRunning() || m_work != nullptr;
}

ExportResult exportPictures(const PageSource &source, const QString &folder, const ExportOptions &options,
                            const RenderOptions &renderOptions, const std::function<void(int, int)> &progress)
{
    if (!options.manifestOnly)
        checkFolder(folder, options.overwrite);
    ExportOptions asking = options;
    if (asking.failedPictures != FailedPictures::KeepGoing)
        asking.failedPictures = FailedPictures::Ask;
    PictureExport job;
    QEventLoop loop;
    ExportResult result;
    QString error;
    QStringList failedPictures;
    QStringList unlisted;
    QObject::connect(&job, &PictureExport::progress, &loop, [&](int done, int total) {
        if (progress)
            progress(done, total);
    });
    QObject::connect(&job, &PictureExport::picturesFailed, &loop, [&](const QStringList &addresses) {
        failedPictures = addresses;
        job.cancel();
    });
    QObject::connect(&job, &PictureExport::unlistedFiles, &loop, [&](const QStringList &files) {
        unlisted = files;
        job.cancel();
    });
    QObject::connect(&job, &PictureExport::finished, &loop, [&](const ExportResult &finished) {
        result = finished;
        loop.quit();
    });
    QObject::connect(&job, &PictureExport::failed, &loop, [&](const QString &message) {
        error = message;
        loop.quit();
    });
    QObject::connect(&job, &PictureExport::cancelled, &loop, &QEventLoop::quit);
    job.start(source, folder, asking, renderOptions);
    loop.exec();
    if (!failedPictures.isEmpty())
        throw PicturesFailed(failedPictures);
    if (!unlisted.isEmpty())
        throw FolderInUse(unlistedMessage(folder, unlisted), unlisted, false);
    if (!error.isEmpty())
        throw Failure(error);
    return result;
}

} // namespace orv::render
