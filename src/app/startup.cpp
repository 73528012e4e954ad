#include "startup.h"

#include "render/pagerenderer.h"

#include <QCoreApplication>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace orv {

namespace {

// The browser's sandbox refuses to start as root, which only Unix has.
bool runsAsRoot()
{
#ifdef Q_OS_UNIX
    return ::geteuid() == 0;
#else
    return false;
#endif
}

} // namespace

void prepareBrowserEnvironment()
{
    // The preview draws as the pictures export does (software compositing),
    // and the export's off-screen engine can start at all.
    render::prepareRenderProcess(false);
    if (runsAsRoot() && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

bool displayAvailable()
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    // Their window system is always there.
    return true;
#else
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
           || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#endif
}

} // namespace orv
