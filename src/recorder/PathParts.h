#pragma once

#include <QFileInfo>
#include <QString>

namespace sylvaro::recorder {

// A path up to, not including, its last separator.
inline QString folderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash);
}

// `path`, with `.suffix` added when it has none.
inline QString withSuffix(const QString& path, const QString& suffix) {
    return QFileInfo(path).suffix().isEmpty() ? path + QLatin1Char('.') + suffix : path;
}

} // namespace sylvaro::recorder
