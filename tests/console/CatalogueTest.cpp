#include "console/Catalogue.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

using namespace sylvaro::console;
namespace cat = sylvaro::console::catalogue;

namespace {
const CatalogueEntry& at(int index) {
    return cat::entries()[static_cast<std::size_t>(index)];
}
} // namespace

TEST(Catalogue, HoldsFiftyNineBuffersFromFiftySevenFilesWithUniqueControls) {
    std::set<std::string_view> files;
    std::set<std::string_view> controls;
    int withControl = 0;
    for (const CatalogueEntry& e : cat::entries()) {
        files.insert(e.file);
        if (!e.control.empty()) {
            controls.insert(e.control);
            ++withControl;
        }
    }
    EXPECT_EQ(files.size(), 57u);
    EXPECT_EQ(withControl, 55);
    EXPECT_EQ(controls.size(), 55u) << "two channels share a control";
    EXPECT_EQ(at(cat::alarmIndex()).file, "ringin1.wav");
    EXPECT_EQ(at(cat::spareIndex(1)).file, "fire.wav");
    EXPECT_NE(cat::spareIndex(1), cat::backgroundIndex(1));
}

TEST(Catalogue, EveryChannelIsFoundByItsNumberAndCarriesItsControl) {
    for (int channel = 1; channel <= kBackgroundCount; ++channel) {
        const CatalogueEntry& e = at(cat::backgroundIndex(channel));
        EXPECT_EQ(e.kind, EntryKind::Background);
        EXPECT_EQ(e.number, channel);
        EXPECT_EQ(e.control, "Check" + std::to_string(channel));
    }
    // Bank 1's sliders do not follow the slot order at the top.
    const auto bank1Slider = [](int slot) {
        return slot == 0 ? 1 : slot == 1 ? 4 : slot == 2 ? 2 : slot + 2;
    };
    for (int slot = 0; slot < kSlots; ++slot) {
        const CatalogueEntry& one = at(cat::randomIndex(1, slot));
        const CatalogueEntry& two = at(cat::randomIndex(2, slot));
        EXPECT_EQ(one.kind, EntryKind::Random);
        EXPECT_EQ(one.bank, 1);
        EXPECT_EQ(one.number, slot);
        EXPECT_EQ(one.control, "HScroll" + std::to_string(bank1Slider(slot)));
        EXPECT_EQ(two.bank, 2);
        EXPECT_EQ(two.control, "HScroll" + std::to_string(23 + slot));
    }
}

TEST(Catalogue, TheSharedBirdIsTwoBuffersAndTheLastTwoFilesAreCreatedLast) {
    const int egret = cat::randomIndex(1, 14);
    const int shank = cat::randomIndex(1, 3);
    EXPECT_EQ(at(egret).file, "bird1.wav");
    EXPECT_EQ(at(shank).file, "bird1.wav");
    EXPECT_LT(egret, shank) << "the first bird1.wav belongs to slot 14";
    EXPECT_EQ(at(kBufferCount - 2).file, "NEW.wav");
    EXPECT_EQ(at(kBufferCount - 1).file, "NEW2.wav");
    EXPECT_EQ(at(0).file, "fire.wav");
}

TEST(Catalogue, VolumeGroupsHaveTheirMembersAndExceptions) {
    const auto background = cat::groupMembers(kBackgroundGroup);
    const auto random = cat::groupMembers(kRandomGroup);
    const auto all = cat::groupMembers(kAllSoundsGroup);
    EXPECT_EQ(background.size(), 15u);
    EXPECT_EQ(random.size(), 42u); // 40 channels and spares 1 and 3
    EXPECT_EQ(all.size(), 56u);    // backgrounds 1..14, three spares, 39 random
    const auto contains = [](std::span<const int> group, int index) {
        return std::find(group.begin(), group.end(), index) != group.end();
    };
    EXPECT_FALSE(contains(all, cat::backgroundIndex(15)));
    EXPECT_FALSE(contains(all, cat::randomIndex(1, 0)));
    EXPECT_TRUE(contains(random, cat::randomIndex(1, 0)));
    EXPECT_FALSE(contains(random, cat::spareIndex(2)));
    EXPECT_TRUE(contains(all, cat::spareIndex(2)));
    for (int g : {kBackgroundGroup, kRandomGroup, kAllSoundsGroup}) {
        EXPECT_FALSE(contains(cat::groupMembers(static_cast<VolumeGroup>(g)), cat::alarmIndex()));
    }
}

TEST(Catalogue, ResumeOrderVisitsEveryBackgroundOnceAndEachHasAPicture) {
    std::set<int> seen;
    for (int channel : cat::resumeOrder()) {
        seen.insert(channel);
        const std::string_view picture = cat::backgroundPicture(channel);
        EXPECT_TRUE(picture.ends_with(".jpg") || picture.ends_with(".gif")) << picture;
    }
    EXPECT_EQ(seen.size(), 15u);
    EXPECT_EQ(*seen.begin(), 1);
    EXPECT_EQ(*seen.rbegin(), 15);
    EXPECT_EQ(cat::resumeOrder().front(), 15);
    EXPECT_EQ(cat::resumeOrder().back(), 5);
}
