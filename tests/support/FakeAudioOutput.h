#pragma once

#include "engine/AudioOutput.h"
#include "engine/Mixer.h"

#include <string>
#include <vector>

namespace sylvaro::test {

// An output device that never touches the sound card: tests choose the
// device list, whether opening fails and when the open device vanishes, and
// render the mixer themselves.
class FakeAudioOutput final : public engine::AudioOutput {
public:
    std::vector<std::string> devices{"Default output device", "Test card"};
    bool failOpen = false;
    // Set while the open device has vanished; close() clears it.
    bool lost = false;
    int openCount = 0;
    int openedIndex = -1;
    std::string openedDescription;
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
        openedDescription = index >= 0 && index < static_cast<int>(devices.size())
                                ? devices[static_cast<std::size_t>(index)]
                                : std::string();
        mixer = &m;
        return true;
    }
    void close() override {
        mixer = nullptr;
        openedIndex = -1;
        openedDescription.clear();
        lost = false;
    }
    bool isOpen() const override { return mixer != nullptr; }
    bool isLost() override { return isOpen() && lost; }
    std::string openDescription() const override { return openedDescription; }
    void setQuickChanges(bool quick) override { quickChanges.push_back(quick); }
    std::vector<bool> quickChanges; // as asked, in order

    // The open device is switched off: it leaves the device list (unless it
    // is the default entry, which always exists) and reports itself lost.
    void unplug() {
        if (openedIndex > 0 && openedIndex < static_cast<int>(devices.size())) {
            devices.erase(devices.begin() + openedIndex);
        }
        lost = true;
    }

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
