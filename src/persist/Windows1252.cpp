#include "Windows1252.h"

#include <array>
#include <optional>

namespace sylvaro::persist {

namespace {

// 0x80..0x9F, the only bytes that differ from Latin-1. The undefined ones
// keep their own number.
constexpr std::array<char16_t, 32> kHigh = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

std::optional<char> byteOf(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<char>(c);
    }
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == c) {
            return static_cast<char>(0x80 + i);
        }
    }
    return std::nullopt;
}

} // namespace

bool fitsWindows1252(const QString& text) {
    for (const QChar c : text) {
        if (!byteOf(c.unicode())) {
            return false;
        }
    }
    return true;
}

QByteArray toWindows1252(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i; // one character beyond the basic plane: one '?'
        }
        out.append(byteOf(c.unicode()).value_or('?'));
    }
    return out;
}

QString fromWindows1252(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        out.append(u >= 0x80 && u < 0xA0 ? QChar(kHigh[u - 0x80u])
                                         : QChar(static_cast<char16_t>(u)));
    }
    return out;
}

} // namespace sylvaro::persist
