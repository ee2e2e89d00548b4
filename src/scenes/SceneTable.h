#pragma once

#include "console/StoredColour.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace sylvaro::scenes {

// A channel a scene turns on: bank 1..2, slot 0..19 and its slider value.
struct SceneChannel {
    int bank;
    int slot;
    int value;
};

// One built-in scene. Colours are #RRGGBB; every frequency slider not
// listed goes to 2000 (off) and every box not listed is cleared.
struct Scene {
    std::string_view caption;
    std::uint32_t background;
    std::uint32_t text;
    int randomVolume;
    int backgroundVolume;
    std::span<const int> boxes;
    std::span<const SceneChannel> channels;
    std::string_view picture; // in images/
    bool resetsCustom;        // every scene but Woodland

    // The slider value of a channel in this scene.
    int frequency(int bank, int slot) const;
    bool boxOn(int channel) const;
    std::string_view icon() const; // in resources/icons/
};

std::span<const Scene> all();
// The scene with exactly this caption; null when there is none.
const Scene* find(std::string_view caption);
// The scene a person names: any case, spaces around ignored; null when there
// is none.
const Scene* findByName(const QString& name);
// Every caption, in the table's order.
QStringList captions();
// The words that tell there is no scene called `name`, listing the scenes.
QString unknownSceneText(const QString& name);

// Button order: four columns, three rows.
inline constexpr std::array<std::string_view, 12> kGridOrder{
    "Woodland", "Country", "Dawn",   "Coast",    "Storm", "Tropical",
    "Summer",   "Jungle",  "Stream", "Downpour", "Night", "Fireside"};

// Where a scene stands in the grid, row by row; -1 for none.
int gridIndex(const Scene* scene);
// The scene at a grid position; null outside the grid.
const Scene* atGrid(int index);

} // namespace sylvaro::scenes
