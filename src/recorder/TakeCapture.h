#pragma once

#include "ByteRing.h"
#include "SdlStream.h"
#include "WaveFormat.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace sylvaro::recorder {

// Records from the capture device into a file of raw samples: SDL's thread
// copies each block into a lock-free ring, and a writer thread of its own
// streams the ring to the file, so a long take never sits in memory and the
// audio thread never touches the disk. start() and stop() from the UI thread
// only; the counters may be read from any thread.
class TakeCapture final : private CaptureSink {
public:
    TakeCapture() = default;
    ~TakeCapture() override;
    TakeCapture(const TakeCapture&) = delete;
    TakeCapture& operator=(const TakeCapture&) = delete;

    // Appends to `path` (created when missing) in `format`.
    bool start(const QString& path, const WaveFormat& format, std::string& error);
    // Returns once every byte captured is in the file and the file is closed.
    void stop();
    bool isRunning() const { return m_writer.joinable(); }

    // Bytes delivered by the device since start().
    std::int64_t capturedBytes() const { return m_captured.load(std::memory_order_acquire); }
    // Bytes lost because the writer fell more than the ring behind.
    std::int64_t droppedBytes() const { return m_dropped.load(std::memory_order_acquire); }
    // The device stopped for good during the take.
    bool isLost() const { return m_stream.isLost(); }
    // Writing the file failed (a full disk); the reason once it has.
    bool writeFailed() const { return m_writeFailed.load(std::memory_order_acquire); }
    std::string writeError() const;

private:
    void deliver(const std::uint8_t* data, std::size_t size) override;
    void writeLoop();

    SdlStream m_stream;
    std::unique_ptr<ByteRing> m_ring;
    std::FILE* m_file = nullptr;
    std::thread m_writer;
    std::atomic<bool> m_stopping{false};
    // Wakes the writer for stop(); SDL's thread never touches it.
    std::mutex m_wakeMutex;
    std::condition_variable m_wake;
    std::atomic<std::int64_t> m_captured{0};
    std::atomic<std::int64_t> m_dropped{0};
    std::atomic<bool> m_writeFailed{false};
    std::string m_writeError; // set by the writer before m_writeFailed
};

} // namespace sylvaro::recorder
