// Writing generated files so that an interrupted run never leaves a half-written
// file under its final name.
#pragma once

#include "Sound.h"

#include <filesystem>

namespace assetgen {

// A temporary path beside `target`; commit() renames it into place, and a file that
// was never committed is removed when the object goes away.
class PendingFile {
public:
    explicit PendingFile(std::filesystem::path target);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    const std::filesystem::path& temporary() const { return temporary_; }
    void commit();

private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    bool committed_ = false;
};

// 16-bit PCM WAV at the generator's sample rate. Throws std::runtime_error on failure.
void writeWav(const std::filesystem::path& path, const Audio& audio);

} // namespace assetgen
