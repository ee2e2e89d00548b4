#pragma once

// Figures of this process read from /proc/self/status.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// A size field of /proc/self/status ("VmRSS:", "VmHWM:", ...) in megabytes;
// 0 when the field is not there.
inline double statusMegabytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == field) {
            double kb = 0;
            status >> kb;
            return kb / 1024.0;
        }
        status.ignore(1 << 12, '\n');
    }
    return 0.0;
}

inline double residentMegabytes() {
    return statusMegabytes("VmRSS:");
}

// File descriptors this process has open.
inline int openDescriptors() {
    std::error_code error;
    const std::filesystem::directory_iterator fds("/proc/self/fd", error);
    return error ? -1 : static_cast<int>(std::distance(fds, std::filesystem::directory_iterator()));
}
