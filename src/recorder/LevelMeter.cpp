#include "LevelMeter.h"

#include "RecorderTitle.h"
#include "core/Dialogs.h"

#include <algorithm>
#include <cstring>

namespace sylvaro::recorder {

const QString LevelMeter::kOpenFailedText = QStringLiteral("Error Code 41. Please contact support");

LevelMeter::LevelMeter(core::Dialogs& dialogs) : m_dialogs(dialogs) {}

LevelMeter::~LevelMeter() {
    stop();
}

void LevelMeter::setBufferSize(int bytes) {
    m_bufferSize = std::clamp(bytes, 1, kMaxBufferSize);
}

int LevelMeter::peakOf(const std::uint8_t* data, std::size_t size) {
    int peak = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const int v = data[i] - 128;
        peak = std::max(peak, v < 0 ? -v : v);
    }
    return peak;
}

bool LevelMeter::start() {
    stop();
    m_block.assign(static_cast<std::size_t>(m_bufferSize), 128);
    m_filled = 0;
    m_peak.store(0);
    m_blocks.store(0);
    static const WaveFormat kMeterFormat{8000, 8, 1};
    std::string error;
    if (!m_stream.openCapture(kMeterFormat, m_bufferSize, *this, error)) {
        m_dialogs.message({kOpenFailedText, kRecorderTitle, core::MessageButtons::Ok,
                           core::MessageIcon::None,
                           QStringLiteral("Reason: %1.").arg(QString::fromStdString(error))});
        return false;
    }
    m_running = true;
    return true;
}

void LevelMeter::stop() {
    m_running = false;
    m_stream.close();
}

void LevelMeter::feed(const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const std::size_t n = std::min(size, m_block.size() - m_filled);
        std::memcpy(m_block.data() + m_filled, data, n);
        m_filled += n;
        data += n;
        size -= n;
        if (m_filled == m_block.size()) {
            m_peak.store(peakOf(m_block.data(), m_block.size()), std::memory_order_release);
            m_blocks.fetch_add(1, std::memory_order_release);
            m_filled = 0;
        }
    }
}

} // namespace sylvaro::recorder
