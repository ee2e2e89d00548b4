#pragma once

#include <QString>
#include <QStringList>

namespace sylvaro::core {

// Where the program's files are: the program folder, which holds the
// built-in sounds and the images/, sounds/, resources/ and saves/ folders,
// and the data folder, where everything the program writes goes. A
// writable program folder (the build's) is both; an installed, read-only
// one sends what the program writes to the per-user data folder. Names are
// joined with '/' and keep their letter case.
class AppDir {
public:
    // The config folder defaults to the data folder.
    explicit AppDir(QString programPath, QString dataPath = {}, QString configPath = {});
    // The directory of the running executable, as forProgramFolder() gives it.
    static AppDir ofExecutable();
    // The program folder `program` with the running user's config folder, and
    // the user's own data folder when the program folder is an installed one
    // (it holds kInstalledMarker: a user who may write there still must not
    // mix their files into it) or cannot be written.
    static AppDir forProgramFolder(const QString& program);
    // The file an install leaves in the program folder it made.
    static const QString kInstalledMarker;

    const QString& path() const { return m_path; }
    const QString& dataPath() const { return m_dataPath; }
    const QString& configPath() const { return m_configPath; }
    bool separateData() const { return m_dataPath != m_path; }
    // A built-in file: path() + "/" + name; a leading separator in name is
    // not doubled.
    QString file(const QString& name) const;
    QString file(const QString& folder, const QString& name) const;
    // A file the program writes (settings, mixes, recordings).
    QString dataFile(const QString& name) const;
    QString dataFile(const QString& folder, const QString& name) const;
    // A per-user file that belongs to no program folder (the custom panel's).
    QString configFile(const QString& name) const;
    // A file of a folder both roots hold (sounds/, images/): the user's own
    // copy in the data folder when there is one, else the program folder's.
    QString userFile(const QString& folder, const QString& name) const;
    // The folders a listing of `folder` shows: the program folder's, then
    // the data folder's when that is another.
    QStringList userFolders(const QString& folder) const;

    // Names read from files (custom sounds, the custom picture) must stay
    // inside their folder: no separators, not "." or "..", not empty.
    static bool isBareFileName(const QString& name);
    // Whether the program can create files in `dir`.
    static bool isWritableFolder(const QString& dir);

private:
    QString m_path;
    QString m_dataPath;
    QString m_configPath;
};

} // namespace sylvaro::core
