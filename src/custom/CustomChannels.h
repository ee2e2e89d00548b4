#pragma once

#include "core/IntervalTimer.h"
#include "engine/PcmData.h"
#include "engine/SoundEngine.h"
#include "persist/ConsoleSettings.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QCheckBox;

namespace sylvaro::core {
class AppDir;
class RandomSource;
class TimerHost;
} // namespace sylvaro::core

namespace sylvaro::custom {

class SoundDecoder;

// Where the custom channels meet the console.
struct CustomChannelsParts {
    const core::AppDir& dir;
    engine::SoundEngine& engine;
    engine::Group backgroundGroup;
    engine::Group randomGroup;
    SoundDecoder& decoder;
    core::TimerHost& timers;
    core::RandomSource& random;
    // The group sliders' current values.
    std::function<int()> backgroundVolume;
    std::function<int()> randomVolume;
};

// The user's own sounds in the console: the seven custom names, the six
// custom buffers (two looping backgrounds in the background group, four
// random sounds in the custom random group), the hidden enable boxes
// `Check100`/`Check200` and the four random timers `Timer550`..`Timer553`.
// Files are decoded off the UI thread; a buffer changes only once its new
// sound is ready. UI thread only.
class CustomChannels : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBackgrounds = 2;
    static constexpr int kRandoms = 4;
    static constexpr std::array<int, kRandoms> kRandomIntervalsMs{10000, 9200, 9700, 9400};

    explicit CustomChannels(CustomChannelsParts parts, QWidget* parent = nullptr);
    ~CustomChannels() override;

    const persist::CustomNames& names() const { return m_names; }
    // The names as read from settings2.ini or a mix; nothing is loaded.
    void setNames(const persist::CustomNames& names) { m_names = names; }
    // A name the picker's Apply stores. A custom random sound gets its
    // buffer at once; a ticked custom background restarts with the new file,
    // and stops when the name is emptied.
    void setBackgroundName(int n, const QString& name);
    void setRandomName(int n, const QString& name);
    void setPictureName(const QString& name) { m_names.picture = name; }

    QCheckBox* enableBox(int n) const { return m_boxes[index(n)]; }   // Check100, Check200
    core::IntervalTimer& timer(int n) { return *m_timers[index(n)]; } // Timer550..553
    // The panel's frequency slider n: 2000 stops the timer, less starts it.
    void setFrequency(int n, int value);
    int frequency(int n) const { return m_frequency[index(n)]; }

    // The six set-ups, random 1..4 then background 1..2: each slot with a
    // name gets a buffer made from its file, silent unless its background
    // box is ticked, which then plays from the start. `setUpEnded` follows
    // once every file has been read.
    void setUp();
    bool settingUp() const { return m_setUpLeft > 0; }
    // Releases every custom buffer, which silences them.
    void releaseAll();

    engine::Buffer backgroundBuffer(int n) const { return m_buffers[kRandoms + index(n)]; }
    engine::Buffer randomBuffer(int n) const { return m_buffers[index(n)]; }
    // Whether a file of that slot is still being read.
    bool backgroundLoading(int n) const { return m_slots[kRandoms + index(n)].ticket != 0; }
    bool randomLoading(int n) const { return m_slots[index(n)].ticket != 0; }

    // Where a slot's file is looked for.
    QString soundPath(const QString& name) const;

    // One random tick's draw: whether slider value `value` fires against
    // `draw` (0..59).
    static bool fires(int value, int draw);

Q_SIGNALS:
    // The set-up has read every file; `failures` names each that could not
    // be loaded, with why (empty when all loaded).
    void setUpEnded(const QStringList& failures);
    // A custom background or a stored random name whose file could not be
    // loaded, outside the set-up.
    void loadFailed(const QString& what);

private:
    enum class Purpose { Enable, Store, SetUp };
    struct Pending {
        quint64 ticket = 0;
        Purpose purpose = Purpose::Enable;
    };

    static std::size_t index(int n) { return static_cast<std::size_t>(n - 1); }
    const std::optional<QString>& nameOf(std::size_t slot) const;
    QString describe(std::size_t slot) const;
    bool isBackground(std::size_t slot) const { return slot >= kRandoms; }

    void onEnableChanged(int n);
    void load(std::size_t slot, Purpose purpose);
    void onDecoded(quint64 ticket, const engine::PcmPtr& pcm, const QString& error);
    void finish(std::size_t slot, Purpose purpose, const engine::PcmPtr& pcm, const QString& error);
    void cancel(std::size_t slot);
    void setUpAnswered(const QString& failure);
    void randomTick(int n);

    CustomChannelsParts m_parts;
    persist::CustomNames m_names;
    std::array<QCheckBox*, kBackgrounds> m_boxes{};
    std::array<std::unique_ptr<core::IntervalTimer>, kRandoms> m_timers;
    std::array<int, kRandoms> m_frequency{2000, 2000, 2000, 2000};
    std::array<engine::Buffer, kRandoms + kBackgrounds> m_buffers{};
    std::array<engine::PcmPtr, kRandoms + kBackgrounds> m_pcm{};
    std::array<Pending, kRandoms + kBackgrounds> m_slots{};
    int m_setUpLeft = 0;
    QStringList m_setUpFailures;
};

} // namespace sylvaro::custom
