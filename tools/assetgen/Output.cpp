#include "Output.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <sndfile.h>
#include <stdexcept>
#include <system_error>

namespace assetgen {

PendingFile::PendingFile(std::filesystem::path target)
    : target_(std::move(target)), temporary_(target_) {
    temporary_ += ".part";
}

PendingFile::~PendingFile() {
    if (!committed_) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
    }
}

void PendingFile::commit() {
    std::error_code error;
    std::filesystem::rename(temporary_, target_, error);
    if (error) {
        throw std::runtime_error("cannot move " + temporary_.string() + " to " + target_.string() +
                                 ": " + error.message());
    }
    committed_ = true;
}

void writeWav(const std::filesystem::path& path, const Audio& audio) {
    const auto channels = static_cast<int>(audio.channels.size());
    const std::size_t frames = audio.frames();
    std::vector<std::int16_t> interleaved(frames * audio.channels.size());
    for (std::size_t i = 0; i < frames; ++i) {
        for (std::size_t ch = 0; ch < audio.channels.size(); ++ch) {
            const double x = std::clamp(audio.channels[ch][i], -1.0, 1.0);
            interleaved[i * audio.channels.size() + ch] =
                static_cast<std::int16_t>(std::lround(x * 32767.0));
        }
    }

    PendingFile pending(path);
    SF_INFO info{};
    info.samplerate = kSampleRate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(pending.temporary().c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        throw std::runtime_error("cannot create " + pending.temporary().string() + ": " +
                                 sf_strerror(nullptr));
    }
    const sf_count_t written =
        sf_writef_short(file, interleaved.data(), static_cast<sf_count_t>(frames));
    const std::string writeError = sf_strerror(file);
    if (sf_close(file) != 0 || written != static_cast<sf_count_t>(frames)) {
        throw std::runtime_error("cannot write " + pending.temporary().string() + ": " +
                                 writeError);
    }
    pending.commit();
}

} // namespace assetgen
