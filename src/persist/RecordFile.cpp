#include "RecordFile.h"

namespace sylvaro::persist {

std::optional<QString> keepDamaged(const QString& path, QString* error) {
    const QString target = path + QStringLiteral(".damaged");
    if (QFile::exists(target) && !QFile::remove(target)) {
        if (error) {
            *error = QStringLiteral("%1 could not be replaced").arg(target);
        }
        return std::nullopt;
    }
    QFile file(path);
    if (!file.rename(target)) {
        if (error) {
            *error = file.errorString();
        }
        return std::nullopt;
    }
    return target;
}

} // namespace sylvaro::persist
