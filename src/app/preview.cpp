#include "preview.h"

#include "core/failure.h"
#include "core/placeholders.h"

#include <QFile>
#include <QUrl>
#include <QWebEngineView>

namespace orv {

using namespace Qt::StringLiterals;

Preview::Preview(QString folder, QWebEngineView *view)
    : m_folder(std::move(folder))
    , m_view(view)
{
}

QString Preview::filePath() const
{
    return m_folder + u"/file.html"_s;
}

void Preview::show(const QString &text)
{
    const QString path = filePath();
    QFile file(path);
    // Placeholder pictures (a starter design's) are drawn as grey boxes of
    // their size: their addresses never resolve.
    const QByteArray bytes = withDrawnPlaceholders(text).toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush()) {
        throw Failure::cannotCreateFile(path, file.errorString());
    }
    file.close();
    m_text = text;
    m_view->load(QUrl::fromLocalFile(path));
}

} // namespace orv
