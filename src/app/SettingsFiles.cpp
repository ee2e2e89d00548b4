#include "SettingsFiles.h"

#include "ProgramTitle.h"
#include "core/AppDir.h"
#include "core/Dialogs.h"
#include "persist/DamagedFileReport.h"
#include "persist/RecordFile.h"

#include <QFile>

namespace sylvaro::app {

const QString SettingsFiles::kConsoleFile = QStringLiteral("settings.ini");
const QString SettingsFiles::kCustomFile = QStringLiteral("settings2.ini");
const QString SettingsFiles::kPanelFile = QStringLiteral("settingsc.ini");
const QString SettingsFiles::kDamagedText =
    QStringLiteral("The settings file %1 could not be read, so the console starts with its "
                   "design values. The file was kept as %2.");
const QString SettingsFiles::kNotSavedText =
    QStringLiteral("The settings could not be saved to %1.");

SettingsFiles::SettingsFiles(const core::AppDir& dir, core::Dialogs& dialogs)
    : m_dir(dir), m_dialogs(dialogs) {}

QString SettingsFiles::consolePath() const {
    return m_dir.dataFile(kConsoleFile);
}

QString SettingsFiles::customPath() const {
    return m_dir.dataFile(kCustomFile);
}

QString SettingsFiles::panelPath() const {
    return m_dir.configFile(kPanelFile);
}

template <typename Record> std::optional<Record> SettingsFiles::read(const QString& path) {
    return persist::readOrReportDamaged<Record>(
        path, m_dialogs, {kDamagedText, kProgramTitle, QStringLiteral("the console")});
}

std::optional<persist::ConsoleSettings> SettingsFiles::readConsole() {
    return read<persist::ConsoleSettings>(consolePath());
}

std::optional<persist::CustomNames> SettingsFiles::readCustom() {
    return read<persist::CustomNames>(customPath());
}

std::optional<persist::CustomPanelSettings> SettingsFiles::readPanel() {
    return read<persist::CustomPanelSettings>(panelPath());
}

std::optional<persist::WriteFailure> SettingsFiles::save(const QString& path,
                                                         const QByteArray& data) {
    // A file that already says exactly this is left alone, byte for byte.
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.size() == data.size() &&
        current.readAll() == data) {
        return std::nullopt;
    }
    QString error;
    if (!persist::writeFileAtomically(path, data, &error)) {
        return persist::WriteFailure{path, error};
    }
    return std::nullopt;
}

void SettingsFiles::reportNotSaved(const std::vector<persist::WriteFailure>& failed) {
    QStringList paths;
    QStringList reasons;
    for (const persist::WriteFailure& f : failed) {
        paths << f.path;
        reasons << QStringLiteral("%1: %2").arg(f.path, f.reason);
    }
    const QString last = paths.takeLast();
    const QString named =
        paths.isEmpty() ? last : paths.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
    m_dialogs.message({kNotSavedText.arg(named), kProgramTitle, core::MessageButtons::Ok,
                       core::MessageIcon::Warning, reasons.join(QLatin1Char('\n'))});
}

void SettingsFiles::writeAtShutdown(const persist::ConsoleSettings* console,
                                    const persist::CustomNames* custom,
                                    const persist::CustomPanelSettings* panel,
                                    const std::vector<persist::WriteFailure>& othersFailed) {
    std::vector<persist::WriteFailure> failed;
    const auto write = [&](const QString& path, const QByteArray& data) {
        if (std::optional<persist::WriteFailure> f = save(path, data)) {
            failed.push_back(*f);
        }
    };
    if (console) {
        write(consolePath(), console->toLine());
    }
    if (custom) {
        write(customPath(), custom->toLine());
    }
    if (panel) {
        write(panelPath(), panel->toLine());
    }
    failed.insert(failed.end(), othersFailed.begin(), othersFailed.end());
    if (failed.empty() || m_reportedShutdownFailure) {
        return;
    }
    m_reportedShutdownFailure = true;
    reportNotSaved(failed);
}

bool SettingsFiles::writePanel(const persist::CustomPanelSettings& panel) {
    if (std::optional<persist::WriteFailure> f = save(panelPath(), panel.toLine())) {
        reportNotSaved({*f});
        return false;
    }
    return true;
}

} // namespace sylvaro::app
