#pragma once

#include "console/Catalogue.h"
#include "engine/SoundEngine.h"

#include <QString>
#include <array>
#include <string>

namespace sylvaro::core {
class AppDir;
}

namespace sylvaro::panels {

// The console's built-in sounds in the engine: one buffer per catalogue
// entry and the volume groups of the three group sliders, plus the group of
// custom random sounds that a drag of the random slider leaves alone.
// UI thread only.
class CatalogueSounds {
public:
    explicit CatalogueSounds(engine::SoundEngine& engine);
    ~CatalogueSounds();
    CatalogueSounds(const CatalogueSounds&) = delete;
    CatalogueSounds& operator=(const CatalogueSounds&) = delete;

    // Creates every buffer in creation order from the program folder,
    // replacing those of an earlier attempt. Stops at the first file that
    // cannot be read: the buffers before it stay, later ones are not made.
    bool create(const core::AppDir& dir, std::string& error);
    void release(int index);
    void releaseAll();

    engine::Buffer buffer(int index) const;
    engine::Buffer background(int channel) const;
    engine::Buffer random(int bank, int slot) const;
    engine::Buffer alarm() const;

    engine::Group group(console::VolumeGroup group) const;
    engine::Group customRandomGroup() const { return m_customRandom; }

    engine::SoundEngine& engine() const { return m_engine; }

private:
    engine::SoundEngine& m_engine;
    std::array<engine::Buffer, console::kBufferCount> m_buffers{};
    engine::Group m_background;
    engine::Group m_random;
    engine::Group m_allSounds;
    engine::Group m_customRandom;
};

} // namespace sylvaro::panels
