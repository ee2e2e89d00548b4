#include "ConsoleCommands.h"

#include "panels/ClockAlarmPanel.h"
#include "app/ConsoleLifecycle.h"
#include "app/ConsoleState.h"
#include "app/ConsoleWindow.h"
#include "MediaPlayerBus.h"
#include "panels/SleepTimer.h"
#include "scenes/SceneTable.h"

#include <QLineEdit>

namespace sylvaro::program {

using app::ConsoleLifecycle;
using app::ConsoleWindow;
using panels::ClockAlarmPanel;

ConsoleCommands::ConsoleCommands(ConsoleWindow& console, QObject* parent)
    : QObject(parent), m_console(console) {
    connect(&console.lifecycle(), &ConsoleLifecycle::resumed, this, &ConsoleCommands::runWaiting);
}

void ConsoleCommands::setPlayer(MediaPlayerBus* player) {
    m_player = player;
    runWaiting();
}

bool ConsoleCommands::ready() const {
    return m_player != nullptr && m_console.lifecycle().hasResumed();
}

void ConsoleCommands::run(const ConsoleRequest& request) {
    if (ready()) {
        carryOut(request);
        return;
    }
    if (m_waiting.size() == kMostWaiting) {
        m_waiting.erase(m_waiting.begin());
    }
    m_waiting.push_back(request);
}

void ConsoleCommands::runWaiting() {
    if (!ready()) {
        return;
    }
    for (const ConsoleRequest& request : std::exchange(m_waiting, {})) {
        carryOut(request);
    }
}

void ConsoleCommands::carryOut(const ConsoleRequest& request) {
    using Verb = ConsoleRequest::Verb;
    ClockAlarmPanel& clock = m_console.panels().clock;
    switch (request.verb) {
    case Verb::Open:
        // Mix files come through ConsoleWindow::openMix.
        break;
    case Verb::Scene:
        m_player->showScene(scenes::findByName(request.text));
        break;
    case Verb::Play:
        m_player->play();
        break;
    case Verb::Pause:
        m_player->pause();
        break;
    case Verb::Toggle:
        m_player->playPause();
        break;
    case Verb::Next:
        m_player->next();
        break;
    case Verb::Previous:
        m_player->previous();
        break;
    case Verb::AlarmAt:
        // What a user types into the alarm box, in the form the help shows.
        clock.alarmBox()->setText(request.text + QStringLiteral(":00"));
        clock.alarmOn();
        break;
    case Verb::AlarmOff:
        clock.alarmOff();
        break;
    case Verb::Sleep:
        m_console.sleepTimer().start(request.minutes);
        break;
    case Verb::SleepOff:
        m_console.sleepTimer().cancel();
        break;
    }
}

} // namespace sylvaro::program
