#include "engine/SdlAudioOutput.h"

#include "MixerTape.h"
#include "engine/Mixer.h"
#include "engine/OutputRecovery.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace sylvaro::engine {
namespace {

namespace fs = std::filesystem;

// The real SDL device on its disk driver: writing to /dev/full fails, which
// SDL treats as the device vanishing; a writable file lets it come back.
// The audio thread runs in real time, so each wait polls for a condition with
// a generous bound and nothing asserts on how long it took.
class SdlAudioOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        // The disk driver writes one buffer per period; no need to wait that long.
        setenv("SDL_DISKAUDIODELAY", "1", 1);
        m_file = fs::temp_directory_path() / ("sylvaro-disk-" + std::to_string(getpid()) + ".raw");
        fs::remove(m_file);
        const PcmPtr pcm =
            sylvaro::engine::test::makePcm(48000, 1, std::vector<float>(4800, 0.25f));
        const VoiceId voice = mixer.createVoice(pcm);
        mixer.setVolume(voice, 0);
        mixer.play(voice, true);
    }
    void TearDown() override {
        output.reset();
        std::error_code ec;
        fs::remove(m_file, ec);
    }

    void writeTo(const std::string& path) { setenv("SDL_DISKAUDIOFILE", path.c_str(), 1); }

    template <typename Condition> static bool eventually(Condition condition) {
        for (int i = 0; i < 2000; ++i) {
            if (condition()) {
                return true;
            }
            SDL_Delay(5);
        }
        return condition();
    }

    std::uintmax_t written() const {
        std::error_code ec;
        const auto size = fs::file_size(m_file, ec);
        return ec ? 0 : size;
    }

    Mixer mixer{48000, 8};
    std::unique_ptr<SdlAudioOutput> output = std::make_unique<SdlAudioOutput>();
    fs::path m_file;
};

TEST_F(SdlAudioOutputTest, AWorkingDeviceIsNotLostAndNamesItself) {
    writeTo(m_file.string());
    const auto devices = output->enumerate();
    ASSERT_FALSE(devices.empty());
    EXPECT_EQ(devices.front(), SdlAudioOutput::kDefaultDevice);
    std::string error;
    ASSERT_TRUE(output->open(0, mixer, error)) << error;
    EXPECT_EQ(output->openDescription(), SdlAudioOutput::kDefaultDevice);
    ASSERT_TRUE(eventually([&] { return written() > 0; }));
    EXPECT_FALSE(output->isLost());
    output->close();
    EXPECT_FALSE(output->isLost());
    EXPECT_EQ(output->openDescription(), "");
}

TEST_F(SdlAudioOutputTest, AFailingWriteLosesTheDeviceAndRecoveryBringsItBack) {
    writeTo("/dev/full");
    output->enumerate();
    std::string error;
    ASSERT_TRUE(output->open(0, mixer, error)) << error;
    OutputRecovery recovery(*output, mixer);
    std::int64_t now = 0;
    ASSERT_EQ(recovery.poll(now), OutputRecovery::Event::None);

    ASSERT_TRUE(eventually([&] { return output->isLost(); }));
    now += 1000;
    ASSERT_EQ(recovery.poll(now), OutputRecovery::Event::Lost);
    EXPECT_FALSE(output->isOpen());

    writeTo(m_file.string());
    OutputRecovery::Event event = OutputRecovery::Event::None;
    for (int i = 0; i < 30 && event == OutputRecovery::Event::None; ++i) {
        now += 1000;
        event = recovery.poll(now);
    }
    ASSERT_EQ(event, OutputRecovery::Event::Restored);
    ASSERT_TRUE(output->isOpen());
    // The voice kept playing through the loss: the reopened device hears it.
    ASSERT_TRUE(eventually([&] { return written() >= 48000 * 2 * sizeof(float) / 10; }));
    EXPECT_FALSE(output->isLost());
    EXPECT_EQ(recovery.state(), OutputRecovery::State::Playing);
}

} // namespace
} // namespace sylvaro::engine
