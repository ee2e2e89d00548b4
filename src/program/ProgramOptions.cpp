#include "ProgramOptions.h"

#include "export/OfflineConsole.h"
#include "SingleInstance.h"
#include "panels/SleepTimer.h"
#include "core/Text.h"
#include "scenes/SceneTable.h"

#include <QCoreApplication>
#include <cstdio>
#include <optional>

namespace sylvaro::program {

using panels::SleepTimer;

namespace {

using Verb = ConsoleRequest::Verb;

struct Option {
    const char* name;
    std::optional<Verb> verb; // none: --help, --version
    bool takesValue;
};

constexpr Option kOptions[] = {
    {"scene", Verb::Scene, true},  {"play", Verb::Play, false},
    {"pause", Verb::Pause, false}, {"toggle", Verb::Toggle, false},
    {"next", Verb::Next, false},   {"previous", Verb::Previous, false},
    {"alarm", Verb::AlarmAt, true}, {"sleep", Verb::Sleep, true},
    {"help", std::nullopt, false}, {"version", std::nullopt, false},
};

// Qt's own options, which QApplication takes out of the command line later:
// with one dash or two, some followed by a value.
constexpr const char* kQtWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
    "qwindowicon", "qwindowtitle", "style", "stylesheet", "session", "display", "geometry",
    "title", "name", "visual"};
constexpr const char* kQtAlone[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

template <typename List>
bool listed(const List& list, const QString& name) {
    for (const char* n : list) {
        if (name == QLatin1String(n)) {
            return true;
        }
    }
    return false;
}

ProgramOptions wrong(const QString& why) {
    ProgramOptions options;
    options.action = ProgramOptions::Action::Wrong;
    options.error = why;
    return options;
}

// The request an option with its value stands for, or why not.
std::optional<ConsoleRequest> commandOf(Verb verb, const QString& value, QString& why) {
    switch (verb) {
    case Verb::Scene:
        if (const scenes::Scene* scene = scenes::findByName(value)) {
            return ConsoleRequest{Verb::Scene, core::toQString(scene->caption)};
        }
        why = scenes::unknownSceneText(value);
        return std::nullopt;
    case Verb::AlarmAt:
        if (value == QLatin1String("off")) {
            return ConsoleRequest{Verb::AlarmOff};
        }
        if (isTimeOfDay(value)) {
            return ConsoleRequest{Verb::AlarmAt, value};
        }
        why = QStringLiteral("--alarm takes a time of day HH:MM (00:00 to 23:59) or off, not "
                             "\"%1\"")
                  .arg(value);
        return std::nullopt;
    case Verb::Sleep: {
        if (value == QLatin1String("off")) {
            return ConsoleRequest{Verb::SleepOff};
        }
        bool ok = false;
        const int minutes = value.toInt(&ok);
        if (ok && !value.startsWith(QLatin1Char('+')) && minutes >= 1 &&
            minutes <= SleepTimer::kMinutesMax) {
            return ConsoleRequest{Verb::Sleep, {}, minutes};
        }
        why = QStringLiteral("--sleep takes a whole number of minutes from 1 to %1, or off, "
                             "not \"%2\"")
                  .arg(SleepTimer::kMinutesMax)
                  .arg(value);
        return std::nullopt;
    }
    default:
        return ConsoleRequest{verb};
    }
}

void say(std::FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fflush(to);
}

} // namespace

ProgramOptions ProgramOptions::read(const QStringList& arguments) {
    bool help = false;
    bool version = false;
    std::optional<ConsoleRequest> command;
    QStringList files;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--")) {
            files += arguments.mid(i + 1);
            break;
        }
        if (argument == QLatin1String("-h")) {
            help = true;
            continue;
        }
        if (!argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            files << argument;
            continue;
        }
        const bool twoDashes = argument.startsWith(QLatin1String("--"));
        QString name = argument.mid(twoDashes ? 2 : 1);
        std::optional<QString> value;
        if (const qsizetype equals = name.indexOf(QLatin1Char('=')); equals >= 0) {
            value = name.mid(equals + 1);
            name.truncate(equals);
        }
        if (listed(kQtWithValue, name)) {
            i += value ? 0 : 1; // its value is Qt's too
            continue;
        }
        const Option* option = nullptr;
        for (const Option& o : kOptions) {
            if (name == QLatin1String(o.name)) {
                option = &o;
            }
        }
        if (!twoDashes || listed(kQtAlone, name)) {
            if (option == nullptr) {
                continue; // left to Qt
            }
        }
        if (option == nullptr) {
            return wrong(QStringLiteral("unknown option %1").arg(argument));
        }
        if (!option->takesValue && value) {
            return wrong(QStringLiteral("--%1 takes no value").arg(name));
        }
        if (option->takesValue && !value) {
            if (i + 1 >= arguments.size()) {
                return wrong(QStringLiteral("--%1 needs a value").arg(name));
            }
            value = arguments[++i];
        }
        if (!option->verb) {
            (name == QLatin1String("help") ? help : version) = true;
            continue;
        }
        if (command) {
            return wrong(QStringLiteral("give one command at a time"));
        }
        QString why;
        command = commandOf(*option->verb, value.value_or(QString()), why);
        if (!command) {
            return wrong(why);
        }
    }
    ProgramOptions options;
    if (help) {
        options.action = Action::Help;
    } else if (version) {
        options.action = Action::Version;
    } else if (command) {
        if (!files.isEmpty()) {
            return wrong(QStringLiteral("a command cannot be given with a mix (\"%1\")")
                             .arg(files.first()));
        }
        options.action = Action::Command;
        options.command = *command;
    }
    return options;
}

