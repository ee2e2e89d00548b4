#pragma once

#include "AudioOutput.h"

#include <cstdint>
#include <string>

namespace sylvaro::engine {

class Mixer;

// Notices that the open output device has vanished, closes it and reopens a
// device when one is there again: the same named device if it is back, else
// the system default. It has no timer of its own: the console polls it about
// once a second. UI thread only.
class OutputRecovery {
public:
    enum class State {
        Idle,    // no device open, none lost (before start-up, after a release)
        Playing, // a device is open and working
        Lost,    // the device vanished; retrying
    };
    enum class Event { None, Lost, Restored };

    // Waits after a loss before the first retry, doubling up to the longest
    // wait while attempts fail. A device that then plays for kSettledMs
    // counts as healthy again, so one that keeps failing at once is retried
    // at the longest wait rather than on every poll.
    static constexpr std::int64_t kFirstRetryMs = 1000;
    static constexpr std::int64_t kLongestRetryMs = 8000;
    static constexpr std::int64_t kSettledMs = 30000;

    OutputRecovery(AudioOutput& output, Mixer& mixer);

    // Looks at the device and retries when due. Returns the transition that
    // happened in this call, if any.
    Event poll(std::int64_t nowMs);

    State state() const { return m_state; }
    // The device that was lost (in state Lost) or reopened (after Restored).
    const std::string& device() const { return m_device; }
    // Why the last reopening failed; empty when it did not fail.
    const std::string& lastError() const { return m_lastError; }
    // A short line for the console's status area: what was lost and that it
    // is retried, or where the sound came back. Empty when there is nothing
    // to say.
    std::string note() const;
    // Reopening attempts since the device was lost.
    int attempts() const { return m_attempts; }

private:
    bool reopen();

    AudioOutput& m_output;
    Mixer& m_mixer;
    State m_state = State::Idle;
    bool m_restored = false; // the current Playing state came from a reopen
    std::string m_device;
    std::string m_lastError;
    std::int64_t m_nextRetryMs = 0;
    std::int64_t m_retryDelayMs = kFirstRetryMs;
    std::int64_t m_playingSinceMs = 0;
    int m_attempts = 0;
};

} // namespace sylvaro::engine
