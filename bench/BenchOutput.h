#pragma once

// The sound output a real-time benchmark plays through, chosen on its
// command line (--output sdl|pulse): SDL's, or the program's own libpulse
// output; without a choice, whichever the program itself would take.

#include "engine/AudioOutput.h"
#include "engine/OutputChoice.h"
#include "engine/PulseOutput.h"
#include "engine/SdlAudioOutput.h"

#include <memory>
#include <string>

namespace sylvaro::bench {

inline const char* outputKinds() {
    return "sdl|pulse";
}

// The output called `kind` (empty: the program's own choice); null, with the
// reason in `error`, for a kind there is no such output.
inline std::unique_ptr<engine::AudioOutput> makeOutput(const std::string& kind,
                                                       std::string& error) {
    if (kind.empty()) {
        return engine::makeSystemOutput();
    }
    if (kind == "sdl") {
        return std::make_unique<engine::SdlAudioOutput>();
    }
    if (kind == "pulse") {
        return std::make_unique<engine::PulseOutput>();
    }
    error = "no output \"" + kind + "\" (" + outputKinds() + ")";
    return nullptr;
}

inline const char* outputName(const engine::AudioOutput& output) {
    return dynamic_cast<const engine::PulseOutput*>(&output) ? "pulse" : "sdl";
}

// The underflows the output has counted; -1 when it counts none (SDL's).
inline long outputUnderflows(engine::AudioOutput& output) {
    if (auto* pulse = dynamic_cast<engine::PulseOutput*>(&output)) {
        return static_cast<long>(pulse->stats().underflows);
    }
    return -1;
}

} // namespace sylvaro::bench
