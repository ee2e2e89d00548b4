// Fuzzes reading settings9.txt, the recorder window's choices and position.

#include "RecordTarget.h"
#include "persist/RecorderSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sylvaro::fuzz::readRecordBytes<sylvaro::persist::RecorderSettings>(data, size);
    return 0;
}
