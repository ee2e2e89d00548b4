// The take's session without its window: states, controls, clocks, limits,
// playback and saving, in virtual time with scripted dialogs.

#include "recorder/RecorderSession.h"

#include "RecorderFixture.h"
#include "recorder/Mp3Job.h"

#include <QDir>

namespace sylvaro::test {
namespace {

using recorder::CaptionColour;
using recorder::RecorderSession;
using recorder::TakeState;

const recorder::WaveFormat kBest{44100, 16, 2};

// Records what the session asked of its window.
class ViewLog final : public recorder::TakeView {
public:
    QStringList calls;
    QString savedPath;
    QString savedFolder;
    void showTake() override {}
    void muteConsole() override { calls << QStringLiteral("mute"); }
    void unmuteConsole() override { calls << QStringLiteral("unmute"); }
    void takeSaved(const QString& path, const QString& folder) override {
        savedPath = path;
        savedFolder = folder;
    }
};

class RecorderSessionTest : public ::testing::Test, protected RecorderGround {
protected:
    ViewLog view;
    std::unique_ptr<recorder::Mp3Job> mp3;
    std::unique_ptr<RecorderSession> session;

    void SetUp() override {
        const QString input = dir.filePath(QStringLiteral("input.raw"));
        ASSERT_TRUE(writeBytes(input, makeSamples(kBest, 44100)));
        useDiskInput(input);
        mp3 = std::make_unique<recorder::Mp3Job>(dir.path(), dialogs, desktop);
        session = std::make_unique<RecorderSession>(RecorderSession::Parts{
            host, dialogs, clock, *mp3, view, dir.filePath(QStringLiteral("cache")), dir.path()});
        session->open();
    }
    void TearDown() override { session.reset(); }

