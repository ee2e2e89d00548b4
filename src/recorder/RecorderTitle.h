#pragma once

#include <QString>

namespace sylvaro::recorder {

// The recorder window's title, also the title of its message boxes.
inline const QString kRecorderTitle = QStringLiteral("Sylvaro Lite Recorder");

} // namespace sylvaro::recorder
