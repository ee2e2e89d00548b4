#include "SettingsBinding.h"

#include "BackgroundChannels.h"
#include "ConsoleColours.h"
#include "ConsoleWindow.h"
#include "RandomSounds.h"
#include "VolumeControls.h"
#include "core/Dialogs.h"
#include "persist/LineCodec.h"
#include "widgets/TrackSlider.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>

namespace sylvaro::app::settings {

persist::ConsoleSettings capture(const ConsoleWindow& console) {
    persist::ConsoleSettings s;
    s.backColour = console.backColour();
    s.textColour = console.textColour();
    const RandomSounds* random = console.randomSounds();
    for (int slot = 0; slot < random::kSlots; ++slot) {
        s.bank1[static_cast<std::size_t>(slot)] = random->slider(1, slot)->value();
        s.bank2[static_cast<std::size_t>(slot)] = random->slider(2, slot)->value();
    }
    s.randomVolume = console.volumes()->randomSlider()->value();
    s.allSoundsVolume = console.volumes()->allSoundsSlider()->value();
    s.backgroundVolume = console.volumes()->backgroundSlider()->value();
    for (int channel = 1; channel <= engine::kBackgroundCount; ++channel) {
        s.boxes[static_cast<std::size_t>(channel - 1)] =
            console.backgroundChannels()->value(channel);
    }
    return s;
}

void apply(ConsoleWindow& console, const persist::ConsoleSettings& s) {
    RandomSounds* random = console.randomSounds();
    BackgroundChannels* boxes = console.backgroundChannels();
    for (int slot = 0; slot < random::kSlots; ++slot) {
        random->slider(2, slot)->setValue(s.bank2[static_cast<std::size_t>(slot)]);
    }
    for (int channel = 1; channel <= engine::kBackgroundCount; ++channel) {
        boxes->setValue(channel, s.boxes[static_cast<std::size_t>(channel - 1)]);
    }

    colours::paintBoxesBackground(console, s.backColour);
    colours::paintConsole(console, s.backColour);
    // Bank 1's first caption takes the colour too, so bank 2, which follows
    // it, matches the rest of the console after a restart.
    colours::paintCaptionLabels(console, s.textColour);
    colours::paintBoxesText(console, s.textColour);
    colours::paintBankCaptions(console, 1, s.textColour);

    for (int slot = 0; slot < random::kSlots; ++slot) {
        random->slider(1, slot)->setValue(s.bank1[static_cast<std::size_t>(slot)]);
    }
    console.volumes()->allSoundsSlider()->setValue(s.allSoundsVolume);
}

std::optional<persist::ConsoleSettings> readConsole(const QString& path) {
    const auto line = persist::readFirstLine(path);
    return line ? persist::ConsoleSettings::fromLine(*line) : std::nullopt;
}

std::optional<persist::CustomNames> readCustom(const QString& path) {
    const auto line = persist::readFirstLine(path);
    return line ? persist::CustomNames::fromLine(*line) : std::nullopt;
}

void writeBoth(ConsoleWindow& console) {
    const core::AppDir& dir = console.services().appDir;
    const std::pair<QString, QByteArray> files[] = {
        {dir.file(kConsoleFile), capture(console).toLine()},
        {dir.file(kCustomFile), console.customNames().toLine()},
    };
    for (const auto& [path, data] : files) {
        QString error;
        if (!persist::writeFileAtomically(path, data, &error)) {
            console.services().dialogs.message(
                {QStringLiteral("The settings could not be saved to %1.").arg(path),
                 ConsoleWindow::kTitle, core::MessageButtons::Ok, core::MessageIcon::Warning,
                 error});
        }
    }
}

} // namespace sylvaro::app::settings
