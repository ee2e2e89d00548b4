#include "RecorderFixture.h"
#include "persist/LineCodec.h"
#include "recorder/LevelMeter.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <chrono>
#include <thread>

namespace sylvaro::test {
namespace {

using recorder::RecorderSession;
using recorder::RecorderWindow;

const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QString kBest = QStringLiteral("44.100Hz, 16bit Stereo, 172k/sec");

TEST_F(RecorderTest, OpensWithTheDesignValues) {
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Sylvaro Lite Recorder"));
    const QStringList expected = {
        "8.000kHz, 8bit Mono, 7k/sec",    "8.000kHz, 8bit Stereo, 15k/sec",
        "8.000kHz, 16bit Mono, 15k/sec",  "8.000kHz, 16bit Stereo, 31k/sec",
        "11.025kHz, 8bit Mono, 10k/sec",  "11.025kHz, 8bit Stereo, 21k/sec",
        "11.025kHz, 16bit Mono, 21k/sec", "11.025kHz, 16bit Stereo, 43k/sec",
        "22.050Hz, 8bit Mono, 21k/sec",   "22.050Hz, 8bit Stereo, 43k/sec",
        "22.050Hz, 16bit Mono, 43k/sec",  "22.050Hz, 16bit Stereo, 86k/sec",
        "44.100Hz, 8bit Mono, 43k/sec",   "44.100Hz, 8bit Stereo, 86k/sec",
        "44.100Hz, 16bit Mono, 86k/sec",  "44.100Hz, 16bit Stereo, 172k/sec"};
    QComboBox* list = get<QComboBox>("cbxformat");
    ASSERT_EQ(list->count(), 16);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(list->itemText(i), expected[i]);
    }
    EXPECT_EQ(list->currentText(), QStringLiteral("11.025kHz, 16bit Stereo, 43k/sec"));
    EXPECT_EQ(state(), QStringLiteral("READY"));
    EXPECT_EQ(get<QLabel>("lblSizeValue")->text(), QStringLiteral("700"));
    EXPECT_EQ(get<QLabel>("lblLengthValue")->text(), QStringLiteral("70"));
    EXPECT_TRUE(get<QRadioButton>("optWav")->isChecked());
    EXPECT_FALSE(get<QRadioButton>("optMP3")->isChecked());
    EXPECT_FALSE(get<QCheckBox>("chkSize")->isChecked());
    EXPECT_FALSE(get<QSlider>("sldSize")->isEnabled());
    EXPECT_TRUE(btn("cmdRecord")->isEnabled());
    EXPECT_FALSE(btn("cmdSave")->isEnabled());
    EXPECT_FALSE(btn("cmdReset")->isEnabled());
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(RecorderTest, RecordStopAndResetShowTheTakesState) {
    open();
    chooseQuality(kBest);
    recordAtLeast(100000);
    EXPECT_EQ(state(), QStringLiteral("RECORDING"));
    EXPECT_EQ(stateColour(), kRed);
    EXPECT_TRUE(btn("cmdRecord")->isHidden());
    EXPECT_FALSE(btn("cmdStop")->isHidden());
    EXPECT_TRUE(btn("cmdStop")->isEnabled());
    EXPECT_FALSE(btn("cmdPlay")->isEnabled());
    EXPECT_FALSE(get<QRadioButton>("optMP3")->isEnabled());
    host.advance(RecorderSession::kSizeIntervalMs);
    EXPECT_GE(get<QLabel>("lblSize")->text().trimmed().toDouble(), 0.1);
    host.advance(3000);
    EXPECT_EQ(get<QLineEdit>("txtTime")->text(), QStringLiteral("00:00:03"));

    btn("cmdStop")->click();
    EXPECT_EQ(state(), QStringLiteral("RESET/TEST"));
    EXPECT_EQ(stateColour(), kYellow);
    EXPECT_FALSE(btn("cmdStop")->isEnabled());
    EXPECT_TRUE(btn("cmdSave")->isEnabled());
    EXPECT_TRUE(btn("cmdReset")->isEnabled());
    EXPECT_EQ(get<QLabel>("lblSize")->text(), QStringLiteral("0"));

    btn("cmdReset")->click();
    EXPECT_EQ(state(), QStringLiteral("READY"));
    EXPECT_EQ(stateColour(), window->palette().color(QPalette::WindowText));
    EXPECT_FALSE(btn("cmdRecord")->isHidden());
    EXPECT_TRUE(btn("cmdRecord")->isEnabled());
    EXPECT_TRUE(get<QRadioButton>("optMP3")->isEnabled());
    EXPECT_EQ(window->device().lengthBytes(), 0);
    EXPECT_EQ(get<QLineEdit>("txtTime")->text(), QStringLiteral("00:00:00"));
}

TEST_F(RecorderTest, TheLimitControlsReachTheTake) {
    open();
    chooseQuality(kBest);
    get<QCheckBox>("chkSize")->setChecked(true);
    get<QSlider>("sldSize")->setValue(1);
    EXPECT_EQ(get<QLabel>("lblSizeValue")->text(), QStringLiteral("1"));
    recordAtLeast(1000000);
    host.advance(1000);
    ASSERT_EQ(dialogs.count(RecorderSession::kSizeReachedText), 1);
    EXPECT_EQ(state(), QStringLiteral("RESET/TEST"));
    EXPECT_EQ(stateColour(), kYellow);
    EXPECT_TRUE(btn("cmdSave")->isEnabled());
    EXPECT_FALSE(window->device().isRecording());
}

TEST_F(RecorderTest, PlayTurnsTheConsoleDownAndRestoresItExactly) {
    open();
    recordAtLeast(10000);
    btn("cmdStop")->click();
    for (const auto& [back, rand] :
         {std::pair{-1200, -450}, std::pair{-3000, -3000}, std::pair{0, -3000}}) {
        background.setValue(back);
        random.setValue(rand);
        int duringBack = 1;
        int duringRand = 1;
        bool playing = false;
        dialogs.setWhileOpen([&](const core::MessageRequest&) {
            duringBack = background.value();
            duringRand = random.value();
            playing = window->device().isPlaying();
        });
        btn("cmdPlay")->click();
        EXPECT_EQ(dialogs.messages().back().text, RecorderWindow::kPlaybackText);
        EXPECT_EQ(duringBack, -3000);
        EXPECT_EQ(duringRand, -3000);
        EXPECT_TRUE(playing);
        EXPECT_EQ(background.value(), back);
        EXPECT_EQ(random.value(), rand);
        EXPECT_FALSE(window->device().isPlaying());
        EXPECT_EQ(state(), QStringLiteral("PLAYBACK"));
    }
}

TEST_F(RecorderTest, SavesTheTakeAsWavThenOffersWhatNext) {
    open();
    chooseQuality(kBest);
    const QByteArray heard = makeSamples(recorder::WaveFormat{44100, 16, 2}, 44100);
    recordAtLeast(heard.size());
    btn("cmdStop")->click();
    const QString target = dir.filePath(QStringLiteral("my take.wav"));
    dialogs.chooseFileNext(target);
    btn("cmdSave")->click();
    ASSERT_FALSE(dialogs.fileRequests().empty());
    EXPECT_EQ(dialogs.fileRequests().back().filter, QStringLiteral("Wav File (*.wav)| *.wav"));
    const WavContent wav = readWav(target);
    ASSERT_TRUE(wav.ok);
    EXPECT_EQ(wav.rate, 44100);
    EXPECT_TRUE(wav.bytes.left(heard.size()) == heard);
    EXPECT_TRUE(dialogs.messages().empty());
    // The take was handed over: a fresh, empty one is ready.
    EXPECT_EQ(window->device().lengthBytes(), 0);
    EXPECT_FALSE(btn("cmdSave")->isEnabled());
    EXPECT_FALSE(btn("cmdPlay")->isEnabled());
    EXPECT_TRUE(btn("cmdReset")->isEnabled());

    recorder::SaveOptionsWindow* options = window->saveOptions();
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->windowTitle(), QStringLiteral("Save Options"));
    EXPECT_EQ(options->shownPath(), target);
    EXPECT_TRUE(options->choice(3)->isChecked());
    options->choice(4)->setChecked(true);
    options->nextButton()->click();
    EXPECT_TRUE(options->isVisible());
    EXPECT_TRUE(desktop.opened.empty());
    options->choice(2)->setChecked(true);
    options->nextButton()->click();
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_EQ(desktop.opened[0], QUrl::fromLocalFile(dir.path()));
}

TEST_F(RecorderTest, SettingsSurviveUnloadAndReload) {
    open();
    get<QCheckBox>("chkSize")->setChecked(true);
    get<QSlider>("sldSize")->setValue(250);
    get<QSlider>("sldLength")->setValue(12);
    chooseQuality(QStringLiteral("22.050Hz, 8bit Mono, 21k/sec"));
    get<QRadioButton>("optMP3")->setChecked(true);
    window->unload();
    QFile file(window->settingsPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray line = file.readAll();
    EXPECT_TRUE(line.startsWith("1,0,250,12,8,")) << line.toStdString();
    EXPECT_TRUE(line.endsWith(",#TRUE#,#FALSE#,-1\r\n")) << line.toStdString();
    file.close();

    window.reset();
    open();
    EXPECT_TRUE(get<QCheckBox>("chkSize")->isChecked());
    EXPECT_TRUE(get<QSlider>("sldSize")->isEnabled());
    EXPECT_EQ(get<QLabel>("lblSizeValue")->text(), QStringLiteral("250"));
    EXPECT_EQ(get<QLabel>("lblLengthValue")->text(), QStringLiteral("12"));
    EXPECT_EQ(get<QComboBox>("cbxformat")->currentIndex(), 8);
    EXPECT_TRUE(get<QRadioButton>("optMP3")->isChecked());
    // It ended expanded and opens expanded: the toggle offered collapses.
    EXPECT_FALSE(btn("Command9")->isHidden());
    EXPECT_TRUE(btn("Command8")->isHidden());
}

TEST_F(RecorderTest, DamagedSettingsAreKeptAsideAndReported) {
    const QString path = appDir->dataFile(RecorderWindow::kSettingsFile);
    ASSERT_TRUE(writeBytes(path, "1,0,5000,12,8,5225,0,0,#TRUE#,#FALSE#,-1\r\n"));
    open();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.messages()[0].text.contains(path + QStringLiteral(".damaged")));
    EXPECT_TRUE(QFile::exists(path + QStringLiteral(".damaged")));
    EXPECT_EQ(get<QLabel>("lblSizeValue")->text(), QStringLiteral("700"));
    EXPECT_FALSE(get<QCheckBox>("chkSize")->isChecked());
    window->unload();
    // The unload writes a good file; the damaged one stays aside.
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_TRUE(QFile::exists(path + QStringLiteral(".damaged")));

    // One that can be neither moved aside nor rewritten is found again by
    // every recorder window of the run: told once.
    window.reset();
    ASSERT_TRUE(QFile::remove(path) && QFile::remove(path + QStringLiteral(".damaged")));
    for (const QString& folder : {path, path + QStringLiteral(".damaged")}) {
        ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/inside")));
    }
    dialogs.clear();
    for (int run = 0; run < 2; ++run) {
        open();
        window->unload();
        window.reset();
    }
    EXPECT_EQ(
        dialogs.count(RecorderWindow::kDamagedText.arg(path, path + QStringLiteral(".damaged"))),
        1);
    EXPECT_EQ(dialogs.count(RecorderWindow::kNotSavedText.arg(path)), 2);
}

TEST_F(RecorderTest, MixerStartsTheDesktopsRecordingMixerOrSaysItCannot) {
    open();
    btn("cmdMixer")->click();
    EXPECT_EQ(dialogs.count(RecorderWindow::kMixerFailedText), 1);
    desktop.programs << QStringLiteral("pavucontrol");
    btn("cmdMixer")->click();
    ASSERT_EQ(desktop.started.size(), 1u);
    EXPECT_EQ(desktop.started[0],
              QStringList({QStringLiteral("/usr/bin/pavucontrol"), QStringLiteral("--tab=4")}));
    EXPECT_EQ(dialogs.count(RecorderWindow::kMixerFailedText), 1);
}

TEST_F(RecorderTest, CloseHidesAndRecordingGoesOn) {
    open();
    btn("cmdRecord")->click();
    btn("cmdClose")->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->device().isRecording());
    const qint64 before = window->device().lengthBytes();
    ASSERT_TRUE(window->device().waitForLength(before + 1000, 20000));
    host.advance(2000);
    EXPECT_EQ(window->session().secondsCounter(), 2);
}

