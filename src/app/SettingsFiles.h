#pragma once

#include "persist/ConsoleSettings.h"
#include "persist/CustomPanelSettings.h"
#include "persist/LineCodec.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace sylvaro::core {
class AppDir;
class Dialogs;
} // namespace sylvaro::core

namespace sylvaro::app {

// The console's settings files: settings.ini and settings2.ini in the data
// folder, and the custom panel's settingsc.ini in the config folder. A file that is there
// but cannot be read whole is moved aside as `<name>.damaged` before anything
// can overwrite it, and the user is told once, naming it; the console then
// starts as if it were missing. A shutdown whose writes fail says so once,
// naming every file - the recorder's too - however often it runs. UI thread
// only.
class SettingsFiles {
public:
    SettingsFiles(const core::AppDir& dir, core::Dialogs& dialogs);

    std::optional<persist::ConsoleSettings> readConsole();
    std::optional<persist::CustomNames> readCustom();
    std::optional<persist::CustomPanelSettings> readPanel();

    // Shutdown: writes the files given, settings.ini first, each replaced
    // whole, and says once in the run - however often shutdown runs - which
    // files could not be written, `othersFailed` (files other windows wrote
    // as they went) among them.
    void writeAtShutdown(const persist::ConsoleSettings* console,
                         const persist::CustomNames* custom,
                         const persist::CustomPanelSettings* panel,
                         const std::vector<persist::WriteFailure>& othersFailed = {});
    // The custom panel closing while the console runs: writes settingsc.ini
    // and says so when it cannot. A failure here never stands in for the
    // shutdown's report.
    bool writePanel(const persist::CustomPanelSettings& panel);

    QString consolePath() const;
    QString customPath() const;
    QString panelPath() const;

    static const QString kConsoleFile;
    static const QString kCustomFile;
    static const QString kPanelFile;
    static const QString kDamagedText;
    static const QString kNotSavedText;

private:
    template <typename Record> std::optional<Record> read(const QString& path);
    static std::optional<persist::WriteFailure> save(const QString& path, const QByteArray& data);
    void reportNotSaved(const std::vector<persist::WriteFailure>& failed);

    const core::AppDir& m_dir;
    core::Dialogs& m_dialogs;
    bool m_reportedShutdownFailure = false;
};

} // namespace sylvaro::app
