#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

namespace orv {

// The program's own settings, in one INI file of the user's configuration
// folder (~/.config/Orvanta/Orvanta.ini). Every getter gives its default when
// the file, the key or a usable value is missing: a broken file is never a
// failure. Setters write through at once.
class Settings {
public:
    Settings();
    // Settings kept in this file instead.
    explicit Settings(const QString &fileName);
    ~Settings();

    QString fileName() const;

    // The main window's size, position and state as QWidget::saveGeometry()
    // gives it; empty by default.
    QByteArray windowGeometry() const;
    void setWindowGeometry(const QByteArray &geometry);

    // The width the user gave the settings panel; 0 (none) by default.
    int settingsPanelWidth() const;
    void setSettingsPanelWidth(int width);

    // The height the user gave the module list under the page's form; 0
    // (none: room for a few entries) by default.
    int moduleListHeight() const;
    void setModuleListHeight(int height);

    // The project files opened or saved last, the latest first. The list
    // earlier versions kept in a settings store of their own is taken over
    // the first time this file has none.
    QStringList recentFiles() const;
    void setRecentFiles(const QStringList &files);

    // What the last export of mobile pictures chose: the width (0, none, by
    // default: the page width is offered), the format (JPEG by default) and
    // the height limit (2000 by default, or 2500).
    int pictureWidth() const;
    bool picturesAsPng() const;
    int pictureMaxHeight() const;
    void setPictureChoice(int width, bool png, int maxHeight);

private:
    std::unique_ptr<QSettings> m_settings;
};

} // namespace orv
