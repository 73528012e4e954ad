#include "startup.h"

#include "render/pagerenderer.h"

#include <QCoreApplication>
#include <QtGlobal>

#include <unistd.h>

namespace orv {

void prepareBrowserEnvironment()
{
    // The preview draws as the pictures export does (software compositing),
    // and the export's off-screen engine can start at all.
    render::prepareRenderProcess(false);
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

bool displayAvailable()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
           || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

} // namespace orv
