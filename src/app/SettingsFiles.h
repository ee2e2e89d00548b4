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

// What one settings file holds as far as the console knows: nothing until
// the file has been read; then its record (none when it was missing or
// damaged), and after a write what was written.
template <typename Record> class FileMemory {
public:
    void remember(std::optional<Record> held) {
        m_read = true;
        m_held = std::move(held);
    }
    // Only a file that was read is written, and only when it would change: a
    // file the console has not read holds the user's last state.
    bool needsWriting(const Record& now) const { return m_read && m_held != now; }

private:
    bool m_read = false;
    std::optional<Record> m_held;
};

// The console's settings files: settings.ini and settings2.ini in the data
// folder, and the custom panel's settingsc.ini in the config folder. Each
// file is written only once read and only when what the console holds has
// changed since. A file that is there but cannot be read whole is moved
// aside as `<name>.damaged` before anything can overwrite it, and the user
// is told once, naming it; the console then starts as if it were missing. A
// shutdown whose writes fail says so once, naming every file - the
// recorder's too - however often it runs. UI thread only.
class SettingsFiles {
public:
    SettingsFiles(const core::AppDir& dir, core::Dialogs& dialogs);

    std::optional<persist::ConsoleSettings> readConsole();
    std::optional<persist::CustomNames> readCustom();
    std::optional<persist::CustomPanelSettings> readPanel();

    // Shutdown: writes each file that needs it, settings.ini first, each
    // replaced whole (`panel` is null when the custom panel never loaded),
    // and says once in the run - however often shutdown runs - which files
    // could not be written, `othersFailed` (files other windows wrote as they
    // went) among them.
    void writeAtShutdown(const persist::ConsoleSettings& console,
                         const persist::CustomNames& custom,
                         const persist::CustomPanelSettings* panel,
                         const std::vector<persist::WriteFailure>& othersFailed = {});
    // The custom panel closing while the console runs: writes settingsc.ini
    // when it needs it and says so when it cannot. A failure here never
    // stands in for the shutdown's report, and leaves the file to shutdown.
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
    FileMemory<persist::ConsoleSettings> m_console;
    FileMemory<persist::CustomNames> m_custom;
    FileMemory<persist::CustomPanelSettings> m_panel;
};

} // namespace sylvaro::app
