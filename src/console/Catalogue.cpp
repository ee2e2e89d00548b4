#include "Catalogue.h"

#include <cassert>
#include <vector>

namespace sylvaro::console::catalogue {

namespace {

using K = EntryKind;
constexpr unsigned kBg = kBackgroundGroup | kAllSoundsGroup;
constexpr unsigned kRnd = kRandomGroup | kAllSoundsGroup;

// Creation order. "bird1.wav" is loaded twice: the first buffer is bank 1
// slot 14, the second bank 1 slot 3, so the two channels never cut each
// other off. Background 15 and bank 1 slot 0 are outside the all-sounds group.
constexpr std::array<CatalogueEntry, kBufferCount> kEntries{{
    {K::Background, 0, 1, "Fire Crackling", "fire.wav", "Check1", kBg},
    {K::Background, 0, 2, "Jungle", "swamp.wav", "Check2", kBg},
    {K::Background, 0, 3, "Cicada", "cricket2.wav", "Check3", kBg},
    {K::Background, 0, 4, "Surf", "ocean2.wav", "Check4", kBg},
    {K::Background, 0, 5, "Hot Day", "waterlap_shore.wav", "Check5", kBg},
    {K::Background, 0, 6, "River Birds", "riverbrd.wav", "Check6", kBg},
    {K::Background, 0, 7, "Light Rain", "ltrain.wav", "Check7", kBg},
    {K::Background, 0, 8, "Thunder", "thunder_rain.wav", "Check8", kBg},
    {K::Spare, 0, 2, "", "jungle2.wav", "", kAllSoundsGroup},
    {K::Spare, 0, 1, "", "fire.wav", "", kRnd},
    {K::Random, 1, 2, "Night Crickets", "cricketnight.wav", "HScroll2", kRnd},
    {K::Random, 1, 1, "Frog", "cricketnight2.wav", "HScroll4", kRnd},
    {K::Spare, 0, 3, "", "horse1.wav", "", kRnd},
    {K::Random, 1, 4, "Thunder1", "fishingreel.wav", "HScroll6", kRnd},
    {K::Random, 1, 5, "Thunder2", "thunderrumble2.wav", "HScroll7", kRnd},
    {K::Random, 1, 6, "Sparrow", "sparrow.wav", "HScroll8", kRnd},
    {K::Random, 1, 7, "Sheep", "sheep.wav", "HScroll9", kRnd},
    {K::Random, 1, 8, "Jay", "bird.wav", "HScroll10", kRnd},
    {K::Random, 1, 9, "Cormorant", "seagulls_waves.wav", "HScroll11", kRnd},
    {K::Random, 1, 10, "Barn Owl", "owl.wav", "HScroll12", kRnd},
    {K::Random, 1, 11, "Tawny Owl", "OWL2.wav", "HScroll13", kRnd},
    {K::Random, 1, 12, "Loon", "loon.wav", "HScroll14", kRnd},
    {K::Random, 1, 13, "Puppy", "PUPPY2.wav", "HScroll15", kRnd},
    {K::Random, 1, 14, "Egret", "bird1.wav", "HScroll16", kRnd},
    {K::Random, 1, 15, "Starling", "bird3.wav", "HScroll17", kRnd},
    {K::Random, 1, 16, "Swallow", "bird4.wav", "HScroll18", kRnd},
    {K::Random, 1, 17, "Wader", "birdies.wav", "HScroll19", kRnd},
    {K::Random, 1, 18, "Ships Horn", "foghornwav.wav", "HScroll20", kRnd},
    {K::Random, 1, 19, "Cows", "moo3.wav", "HScroll21", kRnd},
    {K::Background, 0, 14, "Water Flow", "flowater.wav", "Check14", kBg},
    {K::Background, 0, 13, "Rain On Roof", "rainroof.wav", "Check13", kBg},
    {K::Background, 0, 12, "Meadow", "downpour.wav", "Check12", kBg},
    {K::Background, 0, 11, "Gentle Sea", "tidal.wav", "Check11", kBg},
    {K::Background, 0, 9, "Night", "night.wav", "Check9", kBg},
    {K::Background, 0, 10, "SeaWind", "wavdance.wav", "Check10", kBg},
    {K::Random, 2, 0, "Pine Borer", "WHISKEY.wav", "HScroll23", kRnd},
    {K::Random, 2, 1, "Grassdart", "car2.wav", "HScroll24", kRnd},
    {K::Random, 2, 2, "Crow", "crowcaw.wav", "HScroll25", kRnd},
    {K::Random, 2, 3, "Bullfrog", "bullfrog.wav", "HScroll26", kRnd},
    {K::Random, 2, 4, "Dog Barking", "dogbark1.wav", "HScroll27", kRnd},
    {K::Random, 2, 5, "Leafroller", "rooster.wav", "HScroll28", kRnd},
    {K::Random, 2, 6, "Branchcutter", "corkpop.wav", "HScroll29", kRnd},
    {K::Random, 2, 7, "Clock Chimes", "BIGBEN.wav", "HScroll30", kRnd},
    {K::Random, 2, 8, "Cuckoo", "cuckoo.wav", "HScroll31", kRnd},
    {K::Random, 1, 3, "Shank", "bird1.wav", "HScroll5", kRnd},
    {K::Random, 2, 9, "Lacewing", "ambulance.wav", "HScroll32", kRnd},
    {K::Random, 2, 10, "Boat Creak", "boatcreak.wav", "HScroll33", kRnd},
    {K::Random, 2, 11, "Birds Wings", "birdflap.wav", "HScroll34", kRnd},
    {K::Random, 2, 12, "Cicada", "CICADA3.wav", "HScroll35", kRnd},
    {K::Random, 2, 13, "Seagulls", "seagull2.wav", "HScroll36", kRnd},
    {K::Random, 2, 14, "Horse", "horse.wav", "HScroll37", kRnd},
    {K::Random, 2, 15, "RailRoad", "railroad.wav", "HScroll38", kRnd},
    {K::Random, 2, 16, "Nightingale", "nightengale.wav", "HScroll39", kRnd},
    {K::Random, 2, 17, "Motor Boat", "outboard2.wav", "HScroll40", kRnd},
    {K::Random, 2, 18, "Blue Tail", "DRIPS.wav", "HScroll41", kRnd},
    {K::Random, 2, 19, "Ships Horn2", "boatairhorn2.wav", "HScroll42", kRnd},
    {K::Alarm, 0, 0, "", "ringin1.wav", "", 0},
    {K::Background, 0, 15, "Night Insects", "NEW.wav", "Check15", kBackgroundGroup},
    {K::Random, 1, 0, "Leaf Borer", "NEW2.wav", "HScroll1", kRandomGroup},
}};

constexpr std::array<std::string_view, kBackgroundCount + 1> kPictures{
    "",
    "firepic.gif",        // 1 Fire Crackling
    "sunsetwood.jpg",     // 2 Jungle
    "countrylane.jpg",    // 3 Cicada
    "sunset.jpg",         // 4 Surf
    "englishsheep.jpg",   // 5 Hot Day
    "colouredleaves.jpg", // 6 River Birds
    "puddle.jpg",         // 7 Light Rain
    "lightning.jpg",      // 8 Thunder
    "sunsetboat.jpg",     // 9 Night
    "thunder.gif",        // 10 SeaWind
    "oregonlake.jpg",     // 11 Gentle Sea
    "colouredleaves.jpg", // 12 Meadow
    "raindrops.jpg",      // 13 Rain On Roof
    "riverpool.jpg",      // 14 Water Flow
    "thunder.gif",        // 15 Night Insects
};

constexpr std::array<int, kBackgroundCount> kResumeOrder{15, 9, 12, 11, 10, 14, 6, 7,
                                                         8,  1, 2,  3,  4,  13, 5};

struct Index {
    std::array<int, kBackgroundCount + 1> background{};
    std::array<std::array<int, kSlots>, kBanks + 1> random{};
    std::array<int, 4> spare{};
    int alarm = -1;
    std::vector<int> groups[3];