QString programUsage() {
    return QStringLiteral(
        "Usage: sylvaro-lite [MIX]\n"
        "       sylvaro-lite COMMAND\n"
        "       sylvaro-lite --export FILE [--minutes N] [--scene NAME | --mix MIX] [--seed N]\n"
        "\n"
        "Without a command, opens the console (with the mix MIX); a console already\n"
        "running comes to the front and loads MIX.\n"
        "\n"
        "Commands, for the console that is running:\n"
        "  --scene NAME      apply a built-in scene (starts a console if none runs)\n"
        "  --play            play\n"
        "  --pause           pause everything but the alarm\n"
        "  --toggle          play when paused, pause when playing\n"
        "  --next            the next scene, as the media keys step\n"
        "  --previous        the previous scene\n"
        "  --alarm HH:MM     set the alarm and switch it on\n"
        "  --alarm off       switch the alarm off\n"
        "  --sleep MINUTES   start the sleep timer (1 to %1 minutes)\n"
        "  --sleep off       cancel the sleep timer\n"
        "\n"
        "  --export FILE     render a soundscape to FILE (.wav, .flac or .mp3); see the\n"
        "                    manual page, sylvaro-lite(1)\n"
        "  -h, --help        show this help\n"
        "  --version         show the version\n"
        "\n"
        "Scenes: %2.\n"
        "Exit status: 0 done, 1 no console is running (or no display), 2 a wrong\n"
        "command line or a command the console refused.\n")
        .arg(SleepTimer::kMinutesMax)
        .arg(scenes::captions().join(QStringLiteral(", ")));
}

QString programVersion() {
    return QStringLiteral("sylvaro-lite %1").arg(QStringLiteral(SYLVARO_VERSION));
}

std::optional<int> runWithoutWindow(int argc, char** argv, const QStringList& arguments,
                                    std::optional<ConsoleRequest>& startWith) {
    const ProgramOptions options = ProgramOptions::read(arguments);
    switch (options.action) {
    case ProgramOptions::Action::Console:
        return std::nullopt;
    case ProgramOptions::Action::Help:
        say(stdout, programUsage());
        return 0;
    case ProgramOptions::Action::Version:
        say(stdout, programVersion() + u'\n');
        return 0;
    case ProgramOptions::Action::Wrong:
        say(stderr, QStringLiteral("sylvaro-lite: %1\nTry 'sylvaro-lite --help'.\n")
                        .arg(options.error));
        return 2;
    case ProgramOptions::Action::Command:
        break;
    }
    // No display needed, nor a sound card.
    const QCoreApplication app(argc, argv);
    SingleInstance instance;
    const SingleInstance::Answer answer = instance.send(options.command);
    switch (answer.kind) {
    case SingleInstance::Answer::Kind::Done:
        return 0;
    case SingleInstance::Answer::Kind::Refused:
        say(stderr, QStringLiteral("sylvaro-lite: %1\n").arg(answer.why));
        return 2;
    case SingleInstance::Answer::Kind::NoConsole:
        break;
    }
    if (options.command.verb == Verb::Scene) {
        startWith = options.command;
        return std::nullopt;
    }
    say(stderr, QStringLiteral("sylvaro-lite: no console is running\n"));
    return 1;
}

} // namespace sylvaro::program
