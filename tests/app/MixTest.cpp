#include "ConsoleFixture.h"
#include "app/CustomLink.h"
#include "app/MixFiles.h"
#include "custom/CustomChannels.h"
#include "custom/CustomPanel.h"
#include "custom/SoundDecoder.h"
#include "persist/LineCodec.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <csignal>
#include <sys/resource.h>

namespace sylvaro::test {
namespace {

// Saving the whole console to a mix file and loading it back.
class MixTest : public ConsoleTest {
protected:
    void SetUp() override {
        QDir(folder.path()).mkpath(QStringLiteral("sounds"));
        QDir(folder.path()).mkpath(QStringLiteral("saves"));
        folder.writeLevel("sounds/roof.wav", 0.37);
        start();
    }
    app::MixFiles& mixes() { return console->mixes(); }
    custom::CustomChannels& channels() { return console->panels().custom; }
    custom::CustomPanel& panel() { return console->custom().panel(); }
    QString savePath(const QString& name) const {
        return folder.path() + QStringLiteral("/saves/") + name;
    }
    void settle() {
        QElapsedTimer guard;
        guard.start();
        while ((console->decoder().busy() || channels().settingUp()) && guard.elapsed() < 30000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        }
        QCoreApplication::processEvents();
    }
    QByteArray fileBytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Everything a mix holds, as the console shows it now.
    persist::MixFile now() { return console->state().captureMix(); }

