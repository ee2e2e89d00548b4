#include "Desktop.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace sylvaro::recorder {

bool QtDesktop::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

bool QtDesktop::startProgram(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

QString QtDesktop::findProgram(const QString& name) const {
    return QStandardPaths::findExecutable(name);
}

} // namespace sylvaro::recorder
