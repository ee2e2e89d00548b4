#include "SoundEngine.h"

#include "PcmLoader.h"

#include <map>

namespace sylvaro::engine {

SoundEngine::SoundEngine(AudioOutput& output, int sampleRate)
    : m_output(output), m_mixer(sampleRate) {
    m_voices.fill(kNoVoice);
}

SoundEngine::~SoundEngine() {
    m_output.close();
    releaseBuffers();
}

const std::vector<std::string>& SoundEngine::enumerateDevices() {
    m_devices = m_output.enumerate();
    return m_devices;
}

bool SoundEngine::openDevice(int index, std::string& error) {
    if (index < 0 || index >= static_cast<int>(m_devices.size())) {
        m_output.close();
        error = "no audio output device was found";
        return false;
    }
    return m_output.open(index, m_mixer, error);
}

void SoundEngine::releaseDevice() {
    m_output.close();
}

bool SoundEngine::createBuffers(const std::string& directory, std::string& error) {
    // A file named twice (the spare fire, the second bird) is decoded once;
    // each buffer still gets its own voice and cursor.
    std::map<std::string_view, PcmPtr> decoded;
    const auto all = catalogue::entries();
    for (int i = 0; i < kBufferCount; ++i) {
        const CatalogueEntry& entry = all[static_cast<std::size_t>(i)];
        PcmPtr& pcm = decoded[entry.file];
        if (!pcm) {
            const std::string path = directory + '/' + std::string(entry.file);
            PcmLoadResult loaded = loadPcm(path);
            if (!loaded) {
                error = path + ": " + loaded.error;
                return false;
            }
            pcm = loaded.pcm;
        }
        releaseBuffer(i);
        const VoiceId id = m_mixer.createVoice(pcm);
        if (id == kNoVoice) {
            error = "the mixer has no free voice for " + std::string(entry.file);
            return false;
        }
        m_voices[static_cast<std::size_t>(i)] = id;
    }
    return true;
}

VoiceId SoundEngine::voiceOf(int index) const {
    if (index < 0 || index >= kBufferCount) {
        return kNoVoice;
    }
    return m_voices[static_cast<std::size_t>(index)];
}

bool SoundEngine::hasBuffer(int index) const {
    return voiceOf(index) != kNoVoice;
}

int SoundEngine::bufferCount() const {
    int n = 0;
    for (VoiceId id : m_voices) {
        n += id != kNoVoice ? 1 : 0;
    }
    return n;
}

void SoundEngine::releaseBuffer(int index) {
    const VoiceId id = voiceOf(index);
    if (id != kNoVoice) {
        m_mixer.releaseVoice(id);
        m_voices[static_cast<std::size_t>(index)] = kNoVoice;
    }
}

void SoundEngine::releaseBuffers() {
    for (int i = 0; i < kBufferCount; ++i) {
        releaseBuffer(i);
    }
}

template <typename Op> bool SoundEngine::withVoice(int index, Op&& op) {
    const VoiceId id = voiceOf(index);
    if (id == kNoVoice) {
        return false;
    }
    op(id);
    return true;
}

bool SoundEngine::play(int index, bool looping) {
    return withVoice(index, [&](VoiceId id) { m_mixer.play(id, looping); });
}

bool SoundEngine::stop(int index) {
    return withVoice(index, [&](VoiceId id) { m_mixer.stop(id); });
}

bool SoundEngine::setVolume(int index, int hundredthsDb) {
    return withVoice(index, [&](VoiceId id) { m_mixer.setVolume(id, hundredthsDb); });
}

bool SoundEngine::setPan(int index, int hundredthsDb) {
    return withVoice(index, [&](VoiceId id) { m_mixer.setPan(id, hundredthsDb); });
}

bool SoundEngine::setPosition(int index, std::int64_t frame) {
    return withVoice(index, [&](VoiceId id) { m_mixer.setPosition(id, frame); });
}

bool SoundEngine::isPlaying(int index) const {
    const VoiceId id = voiceOf(index);
    return id != kNoVoice && m_mixer.isPlaying(id);
}

int SoundEngine::volume(int index) const {
    const VoiceId id = voiceOf(index);
    return id != kNoVoice ? m_mixer.volume(id) : 0;
}

int SoundEngine::pan(int index) const {
    const VoiceId id = voiceOf(index);
    return id != kNoVoice ? m_mixer.pan(id) : 0;
}

std::int64_t SoundEngine::position(int index) const {
    const VoiceId id = voiceOf(index);
    return id != kNoVoice ? m_mixer.position(id) : 0;
}

} // namespace sylvaro::engine
