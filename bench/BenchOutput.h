#pragma once

// The sound output a real-time benchmark plays through, chosen on its
// command line (--output sdl|pulse): SDL's, or the program's own libpulse
// output where this tree has it.

#include "engine/AudioOutput.h"
#include "engine/SdlAudioOutput.h"

#if __has_include("engine/PulseOutput.h")
#include "engine/PulseOutput.h"
#define SYLVARO_BENCH_PULSE_OUTPUT 1
#endif

#include <cstdlib>
#include <memory>
#include <string>

namespace sylvaro::bench {

namespace detail {

template <typename Stats> long underflowsIn(const Stats& stats) {
    if constexpr (requires { stats.underflows; }) {
        return static_cast<long>(stats.underflows);
    } else if constexpr (requires { stats.underflowCount; }) {
        return static_cast<long>(stats.underflowCount);
    } else if constexpr (requires { stats.underruns; }) {
        return static_cast<long>(stats.underruns);
    } else {
        return -1;
    }
}

template <typename Output> long underflowsOf(Output& output) {
    if constexpr (requires { output.stats(); }) {
        return underflowsIn(output.stats());
    } else {
        return -1;
    }
}

template <typename Output> bool serverAnswers() {
    if constexpr (requires { Output::serverAnswers(); }) {
        return Output::serverAnswers();
    } else {
        return true;
    }
}

} // namespace detail

// The outputs this build can play through, for usage texts.
inline const char* outputKinds() {
#ifdef SYLVARO_BENCH_PULSE_OUTPUT
    return "sdl|pulse";
#else
    return "sdl";
#endif
}

// What the program itself would pick: its own output when a PulseAudio-
// protocol server answers and SDL_AUDIODRIVER is unset, else SDL's.
inline std::string defaultOutputKind() {
#ifdef SYLVARO_BENCH_PULSE_OUTPUT
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    if ((!driver || !*driver) && detail::serverAnswers<engine::PulseOutput>()) {
        return "pulse";
    }
#endif
    return "sdl";
}

// The output called `kind`; null (with the reason in `error`) when this
// build has no such output.
inline std::unique_ptr<engine::AudioOutput> makeOutput(const std::string& kind,
                                                       std::string& error) {
    if (kind == "sdl") {
        return std::make_unique<engine::SdlAudioOutput>();
    }
#ifdef SYLVARO_BENCH_PULSE_OUTPUT
    if (kind == "pulse") {
        return std::make_unique<engine::PulseOutput>();
    }
#endif
    error = "no output \"" + kind + "\" in this build (" + outputKinds() + ")";
    return nullptr;
}

// The underflows the output has counted; -1 when it counts none (SDL's).
inline long outputUnderflows(engine::AudioOutput& output) {
#ifdef SYLVARO_BENCH_PULSE_OUTPUT
    if (auto* pulse = dynamic_cast<engine::PulseOutput*>(&output)) {
        return detail::underflowsOf(*pulse);
    }
#endif
    (void)output;
    return -1;
}

} // namespace sylvaro::bench
