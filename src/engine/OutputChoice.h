#pragma once

#include "AudioOutput.h"

#include <memory>

namespace sylvaro::engine {

// The output the program plays through: its own long-buffered one when a
// sound server (PulseAudio, or PipeWire's PulseAudio service) answers, SDL's
// where there is none (ALSA alone) and whenever SDL_AUDIODRIVER names a driver
// of SDL's own (the tests' disk and dummy drivers).
std::unique_ptr<AudioOutput> makeSystemOutput();

} // namespace sylvaro::engine
