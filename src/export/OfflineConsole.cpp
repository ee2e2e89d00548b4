#include "OfflineConsole.h"

#include "app/ConsoleLifecycle.h"
#include "app/ConsoleState.h"
#include "app/ConsoleWindow.h"
#include "app/MixFiles.h"
#include "core/Dialogs.h"
#include "custom/CustomChannels.h"
#include "custom/SoundDecoder.h"
#include "engine/AudioOutput.h"
#include "engine/Mixer.h"
#include "panels/ClockAlarmPanel.h"
#include "scenes/SceneTable.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

namespace sylvaro::exporting {

// The device an offline console plays into: the renderer pulls the mixer.
class OfflineConsole::Output final : public engine::AudioOutput {
public:
    std::vector<std::string> enumerate() override { return {"Soundscape file"}; }
    bool open(int, engine::Mixer& mixer, std::string&) override {
        m_mixer = &mixer;
        return true;
    }
    void close() override { m_mixer = nullptr; }
    bool isOpen() const override { return m_mixer != nullptr; }
    std::string openDescription() const override { return "Soundscape file"; }
    engine::Mixer* mixer() const { return m_mixer; }

private:
    engine::Mixer* m_mixer = nullptr;
};

// Nobody sees an offline console: its messages are kept as notes, and its
// questions answered the way that changes nothing.
class OfflineConsole::Notes final : public core::Dialogs {
public:
    core::MessageAnswer message(const core::MessageRequest& request) override {
        QString line = request.text.simplified();
        if (!request.detail.isEmpty()) {
            line += QLatin1Char(' ') + request.detail.simplified();
        }
        lines << line;
        switch (request.buttons) {
        case core::MessageButtons::Ok:
            return core::MessageAnswer::Ok;
        case core::MessageButtons::OkCancel:
            return core::MessageAnswer::Cancel;
        case core::MessageButtons::YesNo:
        case core::MessageButtons::YesNoCancel:
            return core::MessageAnswer::No;
        }
        return core::MessageAnswer::Cancel;
    }
    std::uint32_t chooseColour() override { return 0; }
    QString openFileName(const core::FileRequest&) override { return {}; }
    QString saveFileName(const core::FileRequest&) override { return {}; }

    QStringList lines;
};

OfflineConsole::OfflineConsole(const core::AppDir& dir, std::uint32_t seed)
    : m_dir(dir), m_clock(m_host, QDateTime::currentDateTime()),
      m_output(std::make_unique<Output>()), m_notes(std::make_unique<Notes>()) {
    m_random.setFixedSeed(seed);
}

OfflineConsole::~OfflineConsole() = default;

bool OfflineConsole::prepare(const SoundscapeSource& source, QString& error) {
    app::Services services{
        m_dir, m_host, *m_notes, m_random, m_clock, *m_output, [](const QString&) {}, true};
    m_console = std::make_unique<app::ConsoleWindow>(std::move(services));
    m_console->load();
    m_host.advance(app::ConsoleLifecycle::kStartupIntervalMs);
    QCoreApplication::processEvents();
    if (!m_console->lifecycle().hasResumed() || !m_output->mixer()) {
        error = QStringLiteral("the console's sounds could not be loaded");
        if (!m_notes->lines.isEmpty()) {
            error += QStringLiteral(": ") + m_notes->lines.last();
        }
        return false;
    }
    if (!waitForCustomSounds(error) || !applySource(source, error) || !waitForCustomSounds(error)) {
        return false;
    }
    m_console->panels().clock.alarmOff();
    return true;
}

bool OfflineConsole::applySource(const SoundscapeSource& source, QString& error) {
    switch (source.kind) {
    case SoundscapeSource::Kind::Saved:
        return true;
    case SoundscapeSource::Kind::Scene:
        if (const scenes::Scene* scene = scenes::findByName(source.scene)) {
            m_console->state().applyScene(*scene);
            return true;
        }
        error = scenes::unknownSceneText(source.scene);
        return false;
    case SoundscapeSource::Kind::MixFile: {
        const qsizetype before = m_notes->lines.size();
        if (!m_console->mixes().loadFrom(source.mixPath)) {
            error = m_notes->lines.size() > before
                        ? m_notes->lines.takeLast()
                        : QStringLiteral("%1 is not a mix").arg(source.mixPath);
            return false;
        }
        return true;
    }
    case SoundscapeSource::Kind::Mix:
        if (!source.mix) {
            error = QStringLiteral("no mix was given");
            return false;
        }
        m_console->state().applyMix(*source.mix);
        return true;
    }
    return false;
}

bool OfflineConsole::waitForCustomSounds(QString& error) {
    // The custom sounds are read on the decoder's thread; the soundscape
    // starts once every one of them is in, so no run depends on how fast
    // the disk was. Each answer comes as `decoded` on this thread, after the
    // custom channels have taken it.
    constexpr int kPatienceMs = 120000;
    custom::SoundDecoder& decoder = m_console->decoder();
    const auto ready = [this, &decoder] {
        return !decoder.busy() && !m_console->panels().custom.settingUp();
    };
    QCoreApplication::processEvents();
    if (!ready()) {
        QEventLoop loop;
        QTimer patience;
        patience.setSingleShot(true);
        QObject::connect(&patience, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });
        QObject::connect(&decoder, &custom::SoundDecoder::decoded, &loop, [&loop, &ready] {
            if (ready()) {
                loop.quit();
            }
        });
        patience.start(kPatienceMs);
        if (loop.exec() != 0) {
            error = QStringLiteral("the custom sounds took too long to read");
            return false;
        }
    }
    QCoreApplication::processEvents();
    return true;
}

void OfflineConsole::render(float* out, int frames) {
    engine::Mixer* mixer = m_output->mixer();
    while (frames > 0) {
        if (m_stepLeft == 0) {
            m_stepLeft = kStepFrames;
        }
        const int n = std::min(frames, m_stepLeft);
        if (mixer) {
            mixer->render(out, n);
        } else {
            std::fill(out, out + static_cast<std::ptrdiff_t>(n) * 2, 0.0f);
        }
        out += static_cast<std::ptrdiff_t>(n) * 2;
        frames -= n;
        m_stepLeft -= n;
        if (m_stepLeft == 0) {
            m_host.advance(kStepFrames * 1000 / kSampleRate);
        }
    }
}

QStringList OfflineConsole::notes() const {
    return m_notes->lines;
}

} // namespace sylvaro::exporting
