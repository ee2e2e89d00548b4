#pragma once

#include "Layout.h"

#include <array>
#include <optional>
#include <span>
#include <string_view>

namespace sylvaro::console {

enum class EntryKind { Background, Random, Alarm, Spare };

// The group volume sliders a buffer answers to.
enum VolumeGroup : unsigned {
    kBackgroundGroup = 1u << 0, // scrlVol
    kRandomGroup = 1u << 1,     // HScroll3
    kAllSoundsGroup = 1u << 2,  // HScroll22
};

// One built-in sound buffer. `number` is the background channel 1..15, the
// random slot 0..19 (with `bank` 1 or 2), or the spare buffer 1..3.
struct CatalogueEntry {
    EntryKind kind;
    int bank;
    int number;
    std::string_view caption;
    std::string_view file;    // relative to the application directory
    std::string_view control; // the enable box or frequency slider, if any
    unsigned groups;
};

// The fixed table of every built-in sound, in buffer creation order: the
// entry's index is its buffer index. Compiled in; nothing is configurable.
namespace catalogue {

std::span<const CatalogueEntry, kBufferCount> entries();

int backgroundIndex(int channel);    // channel 1..15
int randomIndex(int bank, int slot); // bank 1..2, slot 0..19
int alarmIndex();
int spareIndex(int spare); // 1..3

// Members of a volume group, as buffer indices in creation order.
std::span<const int> groupMembers(VolumeGroup group);

// The picture shown when the resume step starts a background channel.
std::string_view backgroundPicture(int channel);
// The order in which the resume step starts the ticked background channels.
std::span<const int, kBackgroundCount> resumeOrder();

} // namespace catalogue
} // namespace sylvaro::console
