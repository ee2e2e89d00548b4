#pragma once

#include <QString>

namespace sylvaro::core {

// The console's title, also the title of its own message boxes.
inline const QString kProgramTitle = QStringLiteral("Sylvaro Lite v5.5");

} // namespace sylvaro::core
