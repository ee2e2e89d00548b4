#pragma once

#include <QDir>
#include <QFile>
#include <QString>

namespace sylvaro::test {

// The program folder the build generated (ctest passes its path), or an
// empty string when there is none to test against.
inline QString builtProgramDir() {
    const QString dir = qEnvironmentVariable("SYLVARO_PROGRAM_DIR");
    return !dir.isEmpty() && QFile::exists(dir + QStringLiteral("/fire.wav")) ? dir : QString();
}

// A private program folder at `target` made from the built one: links to
// every built file, and a real copy of the executable when asked (the
// program finds its folder through it). Settings files are left out, so the
// console's writes never reach the build's own folder through a link.
inline void makeLinkedProgram(const QString& built, const QString& target,
                              bool copyExecutable = false) {
    QDir().mkpath(target);
    const QDir source(built);
    for (const QString& name : source.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        if (name.startsWith(QStringLiteral("settings"))) {
            continue;
        }
        if (copyExecutable && name == QStringLiteral("sylvaro-lite")) {
            QFile::copy(source.filePath(name), target + u'/' + name);
        } else {
            QFile::link(source.filePath(name), target + u'/' + name);
        }
    }
}

} // namespace sylvaro::test
