#include "OutputChoice.h"

#include "PulseOutput.h"
#include "SdlAudioOutput.h"

#include <cstdlib>

namespace sylvaro::engine {

std::unique_ptr<AudioOutput> makeSystemOutput() {
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    if ((driver == nullptr || *driver == '\0') && PulseOutput::serverAnswers()) {
        return std::make_unique<PulseOutput>();
    }
    return std::make_unique<SdlAudioOutput>();
}

} // namespace sylvaro::engine
