#pragma once

#include "engine/PcmData.h"
#include "engine/SoundEngine.h"

namespace sylvaro::custom {

// Plays one sound at a time once, outside every volume group, for the file
// picker: a new one stops the last, and stop() fades it out. The stopped
// buffer is freed only when the next one comes, so a stop never cuts.
// UI thread only.
class SoundPreview {
public:
    explicit SoundPreview(engine::SoundEngine& engine) : m_engine(engine) {}
    ~SoundPreview() { m_engine.release(m_buffer); }
    SoundPreview(const SoundPreview&) = delete;
    SoundPreview& operator=(const SoundPreview&) = delete;

    // False (with the reason) when the engine has no voice for it.
    bool play(const engine::PcmPtr& pcm, std::string& error) {
        m_engine.release(m_buffer);
        m_buffer = m_engine.createBuffer(pcm, error);
        return m_buffer.valid() && m_engine.play(m_buffer, false);
    }
    void stop() { m_engine.stop(m_buffer); }
    bool isPlaying() const { return m_engine.isPlaying(m_buffer); }
    engine::Buffer buffer() const { return m_buffer; }

private:
    engine::SoundEngine& m_engine;
    engine::Buffer m_buffer;
};

} // namespace sylvaro::custom
