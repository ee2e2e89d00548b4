#pragma once

#include <QStringList>

namespace sylvaro::core {
class AppDir;
}

namespace sylvaro::exporting {

// `sylvaro-lite --export FILE [--minutes N] [--scene NAME | --mix FILE.svm]
// [--seed N]`: renders a soundscape into FILE (.wav, .flac or .mp3 by its
// extension) without a window or a sound device, showing progress on a
// terminal. Without --scene or --mix it renders the console's saved state.

// Whether the command line asks for an export.
bool isExportCommand(const QStringList& arguments);
// Runs it on the arguments as QCoreApplication::arguments() gives them
// (the program first); returns the program's exit code (0 done, 1 failed or
// interrupted, 2 a wrong command line).
int runExportCommand(const QStringList& arguments, const core::AppDir& dir);

} // namespace sylvaro::exporting