    void recordAtLeast(qint64 bytes, const recorder::WaveFormat& format = kBest) {
        session->record(format);
        ASSERT_TRUE(session->device().waitForLength(bytes, 20000));
    }
    // The controls in one word: Record, Stop, Play, saVe, reset (X), each in
    // lower case when disabled; then which of Record and Stop is shown, and
    // whether MP3 or Wav may be chosen.
    std::string controls() const {
        const recorder::TakeControls& c = session->controls();
        std::string s;
        s += c.record ? 'R' : 'r';
        s += c.stop ? 'S' : 's';
        s += c.play ? 'P' : 'p';
        s += c.save ? 'V' : 'v';
        s += c.reset ? 'X' : 'x';
        s += c.recordShown ? "/record" : "/stop";
        s += c.formatChoice ? "/format" : "";
        return s;
    }
};

TEST_F(RecorderSessionTest, ATakeWalksFromReadyThroughRecordingAndStoppedBackToReady) {
    // The first take: Save and Reset wait for a recording.
    EXPECT_EQ(session->state(), TakeState::Ready);
    EXPECT_EQ(controls(), "RSPvx/record/format");
    EXPECT_EQ(session->caption(), QStringLiteral("READY"));

    recordAtLeast(100000);
    EXPECT_EQ(session->state(), TakeState::Recording);
    EXPECT_EQ(session->caption(), QStringLiteral("RECORDING"));
    EXPECT_EQ(session->captionColour(), CaptionColour::Red);
    EXPECT_EQ(controls(), "RSpvx/stop");
    EXPECT_TRUE(session->device().isRecording());
    host.advance(RecorderSession::kSizeIntervalMs);
    EXPECT_GE(session->sizeText().trimmed().toDouble(), 0.1);
    host.advance(2900);
    EXPECT_EQ(session->elapsedText(), QStringLiteral("00:00:03"));
    EXPECT_EQ(session->secondsCounter(), 3);

    session->stop();
    EXPECT_EQ(session->state(), TakeState::Stopped);
    EXPECT_EQ(session->caption(), QStringLiteral("RESET/TEST"));
    EXPECT_EQ(session->captionColour(), CaptionColour::Yellow);
    EXPECT_EQ(controls(), "rsPVX/stop");
    EXPECT_EQ(session->sizeText(), QStringLiteral("0"));
    EXPECT_EQ(session->secondsCounter(), 0);
    EXPECT_FALSE(session->device().isRecording());
    EXPECT_TRUE(session->hasUnsavedTake());
    // The size clock goes on and shows the finished take's size.
    host.advance(RecorderSession::kSizeIntervalMs);
    EXPECT_EQ(session->sizeText(), RecorderSession::sizeCaption(session->device().lengthBytes()));

    session->reset();
    EXPECT_EQ(session->state(), TakeState::Ready);
    EXPECT_EQ(session->caption(), QStringLiteral("READY"));
    EXPECT_EQ(session->captionColour(), CaptionColour::Normal);
    EXPECT_EQ(controls(), "Rspvx/record/format");
    EXPECT_EQ(session->device().lengthBytes(), 0);
    EXPECT_FALSE(session->hasUnsavedTake());
    EXPECT_EQ(session->elapsedText(), QStringLiteral("00:00:00"));
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(RecorderSessionTest, SizeCaptionIsMegabytesInShortestFormThenALineBreak) {
    EXPECT_EQ(RecorderSession::sizeCaption(1500000), QStringLiteral("1.5\r\n"));
    EXPECT_EQ(RecorderSession::sizeCaption(0), QStringLiteral("0\r\n"));
    EXPECT_EQ(RecorderSession::sizeCaption(1234567), QStringLiteral("1.234567\r\n"));
    EXPECT_EQ(RecorderSession::sizeCaption(1000000000), QStringLiteral("1000\r\n"));
}

TEST_F(RecorderSessionTest, StopsAtTheTargetSizeGreenWhileItSaysSo) {
    session->setLimits({true, 1, false, 70});
    CaptionColour whileTold = CaptionColour::Normal;
    bool recordingWhileTold = true;
    dialogs.setWhileOpen([&](const core::MessageRequest&) {
        whileTold = session->captionColour();
        recordingWhileTold = session->device().isRecording();
    });
    recordAtLeast(1000000);
    host.advance(1000);
    ASSERT_EQ(dialogs.count(RecorderSession::kSizeReachedText), 1);
    EXPECT_EQ(whileTold, CaptionColour::Green);
    EXPECT_FALSE(recordingWhileTold);
    EXPECT_EQ(session->state(), TakeState::Stopped);
    EXPECT_EQ(session->caption(), QStringLiteral("RESET/TEST"));
    EXPECT_EQ(session->captionColour(), CaptionColour::Yellow);
    EXPECT_EQ(controls(), "rsPVX/stop");
    EXPECT_FALSE(session->limitTimer().isEnabled());
    EXPECT_FALSE(session->secondTimer().isEnabled());
}

TEST_F(RecorderSessionTest, LengthLimitWaitsForSixtySecondsAndALimitOffNeverStops) {
    session->setLimits({false, 1, true, 1});
    session->record(kBest);
    host.advance(59000);
    EXPECT_EQ(dialogs.count(RecorderSession::kLengthReachedText), 0);
    EXPECT_TRUE(session->device().isRecording());
    host.advance(1000);
    EXPECT_EQ(dialogs.count(RecorderSession::kLengthReachedText), 1);
    EXPECT_EQ(session->secondsCounter(), 0);
    EXPECT_FALSE(session->device().isRecording());

    // Both limits off: a take far past both goes on.
    session->reset();
    session->setLimits({false, 1, false, 1});
    recordAtLeast(1000000);
    host.advance(120000);
    EXPECT_TRUE(session->device().isRecording());
    EXPECT_EQ(dialogs.messages().size(), 1u);
    session->stop();
}

TEST_F(RecorderSessionTest, BothLimitsInOneTickGiveBothMessages) {
    session->setLimits({false, 1, true, 1});
    recordAtLeast(1000000);
    host.advance(59500);
    // Only now does the size limit count, so both come due at 60 s.
    session->setLimits({true, 1, true, 1});
    host.advance(500);
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(dialogs.messages()[0].text, RecorderSession::kSizeReachedText);
    EXPECT_EQ(dialogs.messages()[1].text, RecorderSession::kLengthReachedText);
    EXPECT_EQ(session->caption(), QStringLiteral("RESET/TEST"));
}

TEST_F(RecorderSessionTest, PlaybackMutesTheConsoleOnlyWhileItsMessageIsOpen) {
    recordAtLeast(10000);
    session->stop();
    QStringList callsWhileTold;
    bool playingWhileTold = false;
    dialogs.setWhileOpen([&](const core::MessageRequest&) {
        callsWhileTold = view.calls;
        playingWhileTold = session->device().isPlaying();
    });
    session->play();
    EXPECT_EQ(dialogs.count(RecorderSession::kPlaybackText), 1);
    EXPECT_EQ(callsWhileTold, QStringList{QStringLiteral("mute")});
    EXPECT_TRUE(playingWhileTold);
    EXPECT_EQ(view.calls, QStringList({QStringLiteral("mute"), QStringLiteral("unmute")}));
    EXPECT_FALSE(session->device().isPlaying());
    // The caption keeps saying so until the next step; the take can still
    // be saved or played again.
    EXPECT_EQ(session->state(), TakeState::Playing);
    EXPECT_EQ(session->caption(), QStringLiteral("PLAYBACK"));
    EXPECT_EQ(controls(), "rsPVX/stop");
}

TEST_F(RecorderSessionTest, ACancelledOrFailedSaveKeepsTheTakeAndASavedOneHandsItOver) {
    recordAtLeast(10000);
    session->stop();
    const qint64 bytes = session->device().lengthBytes();
    session->save(false); // nothing scripted: cancelled
    EXPECT_EQ(session->state(), TakeState::Stopped);
    EXPECT_EQ(controls(), "rsPVX/stop");
    dialogs.chooseFileNext(dir.filePath(QStringLiteral("missing folder/take.wav")));
    session->save(false);
    EXPECT_EQ(dialogs.count(RecorderSession::kSaveFailedText), 1);
    EXPECT_FALSE(dialogs.messages().back().detail.isEmpty());
    EXPECT_EQ(controls(), "rsPVX/stop");
    EXPECT_EQ(session->device().lengthBytes(), bytes);
    EXPECT_TRUE(view.savedPath.isEmpty());

    // A name without its suffix gets one.
    dialogs.chooseFileNext(dir.filePath(QStringLiteral("take")));
    session->save(false);
    EXPECT_EQ(session->state(), TakeState::Saved);
    EXPECT_EQ(view.savedPath, dir.filePath(QStringLiteral("take.wav")));
    EXPECT_EQ(view.savedFolder, dir.path());
    EXPECT_TRUE(QFile::exists(view.savedPath));
    EXPECT_EQ(controls(), "rspvX/stop");
    EXPECT_EQ(session->device().lengthBytes(), 0);
    EXPECT_FALSE(session->hasUnsavedTake());
    EXPECT_FALSE(session->sizeTimer().isEnabled());
}

} // namespace
} // namespace sylvaro::test
