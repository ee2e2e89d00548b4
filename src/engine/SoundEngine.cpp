#include "SoundEngine.h"

#include "PcmLoader.h"

#include <algorithm>

namespace sylvaro::engine {

namespace {
// Previews and button clicks kept decoded at once.
constexpr std::size_t kOneShotCache = 8;
const std::vector<Buffer> kNoMembers;
} // namespace

SoundEngine::SoundEngine(AudioOutput& output, int sampleRate)
    : m_output(output), m_mixer(sampleRate) {}

SoundEngine::~SoundEngine() {
    // The device stops pulling before the voices go.
    m_output.close();
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

PcmLoadResult SoundEngine::decode(const std::string& path) const {
    return loadPcm(path, m_mixer.sampleRate());
}

Buffer SoundEngine::createBuffer(const std::string& path, std::string& error) {
    PcmLoadResult loaded = decode(path);
    if (!loaded) {
        error = path + ": " + loaded.error;
        return {};
    }
    return createBuffer(loaded.pcm, error);
}

Buffer SoundEngine::createBuffer(PcmPtr pcm, std::string& error) {
    const VoiceId id = m_mixer.createVoice(std::move(pcm));
    if (id == kNoVoice) {
        error = "the sound could not be given a voice (too many sounds, or not at the device rate)";
        return {};
    }
    return Buffer{id};
}

void SoundEngine::release(Buffer& buffer) {
    if (!exists(buffer)) {
        buffer = {};
        return;
    }
    for (auto& group : m_groups) {
        std::erase(group, buffer);
    }
    m_mixer.releaseVoice(buffer.voice);
    buffer = {};
}

bool SoundEngine::exists(Buffer buffer) const {
    return buffer.valid() && m_mixer.isValid(buffer.voice);
}

int SoundEngine::bufferCount() const {
    return m_mixer.voiceCount();
}

bool SoundEngine::play(Buffer buffer, bool looping) {
    if (!exists(buffer)) {
        return false;
    }
    m_mixer.play(buffer.voice, looping);
    return true;
}

bool SoundEngine::stop(Buffer buffer) {
    if (!exists(buffer)) {
        return false;
    }
    m_mixer.stop(buffer.voice);
    return true;
}

bool SoundEngine::setVolume(Buffer buffer, int hundredthsDb) {
    if (!exists(buffer)) {
        return false;
    }
    m_mixer.setVolume(buffer.voice, hundredthsDb);
    return true;
}

bool SoundEngine::setPan(Buffer buffer, int hundredthsDb) {
    if (!exists(buffer)) {
        return false;
    }
    m_mixer.setPan(buffer.voice, hundredthsDb);
    return true;
}

bool SoundEngine::setExempt(Buffer buffer, bool exempt) {
    if (!exists(buffer)) {
        return false;
    }
    m_mixer.setExempt(buffer.voice, exempt);
    return true;
}

void SoundEngine::setMasterVolume(int hundredthsDb, int glideMs) {
    const std::int64_t frames =
        static_cast<std::int64_t>(std::max(glideMs, 0)) * m_mixer.sampleRate() / 1000;
    m_mixer.setMasterVolume(hundredthsDb,
                            static_cast<int>(std::min<std::int64_t>(frames, 1 << 30)));
}

bool SoundEngine::setPosition(Buffer buffer, std::int64_t frame) {
    if (!exists(buffer)) {
        return false;
    }
    m_mixer.setPosition(buffer.voice, frame);
    return true;
}

bool SoundEngine::isPlaying(Buffer buffer) const {
    return exists(buffer) && m_mixer.isPlaying(buffer.voice);
}

int SoundEngine::volume(Buffer buffer) const {
    return exists(buffer) ? m_mixer.volume(buffer.voice) : 0;
}

int SoundEngine::pan(Buffer buffer) const {
    return exists(buffer) ? m_mixer.pan(buffer.voice) : 0;
}

std::int64_t SoundEngine::position(Buffer buffer) const {
    return exists(buffer) ? m_mixer.position(buffer.voice) : 0;
}

std::int64_t SoundEngine::length(Buffer buffer) const {
    return exists(buffer) ? m_mixer.length(buffer.voice) : 0;
}

Group SoundEngine::createGroup() {
    m_groups.emplace_back();
    return Group{static_cast<int>(m_groups.size()) - 1};
}

void SoundEngine::join(Group group, Buffer buffer) {
    if (group.index < 0 || group.index >= static_cast<int>(m_groups.size()) || !buffer.valid()) {
        return;
    }
    auto& members = m_groups[static_cast<std::size_t>(group.index)];
    if (std::find(members.begin(), members.end(), buffer) == members.end()) {
        members.push_back(buffer);
    }
}

void SoundEngine::leave(Group group, Buffer buffer) {
    if (group.index >= 0 && group.index < static_cast<int>(m_groups.size())) {
        std::erase(m_groups[static_cast<std::size_t>(group.index)], buffer);
    }
}

const std::vector<Buffer>& SoundEngine::members(Group group) const {
    if (group.index < 0 || group.index >= static_cast<int>(m_groups.size())) {
        return kNoMembers;
    }
    return m_groups[static_cast<std::size_t>(group.index)];
}

int SoundEngine::setGroupVolume(Group group, int hundredthsDb) {
    int set = 0;
    for (Buffer member : members(group)) {
        set += setVolume(member, hundredthsDb) ? 1 : 0;
    }
    return set;
}

bool SoundEngine::playOnce(const std::string& path) {
    ++m_oneShotClock;
    auto it = std::find_if(m_oneShots.begin(), m_oneShots.end(),
                           [&](const OneShot& s) { return s.path == path && exists(s.buffer); });
    if (it == m_oneShots.end()) {
        std::string error;
        Buffer buffer = createBuffer(path, error);
        if (!buffer.valid()) {
            return false;
        }
        if (m_oneShots.size() >= kOneShotCache) {
            // Drop the least recently used one that is not sounding.
            auto oldest = m_oneShots.end();
            for (auto s = m_oneShots.begin(); s != m_oneShots.end(); ++s) {
                if (!isPlaying(s->buffer) &&
                    (oldest == m_oneShots.end() || s->lastUse < oldest->lastUse)) {
                    oldest = s;
                }
            }
            if (oldest != m_oneShots.end()) {
                release(oldest->buffer);
                m_oneShots.erase(oldest);
            }
        }
        m_oneShots.push_back({path, buffer, 0});
        it = std::prev(m_oneShots.end());
    } else {
        // A click while the last one may still sound starts it again (an
        // output that renders ahead reports it ended before it is heard out).
        m_mixer.stop(it->buffer.voice);
        m_mixer.setPosition(it->buffer.voice, 0);
    }
    it->lastUse = m_oneShotClock;
    return play(it->buffer, false);
}

} // namespace sylvaro::engine
