#include "SettingsFiles.h"

#include "ProgramTitle.h"
#include "core/AppDir.h"
#include "core/Dialogs.h"
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
    persist::FileRead<Record> result = persist::readRecordFile<Record>(path);
    if (result.state != persist::FileState::Damaged) {
        return std::move(result.record);
    }
    QString error;
    const std::optional<QString> kept = persist::keepDamaged(path, &error);
    // A file that could not be moved aside is read again at every start-up
    // attempt: tell the user only once.
    if (m_reportedDamaged.contains(path)) {
        return std::nullopt;
    }
    m_reportedDamaged << path;
    QString detail = QStringLiteral("Reason: %1.").arg(result.reason);
    if (!kept) {
        detail += QStringLiteral(" It could not be moved aside (%1); it will be replaced when "
                                 "the console closes.")
                      .arg(error);
    }
    m_dialogs.message({kDamagedText.arg(path, kept.value_or(path + QStringLiteral(".damaged"))),
                       kProgramTitle, core::MessageButtons::Ok, core::MessageIcon::Warning,
                       detail});
    return std::nullopt;
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

void SettingsFiles::write(const persist::ConsoleSettings* console,
                          const persist::CustomNames* custom,
                          const persist::CustomPanelSettings* panel) {
    QStringList failed;
    QStringList reasons;
    const auto save = [&](const QString& path, const QByteArray& data) {
        // A file that already says exactly this is left alone, byte for byte.
        QFile current(path);
        if (current.open(QIODevice::ReadOnly) && current.size() == data.size() &&
            current.readAll() == data) {
            return;
        }
        QString error;
        if (!persist::writeFileAtomically(path, data, &error)) {
            failed << path;
            reasons << QStringLiteral("%1: %2").arg(path, error);
        }
    };
    if (console) {
        save(consolePath(), console->toLine());
    }
    if (custom) {
        save(customPath(), custom->toLine());
    }
    if (panel) {
        save(panelPath(), panel->toLine());
    }
    if (failed.isEmpty() || m_reportedWriteFailure) {
        return;
    }
    m_reportedWriteFailure = true;
    m_dialogs.message({kNotSavedText.arg(failed.join(QStringLiteral(" and "))), kProgramTitle,
                       core::MessageButtons::Ok, core::MessageIcon::Warning,
                       reasons.join(QLatin1Char('\n'))});
}

} // namespace sylvaro::app
