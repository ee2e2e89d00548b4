#include "TakeCapture.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace sylvaro::recorder {

namespace {

// Seconds of sound the ring holds while the writer waits for the disk.
constexpr int kRingSeconds = 4;
// How often the writer looks for new bytes: seldom, so a take costs few
// wake-ups and large writes, and still far within what the ring holds.
constexpr auto kWriterPoll = std::chrono::milliseconds(250);
// A capture block of 50 ms: few wake-ups, and the size on screen is fresh.
constexpr int kBlocksPerSecond = 20;

} // namespace

TakeCapture::~TakeCapture() {
    stop();
}

bool TakeCapture::start(const QString& path, const WaveFormat& format, std::string& error) {
    stop();
    m_file = std::fopen(path.toLocal8Bit().constData(), "ab");
    if (!m_file) {
        error = std::strerror(errno);
        return false;
    }
    m_ring = std::make_unique<ByteRing>(
        static_cast<std::size_t>(std::max(format.bytesPerSec() * kRingSeconds, 1 << 16)));
    m_captured.store(0);
    m_dropped.store(0);
    m_writeFailed.store(false);
    m_writeError.clear();
    m_stopping.store(false);
    m_writer = std::thread([this] { writeLoop(); });
    const int frames = std::max(format.samplesPerSec / kBlocksPerSecond, 64);
    if (!m_stream.openCapture(format, frames, *this, error)) {
        stop();
        return false;
    }
    return true;
}

void TakeCapture::stop() {
    m_stream.close();
    if (m_writer.joinable()) {
        {
            const std::lock_guard<std::mutex> lock(m_wakeMutex);
            m_stopping.store(true, std::memory_order_release);
        }
        m_wake.notify_one();
        m_writer.join();
    }
    if (m_file) {
        if (std::fclose(m_file) != 0 && !m_writeFailed.load()) {
            m_writeError = std::strerror(errno);
            m_writeFailed.store(true, std::memory_order_release);
        }
        m_file = nullptr;
    }
}

std::string TakeCapture::writeError() const {
    return m_writeFailed.load(std::memory_order_acquire) ? m_writeError : std::string();
}

void TakeCapture::deliver(const std::uint8_t* data, std::size_t size) {
    const std::size_t written = m_ring->write(data, size);
    m_captured.fetch_add(static_cast<std::int64_t>(written), std::memory_order_release);
    if (written < size) {
        m_dropped.fetch_add(static_cast<std::int64_t>(size - written), std::memory_order_relaxed);
    }
}

void TakeCapture::writeLoop() {
    std::uint8_t chunk[1 << 15];
    for (;;) {
        // Read the flag before draining: whatever arrived before stop() is
        // then surely written.
        const bool stopping = m_stopping.load(std::memory_order_acquire);
        const std::size_t n = m_ring->read(chunk, sizeof chunk);
        if (n > 0) {
            if (!m_writeFailed.load(std::memory_order_relaxed) &&
                std::fwrite(chunk, 1, n, m_file) != n) {
                m_writeError = std::strerror(errno);
                m_writeFailed.store(true, std::memory_order_release);
            }
            continue;
        }
        if (stopping) {
            break;
        }
        std::unique_lock<std::mutex> lock(m_wakeMutex);
        m_wake.wait_for(lock, kWriterPoll,
                        [this] { return m_stopping.load(std::memory_order_acquire); });
    }
    if (std::fflush(m_file) != 0 && !m_writeFailed.load()) {
        m_writeError = std::strerror(errno);
        m_writeFailed.store(true, std::memory_order_release);
    }
}

} // namespace sylvaro::recorder