TEST_F(RecorderTest, ClosePictureAsksBeforeDiscardingAnUnsavedTake) {
    open();
    recordAtLeast(1000);
    btn("cmdStop")->click();
    dialogs.answerNext(core::MessageAnswer::Cancel);
    btn("picClose")->click();
    EXPECT_EQ(dialogs.count(RecorderWindow::kDiscardText), 1);
    EXPECT_FALSE(window->isUnloaded());
    btn("picClose")->click(); // OK this time
    EXPECT_TRUE(window->isUnloaded());
    EXPECT_TRUE(QFile::exists(window->settingsPath()));
}

TEST_F(RecorderTest, MeterShowsTheNewestBlocksPeak) {
    open();
    recorder::LevelMeter& meter = window->meter();
    // The driver's own blocks get there too; only complete blocks count,
    // so the test stops it and feeds its own.
    meter.stop();
    meter.start();
    meter.stop();
    auto block = [](std::initializer_list<std::uint8_t> pattern) {
        std::vector<std::uint8_t> b(800);
        for (std::size_t i = 0; i < b.size(); ++i) {
            b[i] = *(pattern.begin() + static_cast<std::ptrdiff_t>(i % pattern.size()));
        }
        return b;
    };
    const std::pair<std::vector<std::uint8_t>, int> cases[] = {{block({128}), 0},
                                                               {block({100, 160}), 32},
                                                               {block({128, 128, 255}), 127},
                                                               {block({128, 0, 128}), 128}};
    for (const auto& [bytes, peak] : cases) {
        // Fed in uneven portions, as a device delivers.
        meter.feed(bytes.data(), 333);
        meter.feed(bytes.data() + 333, bytes.size() - 333);
        EXPECT_EQ(meter.readLevel(), peak);
    }
    // Half a block changes nothing yet.
    const auto loud = block({0});
    const auto quiet = block({128});
    meter.feed(quiet.data(), 800);
    meter.feed(loud.data(), 400);
    EXPECT_EQ(meter.readLevel(), 0);
    host.advance(RecorderWindow::kMeterIntervalMs);
    EXPECT_EQ(get<QProgressBar>("prgLevel1")->value(), 0);
    meter.feed(loud.data(), 400);
    host.advance(RecorderWindow::kMeterIntervalMs);
    EXPECT_EQ(get<QProgressBar>("prgLevel1")->value(), 128);
    EXPECT_EQ(get<QProgressBar>("prgLevel2")->value(), 128);
    EXPECT_EQ(get<QProgressBar>("prgLevel1")->maximum(), 128);
}

