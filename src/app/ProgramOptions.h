#pragma once

#include "ConsoleRequest.h"

#include <QStringList>

namespace sylvaro::app {

class SingleInstance;

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

// Sends the command to the running console and says the outcome on the
// terminal: 0 done, 2 refused (an unknown scene lists the scenes), 1 no
// console runs - except for --scene, which then starts one: -1.
int sendToConsole(SingleInstance& instance, const ConsoleRequest& command);

} // namespace sylvaro::app
