#include "ConsoleRequest.h"

#include "export/OfflineConsole.h"
#include "panels/SleepTimer.h"
#include "core/Text.h"
#include "scenes/SceneTable.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <array>

namespace sylvaro::program {

using panels::SleepTimer;

namespace {

using Verb = ConsoleRequest::Verb;

struct VerbName {
    Verb verb;
    const char* name;
    bool hasArgument;
};

constexpr std::array kVerbs{
    VerbName{Verb::Open, "open", false},     VerbName{Verb::Open, "open", true},
    VerbName{Verb::Scene, "scene", true},    VerbName{Verb::Play, "play", false},
    VerbName{Verb::Pause, "pause", false},   VerbName{Verb::Toggle, "toggle", false},
    VerbName{Verb::Next, "next", false},     VerbName{Verb::Previous, "previous", false},
    VerbName{Verb::AlarmAt, "alarm", true},  VerbName{Verb::AlarmOff, "alarm", true},
    VerbName{Verb::Sleep, "sleep", true},    VerbName{Verb::SleepOff, "sleep", true},
};

const QString kOff = QStringLiteral("off");

// Minutes as the sleep timer takes them: digits only, no sign, no spaces.
std::optional<int> sleepMinutes(const QString& text) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,4}$"));
    if (!digits.match(text).hasMatch()) {
        return std::nullopt;
    }
    const int minutes = text.toInt();
    if (minutes < 1 || minutes > SleepTimer::kMinutesMax) {
        return std::nullopt;
    }
    return minutes;
}

} // namespace

bool isTimeOfDay(const QString& text) {
    static const QRegularExpression time(QStringLiteral("^([01][0-9]|2[0-3]):[0-5][0-9]$"));
    return time.match(text).hasMatch();
}

QByteArray ConsoleRequest::toLine() const {
    QByteArray line = kTag;
    for (const VerbName& v : kVerbs) {
        if (v.verb == verb) {
            line += ' ' + QByteArray(v.name);
            break;
        }
    }
    switch (verb) {
    case Verb::Open:
    case Verb::Scene:
    case Verb::AlarmAt:
        if (!text.isEmpty()) {
            line += ' ' + text.toUtf8();
        }
        break;
    case Verb::AlarmOff:
    case Verb::SleepOff:
        line += ' ' + kOff.toUtf8();
        break;
    case Verb::Sleep:
        line += ' ' + QByteArray::number(minutes);
        break;
    default: // the media keys' commands take nothing
        break;
    }
    return line + '\n';
}

std::optional<ConsoleRequest> ConsoleRequest::fromBytes(const QByteArray& bytes, QString& why) {
    why = QStringLiteral("the console did not understand the request");
    if (bytes.size() > kLongest || !bytes.endsWith('\n')) {
        return std::nullopt;
    }
    const QByteArray line = bytes.chopped(1);
    // One line of printable text: no second request, no control characters.
    for (const char c : line) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            return std::nullopt;
        }
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(line);
    if (utf8.hasError()) {
        return std::nullopt;
    }
    const QString tag = QString::fromLatin1(kTag) + QLatin1Char(' ');
    if (!text.startsWith(tag)) {
        return std::nullopt;
    }
    const QString body = text.mid(tag.size());
    const qsizetype space = body.indexOf(QLatin1Char(' '));
    const QString word = space < 0 ? body : body.left(space);
    const std::optional<QString> argument =
        space < 0 ? std::nullopt : std::optional<QString>(body.mid(space + 1));

    ConsoleRequest request;
    for (const VerbName& v : kVerbs) {
        if (word != QLatin1String(v.name) || argument.has_value() != v.hasArgument) {
            continue;
        }
        request.verb = v.verb;
        if (!argument) {
            return request;
        }
        const QString& a = *argument;
        switch (v.verb) {
        case Verb::Open:
            if (a.startsWith(QLatin1Char('/'))) {
                request.text = a;
                return request;
            }
            break;
        case Verb::Scene:
            if (const scenes::Scene* scene = scenes::findByName(a)) {
                request.text = core::toQString(scene->caption);
                return request;
            }
            why = scenes::unknownSceneText(a);
            return std::nullopt;
        case Verb::AlarmAt:
            if (isTimeOfDay(a)) {
                request.text = a;
                return request;
            }
            break;
        case Verb::AlarmOff:
        case Verb::SleepOff:
            if (a == kOff) {
                return request;
            }
            break;
        case Verb::Sleep:
            if (const std::optional<int> minutes = sleepMinutes(a)) {
                request.minutes = *minutes;
                return request;
            }
            break;
        case Verb::Play:
        case Verb::Pause:
        case Verb::Toggle:
        case Verb::Next:
        case Verb::Previous:
            break;
        }
    }
    return std::nullopt;
}

QByteArray ConsoleRequest::okReply() {
    return QByteArrayLiteral("ok\n");
}

QByteArray ConsoleRequest::errorReply(const QString& why) {
    QByteArray text = why.toUtf8();
    text.replace('\n', ' ');
    return "error " + text + '\n';
}

} // namespace sylvaro::program
