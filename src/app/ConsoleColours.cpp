#include "ConsoleColours.h"

#include "BackgroundChannels.h"
#include "ConsoleWindow.h"
#include "RandomSounds.h"
#include "widgets/StoredColour.h"

#include <QCheckBox>
#include <QLabel>
#include <QRegularExpression>

namespace sylvaro::app::colours {

namespace {

void paint(QWidget* widget, QPalette::ColorRole role, std::int32_t stored) {
    QPalette palette = widget->palette();
    palette.setColor(role, widgets::fromStored(stored, palette));
    widget->setPalette(palette);
}

template <typename Fn> void forEachBox(ConsoleWindow& console, Fn&& fn) {
    for (int channel = 1; channel <= engine::kBackgroundCount; ++channel) {
        fn(console.backgroundChannels()->box(channel));
    }
    fn(console.randomSounds()->spatialBox());
}

} // namespace

void paintConsole(ConsoleWindow& console, std::int32_t back) {
    console.setBackColour(back);
    QWidget* surface = console.centralWidget();
    surface->setAutoFillBackground(true);
    paint(surface, QPalette::Window, back);
}

void paintBoxesBackground(ConsoleWindow& console, std::int32_t back) {
    forEachBox(console, [back](QWidget* box) {
        // A button fills with its Button role unless told otherwise.
        box->setBackgroundRole(QPalette::Window);
        box->setAutoFillBackground(true);
        paint(box, QPalette::Window, back);
    });
}

void paintBoxesText(ConsoleWindow& console, std::int32_t text) {
    forEachBox(console, [text](QWidget* box) { paint(box, QPalette::WindowText, text); });
}

void paintCaptionLabels(ConsoleWindow& console, std::int32_t text) {
    static const QRegularExpression names(
        QStringLiteral("^lbl(Random|Background|Often|Off|Often2|Off2|Time|Alarm)$"));
    for (QLabel* label : console.findChildren<QLabel*>(names)) {
        paint(label, QPalette::WindowText, text);
    }
    console.setTextColour(text);
}

void paintBankCaptions(ConsoleWindow& console, int bank, std::int32_t text) {
    for (int slot = 0; slot < random::kSlots; ++slot) {
        paint(console.randomSounds()->caption(bank, slot), QPalette::WindowText, text);
    }
}

void syncBank2(ConsoleWindow& console) {
    RandomSounds* random = console.randomSounds();
    const QColor colour = random->caption(1, 0)->palette().color(QPalette::WindowText);
    for (int slot = 0; slot < random::kSlots; ++slot) {
        QLabel* label = random->caption(2, slot);
        if (label->palette().color(QPalette::WindowText) != colour) {
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, colour);
            label->setPalette(palette);
        }
    }
}

} // namespace sylvaro::app::colours
