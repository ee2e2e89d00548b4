#pragma once

// What every fuzz target shares: a check that stops the run with a message
// (libFuzzer keeps the input that broke it), and the input as Qt bytes.

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace sylvaro::fuzz {

inline void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

// The input without a copy; it lives as long as the run.
inline QByteArray bytesOf(const std::uint8_t* data, std::size_t size) {
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                   static_cast<qsizetype>(size));
}

} // namespace sylvaro::fuzz
