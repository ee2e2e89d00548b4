#pragma once

#include <cstdint>

namespace sylvaro::app {

class ConsoleWindow;

// Paints the console's two colours on their targets. Colours come in the
// stored form (0x00BBGGRR, negative for a system colour). The console's text
// colour is the one its "Time:" caption carries. UI thread only.
namespace colours {

// The console window itself.
void paintConsole(ConsoleWindow& console, std::int32_t back);
// The 15 enable boxes and "Enable Spatial Sounds".
void paintBoxesBackground(ConsoleWindow& console, std::int32_t back);
void paintBoxesText(ConsoleWindow& console, std::int32_t text);
// "Random", "Background", "Often", "Off", "Time:" and "Alarm:".
void paintCaptionLabels(ConsoleWindow& console, std::int32_t text);
// The captions of one random bank.
void paintBankCaptions(ConsoleWindow& console, int bank, std::int32_t text);
// Bank 2's captions take the colour of bank 1's first caption.
void syncBank2(ConsoleWindow& console);

} // namespace colours
} // namespace sylvaro::app
