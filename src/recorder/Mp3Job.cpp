#include "Mp3Job.h"

#include "Desktop.h"
#include "Mp3Encoder.h"
#include "PathParts.h"
#include "RecorderTitle.h"
#include "core/Dialogs.h"

#include <QFile>
#include <QUrl>

namespace sylvaro::recorder {

const QString Mp3Job::kCreatedText =
    QStringLiteral("Your mp3 has been created:  %1. Would you like to view the file?");
const QString Mp3Job::kMp3FailedText = QStringLiteral("The MP3 file %1 could not be created.");
const QString Mp3Job::kEncoderBusyText = QStringLiteral(
    "The MP3 file %1 is still being made. Please wait until it is finished, then try again.");

Mp3Job::Mp3Job(const QString& programFolder, core::Dialogs& dialogs, Desktop& desktop,
               QObject* parent)
    : QObject(parent), m_dialogs(dialogs), m_desktop(desktop),
      m_encoder(new Mp3Encoder(programFolder, this)) {
    connect(m_encoder, &Mp3Encoder::finished, this,
            [this](const EncodeOutcome& outcome) { onFinished(outcome); });
}

bool Mp3Job::isRunning() const {
    return m_encoder->isRunning();
}

bool Mp3Job::refuseWhileBusy(const QString& detail) {
    if (!isRunning()) {
        return false;
    }
    m_dialogs.message({kEncoderBusyText.arg(m_target), kRecorderTitle, core::MessageButtons::Ok,
                       core::MessageIcon::Information, detail});
    return true;
}

void Mp3Job::askAndConvert() {
    if (refuseWhileBusy()) {
        return;
    }
    const QString source =
        m_dialogs.openFileName({QStringLiteral("Wav Files (*.wav)|*.wav|Wav Files (*.*)|*.*"),
                                folderOf(m_lastSource),
                                QFileInfo(m_lastSource).fileName(),
                                {}});
    if (source.isEmpty()) {
        return;
    }
    m_lastSource = source;
    QString target = m_dialogs.saveFileName(
        {QStringLiteral("Mp3 Files (*.mp3)|*.mp3|mp3 Files (*.*)|*.*"), folderOf(source), {}, {}});
    if (target.isEmpty()) {
        return;
    }
    target = withSuffix(target, QStringLiteral("mp3"));
    if (QFileInfo(target) == QFileInfo(source)) {
        m_dialogs.message(
            {kMp3FailedText.arg(target), kRecorderTitle, core::MessageButtons::Ok,
             core::MessageIcon::Warning,
             QStringLiteral("The MP3 file would replace the WAV file it is made from.")});
        return;
    }
    start(source, target);
}

void Mp3Job::saveTake(const QString& source, const QString& target,
                      std::function<void(bool)> done) {
    m_takeSource = source;
    m_takeDone = std::move(done);
    start(source, target);
}

void Mp3Job::cancel() {
    m_encoder->cancel();
}

void Mp3Job::start(const QString& source, const QString& target) {
    // Set before the start: a failure to start finishes at once.
    m_target = target;
    Q_EMIT runningChanged(true);
    m_encoder->start(source, target);
}

void Mp3Job::onFinished(const EncodeOutcome& outcome) {
    Q_EMIT runningChanged(false);
    if (std::function<void(bool)> done = std::exchange(m_takeDone, nullptr)) {
        QFile::remove(std::exchange(m_takeSource, QString()));
        const bool created = outcome.kind == EncodeOutcome::Kind::Created;
        done(created);
        if (created) {
            return; // the take's own save options follow
        }
    }
    switch (outcome.kind) {
    case EncodeOutcome::Kind::Created:
        if (m_dialogs.message({kCreatedText.arg(outcome.target), kRecorderTitle,
                               core::MessageButtons::YesNo, core::MessageIcon::Information}) ==
            core::MessageAnswer::Yes) {
            m_desktop.openUrl(QUrl::fromLocalFile(folderOf(outcome.target)));
        }
        break;
    case EncodeOutcome::Kind::Failed:
        m_dialogs.message({kMp3FailedText.arg(outcome.target), kRecorderTitle,
                           core::MessageButtons::Ok, core::MessageIcon::Warning, outcome.reason});
        break;
    case EncodeOutcome::Kind::Cancelled:
        break;
    }
}

} // namespace sylvaro::recorder
