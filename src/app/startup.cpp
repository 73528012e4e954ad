#include "startup.h"

#include "render/pagerenderer.h"

#include <QCoreApplication>
#include <QtGlobal>

namespace orv {

void prepareBrowserEnvironment()
{
    // The preview draws as the pictures export does (software compositing),
    // and the export's off-screen engine can start at all (which also turns
    // the engine's sandbox off as root).
    render::prepareRenderProcess(false);
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
