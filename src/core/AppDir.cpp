#include "AppDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace sylvaro::core {

namespace {

QString stripSeparators(QString s) {
    while (s.endsWith(u'/') && s.size() > 1) {
        s.chop(1);
    }
    return s;
}

QString withoutLeading(const QString& name) {
    qsizetype i = 0;
    while (i < name.size() && name[i] == u'/') {
        ++i;
    }
    return name.mid(i);
}

QString joined(const QString& root, const QString& name) {
    const QString sep = root.endsWith(u'/') ? QString() : QStringLiteral("/");
    return root + sep + withoutLeading(name);
}

} // namespace

AppDir::AppDir(QString programPath, QString dataPath, QString configPath)
    : m_path(stripSeparators(std::move(programPath))),
      m_dataPath(dataPath.isEmpty() ? m_path : stripSeparators(std::move(dataPath))),
      m_configPath(configPath.isEmpty() ? m_dataPath : stripSeparators(std::move(configPath))) {}

const QString AppDir::kInstalledMarker = QStringLiteral(".installed");

AppDir AppDir::ofExecutable() {
    return forProgramFolder(QCoreApplication::applicationDirPath());
}

AppDir AppDir::forProgramFolder(const QString& program) {
    // The custom panel's file is the user's wherever the program lives.
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    const bool installed = QFileInfo::exists(joined(program, kInstalledMarker));
    if (!installed && isWritableFolder(program)) {
        return AppDir(program, program, config);
    }
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return AppDir(program, data, config);
}

bool AppDir::isWritableFolder(const QString& dir) {
    // Asking for the permission bits is not enough (root passes them all):
    // try it.
    QTemporaryFile probe(dir + QStringLiteral("/.write-probe-XXXXXX"));
    return probe.open();
}

QString AppDir::file(const QString& name) const {
    return joined(m_path, name);
}

QString AppDir::file(const QString& folder, const QString& name) const {
    return file(withoutLeading(folder) + u'/' + withoutLeading(name));
}

QString AppDir::dataFile(const QString& name) const {
    return joined(m_dataPath, name);
}

QString AppDir::dataFile(const QString& folder, const QString& name) const {
    return dataFile(withoutLeading(folder) + u'/' + withoutLeading(name));
}

QString AppDir::configFile(const QString& name) const {
    return joined(m_configPath, name);
}

QString AppDir::userFile(const QString& folder, const QString& name) const {
    if (separateData()) {
        const QString own = dataFile(folder, name);
        if (QFileInfo::exists(own)) {
            return own;
        }
    }
    return file(folder, name);
}

QStringList AppDir::userFolders(const QString& folder) const {
    QStringList folders{file(folder)};
    if (separateData()) {
        folders << dataFile(folder);
    }
    return folders;
}

bool AppDir::isBareFileName(const QString& name) {
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') &&
           name != QStringLiteral(".") && name != QStringLiteral("..");
}

} // namespace sylvaro::core
