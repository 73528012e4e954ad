#include "application.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace orv {

using namespace Qt::StringLiterals;

bool installQtTranslation(const QString &folder)
{
    const QString from = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(u"qtbase_zh_CN"_s, from) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

QIcon applicationIcon()
{
    return QIcon(u":/icons/org.orvanta.Orvanta.svg"_s);
}

} // namespace orv
