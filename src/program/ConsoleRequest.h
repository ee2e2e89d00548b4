#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace sylvaro::program {

// One request from a later start of the program to the console already
// running, as it travels over the single-instance socket: one line
// "sylvaro-lite/1 VERB[ ARGUMENT]\n" per connection, answered by one line,
// "ok\n" or "error TEXT\n". The tag keeps a mix path and a command apart and
// lets the wording change later. The console reads a request as untrusted
// input: a strict grammar, checked whole before anything is done.
struct ConsoleRequest {
    enum class Verb {
        Open,     // a mix file to load (text: an absolute path), or none: come to the front
        Scene,    // text: the scene's caption as the scene table spells it
        Play,     // the media keys' actions
        Pause,
        Toggle,
        Next,
        Previous,
        AlarmAt,  // text: "HH:MM"
        AlarmOff,
        Sleep,    // minutes: 1 .. SleepTimer::kMinutesMax
        SleepOff,
    };

    Verb verb = Verb::Open;
    QString text;
    int minutes = 0;

    friend bool operator==(const ConsoleRequest&, const ConsoleRequest&) = default;

    // The line that carries it, newline included.
    QByteArray toLine() const;
    // Everything one connection sent: exactly one tagged line in the
    // grammar above, every argument checked (a scene that exists, a time of
    // day, minutes in the sleep timer's range, an absolute path). Otherwise
    // nothing, and `why` says what is wrong in words for the sender.
    static std::optional<ConsoleRequest> fromBytes(const QByteArray& bytes, QString& why);

    // The console's answers.
    static QByteArray okReply();
    static QByteArray errorReply(const QString& why);

    static constexpr char kTag[] = "sylvaro-lite/1";
    // A path of the longest kind Linux allows, with the tag and verb.
    static constexpr qsizetype kLongest = 4096 + 64;
};

// "HH:MM" on a 24-hour clock, as --alarm takes it.
bool isTimeOfDay(const QString& text);

} // namespace sylvaro::program