    Index() {
        background.fill(-1);
        for (auto& bank : random) {
            bank.fill(-1);
        }
        spare.fill(-1);
        for (int i = 0; i < kBufferCount; ++i) {
            const CatalogueEntry& e = kEntries[static_cast<std::size_t>(i)];
            switch (e.kind) {
            case K::Background:
                background[static_cast<std::size_t>(e.number)] = i;
                break;
            case K::Random:
                random[static_cast<std::size_t>(e.bank)][static_cast<std::size_t>(e.number)] = i;
                break;
            case K::Spare:
                spare[static_cast<std::size_t>(e.number)] = i;
                break;
            case K::Alarm:
                alarm = i;
                break;
            }
            for (unsigned g = 0; g < 3; ++g) {
                if (e.groups & (1u << g)) {
                    groups[g].push_back(i);
                }
            }
        }
    }
};

const Index& index() {
    static const Index idx;
    return idx;
}

} // namespace

std::span<const CatalogueEntry, kBufferCount> entries() {
    return kEntries;
}

int backgroundIndex(int channel) {
    assert(channel >= 1 && channel <= kBackgroundCount);
    return index().background[static_cast<std::size_t>(channel)];
}

int randomIndex(int bank, int slot) {
    assert(bank >= 1 && bank <= kBanks && slot >= 0 && slot < kSlots);
    return index().random[static_cast<std::size_t>(bank)][static_cast<std::size_t>(slot)];
}

int alarmIndex() {
    return index().alarm;
}

int spareIndex(int spare) {
    assert(spare >= 1 && spare <= 3);
    return index().spare[static_cast<std::size_t>(spare)];
}

std::span<const int> groupMembers(VolumeGroup group) {
    const auto& groups = index().groups;
    switch (group) {
    case kBackgroundGroup:
        return groups[0];
    case kRandomGroup:
        return groups[1];
    case kAllSoundsGroup:
        return groups[2];
    }
    return {};
}

std::string_view backgroundPicture(int channel) {
    assert(channel >= 1 && channel <= kBackgroundCount);
    return kPictures[static_cast<std::size_t>(channel)];
}

std::span<const int, kBackgroundCount> resumeOrder() {
    return kResumeOrder;
}

} // namespace sylvaro::console::catalogue
