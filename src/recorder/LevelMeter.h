#pragma once

#include "SdlStream.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sylvaro::core {
class Dialogs;
}

namespace sylvaro::recorder {

// The input level meter: its own capture device at 8000 samples a second,
// unsigned 8-bit mono, cut into blocks of the buffer size. SDL's thread
// measures each complete block's peak |b - 128| and publishes it; reading
// the level never waits, it gives the newest complete block's peak (0 before
// the first). start(), stop() and readLevel() from the UI thread.
class LevelMeter final : private CaptureSink {
public:
    explicit LevelMeter(core::Dialogs& dialogs);
    ~LevelMeter() override;
    LevelMeter(const LevelMeter&) = delete;
    LevelMeter& operator=(const LevelMeter&) = delete;

    // Bytes per block, 1..kMaxBufferSize; set before start().
    void setBufferSize(int bytes);
    int bufferSize() const { return m_bufferSize; }
    // Opens the device; on failure says "Error Code 41. Please contact
    // support" once and returns false, and the level stays 0.
    bool start();
    // The newest complete block's peak, 0..128.
    int readLevel() const { return m_peak.load(std::memory_order_acquire); }
    // Releases the device; harmless when it is not running.
    void stop();
    bool isRunning() const { return m_running; }
    // Blocks measured since start().
    std::int64_t blocksMeasured() const { return m_blocks.load(std::memory_order_acquire); }

    // Takes captured bytes as the device delivers them, in any portions.
    // The device's thread (or a test) only; allocates nothing.
    void feed(const std::uint8_t* data, std::size_t size);

    static int peakOf(const std::uint8_t* data, std::size_t size);

    static constexpr int kMaxBufferSize = 5001;
    static const QString kOpenFailedText;

private:
    void deliver(const std::uint8_t* data, std::size_t size) override { feed(data, size); }

    core::Dialogs& m_dialogs;
    SdlStream m_stream;
    int m_bufferSize = 800;
    bool m_running = false;
    // The block being filled, sized by start() so feeding never allocates.
    std::vector<std::uint8_t> m_block;
    std::size_t m_filled = 0;
    std::atomic<int> m_peak{0};
    std::atomic<std::int64_t> m_blocks{0};
};

} // namespace sylvaro::recorder
