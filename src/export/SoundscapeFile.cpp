#include "SoundscapeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sndfile.h>
#include <utility>
#include <vector>

namespace sylvaro::exporting {

namespace {

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

std::optional<ExportFormat> formatOfPath(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("wav")) {
        return ExportFormat::Wav;
    }
    if (suffix == QLatin1String("flac")) {
        return ExportFormat::Flac;
    }
    if (suffix == QLatin1String("mp3")) {
        return ExportFormat::Mp3;
    }
    return std::nullopt;
}

QString extensionOf(ExportFormat format) {
    switch (format) {
    case ExportFormat::Wav:
        return QStringLiteral(".wav");
    case ExportFormat::Flac:
        return QStringLiteral(".flac");
    case ExportFormat::Mp3:
        return QStringLiteral(".mp3");
    }
    return {};
}

class SoundscapeFile::Sink {
public:
    virtual ~Sink() = default;
    // `samples` holds `frames` interleaved stereo frames.
    virtual bool write(const std::int16_t* samples, int frames, QString& error) = 0;
    // Flushes and closes; the temporary file is then complete.
    virtual bool close(QString& error) = 0;
    // Stops at once; what was written is thrown away by the caller.
    virtual void kill() = 0;
};

class SoundscapeFile::SndfileSink final : public Sink {
public:
    explicit SndfileSink(SNDFILE* file) : m_file(file) {}
    ~SndfileSink() override { kill(); }

    bool write(const std::int16_t* samples, int frames, QString& error) override {
        if (sf_writef_short(m_file, samples, frames) != frames) {
            error = QString::fromLocal8Bit(sf_strerror(m_file));
            return false;
        }
        return true;
    }
    bool close(QString& error) override {
        sf_write_sync(m_file);
        const int result = sf_close(std::exchange(m_file, nullptr));
        if (result != SF_ERR_NO_ERROR) {
            error = QString::fromLocal8Bit(sf_error_number(result));
            return false;
        }
        return true;
    }
    void kill() override {
        if (m_file) {
            sf_close(std::exchange(m_file, nullptr));
        }
    }

private:
    SNDFILE* m_file;
};

// lame reads raw little-endian 16-bit stereo from its standard input and
// writes the MP3 itself; its standard error is kept for a failure's cause.
class SoundscapeFile::LameSink final : public Sink {
public:
    LameSink() { m_process.setProcessChannelMode(QProcess::SeparateChannels); }
    ~LameSink() override { kill(); }

    bool start(const QString& lame, int sampleRate, const QString& part, QString& error) {
        const QStringList arguments{QStringLiteral("-r"),
                                    QStringLiteral("-s"),
                                    QString::number(sampleRate / 1000.0),
                                    QStringLiteral("--bitwidth"),
                                    QStringLiteral("16"),
                                    QStringLiteral("--signed"),
                                    QStringLiteral("--little-endian"),
                                    QStringLiteral("-m"),
                                    QStringLiteral("j"),
                                    QStringLiteral("-V"),
                                    QStringLiteral("2"),
                                    QStringLiteral("--quiet"),
                                    QStringLiteral("-"),
                                    part};
        m_process.start(lame, arguments);
        if (!m_process.waitForStarted(10000)) {
            error = QStringLiteral("the MP3 encoder could not be started (%1)")
                        .arg(m_process.errorString());
            return false;
        }
        return true;
    }

    bool write(const std::int16_t* samples, int frames, QString& error) override {
        m_pcm.resize(static_cast<std::size_t>(frames) * 4);
        for (int i = 0; i < frames * 2; ++i) {
            const std::int16_t value = samples[i];
            m_pcm[static_cast<std::size_t>(i) * 2] = static_cast<char>(value & 0xff);
            m_pcm[static_cast<std::size_t>(i) * 2 + 1] = static_cast<char>((value >> 8) & 0xff);
        }
        if (m_process.state() != QProcess::Running ||
            m_process.write(m_pcm.data(), static_cast<qint64>(m_pcm.size())) < 0) {
            error = failure();
            return false;
        }
        // Keep no more than a second or so in flight: memory stays flat
        // however long the export.
        constexpr qint64 kInFlight = 256 * 1024;
        while (m_process.bytesToWrite() > kInFlight) {
            if (!m_process.waitForBytesWritten(30000)) {
                error = failure();
                return false;
            }
        }
        return true;
    }

    bool close(QString& error) override {
        while (m_process.bytesToWrite() > 0) {
            if (!m_process.waitForBytesWritten(30000)) {
                error = failure();
                return false;
            }
        }
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(60000) || m_process.exitStatus() != QProcess::NormalExit ||
            m_process.exitCode() != 0) {
            error = failure();
            return false;
        }
        return true;
    }

