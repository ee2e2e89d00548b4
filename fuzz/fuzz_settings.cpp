// Fuzzes reading settings.ini, the console's sliders, volumes, boxes and colours.

#include "RecordTarget.h"
#include "persist/ConsoleSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sylvaro::fuzz::readRecordBytes<sylvaro::persist::ConsoleSettings>(data, size);
    return 0;
}
