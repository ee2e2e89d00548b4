#pragma once

#include "ConsoleRequest.h"

#include <QStringList>
#include <optional>

namespace sylvaro::program {

// What the program was started to do, read from its command line before any
// window exists (so that talking to a running console needs no display):
// open the console (with a mix, or Qt's own options), print the usage or the
// version, or send one command to the running console. `--export` is read
// apart (ExportCommand).
struct ProgramOptions {
    enum class Action { Console, Help, Version, Command, Wrong };
    Action action = Action::Console;
    ConsoleRequest command; // Command
    QString error;          // Wrong: what is wrong, for standard error

    // `arguments` without the program's own name.
    static ProgramOptions read(const QStringList& arguments);
};

// The usage, for --help.
QString programUsage();
// "sylvaro-lite 5.5".
QString programVersion();

// Does what a start does without a window: prints the usage, the version or
// what is wrong with the command line, or hands a command to the running
// console and says the outcome (1 when none runs, 2 when it refused). The
// program's exit status; nothing when this start opens a console, then with
// `startWith` set when that console is to carry out a --scene.
std::optional<int> runWithoutWindow(int argc, char** argv, const QStringList& arguments,
                                    std::optional<ConsoleRequest>& startWith);

} // namespace sylvaro::program
