#include "app/RecorderLink.h"

#include "ConsoleFixture.h"
#include "persist/LineCodec.h"
#include "persist/RecordFile.h"
#include "recorder/RecorderWindow.h"

#include <QFile>
#include <QPushButton>

namespace sylvaro::test {
namespace {

using recorder::RecorderWindow;

class RecorderLinkTest : public ConsoleTest {
protected:
    RecorderWindow* openRecorder() {
        console->recordButton()->click();
        return console->recorder().window();
    }
};

TEST_F(RecorderLinkTest, RecordCreatesTheRecorderOnceAndShowsItAgain) {
    start();
    EXPECT_EQ(console->recorder().window(), nullptr);
    RecorderWindow* first = openRecorder();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowTitle(), QStringLiteral("Sylvaro Lite Recorder"));
    first->findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();
    EXPECT_FALSE(first->isVisible());
    EXPECT_EQ(openRecorder(), first);
    EXPECT_TRUE(first->isVisible());
}

TEST_F(RecorderLinkTest, EndingDuringPlaybackRestoresTheSlidersThenSaves) {
    start();
    volumes().backgroundSlider()->setValue(-1000);
    volumes().randomSlider()->setValue(-500);
    RecorderWindow* recorder = openRecorder();
    ASSERT_NE(recorder, nullptr);
    bool closed = false;
    dialogs.setWhileOpen([&](const core::MessageRequest& request) {
        if (request.text == RecorderWindow::kPlaybackText && !closed) {
            closed = true;
            EXPECT_EQ(volumes().backgroundSlider()->value(), -3000);
            // Logout while the playback message is open.
            console->close();
        }
    });
    recorder->findChild<QPushButton*>(QStringLiteral("cmdPlay"))->click();
    ASSERT_TRUE(closed);
    const auto saved = persist::readRecordFile<persist::ConsoleSettings>(
        folder.path() + QStringLiteral("/settings.ini"));
    ASSERT_TRUE(saved.record.has_value());
    EXPECT_EQ(saved.record->backgroundVolume, -1000);
    EXPECT_EQ(saved.record->randomVolume, -500);
    EXPECT_EQ(volumes().backgroundSlider()->value(), -1000);
    EXPECT_EQ(volumes().randomSlider()->value(), -500);
    // The recorder was unloaded by the shutdown and wrote its settings.
    EXPECT_TRUE(recorder->isUnloaded());
    EXPECT_TRUE(QFile::exists(folder.path() + QStringLiteral("/settings9.txt")));
}

} // namespace
} // namespace sylvaro::test