TEST_F(RecorderTest, MeterReadsTheCaptureDevice) {
    QByteArray alternating;
    for (int i = 0; i < 8000 * 30; ++i) {
        alternating.append(static_cast<char>(i % 2 ? 160 : 100));
    }
    ASSERT_TRUE(writeBytes(input(), alternating));
    // At the driver's own pace: thirty seconds of input outlast the test.
    useDiskInput(input(), 100);
    open();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (window->meter().blocksMeasured() == 0 && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_GT(window->meter().blocksMeasured(), 0);
    EXPECT_EQ(window->meter().readLevel(), 32);
}

TEST_F(RecorderTest, MeterWithoutADeviceSaysSoOnceAndNeverWaits) {
    useDiskInput(dir.filePath(QStringLiteral("no device")));
    open();
    EXPECT_EQ(dialogs.count(recorder::LevelMeter::kOpenFailedText), 1);
    EXPECT_FALSE(window->meter().isRunning());
    host.advance(10 * RecorderWindow::kMeterIntervalMs);
    EXPECT_EQ(get<QProgressBar>("prgLevel1")->value(), 0);
    EXPECT_EQ(window->meter().readLevel(), 0);
    EXPECT_EQ(dialogs.count(recorder::LevelMeter::kOpenFailedText), 1);
    // The meter's Stop, then the unload's stop: the second changes nothing.
    btn("cmdMeterStop")->click();
    EXPECT_FALSE(window->meterTimer().isEnabled());
    window->unload();
}

} // namespace
} // namespace sylvaro::test
