#pragma once

#include <QFile>
#include <QString>

namespace sylvaro::test {

// The program folder the build generated (ctest passes its path), or an
// empty string when there is none to test against.
inline QString builtProgramDir() {
    const QString dir = qEnvironmentVariable("SYLVARO_PROGRAM_DIR");
    return !dir.isEmpty() && QFile::exists(dir + QStringLiteral("/fire.wav")) ? dir : QString();
}

} // namespace sylvaro::test
