#include "custom/SoundDecoder.h"

#include "engine/TestWav.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <numbers>

namespace sylvaro::custom {
namespace {

using engine::test::TempDir;

constexpr int kMixerRate = 48000;
// Only for a result that never comes: no test waits this long when it passes.
constexpr int kPatienceMs = 60000;

struct Answer {
    quint64 ticket = 0;
    engine::PcmPtr pcm;
    QString error;
};

std::vector<Answer> answers(const QSignalSpy& spy) {
    std::vector<Answer> out;
    for (const QList<QVariant>& args : spy) {
        out.push_back(
            {args.at(0).toULongLong(), args.at(1).value<engine::PcmPtr>(), args.at(2).toString()});
    }
    return out;
}

// Waits until `ticket` is answered and returns its answer; fails the test if
// it never is.
Answer waitFor(QSignalSpy& spy, quint64 ticket) {
    for (;;) {
        for (const Answer& a : answers(spy)) {
            if (a.ticket == ticket) {
                return a;
            }
        }
        if (!spy.wait(kPatienceMs)) {
            ADD_FAILURE() << "ticket " << ticket << " was never answered";
            return {};
        }
    }
}

int countFor(const QSignalSpy& spy, quint64 ticket) {
    const auto all = answers(spy);
    return static_cast<int>(
        std::count_if(all.begin(), all.end(), [&](const Answer& a) { return a.ticket == ticket; }));
}

// A sine of `hz` at `rate`, mono 16-bit, `frames` long.
std::string writeTone(const TempDir& dir, const std::string& name, int rate, double hz, int frames,
                      double amplitude = 0.5) {
    std::vector<double> samples;
    for (int i = 0; i < frames; ++i) {
        samples.push_back(amplitude * std::sin(2 * std::numbers::pi * hz * i / rate));
    }
    const std::string path = dir.file(name);
    EXPECT_TRUE(engine::test::writeSound(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, rate, 1, samples));
    return path;
}

QString q(const std::string& path) {
    return QString::fromStdString(path);
}

float sampleAt(const engine::PcmData& pcm, std::size_t i) {
    return pcm.s16.empty() ? pcm.f32.at(i) : pcm.s16.at(i) / 32768.0f;
}

TEST(SoundDecoder, DeliversTheSamplesAtTheMixerRateAndKeepsThem) {
    TempDir dir;
    const std::string path = writeTone(dir, "rain.wav", 44100, 1000, 22050);
    SoundDecoder decoder(kMixerRate);
    QSignalSpy spy(&decoder, &SoundDecoder::decoded);
    EXPECT_EQ(decoder.cached(q(path)), nullptr);

    const quint64 ticket = decoder.request(q(path));
    EXPECT_GT(ticket, 0u);
    EXPECT_TRUE(decoder.busy());
    const Answer a = waitFor(spy, ticket);
    ASSERT_TRUE(a.pcm) << a.error.toStdString();
    EXPECT_TRUE(a.error.isEmpty());
    EXPECT_FALSE(decoder.busy());
    EXPECT_EQ(a.pcm->sampleRate, kMixerRate);
    EXPECT_EQ(a.pcm->channels, 1);
    ASSERT_EQ(a.pcm->frames, kMixerRate / 2);
    for (std::size_t i = 100; i < 23900; i += 97) {
        EXPECT_NEAR(sampleAt(*a.pcm, i), 0.5 * std::sin(2 * std::numbers::pi * 1000 * i / 48000),
                    2e-3)
            << "frame " << i;
    }
    EXPECT_EQ(decoder.cached(q(path)), a.pcm) << "an unchanged file comes from the cache";

    // Asked again, the same sound comes back, still through the signal.
    const quint64 again = decoder.request(q(path));
    EXPECT_EQ(countFor(spy, again), 0) << "never answered inside request()";
    EXPECT_EQ(waitFor(spy, again).pcm, a.pcm);
    EXPECT_EQ(spy.count(), 2);
}

TEST(SoundDecoder, ABadFileGivesTheLoadersReasonAndIsNotKept) {
    TempDir dir;
    const std::string path = dir.file("notes.wav");
    engine::test::writeBytes(path, "shopping: milk, bread\n");
    SoundDecoder decoder(kMixerRate);
    QSignalSpy spy(&decoder, &SoundDecoder::decoded);
    const Answer a = waitFor(spy, decoder.request(q(path)));
    EXPECT_EQ(a.pcm, nullptr);
    EXPECT_TRUE(a.error.startsWith(QStringLiteral("it is not a sound file (")))
        << a.error.toStdString();
    EXPECT_EQ(decoder.cached(q(path)), nullptr);

    const Answer missing = waitFor(spy, decoder.request(q(dir.file("gone.wav"))));
    EXPECT_EQ(missing.error, QStringLiteral("the file does not exist"));
}

// Requests are answered in order, so once a later ticket is answered, an
// earlier one that was going to be answered would have been.
TEST(SoundDecoder, ACancelledTicketIsNeverAnswered) {
    TempDir dir;
    const std::string first = writeTone(dir, "first.wav", 44100, 500, 44100 * 3);
    const std::string second = writeTone(dir, "second.wav", 22050, 500, 2000);
    SoundDecoder decoder(kMixerRate);
    QSignalSpy spy(&decoder, &SoundDecoder::decoded);

    const quint64 dropped = decoder.request(q(first));
    const quint64 kept = decoder.request(q(second));
    decoder.cancel(dropped);
    decoder.cancel(dropped); // twice is harmless
    decoder.cancel(9999);    // unknown tickets too
    EXPECT_TRUE(decoder.busy());
    ASSERT_TRUE(waitFor(spy, kept).pcm);
    EXPECT_EQ(countFor(spy, dropped), 0);
    EXPECT_FALSE(decoder.busy());

    // The same for an answer that would have come from the cache.
    const quint64 fromCache = decoder.request(q(second));
    decoder.cancel(fromCache);
    ASSERT_TRUE(waitFor(spy, decoder.request(q(first))).pcm);
    QCoreApplication::processEvents();
    EXPECT_EQ(countFor(spy, fromCache), 0);
    EXPECT_EQ(countFor(spy, dropped), 0);
}

TEST(SoundDecoder, TwoRequestsForOneFileAreBothAnsweredOnce) {
    TempDir dir;
    const std::string path = writeTone(dir, "owl.wav", 32000, 300, 32000);
    SoundDecoder decoder(kMixerRate);
    QSignalSpy spy(&decoder, &SoundDecoder::decoded);
    const quint64 a = decoder.request(q(path));
    const quint64 b = decoder.request(q(path));
    const quint64 c = decoder.request(q(path));
    decoder.cancel(b);
    EXPECT_NE(a, c);
    const Answer first = waitFor(spy, a);
    const Answer last = waitFor(spy, c);
    ASSERT_TRUE(first.pcm && last.pcm);
    EXPECT_EQ(first.pcm->f32, last.pcm->f32);
    QCoreApplication::processEvents();
    EXPECT_EQ(countFor(spy, a), 1);
    EXPECT_EQ(countFor(spy, b), 0);
    EXPECT_EQ(countFor(spy, c), 1);
}

// A receiver that cancels another ticket for the same file while answers go
// out does not get that answer after all.
TEST(SoundDecoder, ACancelFromInsideAnAnswerHolds) {
    TempDir dir;
    const std::string path = writeTone(dir, "wind.wav", 32000, 300, 32000);
    const std::string later = writeTone(dir, "later.wav", 32000, 300, 3200);
    // Keeps the worker busy, so the two requests usually share one decode.
    const std::string busy = writeTone(dir, "busy.wav", 44100, 300, 44100 * 10);
    SoundDecoder decoder(kMixerRate);
    QSignalSpy spy(&decoder, &SoundDecoder::decoded);
    decoder.request(q(busy));
    const quint64 a = decoder.request(q(path));
    const quint64 b = decoder.request(q(path));
    QObject receiver;
    QObject::connect(&decoder, &SoundDecoder::decoded, &receiver, [&](quint64 ticket) {
        if (ticket == a) {
            decoder.cancel(b);
        }
    });
    const quint64 last = decoder.request(q(later));
    ASSERT_TRUE(waitFor(spy, last).pcm);
    EXPECT_EQ(countFor(spy, a), 1);
    EXPECT_EQ(countFor(spy, b), 0);
}

TEST(SoundDecoder, AChangedFileIsDecodedAgain) {
    TempDir dir;
    SoundDecoder decoder(kMixerRate);
    QSignalSpy spy(&decoder, &SoundDecoder::decoded);
    const std::string path = writeTone(dir, "sea.wav", 48000, 100, 4800, 0.5);
    const Answer loud = waitFor(spy, decoder.request(q(path)));
    ASSERT_TRUE(loud.pcm);
    ASSERT_EQ(decoder.cached(q(path)), loud.pcm);

    // Same size, other samples, a modification time clearly elsewhere.
    const auto modified = std::filesystem::last_write_time(path);
    writeTone(dir, "sea.wav", 48000, 100, 4800, 0.25);
    std::filesystem::last_write_time(path, modified + std::chrono::seconds(10));
    EXPECT_EQ(decoder.cached(q(path)), nullptr);
    const Answer quiet = waitFor(spy, decoder.request(q(path)));
    ASSERT_TRUE(quiet.pcm);
    EXPECT_NE(quiet.pcm, loud.pcm);
    EXPECT_NEAR(sampleAt(*quiet.pcm, 120), 0.5 * sampleAt(*loud.pcm, 120), 1e-3);
    EXPECT_EQ(decoder.cached(q(path)), quiet.pcm);

    // Another size.
    writeTone(dir, "sea.wav", 48000, 100, 9600, 0.25);
    EXPECT_EQ(decoder.cached(q(path)), nullptr);
    const Answer longer = waitFor(spy, decoder.request(q(path)));
    ASSERT_TRUE(longer.pcm);
    EXPECT_EQ(longer.pcm->frames, 9600);

    // Gone: nothing cached any more.
    std::filesystem::remove(path);
    EXPECT_EQ(decoder.cached(q(path)), nullptr);
}

// 1 s of 48 kHz 16-bit mono is kept as 16-bit: 96000 bytes.
TEST(SoundDecoder, TheLeastRecentlyUsedSoundGoesFirst) {
    TempDir dir;
    SoundDecoder decoder(kMixerRate);
    decoder.setCacheLimit(2 * 96000);
    QSignalSpy spy(&decoder, &SoundDecoder::decoded);
    const std::string a = writeTone(dir, "a.wav", 48000, 200, 48000);
    const std::string b = writeTone(dir, "b.wav", 48000, 300, 48000);
    const std::string c = writeTone(dir, "c.wav", 48000, 400, 48000);
    ASSERT_TRUE(waitFor(spy, decoder.request(q(a))).pcm);
    ASSERT_TRUE(waitFor(spy, decoder.request(q(b))).pcm);
    EXPECT_EQ(decoder.cachedBytes(), 2 * 96000);
    ASSERT_TRUE(decoder.cached(q(a))); // a is now the more recent
    ASSERT_TRUE(waitFor(spy, decoder.request(q(c))).pcm);
    EXPECT_TRUE(decoder.cached(q(a)));
    EXPECT_FALSE(decoder.cached(q(b)));
    EXPECT_TRUE(decoder.cached(q(c)));
    EXPECT_EQ(decoder.cachedBytes(), 2 * 96000);

    decoder.setCacheLimit(96000);
    EXPECT_EQ(decoder.cachedBytes(), 96000);
    EXPECT_TRUE(decoder.cached(q(c))) << "the most recent stays";
    EXPECT_FALSE(decoder.cached(q(a)));
}

TEST(SoundDecoder, EndsWithWorkPending) {
    TempDir dir;
    const std::string path = writeTone(dir, "long.wav", 44100, 440, 44100 * 20);
    auto decoder = std::make_unique<SoundDecoder>(kMixerRate);
    QSignalSpy spy(decoder.get(), &SoundDecoder::decoded);
    for (int i = 0; i < 4; ++i) {
        decoder->request(q(dir.file("other" + std::to_string(i) + ".wav")));
        decoder->request(q(path));
    }
    decoder.reset();
    QCoreApplication::processEvents(); // nothing left to deliver to the gone decoder
    EXPECT_EQ(spy.count(), 0);
}

} // namespace
} // namespace sylvaro::custom
