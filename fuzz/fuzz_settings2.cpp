// Fuzzes reading settings2.ini, the custom sound and picture names.

#include "RecordTarget.h"
#include "persist/ConsoleSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sylvaro::fuzz::readRecordBytes<sylvaro::persist::CustomNames>(data, size);
    return 0;
}
