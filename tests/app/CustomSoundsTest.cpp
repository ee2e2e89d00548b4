#include "ConsoleFixture.h"
#include "app/CustomLink.h"
#include "app/SettingsFiles.h"
#include "custom/CustomChannels.h"
#include "custom/CustomPanel.h"
#include "custom/FilePicker.h"
#include "custom/SoundDecoder.h"
#include "custom/SoundPreview.h"
#include "persist/CustomPanelSettings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <cmath>
#include <functional>

namespace sylvaro::test {
namespace {

using custom::CustomChannels;
using custom::CustomPanel;
using custom::FilePicker;

// The console with the user's own sounds in its sounds/ folder. Files are
// read on a worker thread: `settle` waits until every answer has arrived.
class CustomSoundsTest : public ConsoleTest {
protected:
    void SetUp() override { QDir(folder.path()).mkpath(QStringLiteral("sounds")); }

    // A one-channel sound of constant level, `seconds` long.
    void writeSound(const std::string& name, double level, double seconds = 2.0) {
        const int frames = static_cast<int>(seconds * ProgramFolder::kRate);
        const std::vector<double> samples(static_cast<std::size_t>(frames), level);
        SF_INFO info{};
        info.samplerate = ProgramFolder::kRate;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* f = sf_open(folder.file("sounds/" + name).c_str(), SFM_WRITE, &info);
        ASSERT_NE(f, nullptr);
        sf_writef_double(f, samples.data(), frames);
        sf_close(f);
    }
    void writeText(const QString& relative, const QByteArray& bytes) {
        QFile f(folder.path() + QLatin1Char('/') + relative);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    CustomChannels& channels() { return console->panels().custom; }
    CustomPanel& panel() { return console->custom().panel(); }
    engine::SoundEngine& sound() { return console->sounds().engine(); }

    void settle() { settleCustomSounds(); }
    static void waitUntil(const std::function<bool()>& done) {
        QElapsedTimer guard;
        guard.start();
        while (!done() && guard.elapsed() < 30000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        }
        QCoreApplication::processEvents();
        ASSERT_TRUE(done()) << "the decoder never answered";
    }

    // Chooses `name` in the picker for `key` and applies it, as a user does.
    void pick(const QString& key, const QString& name) {
        panel().setPickerRunner([&](FilePicker& picker) {
            ASSERT_TRUE(picker.select(name)) << name.toStdString();
            picker.apply();
        });
        panel().choose(key);
        settle();
    }

    // The level of the last of `frames` rendered frames, left channel.
    float levelAfter(int frames) {
        const std::vector<float> out = audio.render(frames);
        return out[out.size() - 2];
    }
    int playsOf(engine::Buffer buffer, int ticks, int intervalMs) {
        int plays = 0;
        for (int i = 0; i < ticks; ++i) {
            host.advance(intervalMs);
            if (sound().isPlaying(buffer)) {
                ++plays;
                sound().stop(buffer);
            }
        }
        return plays;
    }
};

TEST_F(CustomSoundsTest, TickingACustomBackgroundWithoutANameDoesNothing) {
    start();
    panel().enableBox(1)->setChecked(true);
    settle();
    EXPECT_FALSE(sound().exists(channels().backgroundBuffer(1)));
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_TRUE(channels().enableBox(1)->isChecked());
}

TEST_F(CustomSoundsTest, ACustomBackgroundLoopsAtTheBackgroundVolumeAndRestartsFromItsStart) {
    writeSound("rain.wav", 0.4);
    start();
    volumes().backgroundSlider()->setValue(-1000);
    pick(QStringLiteral("back1"), QStringLiteral("rain.wav"));
    EXPECT_EQ(channels().names().background[0], QStringLiteral("rain.wav"));
    EXPECT_FALSE(sound().isPlaying(channels().backgroundBuffer(1))) << "Apply only stores the name";

    panel().enableBox(1)->setChecked(true);
    settle();
    const engine::Buffer first = channels().backgroundBuffer(1);
    ASSERT_TRUE(sound().isPlaying(first));
    EXPECT_EQ(sound().volume(first), -1000);
    EXPECT_NEAR(levelAfter(4800), 0.4 * std::pow(10.0, -1000 / 2000.0), 0.01);

    // The slider reaches it like any background.
    volumes().backgroundSlider()->setValue(-400);
    EXPECT_EQ(sound().volume(first), -400);

    audio.render(24000);
    panel().enableBox(1)->setChecked(false);
    EXPECT_FALSE(sound().isPlaying(channels().backgroundBuffer(1)));
    panel().enableBox(1)->setChecked(true);
    settle();
    EXPECT_TRUE(sound().isPlaying(channels().backgroundBuffer(1)));
    EXPECT_EQ(sound().position(channels().backgroundBuffer(1)), 0) << "a new tick starts afresh";
}

TEST_F(CustomSoundsTest, ApplyOnATickedBackgroundSwitchesWhatIsHeardAtOnceOrStopsIt) {
    writeSound("low.wav", 0.2);
    writeSound("high.wav", 0.6);
    start();
    pick(QStringLiteral("back2"), QStringLiteral("low.wav"));
    panel().enableBox(2)->setChecked(true);
    settle();
    EXPECT_NEAR(levelAfter(4800), 0.2, 0.01);

    pick(QStringLiteral("back2"), QStringLiteral("high.wav"));
    EXPECT_NEAR(levelAfter(4800), 0.6, 0.01);
    EXPECT_TRUE(panel().enableBox(2)->isChecked());

    // Apply with nothing selected: no file, no sound.
    panel().setPickerRunner([](FilePicker& picker) { picker.apply(); });
    panel().choose(QStringLiteral("back2"));
    settle();
    ASSERT_EQ(channels().names().background[1], QString());
    EXPECT_NEAR(levelAfter(4800), 0.0, 1e-4) << "the old file kept looping";
    // The box still works: without a file it stays silent; with one it plays.
    panel().enableBox(2)->setChecked(false);
    panel().enableBox(2)->setChecked(true);
    settle();
    EXPECT_NEAR(levelAfter(4800), 0.0, 1e-4);
    pick(QStringLiteral("back2"), QStringLiteral("low.wav"));
    EXPECT_NEAR(levelAfter(4800), 0.2, 0.01);
}

TEST_F(CustomSoundsTest, CancelInThePickerKeepsTheNameAfterListeningToOthers) {
    writeSound("a.wav", 0.2);
    writeSound("b.wav", 0.3);
    start();
    pick(QStringLiteral("rand1"), QStringLiteral("a.wav"));
    panel().setPickerRunner([&](FilePicker& picker) {
        picker.select(QStringLiteral("b.wav"));
        waitUntil([&] { return panel().preview().isPlaying(); });
        picker.reject();
    });
    panel().choose(QStringLiteral("rand1"));
    EXPECT_EQ(channels().names().random[0], QStringLiteral("a.wav"));
    EXPECT_FALSE(panel().preview().isPlaying()) << "the preview ends with the picker";
    // The preview plays outside every group.
    for (engine::Group g :
         {console->sounds().group(console::kRandomGroup), console->sounds().customRandomGroup()}) {
        for (engine::Buffer b : sound().members(g)) {
            EXPECT_NE(b, panel().preview().buffer());
        }
    }
}

TEST_F(CustomSoundsTest, ANewCustomRandomSoundTakesTheRandomVolumeAndADragReachesItOnlyAtTheEnd) {
    writeSound("owl.wav", 0.3, 0.2);
    start();
    volumes().randomSlider()->setValue(-1200);
    pick(QStringLiteral("rand2"), QStringLiteral("owl.wav"));
    const engine::Buffer owl = channels().randomBuffer(2);
    ASSERT_TRUE(sound().exists(owl)) << "made when the name is stored";
    EXPECT_EQ(sound().volume(owl), -1200);

    Q_EMIT volumes().randomSlider()->scrolled(-600);
    EXPECT_EQ(sound().volume(owl), -1200) << "not while the thumb is dragged";
    volumes().randomSlider()->dragTo(-600);
    EXPECT_EQ(sound().volume(owl), -600);
}

TEST(CustomChannelsDraw, TheSliderSetsTheThresholdADrawMustReach) {
    struct Case {
        int value;
        int draw;
        bool fires;
    };
    // Threshold 20 at 0, 40 at 1000, 59 at 1950, above 59 from 1960.
    const Case cases[] = {{0, 19, false},    {0, 20, true},     {1000, 39, false},
                          {1000, 40, true},  {1950, 58, false}, {1950, 59, true},
                          {1960, 59, false}, {1990, 59, false}, {2000, 59, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(CustomChannels::fires(c.value, c.draw), c.fires)
            << "value " << c.value << " draw " << c.draw;
    }
}

TEST_F(CustomSoundsTest, CustomRandomSoundsFireAtTheirSlidersRateAndNeverPan) {
    writeSound("drip.wav", 0.3, 0.1);
    random.setFixedSeed(77);
    start();
    pick(QStringLiteral("rand1"), QStringLiteral("drip.wav"));
    const engine::Buffer drip = channels().randomBuffer(1);
    ASSERT_TRUE(sound().exists(drip));
    ASSERT_TRUE(
        console->panels().random.findChild<QCheckBox*>(QStringLiteral("chkSpatial"))->isChecked());

    struct Rate {
        int value;
        int low;
        int high;
    };
    // 300 ticks each: two in three at 0, one in three at 1000, one in sixty
    // at 1950 (bounds about four standard deviations wide), none from 1960.
    const Rate rates[] = {{0, 168, 232}, {1000, 68, 132}, {1950, 0, 14}, {1960, 0, 0}};
    const int interval = CustomChannels::kRandomIntervalsMs[0];
    for (const Rate& r : rates) {
        panel().frequencySlider(1)->setValue(r.value);
        ASSERT_TRUE(channels().timer(1).isEnabled());
        const int plays = playsOf(drip, 300, interval);
        EXPECT_GE(plays, r.low) << "value " << r.value;
        EXPECT_LE(plays, r.high) << "value " << r.value;
        EXPECT_EQ(sound().pan(drip), 0);
    }
    panel().frequencySlider(1)->setValue(2000);
    EXPECT_FALSE(channels().timer(1).isEnabled());
}

TEST_F(CustomSoundsTest, AnEmptyNameSilencesOnlyItsOwnSlot) {
    writeSound("frog.wav", 0.3, 0.1);
    start();
    pick(QStringLiteral("rand3"), QStringLiteral("frog.wav"));
    pick(QStringLiteral("randp4"), QStringLiteral("frog.wav"));
    // Apply with nothing selected stores the empty text.
    panel().setPickerRunner([](FilePicker& picker) { picker.apply(); });
    panel().choose(QStringLiteral("rand3"));
    EXPECT_EQ(channels().names().random[2], QString());
    panel().frequencySlider(3)->setValue(0);
    panel().frequencySlider(4)->setValue(0);
    int fourth = 0;
    for (int i = 0; i < 60; ++i) {
        host.advance(1000);
        EXPECT_FALSE(sound().isPlaying(channels().randomBuffer(3)));
        if (sound().isPlaying(channels().randomBuffer(4))) {
            ++fourth;
            sound().stop(channels().randomBuffer(4));
        }
    }
    EXPECT_GT(fourth, 0);
}

TEST_F(CustomSoundsTest, ScenesAndBankOneSwitchTheCustomChannelsOffButKeepTheirNames) {
    writeSound("rain.wav", 0.4);
    start();
    pick(QStringLiteral("back1"), QStringLiteral("rain.wav"));
    const auto switchOn = [&] {
        panel().enableBox(1)->setChecked(true);
        panel().frequencySlider(2)->setValue(500);
        settle();
        ASSERT_TRUE(sound().isPlaying(channels().backgroundBuffer(1)));
    };

    switchOn();
    console->scenes().button("Woodland")->click();
    EXPECT_TRUE(panel().enableBox(1)->isChecked()) << "Woodland leaves them as they are";
    EXPECT_TRUE(channels().timer(2).isEnabled());

    console->scenes().button("Storm")->click();
    EXPECT_FALSE(panel().enableBox(1)->isChecked());
    EXPECT_FALSE(sound().isPlaying(channels().backgroundBuffer(1)));
    EXPECT_EQ(panel().frequencySlider(2)->value(), 2000);
    EXPECT_FALSE(channels().timer(2).isEnabled());
    EXPECT_EQ(channels().names().background[0], QStringLiteral("rain.wav"));

    switchOn(); // the same file plays again
    auto& randomPanel = console->panels().random;
    randomPanel.bankButton(2)->click();
    EXPECT_TRUE(panel().enableBox(1)->isChecked()) << "showing bank 2 leaves them";
    randomPanel.bankButton(1)->click();
    EXPECT_FALSE(panel().enableBox(1)->isChecked());
    EXPECT_FALSE(channels().timer(2).isEnabled());
}

TEST_F(CustomSoundsTest, CustomResetAsksAndOnOkForgetsEverySelection) {
    writeSound("rain.wav", 0.4);
    start();
    pick(QStringLiteral("back1"), QStringLiteral("rain.wav"));
    pick(QStringLiteral("rand1"), QStringLiteral("rain.wav"));
    panel().labelBox(1)->setText(QStringLiteral("Our roof"));
    panel().enableBox(1)->setChecked(true);
    panel().frequencySlider(1)->setValue(300);
    settle();
    const persist::CustomPanelSettings before = panel().capture();

    dialogs.answerNext(core::MessageAnswer::Cancel);
    EXPECT_FALSE(panel().resetAll());
    EXPECT_EQ(dialogs.messages().back().text, CustomPanel::kResetText);
    EXPECT_EQ(dialogs.messages().back().title, QStringLiteral("Confirm Reset"));
    EXPECT_EQ(panel().capture(), before);
    EXPECT_TRUE(sound().isPlaying(channels().backgroundBuffer(1)));

    EXPECT_TRUE(panel().resetAll());
    EXPECT_EQ(panel().capture(), persist::CustomPanelSettings{});
    EXPECT_EQ(panel().enableBox(1)->text(), QStringLiteral("Not Set"));
    for (const auto& name : channels().names().random) {
        EXPECT_EQ(name, QString());
    }
    EXPECT_EQ(channels().names().background[0], QString());
    EXPECT_FALSE(sound().exists(channels().backgroundBuffer(1)));
    EXPECT_FALSE(sound().exists(channels().randomBuffer(1)));
}

TEST_F(CustomSoundsTest, LabelsMirrorAtOnceAndRefuseWhatTheFilesCannotHold) {
    start();
    panel().labelBox(1)->setText(QStringLiteral("Café roof"));
    EXPECT_EQ(panel().enableBox(1)->text(), QStringLiteral("Café roof"));
    panel().labelBox(5)->setText(QStringLiteral("Loon"));
    EXPECT_EQ(panel().nameLabel(3)->text(), QStringLiteral("Loon"));
    EXPECT_EQ(channels().names().random[3], std::nullopt) << "a label is not a file name";

    for (const QString& bad :
         {QStringLiteral("say \"hi\""), QStringLiteral("two\nlines"), QStringLiteral("雨の音")}) {
        panel().labelBox(1)->setText(bad);
        EXPECT_EQ(panel().labelBox(1)->text(), QStringLiteral("Café roof"));
        EXPECT_FALSE(panel().note()->text().isEmpty());
    }
}

TEST_F(CustomSoundsTest, ThePickerListsTheMatchingFilesOfBothFoldersOnce) {
    QTemporaryDir data;
    const core::AppDir dir(folder.path(), data.path());
    QDir(folder.path()).mkpath(QStringLiteral("images"));
    QDir(data.path()).mkpath(QStringLiteral("sounds"));
    QDir(data.path()).mkpath(QStringLiteral("images"));
    writeText(QStringLiteral("sounds/b.wav"), "x");
    writeText(QStringLiteral("sounds/notes.txt"), "x");
    writeText(QStringLiteral("images/IMG_1.JPG"), "x");
    writeText(QStringLiteral("images/photo.png"), "x");
    QDir(folder.path()).mkpath(QStringLiteral("sounds/folder.wav"));
    for (const char* name : {"sounds/A.WAV", "sounds/c.wave", "sounds/b.wav", "images/x.jpg"}) {
        QFile f(data.path() + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(
        FilePicker::listNames(dir, false),
        (QStringList{QStringLiteral("A.WAV"), QStringLiteral("b.wav"), QStringLiteral("c.wave")}));
    const QStringList images = FilePicker::listNames(dir, true);
    EXPECT_TRUE(images.contains(QStringLiteral("IMG_1.JPG")));
    EXPECT_TRUE(images.contains(QStringLiteral("x.jpg")));
    EXPECT_FALSE(images.contains(QStringLiteral("photo.png")));
    EXPECT_FALSE(images.contains(QStringLiteral("english fence.jpg")) &&
                 images.count(QStringLiteral("english fence.jpg")) > 1);
}

TEST_F(CustomSoundsTest, ChoosingThePictureShowsItInTheConsoleAndAMissingOneChangesNothing) {
    start();
    QImage(64, 48, QImage::Format_RGB32).save(folder.path() + QStringLiteral("/images/IMG_1.JPG"));
    pick(QStringLiteral("image"), QStringLiteral("IMG_1.JPG"));
    EXPECT_EQ(channels().names().picture, QStringLiteral("IMG_1.JPG"));
    EXPECT_EQ(pictureName(), QStringLiteral("IMG_1.JPG"));

    QFile::remove(folder.path() + QStringLiteral("/images/IMG_1.JPG"));
    console->scenes().button("Storm")->click();
    const QString stormPicture = pictureName();
    panel().setPickerRunner([](FilePicker& picker) { picker.reject(); });
    panel().choose(QStringLiteral("image"));
    EXPECT_EQ(pictureName(), stormPicture);
}

TEST_F(CustomSoundsTest, FilesThatAreNotUsableSoundsAreRefusedWithTheirReason) {
    writeText(QStringLiteral("sounds/notes.wav"), "this is a text file, not a sound\n");
    writeText(QStringLiteral("sounds/empty.wav"), "");
    writeText(QStringLiteral("sounds/cut.wav"), QByteArray("RIFF\x24\x00\x00\x00WAVEfmt ", 16));
    start();
    for (const char* name : {"notes.wav", "empty.wav", "cut.wav"}) {
        SCOPED_TRACE(name);
        const QString file = QString::fromLatin1(name);
        QString said;
        panel().setPickerRunner([&](FilePicker& picker) {
            ASSERT_TRUE(picker.select(file));
            waitUntil([&] { return !picker.note()->text().startsWith(QStringLiteral("Reading")); });
            said = picker.note()->text();
            picker.apply();
            EXPECT_EQ(picker.chosen(), std::nullopt) << "Apply refuses a file known to be bad";
            picker.reject();
        });
        panel().choose(QStringLiteral("rand1"));
        EXPECT_TRUE(said.contains(file)) << said.toStdString();
        EXPECT_TRUE(said.contains(QStringLiteral("cannot be played"))) << said.toStdString();
        EXPECT_FALSE(panel().preview().isPlaying());
    }

    // A name from settings2.ini that points at a bad file: the tick says why
    // on the panel and nothing plays.
    persist::CustomNames names;
    names.background[0] = QStringLiteral("notes.wav");
    channels().setNames(names);
    panel().enableBox(1)->setChecked(true);
    settle();
    EXPECT_FALSE(sound().exists(channels().backgroundBuffer(1)));
    EXPECT_TRUE(panel().note()->text().contains(QStringLiteral("notes.wav")));
}

TEST_F(CustomSoundsTest, AddFileCopiesASoundFromElsewhereIntoSoundsAndSelectsIt) {
    QTemporaryDir elsewhere;
    writeSound("tmp.wav", 0.5, 0.2);
    const QString outside = elsewhere.path() + QStringLiteral("/Our Roof.wav");
    ASSERT_TRUE(QFile::rename(folder.path() + QStringLiteral("/sounds/tmp.wav"), outside));
    dialogs.chooseFileNext(outside);
    start();
    panel().setPickerRunner([&](FilePicker& picker) {
        picker.addFile();
        EXPECT_TRUE(picker.names().contains(QStringLiteral("Our Roof.wav")));
        picker.apply();
    });
    panel().choose(QStringLiteral("rand1"));
    settle();
    EXPECT_TRUE(QFile::exists(folder.path() + QStringLiteral("/sounds/Our Roof.wav")));
    EXPECT_TRUE(QFile::exists(outside)) << "a copy: the original stays where it was";
    EXPECT_EQ(channels().names().random[0], QStringLiteral("Our Roof.wav"));
    EXPECT_TRUE(sound().exists(channels().randomBuffer(1)));

    // What the files cannot store is refused before anything is copied.
    const QString quoted = elsewhere.path() + QStringLiteral("/say \"rain\".wav");
    QFile(quoted).open(QIODevice::WriteOnly);
    dialogs.chooseFileNext(quoted);
    QString said;
    panel().setPickerRunner([&](FilePicker& picker) {
        picker.addFile();
        said = picker.note()->text();
        picker.reject();
    });
    panel().choose(QStringLiteral("rand1"));
    EXPECT_TRUE(said.contains(QStringLiteral("double quote"))) << said.toStdString();
    EXPECT_FALSE(QFile::exists(folder.path() + QStringLiteral("/sounds/say \"rain\".wav")));
}

TEST_F(CustomSoundsTest, TheFolderButtonsOpenTheFoldersTheUsersFilesGoTo) {
    start();
    panel().findChild<QPushButton*>(QStringLiteral("cmdOpenSounds"))->click();
    panel().findChild<QPushButton*>(QStringLiteral("cmdOpenImages"))->click();
    EXPECT_EQ(openedFolders, (QStringList{folder.path() + QStringLiteral("/sounds"),
                                          folder.path() + QStringLiteral("/images")}));
}

TEST_F(CustomSoundsTest, StartUpSetsUpEverySlotStartsTickedBackgroundsAndReportsMissingFilesOnce) {
    writeSound("rain.wav", 0.4);
    writeSound("owl.wav", 0.3, 0.2);
    persist::CustomNames names;
    names.random = {QStringLiteral("owl.wav"), QStringLiteral("gone.wav"), QString(), std::nullopt};
    names.background[0] = QStringLiteral("rain.wav");
    ASSERT_TRUE(persist::writeFileAtomically(folder.path() + QStringLiteral("/settings2.ini"),
                                             names.toLine()));
    persist::CustomPanelSettings saved;
    saved.enabled[0] = 1;
    saved.backgroundLabels[0] = QStringLiteral("Our roof");
    saved.frequency[0] = 900;
    ASSERT_TRUE(persist::writeFileAtomically(folder.path() + QStringLiteral("/settingsc.ini"),
                                             saved.toLine()));
    start();
    settle();
    EXPECT_TRUE(console->custom().isLoaded());
    EXPECT_EQ(panel().capture(), saved);
    EXPECT_EQ(panel().enableBox(1)->text(), QStringLiteral("Our roof"));
    EXPECT_TRUE(sound().isPlaying(channels().backgroundBuffer(1)));
    EXPECT_TRUE(sound().exists(channels().randomBuffer(1)));
    EXPECT_FALSE(sound().isPlaying(channels().randomBuffer(1))) << "set up silent";
    EXPECT_TRUE(channels().timer(1).isEnabled());
    EXPECT_EQ(dialogs.count(app::CustomLink::kMissingText), 1);
    const core::MessageRequest& missing = dialogs.messages().back();
    EXPECT_EQ(missing.icon, core::MessageIcon::Information);
    EXPECT_EQ(missing.title, app::ConsoleWindow::kTitle);
    EXPECT_TRUE(missing.detail.contains(QStringLiteral("gone.wav")))
        << missing.detail.toStdString();
    EXPECT_FALSE(missing.detail.contains(QStringLiteral("owl.wav")));
}

TEST_F(CustomSoundsTest, TheSelectionsComeBackAfterExitAndAFreshStart) {
    writeSound("rain.wav", 0.4);
    start();
    pick(QStringLiteral("back1"), QStringLiteral("rain.wav"));
    panel().enableBox(1)->setChecked(true);
    panel().labelBox(1)->setText(QStringLiteral("Roof"));
    panel().frequencySlider(4)->setValue(1400);
    settle();
    console->lifecycle().requestExit();
    console.reset();

    QFile file(folder.path() + QStringLiteral("/settingsc.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("1,0,\"Roof\",\"Not Set\",2000,2000,2000,1400,\"Not Set\","
                                         "\"Not Set\",\"Not Set\",\"Not Set\"\r\n"));

    start();
    settle();
    EXPECT_EQ(channels().names().background[0], QStringLiteral("rain.wav"));
    EXPECT_TRUE(panel().enableBox(1)->isChecked());
    EXPECT_TRUE(sound().isPlaying(channels().backgroundBuffer(1)));
    EXPECT_EQ(dialogs.count(app::CustomLink::kMissingText), 0);
}

TEST_F(CustomSoundsTest, ADamagedPanelFileIsKeptAsideAndReported) {
    writeText(QStringLiteral("settingsc.ini"), "1,0,\"half a line");
    start();
    EXPECT_EQ(panel().capture(), persist::CustomPanelSettings{});
    EXPECT_TRUE(QFile::exists(folder.path() + QStringLiteral("/settingsc.ini.damaged")));
    ASSERT_FALSE(dialogs.messages().empty());
    EXPECT_TRUE(dialogs.messages().back().text.contains(QStringLiteral("settingsc.ini")));
}

TEST_F(CustomSoundsTest, ClosingThePanelOtherThanByCloseStoresItsSelections) {
    start();
    const QString path = folder.path() + QStringLiteral("/settingsc.ini");
    console->custom().show();
    panel().labelBox(2)->setText(QStringLiteral("Owl"));
    panel().closeButton()->click();
    EXPECT_FALSE(panel().isVisible());
    EXPECT_FALSE(QFile::exists(path)) << "Close only hides";

    console->custom().show();
    panel().close();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("\"Owl\""));
}

TEST_F(CustomSoundsTest, ThePanelTakesTheConsolesColourAndTellsWhichFileEachSlotHas) {
    writeSound("rain.wav", 0.4);
    start();
    console->custom().show();
    console->state().setBackColour(0x00336699); // stored as BGR
    EXPECT_EQ(panel().palette().color(QPalette::Window), QColor(0x99, 0x66, 0x33));
    pick(QStringLiteral("back2"), QStringLiteral("rain.wav"));
    EXPECT_EQ(panel().findChild<QPushButton*>(QStringLiteral("cmdChoose_back2"))->toolTip(),
              QStringLiteral("File: rain.wav"));
    EXPECT_EQ(panel().findChild<QPushButton*>(QStringLiteral("cmdChoose_back1"))->toolTip(),
              QStringLiteral("No file chosen"));
}

} // namespace
} // namespace sylvaro::test
