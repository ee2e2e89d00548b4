#include "ScenePanel.h"

#include "BackgroundChannels.h"
#include "ConsoleColours.h"
#include "ConsoleWindow.h"
#include "PictureArea.h"
#include "RandomSounds.h"
#include "VolumeControls.h"
#include "core/Dialogs.h"
#include "core/Text.h"
#include "persist/ConsoleSettings.h"
#include "widgets/Heading.h"
#include "widgets/TrackSlider.h"

#include <QGridLayout>
#include <QToolButton>

namespace sylvaro::app {

const QString ScenePanel::kResetText =
    QStringLiteral(" This will reset all background and random sounds. Are you sure? ");
const QString ScenePanel::kResetTitle = QStringLiteral("Confirm Reset");

namespace {
constexpr int kColumns = 4;
}

ScenePanel::ScenePanel(ConsoleWindow& console, QWidget* parent)
    : QWidget(parent), m_console(console) {
    setObjectName(QStringLiteral("scenePanel"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(4);
    grid->addWidget(
        widgets::makeHeading(QStringLiteral("Preset Panel"), QStringLiteral("lblPresets"), this), 0,
        0, 1, kColumns);
    const core::AppDir& dir = console.services().appDir;
    for (std::size_t i = 0; i < scenes::kGridOrder.size(); ++i) {
        const scenes::Scene* scene = scenes::find(scenes::kGridOrder[i]);
        auto* b = new QToolButton(this);
        const QString caption = core::toQString(scene->caption);
        b->setObjectName(QStringLiteral("cmdScene") + caption);
        b->setText(caption);
        b->setIcon(
            QIcon(dir.file(QStringLiteral("resources/icons"), core::toQString(scene->icon()))));
        b->setIconSize(QSize(48, 36));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoRaise(false);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        b->setEnabled(false); // until start-up
        connect(b, &QToolButton::clicked, this, [this, scene] { apply(*scene); });
        grid->addWidget(b, 1 + static_cast<int>(i) / kColumns, static_cast<int>(i) % kColumns);
        m_buttons.push_back(b);
    }
}

QToolButton* ScenePanel::button(std::string_view caption) const {
    for (QToolButton* b : m_buttons) {
        if (b->text() == core::toQString(caption)) {
            return b;
        }
    }
    return nullptr;
}

void ScenePanel::apply(const scenes::Scene& scene) {
    // Switching the custom channels off comes with the custom panel.
    const std::int32_t back = scenes::toStored(scene.background);
    const std::int32_t text = scenes::toStored(scene.text);
    colours::paintConsole(m_console, back);
    colours::paintBankCaptions(m_console, 1, text);
    colours::paintCaptionLabels(m_console, text);

    VolumeControls* volumes = m_console.volumes();
    volumes->randomSlider()->setValue(scene.randomVolume);
    volumes->backgroundSlider()->setValue(scene.backgroundVolume);

    colours::paintBoxesText(m_console, text);
    colours::paintBoxesBackground(m_console, back);

    RandomSounds* random = m_console.randomSounds();
    for (int bank = 1; bank <= random::kBanks; ++bank) {
        for (int slot = 0; slot < random::kSlots; ++slot) {
            random->slider(bank, slot)->setValue(scene.frequency(bank, slot));
        }
    }
    for (int channel = 1; channel <= engine::kBackgroundCount; ++channel) {
        m_console.backgroundChannels()->setValue(channel, scene.boxOn(channel) ? 1 : 0);
    }
    m_console.picture()->showPicture(
        m_console.services().appDir.file(QStringLiteral("images"), core::toQString(scene.picture)));
}

void ScenePanel::reset() {
    const core::MessageRequest request{
        kResetText, kResetTitle, core::MessageButtons::OkCancel, core::MessageIcon::None, {}};
    if (m_console.services().dialogs.message(request) != core::MessageAnswer::Ok) {
        return;
    }
    for (int channel = 1; channel <= engine::kBackgroundCount; ++channel) {
        m_console.backgroundChannels()->setValue(channel, 0);
    }
    RandomSounds* random = m_console.randomSounds();
    random->setAll(persist::kFrequencyOff);
    random->scheduler().timer(1, 0).setEnabled(false);
    random->scheduler().timer(1, 2).setEnabled(false);
}

} // namespace sylvaro::app
