#include "CatalogueSounds.h"

#include "core/AppDir.h"
#include "core/Text.h"

#include <map>

namespace sylvaro::panels {

namespace cat = console::catalogue;

CatalogueSounds::CatalogueSounds(engine::SoundEngine& engine)
    : m_engine(engine), m_background(engine.createGroup()), m_random(engine.createGroup()),
      m_allSounds(engine.createGroup()), m_customRandom(engine.createGroup()) {}

CatalogueSounds::~CatalogueSounds() {
    releaseAll();
}

bool CatalogueSounds::create(const core::AppDir& dir, std::string& error) {
    // A file named twice (the spare fire, the second bird) is decoded once;
    // each buffer still gets its own cursor.
    std::map<std::string_view, engine::PcmPtr> decoded;
    const auto all = cat::entries();
    for (int i = 0; i < console::kBufferCount; ++i) {
        const console::CatalogueEntry& entry = all[static_cast<std::size_t>(i)];
        release(i);
        engine::PcmPtr& pcm = decoded[entry.file];
        if (!pcm) {
            const std::string path = dir.file(core::toQString(entry.file)).toStdString();
            engine::PcmLoadResult loaded = m_engine.decode(path);
            if (!loaded) {
                error = path + ": " + loaded.error;
                return false;
            }
            pcm = loaded.pcm;
        }
        const engine::Buffer b = m_engine.createBuffer(pcm, error);
        if (!b.valid()) {
            return false;
        }
        m_buffers[static_cast<std::size_t>(i)] = b;
        // The alarm rings through a pause and a sleep fade.
        if (i == cat::alarmIndex()) {
            m_engine.setExempt(b, true);
        }
        for (console::VolumeGroup g :
             {console::kBackgroundGroup, console::kRandomGroup, console::kAllSoundsGroup}) {
            if (entry.groups & g) {
                m_engine.join(group(g), b);
            }
        }
    }
    return true;
}

void CatalogueSounds::release(int index) {
    if (index >= 0 && index < console::kBufferCount) {
        m_engine.release(m_buffers[static_cast<std::size_t>(index)]);
    }
}

void CatalogueSounds::releaseAll() {
    for (int i = 0; i < console::kBufferCount; ++i) {
        release(i);
    }
}

engine::Buffer CatalogueSounds::buffer(int index) const {
    if (index < 0 || index >= console::kBufferCount) {
        return {};
    }
    return m_buffers[static_cast<std::size_t>(index)];
}

engine::Buffer CatalogueSounds::background(int channel) const {
    return buffer(cat::backgroundIndex(channel));
}

engine::Buffer CatalogueSounds::random(int bank, int slot) const {
    return buffer(cat::randomIndex(bank, slot));
}

engine::Buffer CatalogueSounds::alarm() const {
    return buffer(cat::alarmIndex());
}

engine::Group CatalogueSounds::group(console::VolumeGroup g) const {
    switch (g) {
    case console::kBackgroundGroup:
        return m_background;
    case console::kRandomGroup:
        return m_random;
    case console::kAllSoundsGroup:
        return m_allSounds;
    }
    return {};
}

} // namespace sylvaro::panels
