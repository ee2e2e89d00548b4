#include "OutputRecovery.h"

#include <algorithm>

namespace sylvaro::engine {

OutputRecovery::OutputRecovery(AudioOutput& output, Mixer& mixer)
    : m_output(output), m_mixer(mixer) {}

OutputRecovery::Event OutputRecovery::poll(std::int64_t nowMs) {
    switch (m_state) {
    case State::Idle:
        if (m_output.isOpen()) {
            m_state = State::Playing;
            m_playingSinceMs = nowMs;
        }
        return Event::None;

    case State::Playing:
        if (!m_output.isOpen()) {
            // Released on purpose (shutdown, a failed start-up): nothing to recover.
            m_state = State::Idle;
            m_restored = false;
            return Event::None;
        }
        if (nowMs - m_playingSinceMs >= kSettledMs) {
            m_retryDelayMs = kFirstRetryMs;
        }
        if (!m_output.isLost()) {
            return Event::None;
        }
        m_device = m_output.openDescription();
        m_output.close();
        m_state = State::Lost;
        m_restored = false;
        m_lastError.clear();
        m_attempts = 0;
        m_nextRetryMs = nowMs + m_retryDelayMs;
        return Event::Lost;

    case State::Lost:
        if (m_output.isOpen() && !m_output.isLost()) {
            // The console opened a device itself.
            m_state = State::Playing;
            m_playingSinceMs = nowMs;
            m_device = m_output.openDescription();
            m_restored = true;
            return Event::Restored;
        }
        if (nowMs < m_nextRetryMs) {
            return Event::None;
        }
        ++m_attempts;
        if (reopen()) {
            m_state = State::Playing;
            m_playingSinceMs = nowMs;
            m_restored = true;
            m_retryDelayMs = std::min(m_retryDelayMs * 2, kLongestRetryMs);
            return Event::Restored;
        }
        m_retryDelayMs = std::min(m_retryDelayMs * 2, kLongestRetryMs);
        m_nextRetryMs = nowMs + m_retryDelayMs;
        return Event::None;
    }
    return Event::None;
}

bool OutputRecovery::reopen() {
    // The list changes while devices come and go: read it afresh every time.
    const std::vector<std::string> devices = m_output.enumerate();
    if (devices.empty()) {
        m_lastError = "no audio output device was found";
        return false;
    }
    // Entry 0 is the system default; a named device is preferred when it is back.
    int index = 0;
    const auto named = std::find(devices.begin() + 1, devices.end(), m_device);
    if (named != devices.end()) {
        index = static_cast<int>(named - devices.begin());
    }
    std::string error;
    if (!m_output.open(index, m_mixer, error)) {
        m_lastError = error;
        return false;
    }
    m_lastError.clear();
    m_device = m_output.openDescription();
    if (m_device.empty()) {
        m_device = devices[static_cast<std::size_t>(index)];
    }
    return true;
}

std::string OutputRecovery::note() const {
    const std::string name = m_device.empty() ? std::string("the sound device") : m_device;
    switch (m_state) {
    case State::Lost:
        return "Sound output lost (" + name + "); trying to reconnect.";
    case State::Playing:
        return m_restored ? "Sound is back on " + name + "." : std::string();
    case State::Idle:
        return {};
    }
    return {};
}

} // namespace sylvaro::engine
