// Fuzzes the line codec under every small data file: splitting a line into
// fields, reading each field as every kind, and the Windows-1252 text. Every
// field read as text is written back quoted and reads back the same, and
// every byte reads back as itself.

#include "FuzzCheck.h"
#include "persist/LineCodec.h"
#include "persist/Windows1252.h"

#include <limits>

using namespace sylvaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QString text = persist::fromWindows1252(bytes);
    fuzz::require(persist::fitsWindows1252(text), "text read from the code page fits it");
    fuzz::require(persist::toWindows1252(text) == bytes, "every byte reads back as itself");

    const QByteArray line = persist::firstLineOf(bytes);
    fuzz::require(!line.contains('\n'), "a first line ends before its line feed");
    const persist::LineRecord record = persist::LineRecord::parse(line);
    fuzz::require(record.size() >= 1, "every line holds at least one field");

    persist::LineWriter writer;
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    for (int i = 0; i < record.size(); ++i) {
        const std::optional<QString> field = record.string(i);
        fuzz::require(field.has_value(), "a field within the line reads as text");
        fuzz::require(!field->contains(u'"') && !field->contains(u'\r') && !field->contains(u'\n'),
                      "a field holds no quote and no line end");
        const std::optional<int> number = record.integer(i, kMin, kMax);
        const std::optional<int> small = record.integer(i, -5, 5);
        fuzz::require(!small || (number && *number == *small && *small >= -5 && *small <= 5),
                      "a number is read the same in any range that holds it");
        if (record.isEmpty(i)) {
            fuzz::require(number == 0 && record.boolean(i) == false,
                          "an empty field reads as 0 and false");
        }
        writer.string(*field);
    }
    fuzz::require(!record.string(record.size()) && !record.integer(record.size(), kMin, kMax) &&
                      !record.boolean(-1) && !record.isEmpty(record.size()),
                  "a field beyond the line reads as nothing");

    const QByteArray written = writer.line();
    const persist::LineRecord back = persist::LineRecord::parse(persist::firstLineOf(written));
    fuzz::require(back.size() == record.size(), "fields written back keep their number");
    for (int i = 0; i < record.size(); ++i) {
        fuzz::require(back.string(i) == record.string(i), "a field written back reads the same");
    }
    return 0;
}
