#pragma once

#include "ConsoleRequest.h"

#include <QObject>
#include <vector>

namespace sylvaro::app {
class ConsoleWindow;
}

namespace sylvaro::program {

class MediaPlayerBus;

// Carries out the commands later starts of the program send (--scene,
// --play, --alarm, --sleep and the rest): playing and the scenes through the
// media player's own actions, so they do what the media keys do; the alarm
// as the Alarm menu does; the sleep timer as its menu does. Commands that
// come before the console has resumed its saved state (which would replace
// a scene) wait for it. UI thread only.
class ConsoleCommands : public QObject {
    Q_OBJECT
public:
    explicit ConsoleCommands(app::ConsoleWindow& console, QObject* parent = nullptr);

    // The console's media player, from when it exists; commands wait for it.
    void setPlayer(MediaPlayerBus* player);
    void run(const ConsoleRequest& request);

    // Commands kept while waiting; older ones beyond this are dropped.
    static constexpr std::size_t kMostWaiting = 16;

private:
    bool ready() const;
    void runWaiting();
    void carryOut(const ConsoleRequest& request);

    app::ConsoleWindow& m_console;
    MediaPlayerBus* m_player = nullptr;
    std::vector<ConsoleRequest> m_waiting;
};

} // namespace sylvaro::program
