#include "LineCodec.h"

#include "Windows1252.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sylvaro::persist {

LineWriter& LineWriter::integer(long long value) {
    add(QString::number(value));
    return *this;
}

LineWriter& LineWriter::string(const QString& value) {
    QString clean = value;
    clean.remove(u'"');
    clean.remove(u'\r');
    clean.remove(u'\n');
    add(u'"' + clean + u'"');
    return *this;
}

LineWriter& LineWriter::unset() {
    add(QString());
    return *this;
}

LineWriter& LineWriter::boolean(bool value) {
    add(value ? QStringLiteral("#TRUE#") : QStringLiteral("#FALSE#"));
    return *this;
}

LineWriter& LineWriter::maybeString(const std::optional<QString>& value) {
    return value ? string(*value) : unset();
}

void LineWriter::add(const QString& field) {
    m_fields.append(field);
}

QByteArray LineWriter::line() const {
    return toWindows1252(m_fields.join(u',')) + "\r\n";
}

LineRecord LineRecord::parse(const QByteArray& bytes) {
    LineRecord record;
    const QString line = fromWindows1252(bytes);
    Field current;
    bool inQuotes = false;
    QString raw;
    const auto finish = [&] {
        if (!current.quoted) {
            current.text = raw.trimmed();
        }
        record.m_fields.push_back(current);
        current = Field{};
        raw.clear();
    };
    for (const QChar c : line) {
        if (c == u'"') {
            inQuotes = !inQuotes;
            current.quoted = true;
            continue;
        }
        if (c == u',' && !inQuotes) {
            finish();
            continue;
        }
        if (c == u'\r' || c == u'\n') {
            continue;
        }
        if (current.quoted) {
            // Blanks around a quoted string belong to no field.
            if (inQuotes) {
                current.text += c;
            }
        } else {
            raw += c;
        }
    }
    finish();
    return record;
}

bool LineRecord::isEmpty(int i) const {
    if (i < 0 || i >= size()) {
        return false;
    }
    const Field& f = m_fields[static_cast<std::size_t>(i)];
    return !f.quoted && f.text.isEmpty();
}

std::optional<int> LineRecord::integer(int i, int min, int max) const {
    if (i < 0 || i >= size()) {
        return std::nullopt;
    }
    const Field& f = m_fields[static_cast<std::size_t>(i)];
    if (f.text.isEmpty()) {
        return min <= 0 && 0 <= max ? std::optional<int>(0) : std::nullopt;
    }
    bool ok = false;
    const long long value = f.text.toLongLong(&ok);
    if (!ok || value < min || value > max) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

std::optional<QString> LineRecord::string(int i) const {
    if (i < 0 || i >= size()) {
        return std::nullopt;
    }
    return m_fields[static_cast<std::size_t>(i)].text;
}

std::optional<bool> LineRecord::boolean(int i) const {
    if (i < 0 || i >= size()) {
        return std::nullopt;
    }
    const QString& t = m_fields[static_cast<std::size_t>(i)].text;
    if (t.compare(QStringLiteral("#TRUE#"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (t.compare(QStringLiteral("#FALSE#"), Qt::CaseInsensitive) == 0 || t.isEmpty()) {
        return false;
    }
    return std::nullopt;
}

QByteArray firstLineOf(QByteArray data) {
    const qsizetype end = data.indexOf('\n');
    if (end >= 0) {
        data.truncate(end);
    }
    if (data.endsWith('\r')) {
        data.chop(1);
    }
    return data;
}

std::optional<QByteArray> readFirstLine(const QString& path, QString* error, qint64 limit) {
    const auto fail = [&](const QString& why) {
        if (error) {
            *error = why;
        }
        return std::nullopt;
    };
    // Opened without waiting, so a FIFO put in a file's place cannot hold
    // the program up until something writes to it; only an ordinary file is
    // read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return fail(S_ISDIR(status.st_mode) ? QStringLiteral("it is a folder")
                                            : QStringLiteral("it is not an ordinary file"));
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(file.errorString());
    }
    if (file.size() > limit) {
        return fail(QStringLiteral("the file is too large"));
    }
    const QByteArray data = file.read(limit);
    if (file.error() != QFileDevice::NoError) {
        return fail(file.errorString());
    }
    return firstLineOf(data);
}

bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error) {
    QSaveFile file(path);
    // Unbuffered, so a write that runs out of room fails here: a buffered
    // one fails only in commit()'s flush, which then puts the cut-short file
    // in place all the same.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(data) != data.size() || !file.commit()) {
        if (error) {
            *error = file.errorString();
        }
        file.cancelWriting();
        return false;
    }
    return true;
}

} // namespace sylvaro::persist
