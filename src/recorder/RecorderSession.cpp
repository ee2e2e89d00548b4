#include "RecorderSession.h"

#include "Mp3Job.h"
#include "PathParts.h"
#include "RecorderTitle.h"
#include "core/Dialogs.h"
#include "core/WallClock.h"

#include <QFile>
#include <QTemporaryFile>
#include <algorithm>

namespace sylvaro::recorder {

const QString RecorderSession::kSizeReachedText = QStringLiteral(
    "Recording Stopped. The specified filesize was reached. Your file is ready to save.");
const QString RecorderSession::kLengthReachedText = QStringLiteral(
    "Recording Stopped. The specified time limit was reached. Your file is ready to save.");
const QString RecorderSession::kPlaybackText = QStringLiteral(
    "The main console is now muted and you are now hearing your recorded file. When you have "
    "heard enough, click OK to stop playback, return to the recorder and unmute the main "
    "console. (If you cannot hear your recording, please check the help file section on "
    "configuring your Windows mixer)");
const QString RecorderSession::kSaveFailedText = QStringLiteral("Saving file failed");
const QString RecorderSession::kInterruptedText = QStringLiteral(
    "Recording Stopped. The recording ended early: %1. What was recorded up to then is ready "
    "to save.");

RecorderSession::RecorderSession(Parts parts)
    : m_parts(std::move(parts)), m_device(m_parts.takeFolder),
      m_sizeTimer(
          m_parts.timers, [this] { sizeTick(); }, kSizeIntervalMs, false),
      m_secondTimer(
          m_parts.timers, [this] { secondTick(); }, 0, false),
      m_limitTimer(
          m_parts.timers, [this] { limitTick(); }, 1000, false) {}

QString RecorderSession::sizeCaption(qint64 bytes) {
    return QString::number(static_cast<double>(bytes) / 1000000.0, 'g', 15) +
           QStringLiteral("\r\n");
}

void RecorderSession::open() {
    m_controls.reset = false;
    m_controls.save = false;
    m_secondTimer.setEnabled(false);
    freshTake();
    m_state = TakeState::Ready;
    m_parts.view.showTake();
}

void RecorderSession::freshTake() {
    m_device.send(QStringLiteral("close all"));
    m_device.send(QStringLiteral("open new type waveaudio alias capture"));
    m_unsaved = false;
}

void RecorderSession::setCaption(const QString& text, CaptionColour colour) {
    m_caption = text;
    m_captionColour = colour;
}

void RecorderSession::tell(const QString& text, core::MessageIcon icon, const QString& detail) {
    m_parts.dialogs.message({text, kRecorderTitle, core::MessageButtons::Ok, icon, detail});
}

void RecorderSession::record(const WaveFormat& format) {
    m_state = TakeState::Recording;
    setCaption(QStringLiteral("RECORDING"), CaptionColour::Red);
    m_controls.recordShown = false;
    m_controls.formatChoice = false;
    m_sizeTimer.setEnabled(true);
    m_limitTimer.setEnabled(true);
    m_secondTimer.setEnabled(true);
    m_secondTimer.setInterval(1000);
    m_startTime = m_parts.clock.localNow();
    refreshElapsed();
    m_device.send(QStringLiteral("set capture samplespersec ") +
                  QString::number(format.samplesPerSec) + QStringLiteral(" channels ") +
                  QString::number(format.channels) + QStringLiteral(" bitspersample ") +
                  QString::number(format.bitsPerSample) + QStringLiteral(" alignment ") +
                  QString::number(format.blockAlign()) + QStringLiteral(" bytespersec ") +
                  QString::number(format.bytesPerSec()));
    m_device.send(QStringLiteral("record capture"));
    m_unsaved = true;
    m_controls.stop = true;
    m_controls.play = false;
    m_parts.view.showTake();
}

void RecorderSession::refreshElapsed() {
    const qint64 ms = std::max<qint64>(0, m_startTime.msecsTo(m_parts.clock.localNow()));
    const qint64 s = ms / 1000;
    m_elapsedText = QStringLiteral("%1:%2:%3")
                        .arg(s / 3600 % 24, 2, 10, QLatin1Char('0'))
                        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

void RecorderSession::secondTick() {
    ++m_seconds;
    refreshElapsed();
    m_parts.view.showTake();
}

void RecorderSession::sizeTick() {
    m_device.send(QStringLiteral("set capture time format ms"));
    m_device.send(QStringLiteral("status capture length"));
    m_device.send(QStringLiteral("set capture time format bytes"));
    m_measuredBytes = m_device.send(QStringLiteral("status capture length")).reply.toLongLong();
    m_sizeText = sizeCaption(m_measuredBytes);
    m_device.send(QStringLiteral("status capture channels"));
    m_parts.view.showTake();
    // A device that went away, or a full disk, ends the take with what it
    // holds; the take is then ready to save like any other.
    const QString interruption = m_device.takeInterruption();
    if (!interruption.isEmpty() && m_state == TakeState::Recording) {
        endOfTake(kInterruptedText.arg(interruption));
    }
}

void RecorderSession::limitTick() {
    // Both limits are judged on the take as it was at this tick: when both
    // are reached together, both stops run and both messages appear.
    const bool sizeReached = static_cast<double>(m_measuredBytes) / 1000000.0 >=
                                 static_cast<double>(m_limits.sizeMegabytes) &&
                             m_limits.sizeOn;
    const bool lengthReached =
        m_seconds / 60.0 >= static_cast<double>(m_limits.lengthMinutes) && m_limits.lengthOn;
    if (sizeReached) {
        endOfTake(kSizeReachedText);
    }
    if (lengthReached) {
        endOfTake(kLengthReachedText);
    }
}

void RecorderSession::endOfTake(const QString& text) {
    m_secondTimer.setEnabled(false);
    m_device.send(QStringLiteral("stop capture"));
    m_limitTimer.setEnabled(false);
    m_state = TakeState::Stopped;
    // Green while the message is open, then the caption a stopped take has.
    m_captionColour = CaptionColour::Green;
    m_controls.reset = true;
    m_controls.stop = false;
    m_controls.record = false;
    m_controls.play = true;
    m_controls.save = true;
    m_seconds = 0;
    m_parts.view.showTake();
    tell(text, core::MessageIcon::Information);
    m_controls.recordShown = false;
    setCaption(QStringLiteral("RESET/TEST"), CaptionColour::Yellow);
    m_parts.view.showTake();
}

void RecorderSession::stop() {
    m_state = TakeState::Stopped;
    setCaption(QStringLiteral("RESET/TEST"), CaptionColour::Yellow);
    m_controls.record = false;
    m_controls.save = true;
    m_controls.stop = false;
    m_controls.reset = true;
    m_seconds = 0;
    m_limitTimer.setEnabled(false);
    m_measuredBytes = 0;
    m_sizeText = QStringLiteral("0");
    m_controls.play = true;
    m_device.send(QStringLiteral("stop capture"));
    m_secondTimer.setEnabled(false);
    m_parts.view.showTake();
}

void RecorderSession::play() {
    m_state = TakeState::Playing;
    m_caption = QStringLiteral("PLAYBACK");
    m_parts.view.showTake();
    m_parts.view.muteConsole();
    m_device.send(QStringLiteral("play capture from 0"));
    tell(kPlaybackText, core::MessageIcon::Information);
    stopPlayback();
    m_parts.view.unmuteConsole();
}

void RecorderSession::stopPlayback() {
    if (m_device.isPlaying()) {
        m_device.send(QStringLiteral("stop capture"));
    }
}

void RecorderSession::save(bool asMp3) {
    // One encode at a time: asked before a name is chosen in vain, and the
    // take stays as it is.
    if (asMp3 && m_parts.mp3.refuseWhileBusy(
                     QStringLiteral("The recording is kept: it can be saved once "
                                    "the MP3 file is finished, or as Wav at once."))) {
        return;
    }
    m_beforeSave = m_state;
    m_state = TakeState::Saving;
    m_controls.save = false;
    m_controls.play = false;
    m_parts.view.showTake();
    QString path = m_parts.dialogs.saveFileName({asMp3 ? QStringLiteral("Mp3 Files (*.mp3)|*.mp3")
                                                       : QStringLiteral("Wav File (*.wav)| *.wav"),
                                                 m_parts.saveFolder,
                                                 {},
                                                 {}});
    if (path.isEmpty()) {
        keepTake();
        return;
    }
    path = withSuffix(path, asMp3 ? QStringLiteral("mp3") : QStringLiteral("wav"));
    m_savedPath = path;
    if (!asMp3) {
        const CommandResult r = m_device.send(QStringLiteral("save capture ") + path);
        if (!r.ok()) {
            tell(kSaveFailedText, core::MessageIcon::None, r.error);
            keepTake();
            return;
        }
        finishSave();
        return;
    }
    // As MP3: the take goes to a WAV among the takes first; it is discarded
    // only once the encoder has made the MP3.
    QTemporaryFile wav(m_parts.takeFolder + QStringLiteral("/encode-XXXXXX.wav"));
    wav.setAutoRemove(false);
    const QString wavPath = wav.open() ? wav.fileName() : QString();
    wav.close();
    const CommandResult r = m_device.send(QStringLiteral("save capture ") + wavPath);
    if (wavPath.isEmpty() || !r.ok()) {
        if (!wavPath.isEmpty()) {
            QFile::remove(wavPath);
        }
        tell(kSaveFailedText, core::MessageIcon::None, r.error);
        keepTake();
        return;
    }
    m_state = TakeState::Encoding;
    m_parts.mp3.saveTake(wavPath, path, [this](bool created) {
        if (created) {
            finishSave();
        } else {
            keepTake(); // to be saved again, as WAV if need be
        }
    });
}

// A save that did not happen: the take is still there, to be saved or
// played.
void RecorderSession::keepTake() {
    m_state = m_beforeSave;
    m_controls.save = true;
    m_controls.play = true;
    m_parts.view.showTake();
}

void RecorderSession::finishSave() {
    m_state = TakeState::Saved;
    m_sizeTimer.setEnabled(false);
    freshTake();
    m_parts.view.showTake();
    m_parts.view.takeSaved(m_savedPath, folderOf(m_savedPath));
}

void RecorderSession::reset() {
    freshTake();
    m_state = TakeState::Ready;
    m_controls.record = true;
    m_controls.save = false;
    m_controls.play = false;
    m_controls.reset = false;
    m_seconds = 0;
    m_limitTimer.setEnabled(false);
    m_measuredBytes = 0;
    m_sizeText = QStringLiteral("0");
    m_controls.recordShown = true;
    setCaption(QStringLiteral("READY"), CaptionColour::Normal);
    m_startTime = m_parts.clock.localNow();
    m_elapsedText = QStringLiteral("00:00:00");
    m_controls.formatChoice = true;
    m_parts.view.showTake();
}

void RecorderSession::close() {
    m_device.send(QStringLiteral("close capture"));
    m_sizeTimer.setEnabled(false);
    m_secondTimer.setEnabled(false);
    m_limitTimer.setEnabled(false);
}

} // namespace sylvaro::recorder
