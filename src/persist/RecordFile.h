#pragma once

#include "LineCodec.h"

#include <QFile>
#include <QString>
#include <optional>

namespace sylvaro::persist {

enum class FileState { Missing, Read, Damaged };

// What reading one of the small record files gave: the record, or that the
// file is missing, or that it is there but cannot be read whole (and why).
template <typename Record> struct FileRead {
    FileState state = FileState::Missing;
    std::optional<Record> record;
    QString reason;
};

// Reads a one-line record file whole through Record::fromLine.
template <typename Record> FileRead<Record> readRecordFile(const QString& path) {
    if (!QFile::exists(path)) {
        return {};
    }
    QString error;
    const std::optional<QByteArray> line = readFirstLine(path, &error);
    if (!line) {
        return {FileState::Damaged, std::nullopt, error};
    }
    std::optional<Record> record = Record::fromLine(*line);
    if (!record) {
        return {
            FileState::Damaged, std::nullopt,
            QStringLiteral("its fields are not the %1 values expected").arg(Record::kFieldCount)};
    }
    return {FileState::Read, std::move(record), {}};
}

// Moves a damaged file aside as `<path>.damaged`, replacing an older one, so
// nothing overwrites what the user may still want. Returns the new path, or
// nullopt with the reason.
std::optional<QString> keepDamaged(const QString& path, QString* error = nullptr);

} // namespace sylvaro::persist
