#include "SettingsFiles.h"

#include "core/AppDir.h"
#include "core/Dialogs.h"
#include "core/ProgramTitle.h"
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
        path, m_dialogs, {kDamagedText, core::kProgramTitle, QStringLiteral("the console")});
}

std::optional<persist::ConsoleSettings> SettingsFiles::readConsole() {
    std::optional<persist::ConsoleSettings> held = read<persist::ConsoleSettings>(consolePath());
    m_console.remember(held);
    return held;
}

std::optional<persist::CustomNames> SettingsFiles::readCustom() {
    std::optional<persist::CustomNames> held = read<persist::CustomNames>(customPath());
    m_custom.remember(held);
    return held;
}

std::optional<persist::CustomPanelSettings> SettingsFiles::readPanel() {
    std::optional<persist::CustomPanelSettings> held =
        read<persist::CustomPanelSettings>(panelPath());
    m_panel.remember(held);
    return held;
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
    m_dialogs.message({kNotSavedText.arg(named), core::kProgramTitle, core::MessageButtons::Ok,
                       core::MessageIcon::Warning, reasons.join(QLatin1Char('\n'))});
}

void SettingsFiles::writeAtShutdown(const persist::ConsoleSettings& console,
                                    const persist::CustomNames& custom,
                                    const persist::CustomPanelSettings* panel,
                                    const std::vector<persist::WriteFailure>& othersFailed) {
    std::vector<persist::WriteFailure> failed;
    const auto write = [&](const QString& path, const QByteArray& data) {
        if (std::optional<persist::WriteFailure> f = save(path, data)) {
            failed.push_back(*f);
        }
    };
    // One that says what the console says may be spelled the user's way:
    // it is left as it is.
    if (m_console.needsWriting(console)) {
        write(consolePath(), console.toLine());
    }
    if (m_custom.needsWriting(custom)) {
        write(customPath(), custom.toLine());
    }
    if (panel && m_panel.needsWriting(*panel)) {
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
    if (!m_panel.needsWriting(panel)) {
        return true;
    }
    if (std::optional<persist::WriteFailure> f = save(panelPath(), panel.toLine())) {
        reportNotSaved({*f});
        return false;
    }
    m_panel.remember(panel);
    return true;
}

} // namespace sylvaro::app
