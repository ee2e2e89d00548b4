#include "MixFiles.h"

#include "ClockAlarmPanel.h"
#include "ConsoleState.h"
#include "CustomLink.h"
#include "ProgramTitle.h"
#include "RandomSounds.h"
#include "VolumeControls.h"
#include "core/AppDir.h"
#include "core/Dialogs.h"
#include "custom/CustomChannels.h"
#include "custom/CustomPanel.h"
#include "persist/LineCodec.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

namespace sylvaro::app {

namespace {
const QString kAlarmOn = QStringLiteral("ON");
const QString kAlarmOff = QStringLiteral("OFF");
// Far more than 81 fields can take; anything bigger is not a mix.
constexpr qint64 kLargestMix = 1 << 16;
} // namespace

const QString MixFiles::kFilter = QStringLiteral("Sylvaro Lite Files (*.svm)| *.svm");
const QString MixFiles::kNotSavedText = QStringLiteral("The mix could not be saved to %1.");
const QString MixFiles::kNotAMixText =
    QStringLiteral("%1 is not a Sylvaro Lite mix, so nothing was changed.");

MixFiles::MixFiles(const core::AppDir& dir, core::Dialogs& dialogs, ConsoleState& state,
                   CustomLink& custom, QObject* parent)
    : QObject(parent), m_dir(dir), m_dialogs(dialogs), m_state(state), m_custom(custom) {}

QString MixFiles::savesFolder() const {
    // Mixes are the user's: they go where the program may write.
    const QString folder = m_dir.dataFile(QStringLiteral("saves"));
    QDir().mkpath(folder);
    return folder;
}

persist::MixFile MixFiles::capture() const {
    ConsolePanels& p = m_state.panels();
    persist::MixFile mix;
    mix.console = m_state.capture();
    mix.alarmTime = p.clock.alarmBox()->text();
    // Always the alarm's real state, so a mix says whether it was on.
    mix.alarmState = p.clock.alarmClock().isOn() ? kAlarmOn : kAlarmOff;
    mix.names = p.custom.names();
    mix.panel = m_custom.panel().capture();
    return mix;
}

bool MixFiles::save() {
    const QString path =
        m_dialogs.saveFileName({kFilter, savesFolder(), {}, QStringLiteral("Save User Config")});
    if (path.isEmpty()) {
        return false;
    }
    return saveTo(path);
}

bool MixFiles::saveTo(const QString& path) {
    QString error;
    if (persist::writeFileAtomically(path, capture().toLine(), &error)) {
        return true;
    }
    m_dialogs.message({kNotSavedText.arg(QDir::toNativeSeparators(path)), kProgramTitle,
                       core::MessageButtons::Ok, core::MessageIcon::Warning, error});
    return false;
}

bool MixFiles::load() {
    const QString path =
        m_dialogs.openFileName({kFilter, savesFolder(), {}, QStringLiteral("Load User Config")});
    if (path.isEmpty()) {
        return false;
    }
    return loadFrom(path);
}

bool MixFiles::loadFrom(const QString& path) {
    const auto refuse = [&](const QString& why) {
        m_dialogs.message({kNotAMixText.arg(QDir::toNativeSeparators(path)), kProgramTitle,
                           core::MessageButtons::Ok, core::MessageIcon::Warning, why});
        return false;
    };
    if (QFileInfo(path).isDir()) {
        return refuse(QStringLiteral("It is a folder."));
    }
    QString error;
    const std::optional<QByteArray> line = persist::readFirstLine(path, &error, kLargestMix);
    if (!line) {
        return refuse(QStringLiteral("It could not be read: %1.").arg(error));
    }
    const persist::MixRead read = persist::MixFile::fromLine(*line);
    if (!read.mix) {
        return refuse(QStringLiteral("Field %1: %2.").arg(read.badField).arg(read.reason));
    }
    apply(*read.mix);
    return true;
}

void MixFiles::apply(const persist::MixFile& mix) {
    ConsolePanels& p = m_state.panels();
    custom::CustomChannels& channels = p.custom;
    // What played of the old custom sounds stops; the names are the mix's.
    channels.releaseAll();
    channels.setNames(mix.names);
    if (!mix.names.picture.isEmpty()) {
        m_state.showPicture(mix.names.picture);
    }
    m_custom.panel().apply(mix.panel);
    m_state.applyMix(mix.console, mix.alarmTime);
    // Ticked custom backgrounds start from their new files once read.
    m_custom.setUp(CustomLink::kMixMissingText);
    if (mix.alarmState == kAlarmOn) {
        p.clock.alarmOn();
    } else if (mix.alarmState == kAlarmOff) {
        // Like "Alarm Off": a ringing alarm stops too.
        p.clock.alarmOff();
    }
    p.volumes.reapplyRandom();
    Q_EMIT applied();
}

} // namespace sylvaro::app
