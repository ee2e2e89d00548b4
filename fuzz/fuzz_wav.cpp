// Fuzzes loading a sound file through the program's loader and resampler,
// the two ways the program does it: a user's file at the mixer's rate with
// the limits for untrusted files (converted when its rate differs), and one
// of the program's own sounds at its own rate. The input is handed over as a
// real file in memory, so the path, descriptor and size checks run too.

#include "FuzzCheck.h"
#include "engine/PcmLoader.h"

#include <cmath>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

using namespace sylvaro;

namespace {

constexpr int kMixerRate = 48000;

int memoryFile() {
    static const int fd = ::memfd_create("sylvaro-fuzz-wav", MFD_CLOEXEC);
    fuzz::require(fd >= 0, "a file in memory can be made");
    return fd;
}

void checkLoaded(const engine::PcmLoadResult& result, int rate) {
    if (!result) {
        fuzz::require(!result.error.empty(), "a refused sound says why");
        return;
    }
    const engine::PcmData& pcm = *result.pcm;
    fuzz::require(pcm.channels == 1 || pcm.channels == 2, "a sound is mono or stereo");
    fuzz::require(rate == 0 || pcm.sampleRate == rate, "a sound comes at the rate asked for");
    fuzz::require(pcm.frames > 0, "a loaded sound holds frames");
    const auto samples = static_cast<std::size_t>(pcm.frames * pcm.channels);
    fuzz::require(pcm.s16.empty() != pcm.f32.empty(), "a sound holds one kind of sample");
    fuzz::require(pcm.s16.size() == samples || pcm.f32.size() == samples,
                  "a sound holds frames times channels samples");
    for (const float s : pcm.f32) {
        fuzz::require(std::isfinite(s), "every sample is a finite number");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int fd = memoryFile();
    fuzz::require(::ftruncate(fd, 0) == 0, "the file in memory can be emptied");
    fuzz::require(::pwrite(fd, data, size, 0) == static_cast<ssize_t>(size),
                  "the input can be written to the file in memory");
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    checkLoaded(engine::loadPcm(path, kMixerRate, engine::LoadLimits{}), kMixerRate);
    checkLoaded(engine::loadPcm(path), 0);
    return 0;
}
