#pragma once

#include <string>
#include <vector>

namespace sylvaro::engine {

class Mixer;

// The sound card as the engine sees it: a list of output devices (the system
// default first) and one open device that pulls from the mixer. UI thread only.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // Descriptions of the output devices; empty when there is no audio.
    virtual std::vector<std::string> enumerate() = 0;
    // Opens entry `index` of the last enumeration and starts pulling from
    // `mixer`. Closes a device opened before. On failure returns false and
    // says why in `error`.
    virtual bool open(int index, Mixer& mixer, std::string& error) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // True once the open device has stopped for good: unplugged or switched
    // off, its sound server gone, or a write to it failed. It then stays open
    // and silent until close(). Cheap enough to poll every second; not const
    // because an implementation may drain pending device events.
    virtual bool isLost() { return false; }
    // The description (as enumerate() gave it) of the open device; empty when
    // none is open.
    virtual std::string openDescription() const { return {}; }
    // Whether someone is at the console, about to change something. An
    // output that trades how soon a change is heard against how often the
    // machine wakes may then take the quicker way; changes are heard either
    // way. Outputs that have no such choice ignore it.
    virtual void setQuickChanges(bool /*quick*/) {}
};

} // namespace sylvaro::engine
