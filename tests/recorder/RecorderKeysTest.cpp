// The recorder and its save options from the keyboard alone.

#include "RecorderFixture.h"
#include "recorder/SaveOptionsWindow.h"
#include "support/KeyboardWalk.h"

#include <QPointer>

namespace sylvaro::test {
namespace {

class RecorderKeys : public RecorderTest {
protected:
    QWidget* named(const char* name) const { return get<QWidget>(name); }
};

TEST_F(RecorderKeys, TabReachesEveryControlOnceRowByRowAndEachHasASpokenName) {
    open();
    // Both limits on, so their sliders take part.
    get<QCheckBox>("chkSize")->setChecked(true);
    get<QCheckBox>("chkLength")->setChecked(true);
    ASSERT_TRUE(activate(window.get()));
    const std::vector<QWidget*> walk = tabWalk(window.get());
    expectEveryControlOnce(window.get(), walk);
    // Save and Reset wait for a recording.
    expectInOrder(walk, {named("cmdRecord"), named("cmdPlay"), named("cmdClose"),
                         named("cbxformat"), named("chkSize"), named("sldSize"), named("chkLength"),
                         named("sldLength"), named("optMP3"), named("cmdMixer"), named("cmdMp3")});
    for (QWidget* w : walk) {
        EXPECT_FALSE(spokenName(w).trimmed().isEmpty()) << nameOf(w);
    }
}

TEST_F(RecorderKeys, EscapeHidesTheRecorderLikeCloseAndTheRecordingGoesOn) {
    open();
    ASSERT_TRUE(activate(window.get()));
    btn("cmdRecord")->click();
    ASSERT_EQ(state(), QStringLiteral("RECORDING"));
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->isUnloaded());
    EXPECT_EQ(state(), QStringLiteral("RECORDING"));
    btn("cmdStop")->click();
}

TEST_F(RecorderKeys, EscapeClosesTheSaveOptionsWithoutChoosing) {
    QPointer<recorder::SaveOptionsWindow> options = new recorder::SaveOptionsWindow(
        dir.filePath(QStringLiteral("take.wav")), dir.path(), desktop);
    ASSERT_TRUE(activate(options.data()));
    QTest::keyClick(options.data(), Qt::Key_Escape);
    ASSERT_FALSE(options.isNull()); // deleted later, not at once
    EXPECT_FALSE(options->isVisible());
    EXPECT_TRUE(desktop.opened.empty());
    delete options.data();
}

} // namespace
} // namespace sylvaro::test
