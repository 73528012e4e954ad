// Starts as the program does and prints the milliseconds from launch to the
// first time the window is exposed (mapped and ready to paint), then quits.
//   bench_startup --window   Orvanta's main window
//   bench_startup --bare     a main window holding only the embedded browser
// Launch is ORVANTA_LAUNCHED_NS (nanoseconds since the epoch, set by the
// caller just before it starts the process); without it, the start of main().
#include "app/application.h"
#include "app/links.h"
#include "app/mainwindow.h"
#include "app/startup.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFont>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QWebEngineView>
#include <QWindow>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

class ExposeWatcher : public QObject {
public:
    explicit ExposeWatcher(std::function<void()> exposed)
        : m_exposed(std::move(exposed))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed() && m_exposed) {
            m_exposed();
            m_exposed = nullptr;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_exposed;
};

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    const qint64 launched = qgetenv("ORVANTA_LAUNCHED_NS").toLongLong();
    const bool bare = argc > 1 && std::strcmp(argv[1], "--bare") == 0;

    orv::prepareBrowserEnvironment();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvanta"));
    QApplication::setWindowIcon(orv::applicationIcon());
    orv::installQtTranslation();
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(11);
    QApplication::setFont(font);

    // Settings and recovery files of a run of its own.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());

    std::unique_ptr<QMainWindow> window;
    if (bare) {
        window = std::make_unique<QMainWindow>();
        auto *view = new QWebEngineView(window.get());
        window->setCentralWidget(view);
        view->load(orv::links::startPage());
        window->resize(1424, 950);
    } else {
        window = std::make_unique<orv::MainWindow>(nullptr, home.filePath(QStringLiteral("recovery")));
    }
    window->winId(); // the window handle, to watch
    ExposeWatcher watcher([&] {
        const double ms = launched > 0
                              ? double(QDateTime::currentDateTime().toMSecsSinceEpoch() * 1000000 - launched) / 1e6
                              : double(sinceMain.nsecsElapsed()) / 1e6;
        std::printf("%s %.1f\n", bare ? "bare" : "window", ms);
        std::fflush(stdout);
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    window->windowHandle()->installEventFilter(&watcher);
    window->show();
    return app.exec();
}
