#include "preview.h"

#include "core/failure.h"

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
    const QByteArray bytes = text.toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush()) {
        throw Failure::cannotCreateFile(path, file.errorString());
    }
    file.close();
    m_text = text;
    m_view->load(QUrl::fromLocalFile(path));
}

} // namespace orv