    void kill() override {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

private:
    QString failure() {
        if (m_process.state() == QProcess::Running) {
            return QStringLiteral("the MP3 encoder stopped taking sound (%1)")
                .arg(m_process.errorString());
        }
        const QString said =
            QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed().section('\n', -1);
        return said.isEmpty() ? QStringLiteral("the MP3 encoder failed (exit code %1)")
                                    .arg(m_process.exitCode())
                              : QStringLiteral("the MP3 encoder failed: %1").arg(said);
    }

    QProcess m_process;
    std::vector<char> m_pcm;
};

SoundscapeFile::SoundscapeFile() = default;

SoundscapeFile::~SoundscapeFile() {
    abandon();
}

bool SoundscapeFile::open(const QString& target, ExportFormat format, int sampleRate,
                          std::int64_t frames, const QString& lame, QString& error) {
    abandon();
    const QFileInfo info(target);
    if (info.isDir()) {
        error = QStringLiteral("%1 is a folder").arg(target);
        return false;
    }
    if (!info.dir().exists()) {
        error = QStringLiteral("the folder %1 does not exist").arg(info.absolutePath());
        return false;
    }
    // A unique hidden name in the target's folder, so the final rename stays
    // on one file system and is atomic.
    QTemporaryFile part(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                        QStringLiteral("-XXXXXX.part"));
    part.setAutoRemove(false);
    if (!part.open()) {
        error = QStringLiteral("%1 cannot be written (%2)").arg(target, part.errorString());
        return false;
    }
    part.close();
    // A soundscape is an ordinary document, not a private file.
    part.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::ReadOther);
    m_part = part.fileName();
    m_target = info.absoluteFilePath();

    if (format == ExportFormat::Mp3) {
        if (lame.isEmpty()) {
            error = QStringLiteral("MP3 needs the encoder \"lame\", which is not installed");
            abandon();
            return false;
        }
        auto sink = std::make_unique<LameSink>();
        if (!sink->start(lame, sampleRate, m_part, error)) {
            abandon();
            return false;
        }
        m_sink = std::move(sink);
        return true;
    }
    SF_INFO sf{};
    sf.samplerate = sampleRate;
    sf.channels = 2;
    // A WAV file's sizes are 32 bits: six hours and more of stereo 16-bit
    // sound go into RF64, the same file with 64-bit sizes.
    const bool huge = frames * 4 + 1024 > std::int64_t{0xFFFFFFFF};
    const int container = format == ExportFormat::Flac ? SF_FORMAT_FLAC
                          : huge                       ? SF_FORMAT_RF64
                                                       : SF_FORMAT_WAV;
    sf.format = container | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(QFile::encodeName(m_part).constData(), SFM_WRITE, &sf);
    if (!file) {
        error = QStringLiteral("%1 cannot be written (%2)")
                    .arg(target, QString::fromLocal8Bit(sf_strerror(nullptr)));
        abandon();
        return false;
    }
    m_sink = std::make_unique<SndfileSink>(file);
    return true;
}

bool SoundscapeFile::isOpen() const {
    return m_sink != nullptr;
}

bool SoundscapeFile::write(const float* samples, int frames, QString& error) {
    if (!m_sink) {
        error = QStringLiteral("no file is open");
        return false;
    }
    // One conversion for every format, so a FLAC file holds exactly the
    // samples of the WAV file of the same soundscape. Samples beyond full
    // scale are clipped rather than wrapped round.
    m_pcm.resize(static_cast<std::size_t>(frames) * 2);
    for (std::size_t i = 0; i < m_pcm.size(); ++i) {
        const float clipped = std::clamp(samples[i], -1.0f, 1.0f);
        m_pcm[i] = static_cast<std::int16_t>(std::lrint(clipped * 32767.0f));
    }
    if (!m_sink->write(m_pcm.data(), frames, error)) {
        abandon();
        return false;
    }
    return true;
}

bool SoundscapeFile::finish(QString& error) {
    if (!m_sink) {
        error = QStringLiteral("no file is open");
        return false;
    }
    if (!m_sink->close(error)) {
        abandon();
        return false;
    }
    m_sink.reset();
    if (std::rename(QFile::encodeName(m_part).constData(),
                    QFile::encodeName(m_target).constData()) != 0) {
        error = QStringLiteral("%1 cannot be written (%2)").arg(m_target, systemError());
        abandon();
        return false;
    }
    m_part.clear();
    return true;
}

void SoundscapeFile::abandon() {
    if (m_sink) {
        m_sink->kill();
        m_sink.reset();
    }
    if (!m_part.isEmpty()) {
        QFile::remove(m_part);
        m_part.clear();
    }
}

QString SoundscapeFile::partPath() const {
    return m_part;
}

} // namespace sylvaro::exporting
