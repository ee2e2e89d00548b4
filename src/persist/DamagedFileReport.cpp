#include "DamagedFileReport.h"

#include "core/Dialogs.h"

#include <QStringList>

namespace sylvaro::persist {

namespace {

// The damaged files told in this run that stayed in place.
QStringList& toldInPlace() {
    static QStringList paths;
    return paths;
}

} // namespace

void reportDamaged(const QString& path, const QString& reason, core::Dialogs& dialogs,
                   const DamagedFileTexts& texts) {
    QString error;
    const std::optional<QString> kept = keepDamaged(path, &error);
    QString detail = QStringLiteral("Reason: %1.").arg(reason);
    if (!kept) {
        if (toldInPlace().contains(path)) {
            return;
        }
        toldInPlace() << path;
        detail += QStringLiteral(" It could not be moved aside (%1); it will be replaced when "
                                 "%2 closes.")
                      .arg(error, texts.owner);
    }
    dialogs.message({texts.text.arg(path, kept.value_or(path + QStringLiteral(".damaged"))),
                     texts.title, core::MessageButtons::Ok, core::MessageIcon::Warning, detail});
}

} // namespace sylvaro::persist
