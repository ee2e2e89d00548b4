#pragma once

#include "engine/AudioOutput.h"
#include "engine/Mixer.h"

#include <string>
#include <vector>

namespace sylvaro::test {

// An output device that never touches the sound card: tests choose the
// device list and whether opening fails, and render the mixer themselves.
class FakeAudioOutput final : public engine::AudioOutput {
public:
    std::vector<std::string> devices{"Default output device", "Test card"};
    bool failOpen = false;
    int openCount = 0;
    int openedIndex = -1;
    engine::Mixer* mixer = nullptr;

    std::vector<std::string> enumerate() override { return devices; }
    bool open(int index, engine::Mixer& m, std::string& error) override {
        close();
        ++openCount;
        if (failOpen) {
            error = "the test device refused to open";
            return false;
        }
        openedIndex = index;
        mixer = &m;
        return true;
    }
    void close() override {
        mixer = nullptr;
        openedIndex = -1;
    }
    bool isOpen() const override { return mixer != nullptr; }

    // Pulls `frames` stereo frames as the device would.
    std::vector<float> render(int frames) {
        std::vector<float> out(static_cast<std::size_t>(frames) * 2, 0.0f);
        if (mixer) {
            mixer->render(out.data(), frames);
        }
        return out;
    }
};

} // namespace sylvaro::test
