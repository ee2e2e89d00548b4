#pragma once

#include <QObject>
#include <QString>
#include <functional>

namespace sylvaro::core {
class Dialogs;
}

namespace sylvaro::recorder {

class Desktop;
class Mp3Encoder;
struct EncodeOutcome;

// The recorder's one MP3 encoding at a time: a WAV the user picks
// ("MP3 >> WAV"), or the take being saved as MP3. Says so when a second one
// is asked for while the encoder is busy, tells how a conversion ended and
// hands a save's outcome back to whoever saved. UI thread only.
class Mp3Job : public QObject {
    Q_OBJECT
public:
    Mp3Job(const QString& programFolder, core::Dialogs& dialogs, Desktop& desktop,
           QObject* parent = nullptr);

    Mp3Encoder& encoder() { return *m_encoder; }
    bool isRunning() const;
    // True, after saying so, while the encoder is still busy with the last
    // file; `detail` says what became of what was asked.
    bool refuseWhileBusy(const QString& detail = {});
    // "MP3 >> WAV": asks for the WAV and the MP3 to make, then converts.
    void askAndConvert();
    // Makes `target` from the take's WAV `source`, which is removed once the
    // encoder is done; `done(created)` runs before any message.
    void saveTake(const QString& source, const QString& target, std::function<void(bool)> done);
    void cancel();

    static const QString kCreatedText;
    static const QString kMp3FailedText;
    static const QString kEncoderBusyText;

Q_SIGNALS:
    void runningChanged(bool running);

private:
    void start(const QString& source, const QString& target);
    void onFinished(const EncodeOutcome& outcome);

    core::Dialogs& m_dialogs;
    Desktop& m_desktop;
    Mp3Encoder* m_encoder;
    QString m_target;
    QString m_takeSource; // the take's WAV while saving as MP3
    std::function<void(bool)> m_takeDone;
    QString m_lastSource; // where the next "MP3 >> WAV" opens
};

} // namespace sylvaro::recorder
