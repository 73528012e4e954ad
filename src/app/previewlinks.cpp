#include "previewlinks.h"

#include "render/linkboxes.h"
#include "render/pagescripts.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QWebEnginePage>
#include <QWebEngineScript>

namespace orv {

using namespace Qt::StringLiterals;

void measurePreviewLinks(QWebEnginePage *page, QObject *context,
                         std::function<void(const QList<check::LinkBox> &links)> done)
{
    page->runJavaScript(render::scripts::linkBoxesScript(), QWebEngineScript::ApplicationWorld,
                        [context = QPointer<QObject>(context), done = std::move(done)](const QVariant &result) {
                            // A page going away answers with nothing.
                            if (!context || !result.isValid())
                                return;
                            const QJsonObject json = QJsonDocument::fromJson(result.toString().toUtf8()).object();
                            done(render::readLinkBoxes(json.value(u"links"_s).toArray()));
                        });
}

} // namespace orv
