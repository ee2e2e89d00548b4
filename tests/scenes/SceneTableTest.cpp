#include "scenes/SceneTable.h"

#include <gtest/gtest.h>
#include <set>

using namespace sylvaro::scenes;

TEST(SceneTable, HoldsTwelveScenesInTheGridAndOnlyWoodlandKeepsCustomSounds) {
    EXPECT_EQ(all().size(), 12u);
    std::set<std::string_view> captions;
    for (std::string_view name : kGridOrder) {
        const Scene* s = find(name);
        ASSERT_NE(s, nullptr) << name;
        captions.insert(name);
        EXPECT_EQ(s->resetsCustom, name != "Woodland");
        EXPECT_FALSE(s->boxes.empty());
        EXPECT_TRUE(s->picture.ends_with(".jpg") || s->picture.ends_with(".gif"));
        for (const SceneChannel& c : s->channels) {
            EXPECT_TRUE(c.bank == 1 || c.bank == 2);
            EXPECT_GE(c.slot, 0);
            EXPECT_LT(c.slot, 20);
            EXPECT_GE(c.value, 20);
            EXPECT_LT(c.value, 1999);
        }
        EXPECT_GE(s->randomVolume, -3000);
        EXPECT_LE(s->backgroundVolume, 0);
    }
    EXPECT_EQ(captions.size(), 12u);
    EXPECT_EQ(find("Nowhere"), nullptr);
}

TEST(SceneTable, LooksUpSlidersBoxesAndColours) {
    const Scene& storm = *find("Storm");
    EXPECT_EQ(storm.frequency(1, 4), 1000);
    EXPECT_EQ(storm.frequency(2, 18), 1920);
    EXPECT_EQ(storm.frequency(2, 17), 2000);
    EXPECT_TRUE(storm.boxOn(15));
    EXPECT_FALSE(storm.boxOn(1));
    EXPECT_EQ(sylvaro::console::toStored(0x8080FF), 0xFF8080);
    EXPECT_EQ(sylvaro::console::toStored(0x123456), 0x563412);
    EXPECT_EQ(find("Tropical")->icon(), "tropical.png");
}
