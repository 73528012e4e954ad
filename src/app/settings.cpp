#include "settings.h"

#include <QSettings>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

const QString geometryKey = u"window/geometry"_s;
const QString panelWidthKey = u"window/settingsPanelWidth"_s;
// Wider than any screen: a larger remembered width is no width.
constexpr int widestPanel = 100000;

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
    bool ok = false;
    const int width = m_settings->value(panelWidthKey).toInt(&ok);
    return ok && width > 0 && width < widestPanel ? width : 0;
}

void Settings::setSettingsPanelWidth(int width)
{
    m_settings->setValue(panelWidthKey, width);
    m_settings->sync();
}

} // namespace orv
