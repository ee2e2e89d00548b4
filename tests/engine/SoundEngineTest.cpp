#include "engine/SoundEngine.h"

#include "TestWav.h"
#include "support/FakeAudioOutput.h"

#include <gtest/gtest.h>

using namespace sylvaro::engine;
using sylvaro::engine::test::TempDir;
using sylvaro::engine::test::writeSound;

namespace {

class Engine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(writeSound(dir.file("a.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1,
                               std::vector<double>(4800, 0.25)));
        ASSERT_TRUE(writeSound(dir.file("b.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 2,
                               std::vector<double>(9600, 0.5)));
        std::string error;
        engine.enumerateDevices();
        ASSERT_TRUE(engine.openDevice(0, error)) << error;
    }
    Buffer make(const char* name) {
        std::string error;
        Buffer b = engine.createBuffer(dir.file(name), error);
        EXPECT_TRUE(b.valid()) << error;
        return b;
    }

    TempDir dir;
    sylvaro::test::FakeAudioOutput audio;
    SoundEngine engine{audio};
};

} // namespace

TEST_F(Engine, BuffersBeyondAnyCatalogueComeAndGoAndAStaleHandleDoesNothing) {
    std::vector<Buffer> buffers;
    for (int i = 0; i < 100; ++i) {
        buffers.push_back(make(i % 2 ? "a.wav" : "b.wav"));
    }
    EXPECT_EQ(engine.bufferCount(), 100);
    Buffer kept = buffers[7];
    engine.release(buffers[7]);
    EXPECT_FALSE(buffers[7].valid()) << "release clears the handle";
    EXPECT_FALSE(engine.exists(kept));
    EXPECT_FALSE(engine.play(kept, true));
    EXPECT_FALSE(engine.setVolume(kept, -100));
    // The slot is reused, but the old handle does not reach the new buffer.
    Buffer next = make("a.wav");
    EXPECT_FALSE(engine.setVolume(kept, -700));
    EXPECT_EQ(engine.volume(next), 0);

    std::string error;
    EXPECT_FALSE(engine.createBuffer(dir.file("missing.wav"), error).valid());
    EXPECT_NE(error.find("missing.wav"), std::string::npos) << error;
}

TEST_F(Engine, AGroupSetsItsMembersAndABufferKeepsWhicheverVolumeCameLast) {
    const Group background = engine.createGroup();
    const Group all = engine.createGroup();
    Buffer a = make("a.wav");
    Buffer b = make("b.wav");
    Buffer loose = make("a.wav");
    engine.join(background, a);
    engine.join(all, a);
    engine.join(all, b);
    engine.join(all, b); // joining twice is joining once
    EXPECT_EQ(engine.members(all).size(), 2u);

    EXPECT_EQ(engine.setGroupVolume(background, -1000), 1);
    EXPECT_EQ(engine.setGroupVolume(all, -2000), 2);
    EXPECT_EQ(engine.volume(a), -2000) << "the group applied last decides";
    EXPECT_EQ(engine.setGroupVolume(background, -500), 1);
    EXPECT_EQ(engine.volume(a), -500);
    EXPECT_EQ(engine.volume(b), -2000);
    EXPECT_EQ(engine.volume(loose), 0) << "a buffer in no group is left alone";

    engine.release(b);
    EXPECT_EQ(engine.members(all).size(), 1u) << "a released buffer leaves its groups";
    engine.leave(all, a);
    EXPECT_EQ(engine.setGroupVolume(all, -3000), 0);
    EXPECT_EQ(engine.volume(a), -500);
}

TEST_F(Engine, PlayOnceSoundsAFileWholeOutsideEveryGroupAndRepeatsWithoutRereading) {
    EXPECT_FALSE(engine.playOnce(dir.file("missing.wav")));
    ASSERT_TRUE(engine.playOnce(dir.file("a.wav")));
    EXPECT_EQ(engine.bufferCount(), 1);
    std::vector<float> out = audio.render(2400);
    EXPECT_GT(out[2 * 2000], 0.2f);
    audio.render(4800); // past its end: it stops by itself
    // The file is gone from disk, but a repeated click still plays it.
    std::filesystem::remove(dir.file("a.wav"));
    ASSERT_TRUE(engine.playOnce(dir.file("a.wav")));
    EXPECT_EQ(engine.bufferCount(), 1);
    out = audio.render(2400);
    EXPECT_GT(out[2 * 2000], 0.2f);

    // Many different files: only a few stay decoded.
    for (int i = 0; i < 20; ++i) {
        const std::string name = dir.file("c" + std::to_string(i) + ".wav");
        ASSERT_TRUE(writeSound(name, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1,
                               std::vector<double>(480, 0.1)));
        ASSERT_TRUE(engine.playOnce(name));
        audio.render(960);
    }
    EXPECT_LE(engine.bufferCount(), 8);
}
