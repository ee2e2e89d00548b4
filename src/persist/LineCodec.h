#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace sylvaro::persist {

// Writes one line of the program's small data files: fields separated by
// single commas, integers bare, strings in double quotes without escaping, a
// value never set as nothing, Booleans as #TRUE# / #FALSE#, ended by CR LF.
// The line is Windows-1252 text; a character the code page lacks is written
// as '?', so callers refuse such names where they are entered.
class LineWriter {
public:
    LineWriter& integer(long long value);
    // A string cannot hold a double quote; one that does has it dropped so
    // the line stays readable.
    LineWriter& string(const QString& value);
    LineWriter& unset();
    LineWriter& boolean(bool value);
    // An optional string: unset when it was never given a value.
    LineWriter& maybeString(const std::optional<QString>& value);

    QByteArray line() const;

private:
    void add(const QString& field);
    QStringList m_fields;
};

// One line as read back: split at commas outside double quotes, quotes
// removed, blanks trimmed from unquoted fields, the bytes read as
// Windows-1252. Conversions report a field
// that cannot be what the caller needs instead of guessing.
class LineRecord {
public:
    static LineRecord parse(const QByteArray& line);

    int size() const { return static_cast<int>(m_fields.size()); }
    // Field i (0-based) as an integer in [min, max]; empty reads as 0.
    // nullopt when the field is missing, not a number or out of range.
    std::optional<int> integer(int i, int min, int max) const;
    std::optional<QString> string(int i) const;
    // True when field i was written as nothing (never set).
    bool isEmpty(int i) const;
    std::optional<bool> boolean(int i) const;

private:
    struct Field {
        QString text;
        bool quoted = false;
    };
    std::vector<Field> m_fields;
};

// The first line of a file's contents, without its line end (LF or CR LF).
QByteArray firstLineOf(QByteArray data);

// Reads the first line of a small file (without its line end). Files larger
// than `limit` bytes are refused: nothing this program writes comes close.
std::optional<QByteArray> readFirstLine(const QString& path, QString* error = nullptr,
                                        qint64 limit = 1 << 16);

// Replaces `path` with `data` as a whole: on any failure the old file stays
// as it was and `error` says why.
bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error = nullptr);

// A file that could not be written, and why: what a report to the user names.
struct WriteFailure {
    QString path;
    QString reason;
};

} // namespace sylvaro::persist
