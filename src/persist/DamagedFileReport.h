#pragma once

#include "RecordFile.h"

#include <QString>
#include <optional>

namespace sylvaro::core {
class Dialogs;
}

namespace sylvaro::persist {

// How one owner of settings files words the report of a damaged one.
struct DamagedFileTexts {
    QString text;  // %1 the file, %2 where it was kept
    QString title; // the message box's title
    QString owner; // who replaces a file left in place when it closes: "the console"
};

// A settings file that is there but cannot be read whole: moves it aside as
// `<name>.damaged` and tells the user, naming both, with the reason as the
// detail. A file that could not be moved aside is found again by every later
// read of the run (each start-up attempt, each recorder window): it is told
// once. UI thread only.
void reportDamaged(const QString& path, const QString& reason, core::Dialogs& dialogs,
                   const DamagedFileTexts& texts);

// Reads a one-line record file; a damaged one is reported as above and reads
// as missing, so its owner starts with its design values.
template <typename Record>
std::optional<Record> readOrReportDamaged(const QString& path, core::Dialogs& dialogs,
                                          const DamagedFileTexts& texts) {
    FileRead<Record> read = readRecordFile<Record>(path);
    if (read.state == FileState::Damaged) {
        reportDamaged(path, read.reason, dialogs, texts);
    }
    return std::move(read.record);
}

} // namespace sylvaro::persist
