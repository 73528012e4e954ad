#include "settings.h"

#include <QSettings>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

const QString geometryKey = u"window/geometry"_s;
const QString panelWidthKey = u"window/settingsPanelWidth"_s;
const QString recentFilesKey = u"recentFiles"_s;
const QString listHeightKey = u"window/moduleListHeight"_s;
const QString pictureWidthKey = u"pictures/width"_s;
const QString picturePngKey = u"pictures/png"_s;
const QString pictureHeightKey = u"pictures/maxHeight"_s;
// Larger than any screen: a larger remembered size is no size.
constexpr int largestSize = 100000;

int positiveSize(const QSettings &settings, const QString &key)
{
    bool ok = false;
    const int size = settings.value(key).toInt(&ok);
    return ok && size > 0 && size < largestSize ? size : 0;
}

} // namespace

Settings::Settings()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, u"Orvanta"_s, u"Orvanta"_s))
{
}

Settings::Settings(const QString &fileName)
    : m_settings(std::make_unique<QSettings>(fileName, QSettings::IniFormat))
{
}

Settings::~Settings() = default;

QString Settings::fileName() const
{
    return m_settings->fileName();
}

QByteArray Settings::windowGeometry() const
{
    const QVariant value = m_settings->value(geometryKey);
    return value.typeId() == QMetaType::QByteArray ? value.toByteArray() : QByteArray();
}

void Settings::setWindowGeometry(const QByteArray &geometry)
{
    m_settings->setValue(geometryKey, geometry);
    m_settings->sync();
}

int Settings::settingsPanelWidth() const
{
    return positiveSize(*m_settings, panelWidthKey);
}

void Settings::setSettingsPanelWidth(int width)
{
    m_settings->setValue(panelWidthKey, width);
    m_settings->sync();
}

int Settings::moduleListHeight() const
{
    return positiveSize(*m_settings, listHeightKey);
}

void Settings::setModuleListHeight(int height)
{
    m_settings->setValue(listHeightKey, height);
    m_settings->sync();
}

QStringList Settings::recentFiles() const
{
    if (!m_settings->contains(recentFilesKey)) {
        // Earlier versions wrote the list with QSettings' defaults, which for
        // a program without an organisation's name is a file of its own
        // (~/.config/Unknown Organization/Orvanta.conf). It is copied once,
        // and left there for those versions.
        const QVariant old = QSettings().value(recentFilesKey);
        m_settings->setValue(recentFilesKey, old.toStringList());
        m_settings->sync();
    }
    const QVariant value = m_settings->value(recentFilesKey);
    if (value.typeId() != QMetaType::QStringList && value.typeId() != QMetaType::QString)
        return {};
    QStringList files = value.toStringList();
    files.removeAll(QString());
    return files;
}

void Settings::setRecentFiles(const QStringList &files)
{
    m_settings->setValue(recentFilesKey, files);
    m_settings->sync();
}

int Settings::pictureWidth() const
{
    const int width = positiveSize(*m_settings, pictureWidthKey);
    return width >= 480 && width <= 1500 ? width : 0;
}

bool Settings::picturesAsPng() const
{
    return m_settings->value(picturePngKey).toString() == u"true"_s;
}

int Settings::pictureMaxHeight() const
{
    return positiveSize(*m_settings, pictureHeightKey) == 2500 ? 2500 : 2000;
}

void Settings::setPictureChoice(int width, bool png, int maxHeight)
{
    m_settings->setValue(pictureWidthKey, width);
    m_settings->setValue(picturePngKey, png);
    m_settings->setValue(pictureHeightKey, maxHeight);
    m_settings->sync();
}

} // namespace orv
