#pragma once

#include <QString>

namespace sylvaro::core {

// The application directory: the folder of the program file, where the
// built-in sounds, settings files and the images/, sounds/, resources/ and
// saves/ folders live. Names are joined with '/' and keep their letter case.
class AppDir {
public:
    explicit AppDir(QString path);
    // The directory of the running executable.
    static AppDir ofExecutable();

    const QString& path() const { return m_path; }
    // path() + "/" + name; a leading separator in name is not doubled.
    QString file(const QString& name) const;
    QString file(const QString& folder, const QString& name) const;

    // Names read from files (custom sounds, the custom picture) must stay
    // inside their folder: no separators, not "." or "..", not empty.
    static bool isBareFileName(const QString& name);

private:
    QString m_path;
};

} // namespace sylvaro::core
