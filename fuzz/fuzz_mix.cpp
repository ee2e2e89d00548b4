// Fuzzes reading a mix file as the console's Load does: a mix is accepted
// whole and survives being saved and loaded again unchanged, or it is refused
// naming a field of the line and why.

#include "FuzzCheck.h"
#include "persist/LineCodec.h"
#include "persist/MixFile.h"

using namespace sylvaro;

namespace {

// The Load command's size limit.
constexpr std::size_t kLargestMix = 1 << 16;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kLargestMix) {
        return 0;
    }
    const persist::MixRead read =
        persist::MixFile::fromLine(persist::firstLineOf(fuzz::bytesOf(data, size)));
    if (!read.mix) {
        fuzz::require(read.badField >= 1 && read.badField <= persist::MixFile::kFieldCount + 1,
                      "a refused mix names a field of the line");
        fuzz::require(!read.reason.isEmpty(), "a refused mix says why");
        return 0;
    }
    fuzz::require(read.badField == 0 && read.reason.isEmpty(), "an accepted mix names no fault");
    const QByteArray written = read.mix->toLine();
    const persist::MixRead again = persist::MixFile::fromLine(persist::firstLineOf(written));
    fuzz::require(again.mix.has_value(), "an accepted mix is refused once saved");
    fuzz::require(*again.mix == *read.mix, "an accepted mix changes once saved");
    return 0;
}
