#include "Mp3Encoder.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <cstdio>

namespace sylvaro::recorder {

namespace {

// Enough of lame's messages to hold its last complaint.
constexpr qsizetype kLogLimit = 4096;

QString cleanLog(const QByteArray& log) {
    QString text = QString::fromLocal8Bit(log);
    // lame draws its progress with terminal escapes and carriage returns.
    static const QRegularExpression escapes(QStringLiteral("\x1b\\[[0-9;]*[A-Za-z]"));
    text.remove(escapes);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty()) {
            lines << line.trimmed();
        }
    }
    return lines.mid(std::max<qsizetype>(0, lines.size() - 4)).join(QLatin1Char('\n'));
}

} // namespace

const QString Mp3Encoder::kProgramName = QStringLiteral("lame");

Mp3Encoder::Mp3Encoder(QString programFolder, QObject* parent)
    : QObject(parent), m_folder(std::move(programFolder)) {}

Mp3Encoder::~Mp3Encoder() {
    if (m_process) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(2000);
        delete m_process;
    }
    delete m_part;
}

QString findEncoder(const QString& programFolder) {
    const QFileInfo beside(programFolder + QLatin1Char('/') + Mp3Encoder::kProgramName);
    if (beside.isFile() && beside.isExecutable()) {
        return beside.absoluteFilePath();
    }
    return QStandardPaths::findExecutable(Mp3Encoder::kProgramName);
}

QString Mp3Encoder::program() const {
    return findEncoder(m_folder);
}

void Mp3Encoder::start(const QString& source, const QString& target) {
    if (m_process) {
        return;
    }
    m_target = target;
    m_log.clear();
    m_percent = -1;
    const QString lame = program();
    if (lame.isEmpty()) {
        finish(EncodeOutcome::Kind::Failed,
               QStringLiteral("the MP3 encoder \"lame\" was found neither beside the program "
                              "nor on the PATH"));
        return;
    }
    m_part = new QTemporaryFile(QFileInfo(target).absolutePath() +
                                QStringLiteral("/.sylvaro-XXXXXX.mp3.part"));
    if (!m_part->open()) {
        const QString reason = QStringLiteral("%1 cannot be written (%2)")
                                   .arg(QFileInfo(target).absolutePath(), m_part->errorString());
        finish(EncodeOutcome::Kind::Failed, reason);
        return;
    }
    m_part->close();
    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    connect(m_process, &QProcess::readyRead, this, &Mp3Encoder::onOutput);
    connect(m_process, &QProcess::finished, this, &Mp3Encoder::onFinished);
    connect(m_process, &QProcess::errorOccurred, this, &Mp3Encoder::onError);
    // An argument vector: names with spaces or quotes pass unchanged.
    m_process->start(lame, {source, m_part->fileName()});
}

void Mp3Encoder::cancel() {
    if (!m_process) {
        return;
    }
    m_process->disconnect(this);
    m_process->kill();
    m_process->waitForFinished(2000);
    finish(EncodeOutcome::Kind::Cancelled);
}

bool Mp3Encoder::waitForFinished(int timeoutMs) {
    return !m_process || m_process->waitForFinished(timeoutMs);
}

void Mp3Encoder::onOutput() {
    m_log += m_process->readAll();
    if (m_log.size() > kLogLimit) {
        m_log = m_log.right(kLogLimit);
    }
    // "  100/116    (86%)|": the newest percentage counts.
    static const QRegularExpression percent(QStringLiteral("\\(\\s*(\\d+)%\\)"));
    QRegularExpressionMatchIterator it = percent.globalMatch(QString::fromLatin1(m_log));
    int newest = -1;
    while (it.hasNext()) {
        newest = it.next().captured(1).toInt();
    }
    if (newest >= 0 && newest != m_percent) {
        m_percent = newest;
        Q_EMIT progress(newest);
    }
}

void Mp3Encoder::onError(QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) {
        return; // a crash also comes through finished()
    }
    const QString reason =
        QStringLiteral("the MP3 encoder could not be started (%1)").arg(m_process->errorString());
    finish(EncodeOutcome::Kind::Failed, reason);
}

void Mp3Encoder::onFinished(int exitCode, QProcess::ExitStatus status) {
    onOutput();
    const QString log = cleanLog(m_log);
    if (status != QProcess::NormalExit) {
        finish(EncodeOutcome::Kind::Failed, QStringLiteral("the MP3 encoder stopped abnormally"));
        return;
    }
    if (exitCode != 0) {
        finish(EncodeOutcome::Kind::Failed,
               QStringLiteral("the MP3 encoder reported an error (exit code %1)%2")
                   .arg(exitCode)
                   .arg(log.isEmpty() ? QString() : QStringLiteral(":\n") + log));
        return;
    }
    if (QFileInfo(m_part->fileName()).size() <= 0) {
        finish(EncodeOutcome::Kind::Failed, QStringLiteral("the MP3 encoder wrote nothing"));
        return;
    }
    m_part->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                           QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (std::rename(m_part->fileName().toLocal8Bit().constData(),
                    m_target.toLocal8Bit().constData()) != 0) {
        finish(EncodeOutcome::Kind::Failed,
               QStringLiteral("the MP3 file could not be put in place as %1").arg(m_target));
        return;
    }
    m_part->setAutoRemove(false);
    finish(EncodeOutcome::Kind::Created);
}

void Mp3Encoder::finish(EncodeOutcome::Kind kind, const QString& reason) {
    if (m_process) {
        m_process->disconnect(this);
        m_process->deleteLater();
        m_process = nullptr;
    }
    // Removes a partial file; a renamed one is no longer there.
    delete m_part;
    m_part = nullptr;
    Q_EMIT finished(EncodeOutcome{kind, m_target, reason});
}

} // namespace sylvaro::recorder
