#pragma once

// The command line of a benchmark program: its options one by one, and the
// way out when one is wrong.

#include <cstdio>
#include <cstdlib>
#include <string>

namespace sylvaro::bench {

// Walks argv's options: next() moves to the next one, value() takes the
// word after it, and a missing word ends the program through `usage`.
class CommandLine {
public:
    CommandLine(int argc, char** argv, void (*usage)()) : m_argc(argc), m_argv(argv), m_usage(usage) {}

    bool next() { return ++m_at < m_argc; }
    std::string option() const { return m_argv[m_at]; }
    const char* value() {
        if (m_at + 1 >= m_argc) {
            m_usage();
            std::exit(2);
        }
        return m_argv[++m_at];
    }

private:
    int m_argc;
    char** m_argv;
    void (*m_usage)();
    int m_at = 0;
};

// Ends the program `program` with what went wrong.
[[noreturn]] inline void fail(const char* program, const std::string& what) {
    std::fprintf(stderr, "%s: %s\n", program, what.c_str());
    std::exit(EXIT_FAILURE);
}

} // namespace sylvaro::bench
