#include "UserText.h"

#include "core/AppDir.h"
#include "persist/Windows1252.h"

namespace sylvaro::custom {

// The characters the line files cannot hold, named for the user.
QString whyNotStorable(const QString& text, const QString& what) {
    if (text.contains(u'"')) {
        return QStringLiteral("%1 holds a double quote, which the settings and mix files "
                              "cannot store.")
            .arg(what);
    }
    if (text.contains(u'\r') || text.contains(u'\n')) {
        return QStringLiteral("%1 holds a line break, which the settings and mix files cannot "
                              "store.")
            .arg(what);
    }
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control) {
            return QStringLiteral("%1 holds a control character, which the settings and mix "
                                  "files cannot store.")
                .arg(what);
        }
    }
    if (!persist::fitsWindows1252(text)) {
        QString odd;
        for (const QChar c : text) {
            if (!persist::fitsWindows1252(QString(c)) && !odd.contains(c)) {
                odd += c;
            }
        }
        return QStringLiteral("%1 holds characters (%2) that the settings and mix files cannot "
                              "store.")
            .arg(what, odd);
    }
    return {};
}

QString whyNotFileName(const QString& name) {
    const QString what = QStringLiteral("The name \u201C%1\u201D").arg(name);
    if (!core::AppDir::isBareFileName(name)) {
        return QStringLiteral("%1 is not a plain file name inside the folder.").arg(what);
    }
    const QString why = whyNotStorable(name, what);
    return why.isEmpty() ? why : why + QStringLiteral(" Please rename the file.");
}

QString whyNotLabel(const QString& label) {
    return whyNotStorable(label, QStringLiteral("The label"));
}

} // namespace sylvaro::custom
