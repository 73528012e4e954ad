#include "app/application.h"
#include "app/mainwindow.h"
#include "app/startup.h"

#include <QApplication>
#include <QFont>
#include <QTimer>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("orvanta %s\n", ORVANTA_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("Usage: orvanta [PROJECT.orvanta] | --version | --help\n"
                        "Builds product description pages for Taobao and Tmall shops;\n"
                        "opens the project file when one is given.\n"
                        "For batch work without a window, see orvanta-cli --help.\n");
            return 0;
        }
    }
    if (!orv::displayAvailable()) {
        std::fprintf(stderr, "orvanta: no display found: neither DISPLAY nor WAYLAND_DISPLAY is set.\n"
                             "Start it from a desktop session, or run it under xvfb-run.\n");
        return 1;
    }

    orv::prepareBrowserEnvironment();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvanta"));
    QApplication::setApplicationVersion(QStringLiteral(ORVANTA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.orvanta.Orvanta"));
    QApplication::setWindowIcon(orv::applicationIcon());
    orv::installQtTranslation();

    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(11);
    QApplication::setFont(font);

    orv::MainWindow window;
    window.show();
    // First the work a crashed run left, then the file asked for.
    const QStringList files = QApplication::arguments().mid(1);
    QTimer::singleShot(0, &window, [&window, files] {
        window.document()->offerRecovery();
        if (!files.isEmpty() && window.document()->maybeSave())
            window.document()->openFile(files.first());
    });
    return app.exec();
}
