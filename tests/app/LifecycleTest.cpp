// The console's lifecycle: nothing runs twice, nothing waits on a modal
// window that it should not, and nothing the user saved is lost.

#include "app/ConsoleFixture.h"
#include "app/ConsoleShell.h"
#include "app/CustomLink.h"
#include "app/InformationWindow.h"
#include "app/SettingsFiles.h"
#include "custom/CustomPanel.h"
#include "engine/OutputRecovery.h"
#include "persist/LineCodec.h"
#include "widgets/XpBs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

using namespace sylvaro;
using sylvaro::test::ConsoleTest;
using Phase = app::ConsoleLifecycle::Phase;

namespace {

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

persist::ConsoleSettings surfAndHorn() {
    persist::ConsoleSettings s;
    s.bank1.fill(2000);
    s.bank2.fill(2000);
    s.boxes[3] = 1;
    s.bank1[18] = 500;
    s.backgroundVolume = -800;
    s.backColour = 0x112233;
    return s;
}

class LifecycleTest : public ConsoleTest {
protected:
    QString path(const QString& name) const { return folder.path() + u'/' + name; }
    int exitQuestions() const { return dialogs.count(app::ConsoleLifecycle::kExitText); }
};

} // namespace

TEST_F(LifecycleTest, ClosingBeforeStartupHasReadTheFilesLeavesThemByteForByte) {
    // Odd but valid spellings, so a rewrite would show.
    const QByteArray saved = surfAndHorn().toLine().replace(",500,", ", 500 ,");
    const QByteArray custom = ",\"chimes.wav\",,,,,\"\"\r\n";
    persist::writeFileAtomically(path(QStringLiteral("settings.ini")), saved);
    persist::writeFileAtomically(path(QStringLiteral("settings2.ini")), custom);
    createAndLoad();
    host.advance(1000);
    console->close();
    EXPECT_EQ(contents(path(QStringLiteral("settings.ini"))), saved);
    EXPECT_EQ(contents(path(QStringLiteral("settings2.ini"))), custom);
    EXPECT_TRUE(dialogs.messages().empty());

    // The next run still has the whole mix.
    console.reset();
    start();
    EXPECT_TRUE(box(4)->isChecked());
    EXPECT_EQ(volumes().backgroundSlider()->value(), -800);
}

TEST_F(LifecycleTest, ADamagedSettingsFileIsKeptAsideAndReportedOnce) {
    const QByteArray damaged = surfAndHorn().toLine().left(40);
    persist::writeFileAtomically(path(QStringLiteral("settings.ini")), damaged);
    audio.failOpen = true; // a few attempts read the file again
    createAndLoad();
    host.advance(3000);
    dialogs.clear();
    host.advance(3000);
    audio.failOpen = false;
    host.advance(3000);
    ASSERT_TRUE(console->lifecycle().isStarted());
    EXPECT_EQ(contents(path(QStringLiteral("settings.ini.damaged"))), damaged);
    EXPECT_FALSE(box(4)->isChecked()) << "the console starts as if the file were missing";
    EXPECT_EQ(
        dialogs.count(app::SettingsFiles::kDamagedText.arg(
            path(QStringLiteral("settings.ini")), path(QStringLiteral("settings.ini.damaged")))),
        0)
        << "told again on a later attempt";

    console->close();
    EXPECT_EQ(contents(path(QStringLiteral("settings.ini.damaged"))), damaged);
    EXPECT_TRUE(persist::ConsoleSettings::fromLine(
        *persist::readFirstLine(path(QStringLiteral("settings.ini")))));
}

TEST_F(LifecycleTest, ADamagedFileNamesItselfAndItsKeptCopyInTheMessage) {
    persist::writeFileAtomically(path(QStringLiteral("settings2.ini")), "\"a\",\"b\"\r\n");
    persist::writeFileAtomically(path(QStringLiteral("settings2.ini.damaged")), "older");
    createAndLoad();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    const core::MessageRequest& told = dialogs.messages().front();
    EXPECT_TRUE(told.text.contains(path(QStringLiteral("settings2.ini"))))
        << told.text.toStdString();
    EXPECT_TRUE(told.text.contains(QStringLiteral("settings2.ini.damaged")));
    EXPECT_EQ(told.icon, core::MessageIcon::Warning);
    EXPECT_EQ(contents(path(QStringLiteral("settings2.ini.damaged"))), "\"a\",\"b\"\r\n")
        << "the older copy is replaced";
}

TEST_F(LifecycleTest, FailedWritesAreReportedOnceNamingEveryFile) {
    start();
    const auto blockWith = [&](const QString& name) {
        QFile::remove(path(name));
        ASSERT_TRUE(QDir(folder.path()).mkpath(name + QStringLiteral("/inside")));
    };
    // Closed while the console runs, the custom panel cannot store its
    // selections: said then, and that says nothing for the shutdown.
    blockWith(app::SettingsFiles::kPanelFile);
    console->custom().show();
    console->custom().panel().labelBox(2)->setText(QStringLiteral("Owl"));
    console->custom().panel().close();
    ASSERT_EQ(
        dialogs.count(app::SettingsFiles::kNotSavedText.arg(path(app::SettingsFiles::kPanelFile))),
        1);
    console->recordButton()->click(); // the recorder writes settings9.txt as it goes
    for (const char* name : {"settings.ini", "settings2.ini", "settings9.txt"}) {
        blockWith(QString::fromLatin1(name));
    }
    dialogs.clear();
    console->lifecycle().requestExit(); // shuts down, then closes: two shutdowns
    const auto& told = dialogs.messages();
    ASSERT_EQ(told.size(), 2u) << "the exit question and one report";
    for (const char* name : {"settings.ini", "settings2.ini", "settingsc.ini", "settings9.txt"}) {
        EXPECT_TRUE(told[1].text.contains(path(QString::fromLatin1(name)))) << name;
    }
    EXPECT_FALSE(console->isVisible());
}