    // A console far from its defaults: a scene, a custom background, both
    // colours, the alarm, a label and a bank 2 slider.
    void arrange() {
        console->scenes().button("Coast")->click();
        persist::CustomNames names;
        names.background[0] = QStringLiteral("roof.wav");
        channels().setNames(names);
        panel().labelBox(1)->setText(QStringLiteral("Our roof"));
        panel().enableBox(1)->setChecked(true);
        panel().frequencySlider(3)->setValue(700);
        console->state().setBackColour(0x00335577);
        console->state().setTextColour(0x00EEDDCC);
        console->panels().clock.alarmBox()->setText(QStringLiteral("06:45"));
        console->panels().clock.alarmOn();
        console->panels().random.slider(2, 4)->setValue(640);
        settle();
    }
};

TEST_F(MixTest, ARoundTripBringsBackEveryControlAndTheSameChannelsPlay) {
    arrange();
    const persist::MixFile saved = now();
    dialogs.chooseFileNext(savePath(QStringLiteral("evening")));
    ASSERT_TRUE(console->saveButton()->isEnabled());
    console->saveButton()->click();
    const QString written = savePath(QStringLiteral("evening"));
    ASSERT_TRUE(QFile::exists(written)) << "the name as typed, no extension added";
    EXPECT_EQ(dialogs.fileRequests().back().filter, app::MixFiles::kFilter);
    EXPECT_EQ(dialogs.fileRequests().back().folder, folder.path() + QStringLiteral("/saves"));
    EXPECT_EQ(fileBytes(written), saved.toLine());

    // Everything else, then back.
    dialogs.answerNext(core::MessageAnswer::Ok);
    console->scenes().resetButton()->click();
    console->scenes().button("Fireside")->click();
    console->state().setBackColour(0x00000000);
    console->panels().clock.alarmOff();
    ASSERT_NE(now(), saved);

    dialogs.chooseFileNext(written);
    console->loadButton()->click();
    settle();
    persist::MixFile loaded = now();
    EXPECT_EQ(loaded.console, saved.console);
    EXPECT_EQ(loaded.panel, saved.panel);
    EXPECT_EQ(loaded.alarmTime, QStringLiteral("06:45"));
    EXPECT_TRUE(console->panels().clock.alarmClock().isOn());
    EXPECT_EQ(loaded.names.background[0], QStringLiteral("roof.wav"));
    for (int channel = 1; channel <= console::kBackgroundCount; ++channel) {
        EXPECT_EQ(engine().isPlaying(bg(channel)), box(channel)->isChecked()) << channel;
    }
    EXPECT_TRUE(engine().e().isPlaying(channels().backgroundBuffer(1)));
    EXPECT_EQ(engine().volume(bg(4)), saved.console.backgroundVolume);
    EXPECT_EQ(dialogs.count(app::CustomLink::kMixMissingText), 0);
}

TEST_F(MixTest, TheAlarmBoxRefusesAsTypedWhatAMixCannotKeep) {
    QLineEdit* alarm = console->panels().clock.alarmBox();
    alarm->clear();
    QTest::keyClicks(alarm, QStringLiteral("07:30"));
    QTest::keyClick(alarm, '"');
    alarm->insert(QStringLiteral("\r\n"));
    alarm->insert(QStringLiteral("\u2600")); // not in the files' code page
    EXPECT_EQ(alarm->text(), QStringLiteral("07:30"));
    ASSERT_EQ(dialogs.messages().size(), 3u);
    EXPECT_TRUE(dialogs.messages()[0].text.contains(QStringLiteral("double quote")));
    EXPECT_TRUE(dialogs.messages()[1].text.contains(QStringLiteral("line break")));
    dialogs.chooseFileNext(savePath(QStringLiteral("wake")));
    console->saveButton()->click();
    const persist::MixRead read =
        persist::MixFile::fromLine(fileBytes(savePath(QStringLiteral("wake"))).chopped(2));
    ASSERT_TRUE(read.mix);
    EXPECT_EQ(read.mix->alarmTime, QStringLiteral("07:30"));
}

TEST_F(MixTest, CancellingEitherDialogChangesNothing) {
    arrange();
    const persist::MixFile before = now();
    console->menus().action(QStringLiteral("mnuSave"))->trigger(); // no file: cancelled
    console->menus().action(QStringLiteral("mnuLoad"))->trigger();
    EXPECT_EQ(now(), before);
    EXPECT_TRUE(QDir(folder.path() + QStringLiteral("/saves")).isEmpty());
}

TEST_F(MixTest, AMissingCustomFileIsReportedOnceAndTheRestLoads) {
    persist::MixFile mix = now();
    mix.names.random = {QStringLiteral("gone1.wav"), QStringLiteral("gone2.wav"), QString(),
                        QString()};
    mix.names.background = {QStringLiteral("../settings.ini"), QString()};
    mix.console.backgroundVolume = -900;
    mix.console.boxes[6] = 1;
    ASSERT_TRUE(persist::writeFileAtomically(savePath(QStringLiteral("m.svm")), mix.toLine()));
    ASSERT_TRUE(mixes().loadFrom(savePath(QStringLiteral("m.svm"))));
    settle();
    EXPECT_EQ(dialogs.count(app::CustomLink::kMixMissingText), 1);
    EXPECT_EQ(dialogs.messages().back().icon, core::MessageIcon::Information);
    EXPECT_TRUE(dialogs.messages().back().detail.contains(QStringLiteral("gone2.wav")));
    EXPECT_EQ(volumes().backgroundSlider()->value(), -900);
    EXPECT_TRUE(engine().isPlaying(bg(7)));
}

TEST_F(MixTest, AnEmptyPictureNameKeepsThePictureAndTheRandomVolumeIsAppliedAgain) {
    console->scenes().button("Storm")->click();
    const QString picture = pictureName();
    volumes().randomSlider()->setValue(0);
    // A random sound at another volume than the slider says.
    const engine::Buffer owl = console->sounds().random(2, 0);
    engine().e().setVolume(owl, -1500);

    persist::MixFile mix = now();
    mix.names.picture = QString();
    ASSERT_TRUE(persist::writeFileAtomically(savePath(QStringLiteral("p.svm")), mix.toLine()));
    ASSERT_TRUE(mixes().loadFrom(savePath(QStringLiteral("p.svm"))));
    settle();
    EXPECT_EQ(pictureName(), picture);
    EXPECT_EQ(volumes().randomSlider()->value(), 0);
    EXPECT_EQ(engine().e().volume(owl), 0) << "the slider stood at 0 already";
}

TEST_F(MixTest, AHandEditedFileWithQuotedDigitsAndLineFeedsLoads) {
    persist::MixFile mix = now();
    mix.console.backgroundVolume = -1400;
    QByteArray line = mix.toLine();
    line.chop(2);
    line.replace(0, line.indexOf(','), "\"2000\"");
    ASSERT_TRUE(persist::writeFileAtomically(savePath(QStringLiteral("hand.svm")), line + "\n"));
    ASSERT_TRUE(mixes().loadFrom(savePath(QStringLiteral("hand.svm"))));
    EXPECT_EQ(volumes().backgroundSlider()->value(), -1400);
}

TEST_F(MixTest, AFileThatIsNotAMixIsReportedAndTheConsoleStaysExactlyAsItWas) {
    arrange();
    const persist::MixFile before = now();
    const QByteArray good = before.toLine().chopped(2);
    QByteArray slider = good;
    slider.replace(0, good.indexOf(','), "5000");
    QByteArray colour = good;
    colour.replace(QByteArray::number(before.console.backColour), "\"blue\"");
    const std::pair<const char*, QByteArray> files[] = {
        {"short.svm", good.left(good.lastIndexOf(','))},
        {"long.svm", good + ",\"x\""},
        {"slider.svm", slider},
        {"colour.svm", colour},
        {"binary.svm", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
        {"huge.svm", QByteArray(50 * 1024 * 1024, 'a')},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const QString path = savePath(QString::fromLatin1(name));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        dialogs.clear();
        EXPECT_FALSE(mixes().loadFrom(path));
        ASSERT_EQ(dialogs.messages().size(), 1u);
        EXPECT_TRUE(dialogs.messages().back().text.contains(QString::fromLatin1(name)));
        EXPECT_EQ(now(), before);
        EXPECT_TRUE(engine().e().isPlaying(channels().backgroundBuffer(1)));
    }
}

TEST_F(MixTest, ASaveThatCannotBeWrittenSaysWhereAndWhy) {
    arrange();
    const persist::MixFile before = now();
    const QString nowhere = folder.path() + QStringLiteral("/no such folder/evening.svm");
    EXPECT_FALSE(mixes().saveTo(nowhere));
    ASSERT_FALSE(dialogs.messages().empty());
    EXPECT_TRUE(dialogs.messages().back().text.contains(QStringLiteral("no such folder")));
    EXPECT_FALSE(dialogs.messages().back().detail.isEmpty());
    EXPECT_EQ(now(), before);
}

TEST_F(MixTest, ASaveOnAFullDiskSaysSoAndKeepsThePreviousFile) {
    const QString path = savePath(QStringLiteral("evening.svm"));
    ASSERT_TRUE(mixes().saveTo(path));
    const QByteArray previous = fileBytes(path);
    arrange();
    // A disk with room for a few bytes only: writes past them fail with
    // EFBIG instead of raising a signal.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit tight{16, saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    const bool written = mixes().saveTo(path);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    ASSERT_FALSE(dialogs.messages().empty());
    EXPECT_TRUE(dialogs.messages().back().text.contains(QStringLiteral("evening.svm")));
    EXPECT_FALSE(dialogs.messages().back().detail.isEmpty());
    EXPECT_EQ(fileBytes(path), previous);
}

TEST_F(MixTest, LoadingOffStopsARingingAlarm) {
    console->panels().clock.alarmOn();
    persist::MixFile mix = now();
    mix.alarmState = QStringLiteral("OFF");
    ASSERT_TRUE(persist::writeFileAtomically(savePath(QStringLiteral("off.svm")), mix.toLine()));
    // Ring it.
    engine().e().play(console->sounds().alarm(), true);
    ASSERT_TRUE(engine().e().isPlaying(console->sounds().alarm()));
    ASSERT_TRUE(mixes().loadFrom(savePath(QStringLiteral("off.svm"))));
    EXPECT_FALSE(console->panels().clock.alarmClock().isOn());
    EXPECT_FALSE(engine().e().isPlaying(console->sounds().alarm()));
}

TEST_F(MixTest, AMixHandedInBeforeResumeWaitsForIt) {
    persist::MixFile mix = now();
    mix.console.backgroundVolume = -2200;
    ASSERT_TRUE(persist::writeFileAtomically(savePath(QStringLiteral("late.svm")), mix.toLine()));
    console.reset();
    createAndLoad();
    console->openMix(savePath(QStringLiteral("late.svm")));
    host.advance(app::ConsoleLifecycle::kStartupIntervalMs);
    EXPECT_NE(volumes().backgroundSlider()->value(), -2200);
    host.advance(app::ConsoleLifecycle::kResumeIntervalMs);
    QCoreApplication::processEvents();
    EXPECT_EQ(volumes().backgroundSlider()->value(), -2200);
}

} // namespace
} // namespace sylvaro::test
