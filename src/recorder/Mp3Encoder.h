#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>

class QTemporaryFile;

namespace sylvaro::recorder {

// How one encoding ended.
struct EncodeOutcome {
    enum class Kind { Created, Failed, Cancelled };
    Kind kind = Kind::Failed;
    QString target;
    QString reason; // for Failed: what went wrong, in words
};

// The MP3 encoder `lame`: beside the program in `programFolder` first, else
// on PATH; empty when there is none.
QString findEncoder(const QString& programFolder);

// Runs the MP3 encoder `lame` on one WAV file without blocking: `lame`
// beside the program first, else on PATH, started with the argument vector
// [source, target]. lame writes under a temporary name beside the target,
// renamed over it only when lame succeeded and the file is not empty, so a
// failed or cancelled run leaves no partial file and any old file intact.
// UI thread only.
class Mp3Encoder : public QObject {
    Q_OBJECT
public:
    explicit Mp3Encoder(QString programFolder, QObject* parent = nullptr);
    ~Mp3Encoder() override;

    // The encoder that would run; empty when there is none.
    QString program() const;
    // Starts; `finished` always follows, also for a failure to start. One
    // run at a time: while isRunning() a start is ignored and nothing
    // follows, so callers check first.
    void start(const QString& source, const QString& target);
    void cancel();
    bool isRunning() const { return m_process != nullptr; }
    // Waits for the run to end (tools and tests); false on timeout.
    bool waitForFinished(int timeoutMs);

    static const QString kProgramName;

Q_SIGNALS:
    void progress(int percent);
    void finished(const sylvaro::recorder::EncodeOutcome& outcome);

private:
    void onOutput();
    void onFinished(int exitCode, QProcess::ExitStatus status);
    void onError(QProcess::ProcessError error);
    void finish(EncodeOutcome::Kind kind, const QString& reason = {});

    QString m_folder;
    QProcess* m_process = nullptr;
    QTemporaryFile* m_part = nullptr;
    QString m_target;
    QByteArray m_log; // the end of lame's messages, for a failure's cause
    int m_percent = -1;
};

} // namespace sylvaro::recorder
