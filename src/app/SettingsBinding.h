#pragma once

#include "persist/ConsoleSettings.h"

#include <QString>

namespace sylvaro::app {

class ConsoleWindow;

// Moves the console state between the console's controls and the two
// settings files beside the program. UI thread only.
namespace settings {

inline const QString kConsoleFile = QStringLiteral("settings.ini");
inline const QString kCustomFile = QStringLiteral("settings2.ini");

persist::ConsoleSettings capture(const ConsoleWindow& console);

// Applies a saved state in the order that decides which handlers run: bank 2
// sliders, enable boxes, background colour, text colour, bank 1 sliders, the
// all-sounds slider. The two group volumes are left for the caller.
void apply(ConsoleWindow& console, const persist::ConsoleSettings& state);

// Reads a settings file; nullopt when it is missing or cannot be read as
// one (a damaged file counts as missing).
std::optional<persist::ConsoleSettings> readConsole(const QString& path);
std::optional<persist::CustomNames> readCustom(const QString& path);

// Writes settings.ini, then settings2.ini; a failure is reported through
// the console's dialogs with the path and the reason.
void writeBoth(ConsoleWindow& console);

} // namespace settings
} // namespace sylvaro::app
