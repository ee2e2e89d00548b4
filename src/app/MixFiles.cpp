#include "MixFiles.h"

#include "ConsoleState.h"
#include "core/AppDir.h"
#include "core/Dialogs.h"
#include "core/ProgramTitle.h"
#include "persist/LineCodec.h"

#include <QDir>
#include <QFileInfo>

namespace sylvaro::app {

namespace {
// Far more than 81 fields can take; anything bigger is not a mix.
constexpr qint64 kLargestMix = 1 << 16;
} // namespace

const QString MixFiles::kFilter = QStringLiteral("Sylvaro Lite Files (*.svm)| *.svm");
const QString MixFiles::kNotSavedText = QStringLiteral("The mix could not be saved to %1.");
const QString MixFiles::kNotAMixText =
    QStringLiteral("%1 is not a Sylvaro Lite mix, so nothing was changed.");

MixFiles::MixFiles(const core::AppDir& dir, core::Dialogs& dialogs, ConsoleState& state,
                   QObject* parent)
    : QObject(parent), m_dir(dir), m_dialogs(dialogs), m_state(state) {}

QString MixFiles::savesFolder() const {
    // Mixes are the user's: they go where the program may write.
    const QString folder = m_dir.dataFile(QStringLiteral("saves"));
    QDir().mkpath(folder);
    return folder;
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
    if (persist::writeFileAtomically(path, m_state.captureMix().toLine(), &error)) {
        return true;
    }
    m_dialogs.message({kNotSavedText.arg(QDir::toNativeSeparators(path)), core::kProgramTitle,
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
        m_dialogs.message({kNotAMixText.arg(QDir::toNativeSeparators(path)), core::kProgramTitle,
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
    m_state.applyMix(*read.mix);
    Q_EMIT applied();
    return true;
}

} // namespace sylvaro::app
