#pragma once

// One small record file (settings.ini, settings2.ini, settingsc.ini,
// settings9.txt) read the way the program reads it: too large a file is
// refused unread, otherwise its first line is the record. Whatever is
// accepted must be written and read back to the very same line, so nothing
// read can go out in a form the next start refuses.

#include "FuzzCheck.h"
#include "persist/LineCodec.h"

#include <optional>

namespace sylvaro::fuzz {

// readFirstLine's limit for the record files.
constexpr std::size_t kRecordFileLimit = 1 << 16;

template <typename Record> void readRecordBytes(const std::uint8_t* data, std::size_t size) {
    if (size > kRecordFileLimit) {
        return;
    }
    const std::optional<Record> record =
        Record::fromLine(persist::firstLineOf(bytesOf(data, size)));
    if (!record) {
        return;
    }
    const QByteArray written = record->toLine();
    require(written.endsWith("\r\n") && written.count('\n') == 1,
            "a record is written as one line ended by CR LF");
    const std::optional<Record> again = Record::fromLine(persist::firstLineOf(written));
    require(again.has_value(), "an accepted record is refused once written back");
    require(again->toLine() == written, "an accepted record changes once written back");
}

} // namespace sylvaro::fuzz
