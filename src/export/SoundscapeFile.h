#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace sylvaro::exporting {

enum class ExportFormat { Wav, Flac, Mp3 };

// The format a file name asks for by its extension (any case); none for
// another extension.
std::optional<ExportFormat> formatOfPath(const QString& path);
// ".wav", ".flac", ".mp3".
QString extensionOf(ExportFormat format);

// A sound file written from interleaved float stereo, 16-bit: WAV and FLAC
// through libsndfile, MP3 through the `lame` program fed on its standard
// input. Everything goes to a hidden temporary file beside the target that
// finish() renames over it, so an export that fails, is cancelled or is
// killed never leaves half a file under the target's name, and a file that
// was there stays whole until the new one is complete. Not thread-safe.
class SoundscapeFile {
public:
    SoundscapeFile();
    ~SoundscapeFile(); // abandons an unfinished file
    SoundscapeFile(const SoundscapeFile&) = delete;
    SoundscapeFile& operator=(const SoundscapeFile&) = delete;

    // `lame` is the encoder's path, needed for MP3 only; `frames` is the
    // length to come, which decides whether a WAV file needs RF64's sizes.
    // False with the reason in `error` when the file cannot be started.
    bool open(const QString& target, ExportFormat format, int sampleRate, std::int64_t frames,
              const QString& lame, QString& error);
    bool isOpen() const;
    // Appends `frames` stereo frames; samples beyond ±1 are clipped.
    bool write(const float* samples, int frames, QString& error);
    // Completes the file and puts it in place.
    bool finish(QString& error);
    // Stops and removes the temporary file; the target is left as it was.
    void abandon();

    // The temporary file being written (empty when none).
    QString partPath() const;

private:
    class Sink;
    class SndfileSink;
    class LameSink;

    std::unique_ptr<Sink> m_sink;
    std::vector<std::int16_t> m_pcm;
    QString m_target;
    QString m_part;
};

} // namespace sylvaro::exporting
