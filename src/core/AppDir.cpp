#include "AppDir.h"

#include <QCoreApplication>

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

} // namespace

AppDir::AppDir(QString path) : m_path(stripSeparators(std::move(path))) {}

AppDir AppDir::ofExecutable() {
    return AppDir(QCoreApplication::applicationDirPath());
}

QString AppDir::file(const QString& name) const {
    const QString sep = m_path.endsWith(u'/') ? QString() : QStringLiteral("/");
    return m_path + sep + withoutLeading(name);
}

QString AppDir::file(const QString& folder, const QString& name) const {
    return file(withoutLeading(folder) + u'/' + withoutLeading(name));
}

bool AppDir::isBareFileName(const QString& name) {
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') &&
           name != QStringLiteral(".") && name != QStringLiteral("..");
}

} // namespace sylvaro::core
