#pragma once

#include <QString>

namespace sylvaro::core {

// Where the program's files are: the program folder, which holds the
// built-in sounds and the images/, sounds/, resources/ and saves/ folders,
// and the data folder, where everything the program writes goes. A
// writable program folder (the build's) is both; an installed, read-only
// one sends what the program writes to the per-user data folder. Names are
// joined with '/' and keep their letter case.
class AppDir {
public:
    explicit AppDir(QString programPath, QString dataPath = {});
    // The directory of the running executable, with the per-user data
    // folder when that directory cannot be written.
    static AppDir ofExecutable();

    const QString& path() const { return m_path; }
    const QString& dataPath() const { return m_dataPath; }
    bool separateData() const { return m_dataPath != m_path; }
    // A built-in file: path() + "/" + name; a leading separator in name is
    // not doubled.
    QString file(const QString& name) const;
    QString file(const QString& folder, const QString& name) const;
    // A file the program writes (settings, mixes, recordings).
    QString dataFile(const QString& name) const;
    QString dataFile(const QString& folder, const QString& name) const;

    // Names read from files (custom sounds, the custom picture) must stay
    // inside their folder: no separators, not "." or "..", not empty.
    static bool isBareFileName(const QString& name);
    // Whether the program can create files in `dir`.
    static bool isWritableFolder(const QString& dir);

private:
    QString m_path;
    QString m_dataPath;
};

} // namespace sylvaro::core
