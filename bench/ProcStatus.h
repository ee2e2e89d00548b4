#pragma once

// Figures of this process read from /proc/self/status.

#include <fstream>
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
