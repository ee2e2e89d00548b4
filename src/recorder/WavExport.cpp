#include "WavExport.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sndfile.h>
#include <vector>

namespace sylvaro::recorder {

namespace {

bool fail(QString* error, const QString& reason) {
    if (error) {
        *error = reason;
    }
    return false;
}

} // namespace

bool exportWav(const QString& rawPath, const WaveFormat& format, const QString& target,
               QString* error) {
    std::FILE* raw = std::fopen(rawPath.toLocal8Bit().constData(), "rb");
    if (!raw) {
        return fail(error, QStringLiteral("the recording cannot be read (%1)")
                               .arg(QString::fromLocal8Bit(std::strerror(errno))));
    }
    // A unique name in the target's folder, so the final rename stays on
    // one file system and is atomic.
    QTemporaryFile part(QFileInfo(target).absolutePath() + QStringLiteral("/.sylvaro-XXXXXX.part"));
    if (!part.open()) {
        std::fclose(raw);
        return fail(error, part.errorString());
    }
    part.close();
    // A recording is an ordinary document, not a private file.
    part.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::ReadOther);
    SF_INFO info{};
    info.samplerate = format.samplesPerSec;
    info.channels = format.channels;
    info.format = SF_FORMAT_WAV | (format.bitsPerSample == 8 ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_16);
    SNDFILE* wav = sf_open(part.fileName().toLocal8Bit().constData(), SFM_WRITE, &info);
    if (!wav) {
        std::fclose(raw);
        return fail(error, QString::fromLocal8Bit(sf_strerror(nullptr)));
    }
    // The samples go in unchanged: the take is already in WAV's byte order
    // and sign convention. Whole frames only.
    const std::size_t frameBytes = static_cast<std::size_t>(format.blockAlign());
    std::vector<unsigned char> chunk(frameBytes * 16384);
    QString reason;
    for (;;) {
        const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), raw);
        const std::size_t whole = n - n % frameBytes;
        if (whole > 0 && sf_write_raw(wav, chunk.data(), static_cast<sf_count_t>(whole)) !=
                             static_cast<sf_count_t>(whole)) {
            reason = QString::fromLocal8Bit(sf_strerror(wav));
            break;
        }
        if (n < chunk.size()) {
            if (std::ferror(raw)) {
                reason = QStringLiteral("the recording cannot be read");
            }
            break;
        }
    }
    std::fclose(raw);
    if (sf_close(wav) != 0 && reason.isEmpty()) {
        reason = QStringLiteral("the file could not be completed");
    }
    if (!reason.isEmpty()) {
        return fail(error, reason);
    }
    if (std::rename(part.fileName().toLocal8Bit().constData(), target.toLocal8Bit().constData()) !=
        0) {
        return fail(error, QString::fromLocal8Bit(std::strerror(errno)));
    }
    // The temporary name is gone; nothing left for QTemporaryFile to remove.
    part.setAutoRemove(false);
    return true;
}

} // namespace sylvaro::recorder
