#include "TakePlayer.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace sylvaro::recorder {

namespace {

constexpr int kRingSeconds = 2;
// How often the reader looks for room in a full ring: far within the two
// seconds the ring holds; stop() wakes it at once.
constexpr auto kReaderPoll = std::chrono::milliseconds(100);
constexpr int kBlocksPerSecond = 20;

} // namespace

TakePlayer::~TakePlayer() {
    stop();
}

bool TakePlayer::start(const QString& path, const WaveFormat& format, std::string& error) {
    stop();
    m_file = std::fopen(path.toLocal8Bit().constData(), "rb");
    if (!m_file) {
        error = std::strerror(errno);
        return false;
    }
    m_ring = std::make_unique<ByteRing>(
        static_cast<std::size_t>(std::max(format.bytesPerSec() * kRingSeconds, 1 << 16)));
    m_silence = SdlStream::silence(format);
    m_frameBytes = static_cast<std::size_t>(std::max(format.blockAlign(), 1));
    m_stopping.store(false);
    m_endOfFile.store(false);
    m_finished.store(false);
    m_reader = std::thread([this] { readLoop(); });
    const int frames = std::max(format.samplesPerSec / kBlocksPerSecond, 64);
    if (!m_stream.openPlayback(format, frames, *this, error)) {
        stop();
        return false;
    }
    return true;
}

void TakePlayer::stop() {
    m_stream.close();
    if (m_reader.joinable()) {
        {
            const std::lock_guard<std::mutex> lock(m_wakeMutex);
            m_stopping.store(true, std::memory_order_release);
        }
        m_wake.notify_one();
        m_reader.join();
    }
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}

void TakePlayer::fill(std::uint8_t* data, std::size_t size) {
    // Whole frames only: a frame split by the padding would shift every
    // sample after it.
    std::size_t whole = std::min(size, m_ring->available());
    whole -= whole % m_frameBytes;
    const std::size_t n = m_ring->read(data, whole);
    if (n < size) {
        std::memset(data + n, m_silence, size - n);
        if (m_endOfFile.load(std::memory_order_acquire) && m_ring->available() == 0) {
            m_finished.store(true, std::memory_order_release);
        }
    }
}

void TakePlayer::readLoop() {
    std::uint8_t chunk[1 << 15];
    std::size_t pending = 0;
    std::size_t offset = 0;
    while (!m_stopping.load(std::memory_order_acquire)) {
        if (pending == 0) {
            pending = std::fread(chunk, 1, sizeof chunk, m_file);
            offset = 0;
            if (pending == 0) {
                // The end of the take, or a read error: play what there was.
                m_endOfFile.store(true, std::memory_order_release);
                return;
            }
        }
        const std::size_t n = m_ring->write(chunk + offset, pending);
        offset += n;
        pending -= n;
        if (n == 0) {
            std::unique_lock<std::mutex> lock(m_wakeMutex);
            m_wake.wait_for(lock, kReaderPoll,
                            [this] { return m_stopping.load(std::memory_order_acquire); });
        }
    }
}

} // namespace sylvaro::recorder
