// Fuzzes reading settingsc.ini, the custom panel's boxes, captions and sliders.

#include "RecordTarget.h"
#include "persist/CustomPanelSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sylvaro::fuzz::readRecordBytes<sylvaro::persist::CustomPanelSettings>(data, size);
    return 0;
}
