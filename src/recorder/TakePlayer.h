#pragma once

#include "ByteRing.h"
#include "SdlStream.h"
#include "WaveFormat.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace sylvaro::recorder {

// Plays a file of raw samples on the default output device: a reader thread
// keeps a lock-free ring filled from the file, SDL's thread plays from the
// ring and pads with silence once the file has been played whole. start()
// and stop() from the UI thread only.
class TakePlayer final : private PlaybackSource {
public:
    TakePlayer() = default;
    ~TakePlayer() override;
    TakePlayer(const TakePlayer&) = delete;
    TakePlayer& operator=(const TakePlayer&) = delete;

    bool start(const QString& path, const WaveFormat& format, std::string& error);
    void stop();
    bool isRunning() const { return m_reader.joinable(); }
    // Every byte of the file has gone to the device.
    bool hasFinished() const { return m_finished.load(std::memory_order_acquire); }

private:
    void fill(std::uint8_t* data, std::size_t size) override;
    void readLoop();

    SdlStream m_stream;
    std::unique_ptr<ByteRing> m_ring;
    std::FILE* m_file = nullptr;
    std::thread m_reader;
    std::uint8_t m_silence = 0;
    std::size_t m_frameBytes = 1;
    std::atomic<bool> m_stopping{false};
    // Wakes the reader for stop(); SDL's thread never touches it.
    std::mutex m_wakeMutex;
    std::condition_variable m_wake;
    std::atomic<bool> m_endOfFile{false};
    std::atomic<bool> m_finished{false};
};

} // namespace sylvaro::recorder
