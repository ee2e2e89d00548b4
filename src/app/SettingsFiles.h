#pragma once

#include "persist/ConsoleSettings.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace sylvaro::core {
class AppDir;
class Dialogs;
} // namespace sylvaro::core

namespace sylvaro::app {

// The console's two settings files in the data folder. A file that is there
// but cannot be read whole is moved aside as `<name>.damaged` before anything
// can overwrite it, and the user is told once, naming it; the console then
// starts as if it were missing. A shutdown whose writes fail says so once,
// naming every file, however often it runs. UI thread only.
class SettingsFiles {
public:
    SettingsFiles(const core::AppDir& dir, core::Dialogs& dialogs);

    std::optional<persist::ConsoleSettings> readConsole();
    std::optional<persist::CustomNames> readCustom();

    // Writes the files given, settings.ini first; each is replaced whole.
    void write(const persist::ConsoleSettings* console, const persist::CustomNames* custom);

    QString consolePath() const;
    QString customPath() const;

    static const QString kConsoleFile;
    static const QString kCustomFile;
    static const QString kDamagedText;
    static const QString kNotSavedText;

private:
    template <typename Record> std::optional<Record> read(const QString& path);

    const core::AppDir& m_dir;
    core::Dialogs& m_dialogs;
    bool m_reportedWriteFailure = false;
    QStringList m_reportedDamaged;
};

} // namespace sylvaro::app