TEST_F(LifecycleTest, RequestsDuringAFailedStartupWaitForItsMessageAndRunOnce) {
    audio.failOpen = true;
    createAndLoad();
    console->show();
    int duringMessage = 0;
    dialogs.setWhileOpen([&](const core::MessageRequest& r) {
        if (r.text != app::ConsoleLifecycle::kStartupFailedText || duringMessage++ > 0) {
            return;
        }
        // The user clicks and closes while the failure message is up; the
        // resume tick comes due too.
        console->lifecycle().enableConsole();
        console->lifecycle().requestExit();
        console->close();
        host.advance(3000);
    });
    host.advance(3000);
    EXPECT_EQ(failures(), 1) << "a second start-up ran inside the first";
    EXPECT_EQ(audio.openCount, 1);
    EXPECT_EQ(exitQuestions(), 1) << "Exit was dropped";
    EXPECT_FALSE(console->isVisible()) << "the close was lost";
    EXPECT_EQ(console->lifecycle().phase(), Phase::Closed);
    EXPECT_FALSE(audio.isOpen());
}

TEST_F(LifecycleTest, AClickDuringStartupCannotStartItTwiceAndTheMixStillResumes) {
    folder.writeSettings(surfAndHorn());
    createAndLoad();
    host.advance(2500); // the resume tick waits for the buffers
    console->devices().enableButton()->click();
    console->devices().enableButton()->click();
    host.advance(3000);
    EXPECT_EQ(audio.openCount, 1);
    ASSERT_EQ(console->lifecycle().phase(), Phase::Resumed);
    EXPECT_TRUE(engine().isPlaying(bg(4)));
    EXPECT_TRUE(console->devices().enableButton()->isHidden());
}

TEST_F(LifecycleTest, TheInformationWindowHoldsBackTheSavedMixButNotStartup) {
    folder.writeSettings(surfAndHorn());
    QTemporaryDir user;
    QSettings tips(user.filePath(QStringLiteral("user.conf")), QSettings::IniFormat);
    create();
    console->shell().setTipsAtLoad(&tips); // nothing stored: the window comes
    console->load();
    bool startedWhileOpen = false;
    bool silentWhileOpen = false;
    QTimer::singleShot(0, console.get(), [&] {
        auto* window = qobject_cast<app::InformationWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        host.advance(10000); // the user reads the tips
        startedWhileOpen = console->lifecycle().isStarted();
        silentWhileOpen = !console->lifecycle().hasResumed() && !engine().isPlaying(bg(4));
        window->continueButton()->click();
    });
    QCoreApplication::processEvents(); // the end of the load opens the window
    EXPECT_TRUE(startedWhileOpen);
    EXPECT_TRUE(silentWhileOpen) << "the saved mix started under the information window";
    host.advance(2499);
    EXPECT_FALSE(engine().isPlaying(bg(4)));
    host.advance(1);
    EXPECT_TRUE(engine().isPlaying(bg(4))) << "2500 ms after the window closed";
}

TEST_F(LifecycleTest, ShutdownHooksPutBackTemporaryChangesBeforeTheFilesAreWritten) {
    start();
    volumes().backgroundSlider()->setValue(-600);
    int before = 0;
    console->lifecycle().addShutdownHook([&] {
        before = volumes().backgroundSlider()->value();
        volumes().backgroundSlider()->setValue(-200);
    });
    volumes().backgroundSlider()->setValue(-3000); // e.g. turned down for a playback
    console->close();
    EXPECT_EQ(before, -3000);
    EXPECT_EQ(persist::ConsoleSettings::fromLine(
                  *persist::readFirstLine(path(QStringLiteral("settings.ini"))))
                  ->backgroundVolume,
              -200);
}

TEST_F(LifecycleTest, AGreyedBoxFromTheFileIsNeverReachedAgainByClicks) {
    persist::ConsoleSettings s = surfAndHorn();
    s.boxes[0] = 2;
    folder.writeSettings(s);
    start();
    ASSERT_EQ(channels().value(1), 2);
    for (int expected : {1, 0, 1, 0}) {
        box(1)->click();
        EXPECT_EQ(channels().value(1), expected);
    }
}

TEST_F(LifecycleTest, ALostDeviceIsNotedQuietlyAndTheMixSoundsAgainWhenItReturns) {
    folder.writeSettings(surfAndHorn());
    start();
    host.advance(3000);
    ASSERT_TRUE(engine().isPlaying(bg(4)));
    QLabel* note = console->devices().note();
    EXPECT_TRUE(note->isHidden());

    audio.failOpen = true;
    audio.unplug();
    host.advance(1000);
    EXPECT_FALSE(note->isHidden());
    EXPECT_FALSE(audio.isOpen());
    host.advance(20000);
    EXPECT_EQ(failures(), 0) << "no modal box for a lost device";
    EXPECT_TRUE(dialogs.messages().empty());

    audio.failOpen = false;
    host.advance(10000);
    ASSERT_TRUE(audio.isOpen());
    EXPECT_TRUE(note->text().contains(QStringLiteral("back"))) << note->text().toStdString();
    const std::vector<float> out = audio.render(4800);
    EXPECT_GT(*std::max_element(out.begin(), out.end()), 0.0f) << "the surf did not come back";
    host.advance(11000);
    EXPECT_TRUE(note->isHidden());
}
