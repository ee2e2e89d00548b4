#pragma once

// Small sound files made inside tests: well-formed ones through libsndfile,
// exact or deliberately broken ones byte by byte.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sndfile.h>
#include <string>
#include <vector>

namespace sylvaro::engine::test {

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "sylvaro-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
        }
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// Writes interleaved samples (full scale = 1.0) in a libsndfile format,
// e.g. SF_FORMAT_WAV | SF_FORMAT_PCM_16.
inline bool writeSound(const std::string& path, int format, int rate, int channels,
                       const std::vector<double>& samples) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        return false;
    }
    const sf_count_t frames = static_cast<sf_count_t>(samples.size()) / channels;
    const bool ok = sf_writef_double(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && ok;
}

// The same, naming each channel's position (SF_CHANNEL_MAP_...), for a
// WAVE_FORMAT_EXTENSIBLE file.
inline bool writeSoundWithMap(const std::string& path, int rate, const std::vector<int>& map,
                              const std::vector<double>& samples) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = static_cast<int>(map.size());
    info.format = SF_FORMAT_WAVEX | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        return false;
    }
    std::vector<int> positions = map;
    const bool mapped = sf_command(file, SFC_SET_CHANNEL_MAP_INFO, positions.data(),
                                   static_cast<int>(positions.size() * sizeof(int))) == SF_TRUE;
    const sf_count_t frames = static_cast<sf_count_t>(samples.size()) / info.channels;
    const bool ok = sf_writef_double(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && ok && mapped;
}

inline void appendLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// A canonical RIFF/WAVE file: 'fmt ' chunk from the arguments, then a 'data'
// chunk holding `data`. formatTag 1 is integer PCM, 3 is IEEE float.
inline std::string wavBytes(int formatTag, int channels, int rate, int bits,
                            const std::string& data) {
    const int blockAlign = channels * bits / 8;
    std::string out = "RIFF";
    appendLe(out, static_cast<std::uint32_t>(36 + data.size()), 4);
    out += "WAVEfmt ";
    appendLe(out, 16, 4);
    appendLe(out, static_cast<std::uint32_t>(formatTag), 2);
    appendLe(out, static_cast<std::uint32_t>(channels), 2);
    appendLe(out, static_cast<std::uint32_t>(rate), 4);
    appendLe(out, static_cast<std::uint32_t>(rate * blockAlign), 4);
    appendLe(out, static_cast<std::uint32_t>(blockAlign), 2);
    appendLe(out, static_cast<std::uint32_t>(bits), 2);
    out += "data";
    appendLe(out, static_cast<std::uint32_t>(data.size()), 4);
    return out + data;
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace sylvaro::engine::test
