#include "RecorderWindow.h"

#include "Desktop.h"
#include "LevelMeter.h"
#include "Mp3Encoder.h"
#include "RecorderTitle.h"
#include "SaveOptionsWindow.h"
#include "core/AppDir.h"
#include "core/Dialogs.h"
#include "core/WallClock.h"
#include "persist/LineCodec.h"
#include "persist/RecordFile.h"
#include "persist/RecorderSettings.h"
#include "widgets/WindowDrag.h"
#include "widgets/XpBs.h"

#include <QAbstractSlider>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QSlider>
#include <QTemporaryFile>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <utility>

namespace sylvaro::recorder {

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kYellow(255, 255, 0);

void setForeColour(QLabel* label, const QColor& colour) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

QPushButton* button(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

// The window's own skinned buttons, with the click sound.
widgets::XpBs* skinned(const QString& text, const char* name, QWidget* parent) {
    auto* b = new widgets::XpBs(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QLabel* label(const QString& text, const char* name, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

// A path up to, not including, its last separator.
QString folderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash);
}

QString withSuffix(const QString& path, const QString& suffix) {
    return QFileInfo(path).suffix().isEmpty() ? path + QLatin1Char('.') + suffix : path;
}

// The damaged settings files reported in this run that stayed in place.
QStringList& stuckDamaged() {
    static QStringList paths;
    return paths;
}

constexpr int kConsoleVolumeMinimum = -3000;
constexpr int kMeterBufferBytes = 800;
constexpr int kMeterMaximum = 128;

} // namespace

const QString RecorderWindow::kSettingsFile = QStringLiteral("settings9.txt");
const QString RecorderWindow::kSizeReachedText = QStringLiteral(
    "Recording Stopped. The specified filesize was reached. Your file is ready to save.");
const QString RecorderWindow::kLengthReachedText = QStringLiteral(
    "Recording Stopped. The specified time limit was reached. Your file is ready to save.");
const QString RecorderWindow::kPlaybackText = QStringLiteral(
    "The main console is now muted and you are now hearing your recorded file. When you have "
    "heard enough, click OK to stop playback, return to the recorder and unmute the main "
    "console. (If you cannot hear your recording, please check the help file section on "
    "configuring your Windows mixer)");
const QString RecorderWindow::kSaveFailedText = QStringLiteral("Saving file failed");
const QString RecorderWindow::kMixerFailedText = QStringLiteral(
    "Could not open the Windows mixer. If your Soundcard has its own mixer then you will need "
    "to configure your recording source from there.");
const QString RecorderWindow::kCreatedText =
    QStringLiteral("Your mp3 has been created:  %1. Would you like to view the file?");
const QString RecorderWindow::kMp3FailedText =
    QStringLiteral("The MP3 file %1 could not be created.");
const QString RecorderWindow::kEncoderBusyText = QStringLiteral(
    "The MP3 file %1 is still being made. Please wait until it is finished, then try again.");
const QString RecorderWindow::kInterruptedText = QStringLiteral(
    "Recording Stopped. The recording ended early: %1. What was recorded up to then is ready "
    "to save.");
const QString RecorderWindow::kDiscardText = QStringLiteral(
    "The recording has not been saved. Close the recorder and discard the recording?");
const QString RecorderWindow::kDamagedText =
    QStringLiteral("The recorder settings file %1 could not be read, so the recorder starts with "
                   "its design values. The file was kept as %2.");
const QString RecorderWindow::kNotSavedText =
    QStringLiteral("The recorder settings could not be saved to %1.");

RecorderWindow::RecorderWindow(RecorderParts parts, QWidget* parent)
    : QWidget(parent, Qt::Window), m_parts(std::move(parts)), m_device(m_parts.takeFolder),
      m_meter(std::make_unique<LevelMeter>(m_parts.dialogs)),
      m_encoder(new Mp3Encoder(m_parts.dir.path(), this)),
      m_sizeTimer(
          m_parts.timers, [this] { sizeTick(); }, kSizeIntervalMs, false),
      m_secondTimer(
          m_parts.timers, [this] { secondTick(); }, 0, false),
      m_limitTimer(
          m_parts.timers, [this] { limitTick(); }, 1000, false),
      m_meterTimer(
          m_parts.timers, [this] { meterTick(); }, 0, false) {
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(kRecorderTitle);
    buildLayout();
    // The window moves by its background, as the console does.
    new widgets::WindowDrag(this);

    connect(m_record, &QAbstractButton::clicked, this, [this] { record(); });
    connect(m_stop, &QAbstractButton::clicked, this, [this] { stop(); });
    connect(m_play, &QAbstractButton::clicked, this, [this] { play(); });
    connect(m_save, &QAbstractButton::clicked, this, [this] { save(); });
    connect(m_reset, &QAbstractButton::clicked, this, [this] { reset(); });
    connect(m_mixer, &QAbstractButton::clicked, this, [this] { openMixer(); });
    connect(m_meterStop, &QPushButton::clicked, this, [this] { stopMeter(); });
    connect(m_close, &QAbstractButton::clicked, this, [this] { hide(); });
    // Escape puts the recorder away like "Close"; a recording goes on.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, m_close,
            &QAbstractButton::click);
    connect(m_closePicture, &QPushButton::clicked, this, [this] { closePicture(); });
    connect(m_expand, &QPushButton::clicked, this, [this] { expand(); });
    connect(m_collapse, &QPushButton::clicked, this, [this] { collapse(); });
    connect(m_mp3Button, &QAbstractButton::clicked, this, [this] { convertToMp3(); });
    connect(m_cancelEncode, &QPushButton::clicked, this, [this] { m_encoder->cancel(); });
    connect(m_sizeBox, &QCheckBox::toggled, this, [this] { sizeBoxClicked(); });
    connect(m_lengthBox, &QCheckBox::toggled, this, [this] { lengthBoxClicked(); });
    // Change and scroll alike: valueChanged comes for both.
    connect(m_sizeSlider, &QSlider::valueChanged, this,
            [this](int v) { m_sizeValue->setText(QString::number(v)); });
    connect(m_lengthSlider, &QSlider::valueChanged, this,
            [this](int v) { m_lengthValue->setText(QString::number(v)); });
    connect(m_encoder, &Mp3Encoder::progress, m_encodeProgress, &QProgressBar::setValue);
    connect(m_encoder, &Mp3Encoder::finished, this,
            [this](const EncodeOutcome& outcome) { onEncodeFinished(outcome); });
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this] { otherWindowActivated(); });
    sizeBoxClicked();
    lengthBoxClicked();
}

RecorderWindow::~RecorderWindow() {
    // A playback's message cannot outlive the window: the console gets its
    // sliders back whatever happens.
    restoreConsole();
    if (m_saveOptions) {
        delete m_saveOptions;
    }
}

void RecorderWindow::buildLayout() {
    auto* outer = new QVBoxLayout(this);
    // The toggles set heights below what the whole layout needs; the lower
    // part is then cut off, as intended.
    outer->setSizeConstraint(QLayout::SetNoConstraint);

    // Top: what is needed while recording, visible when collapsed too.
    auto* controls = new QGroupBox(QStringLiteral("Controls"), this);
    controls->setObjectName(QStringLiteral("fraControls"));
    m_record = skinned(QStringLiteral("Record"), "cmdRecord", controls);
    m_stop = skinned(QStringLiteral("Stop"), "cmdStop", controls);
    m_play = skinned(QStringLiteral("Play"), "cmdPlay", controls);
    m_save = skinned(QStringLiteral("Save"), "cmdSave", controls);
    m_reset = skinned(QStringLiteral("Reset"), "cmdReset", controls);
    m_close = skinned(QStringLiteral("Close"), "cmdClose", controls);
    m_closePicture = button(QStringLiteral("\u2715"), "picClose", controls);
    m_closePicture->setToolTip(QStringLiteral("Close the recorder"));
    m_closePicture->setFlat(true);
    m_expand = button(QStringLiteral("Toggle"), "Command8", controls);
    m_collapse = button(QStringLiteral("Toggle"), "Command9", controls);
    m_state = label(QStringLiteral("READY"), "lblStatus", controls);
    QFont bold = m_state->font();
    bold.setBold(true);
    m_state->setFont(bold);
    // Room for the longest state, so none is cut off as the state changes.
    const QFontMetrics metrics(bold);
    int widest = 0;
    for (const char* state : {"READY", "RECORDING", "RESET/TEST", "PLAYBACK"}) {
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromLatin1(state)));
    }
    m_state->setMinimumWidth(widest + 6);
    m_state->setAlignment(Qt::AlignCenter);
    auto* controlRow = new QHBoxLayout(controls);
    // Record and Stop share one place: only one of them is shown at a time.
    controlRow->addWidget(m_record);
    controlRow->addWidget(m_stop);
    m_stop->hide();
    controlRow->addWidget(m_play);
    controlRow->addWidget(m_save);
    controlRow->addWidget(m_reset);
    controlRow->addWidget(m_state, 1);
    controlRow->addWidget(m_expand);
    controlRow->addWidget(m_collapse);
    controlRow->addWidget(m_close);
    controlRow->addWidget(m_closePicture);
    outer->addWidget(controls);

    auto* information = new QGroupBox(QStringLiteral("Information"), this);
    information->setObjectName(QStringLiteral("fraInformation"));
    auto* info = new QGridLayout(information);
    m_elapsed = new QLineEdit(QStringLiteral("00:00:00"), information);
    m_elapsed->setObjectName(QStringLiteral("txtTime"));
    m_elapsed->setReadOnly(true);
    m_size = label(QStringLiteral("0.000"), "lblSize", information);
    m_level1 = new QProgressBar(information);
    m_level1->setObjectName(QStringLiteral("prgLevel1"));
    m_level2 = new QProgressBar(information);
    m_level2->setObjectName(QStringLiteral("prgLevel2"));
    // The label and the bars change many times a second: each paints its own
    // background and keeps its size, so a change repaints only itself and
    // never lays out or repaints the group around it.
    m_size->setAutoFillBackground(true);
    m_size->setTextFormat(Qt::PlainText);
    m_size->setFixedSize(m_size->fontMetrics()
                             .size(0, QStringLiteral("1000.000000\n"))
                             .grownBy(m_size->contentsMargins()) +
                         QSize(4, 0));
    for (QProgressBar* bar : {m_level1, m_level2}) {
        bar->setAutoFillBackground(true);
        bar->setTextVisible(false);
        bar->setRange(0, kMeterMaximum);
        bar->setValue(0);
    }
    m_meterStop = button(QStringLiteral("Stop"), "cmdMeterStop", information);
    info->addWidget(label(QStringLiteral("Size/MB"), "lblSizeCaption1", information), 0, 0);
    info->addWidget(m_size, 0, 1);
    info->addWidget(label(QStringLiteral("Length"), "lblLengthCaption", information), 0, 2);
    info->addWidget(m_elapsed, 0, 3);
    info->addWidget(m_level1, 1, 0, 1, 3);
    info->addWidget(m_meterStop, 1, 3, 2, 1);
    info->addWidget(m_level2, 2, 0, 1, 3);
    outer->addWidget(information);

    auto* quality = new QGroupBox(QStringLiteral("Select Recording Quality"), this);
    m_qualityGroup = quality;
    quality->setObjectName(QStringLiteral("fraQuality"));
    m_quality = new QComboBox(quality);
    m_quality->setObjectName(QStringLiteral("cbxformat"));
    auto* qualityRow = new QHBoxLayout(quality);
    qualityRow->addWidget(m_quality, 1);
    qualityRow->addWidget(label(QStringLiteral("Size/MB"), "lblSizeCaption2", quality));
    outer->addWidget(quality);

    auto* options = new QGroupBox(QStringLiteral("Other Options"), this);
    m_optionsGroup = options;
    options->setObjectName(QStringLiteral("fraOptions"));
    auto* grid = new QGridLayout(options);
    m_sizeBox = new QCheckBox(
        QStringLiteral("Stop recording when file size reaches target filesize"), options);
    m_sizeBox->setObjectName(QStringLiteral("chkSize"));
    m_lengthBox = new QCheckBox(
        QStringLiteral("Stop recording when file length reaches target length"), options);
    m_lengthBox->setObjectName(QStringLiteral("chkLength"));
    m_sizeSlider = new QSlider(Qt::Horizontal, options);
    m_sizeSlider->setObjectName(QStringLiteral("sldSize"));
    m_sizeSlider->setRange(1, 1000);
    m_sizeSlider->setSingleStep(1);
    m_sizeSlider->setPageStep(200);
    m_sizeSlider->setValue(700);
    m_lengthSlider = new QSlider(Qt::Horizontal, options);
    m_lengthSlider->setObjectName(QStringLiteral("sldLength"));
    m_lengthSlider->setRange(1, 100);
    m_lengthSlider->setSingleStep(1);
    m_lengthSlider->setPageStep(20);
    m_lengthSlider->setValue(70);
    m_sizeValue = label(QStringLiteral("700"), "lblSizeValue", options);
    m_lengthValue = label(QStringLiteral("70"), "lblLengthValue", options);
    m_sizeCaption = label(QStringLiteral("Target Filesize MB"), "lblSizeTarget", options);
    m_lengthCaption = label(QStringLiteral("Target Length (Min)"), "lblLengthTarget", options);
    m_mp3 = new QRadioButton(QStringLiteral("MP3"), options);
    m_mp3->setObjectName(QStringLiteral("optMP3"));
    m_wav = new QRadioButton(QStringLiteral("Wav"), options);
    m_wav->setObjectName(QStringLiteral("optWav"));
    m_wav->setChecked(true);
    m_mixer = skinned(QStringLiteral("Mixer"), "cmdMixer", options);
    m_mp3Button = skinned(QStringLiteral("MP3 >> WAV"), "cmdMp3", options);
    m_encodeProgress = new QProgressBar(options);
    m_encodeProgress->setObjectName(QStringLiteral("prgEncode"));
    m_encodeProgress->setRange(0, 100);
    m_encodeProgress->hide();
    m_cancelEncode = button(QStringLiteral("Cancel"), "cmdCancelEncode", options);
    m_cancelEncode->hide();
    m_lines = new QListWidget(options);
    m_lines->setObjectName(QStringLiteral("lstLines"));
    m_lines->hide();
    grid->addWidget(m_sizeBox, 0, 0, 1, 4);
    grid->addWidget(m_sizeCaption, 1, 0);
    grid->addWidget(m_sizeSlider, 1, 1, 1, 2);
    grid->addWidget(m_sizeValue, 1, 3);
    grid->addWidget(m_lengthBox, 2, 0, 1, 4);
    grid->addWidget(m_lengthCaption, 3, 0);
    grid->addWidget(m_lengthSlider, 3, 1, 1, 2);
    grid->addWidget(m_lengthValue, 3, 3);
    grid->addWidget(m_mp3, 4, 0);
    grid->addWidget(m_wav, 4, 1);
    grid->addWidget(m_mixer, 4, 2);
    grid->addWidget(m_mp3Button, 4, 3);
    grid->addWidget(m_encodeProgress, 5, 0, 1, 3);
    grid->addWidget(m_cancelEncode, 5, 3);
    outer->addWidget(options);
    outer->addStretch();

    m_expand->hide();
    resize(640, std::max(kExpandedTwips / kTwipsPerPixel, sizeHint().height()));

    // What a screen reader says for the controls whose face is no word.
    m_closePicture->setAccessibleName(tr("Close the recorder"));
    m_expand->setAccessibleName(tr("Show all options"));
    m_collapse->setAccessibleName(tr("Show fewer options"));
    m_elapsed->setAccessibleName(tr("Recorded length"));
    m_meterStop->setAccessibleName(tr("Stop the level meter"));
    m_quality->setAccessibleName(tr("Recording quality"));
    m_sizeSlider->setAccessibleName(m_sizeCaption->text());
    m_lengthSlider->setAccessibleName(m_lengthCaption->text());
    m_sizeCaption->setBuddy(m_sizeSlider);
    m_lengthCaption->setBuddy(m_lengthSlider);
    m_lines->setAccessibleName(tr("Recording inputs"));
    // Tab follows the rows as shown: each limit box before its slider.
    QWidget* const order[] = {m_record,       m_stop,     m_play,    m_save,         m_reset,
                              m_expand,       m_collapse, m_close,   m_closePicture, m_elapsed,
                              m_meterStop,    m_quality,  m_sizeBox, m_sizeSlider,   m_lengthBox,
                              m_lengthSlider, m_mp3,      m_wav,     m_mixer,        m_mp3Button,
                              m_cancelEncode};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void RecorderWindow::fillQualityList() {
    m_quality->clear();
    for (const QualityEntry& entry : qualityTable()) {
        m_quality->addItem(QLatin1String(entry.text));
        if (m_quality->count() == kDefaultQuality + 1) {
            m_quality->setCurrentIndex(kDefaultQuality);
        }
    }
}

QString RecorderWindow::settingsPath() const {
    return m_parts.dir.dataFile(kSettingsFile);
}

core::MessageAnswer RecorderWindow::ask(const QString& text, core::MessageButtons buttons,
                                        core::MessageIcon icon, const QString& detail) {
    ++m_dialogDepth;
    const core::MessageAnswer answer =
        m_parts.dialogs.message({text, kRecorderTitle, buttons, icon, detail});
    --m_dialogDepth;
    return answer;
}

QString RecorderWindow::askSaveName(const QString& filter, const QString& folder) {
    ++m_dialogDepth;
    const QString name = m_parts.dialogs.saveFileName({filter, folder, {}, {}});
    --m_dialogDepth;
    return name;
}

void RecorderWindow::load() {
    if (m_loaded) {
        return;
    }
    m_loaded = true;
    m_meterTimer.setInterval(kMeterIntervalMs);
    m_meter->setBufferSize(kMeterBufferBytes);
    ++m_dialogDepth;
    m_meter->start();
    --m_dialogDepth;
    m_meterTimer.setEnabled(true);
    fillQualityList();
    readSettings();
    m_reset->setEnabled(false);
    m_save->setEnabled(false);
    m_secondTimer.setEnabled(false);
    m_sizeValue->setText(QString::number(m_sizeSlider->value()));
    m_lengthValue->setText(QString::number(m_lengthSlider->value()));
    m_device.send(QStringLiteral("close all"));
    m_device.send(QStringLiteral("open new type waveaudio alias capture"));
}

void RecorderWindow::readSettings() {
    const QString path = settingsPath();
    persist::FileRead<persist::RecorderSettings> read =
        persist::readRecordFile<persist::RecorderSettings>(path);
    if (read.state == persist::FileState::Damaged) {
        QString error;
        const std::optional<QString> kept = persist::keepDamaged(path, &error);
        QString detail = QStringLiteral("Reason: %1.").arg(read.reason);
        if (!kept) {
            detail += QStringLiteral(" It could not be moved aside (%1); it will be replaced "
                                     "when the recorder closes.")
                          .arg(error);
        }
        // One that could not be moved aside, and then not be rewritten
        // either, is found again by every recorder window of the run: told
        // once.
        if (!kept) {
            if (stuckDamaged().contains(path)) {
                return;
            }
            stuckDamaged() << path;
        }
        ask(kDamagedText.arg(path, kept.value_or(path + QStringLiteral(".damaged"))),
            core::MessageButtons::Ok, core::MessageIcon::Warning, detail);
        return;
    }
    if (!read.record) {
        return;
    }
    const persist::RecorderSettings& s = *read.record;
    m_mp3->setChecked(s.mp3);
    m_wav->setChecked(s.wav);
    m_sizeBox->setChecked(s.sizeLimitBox == 1);
    m_lengthBox->setChecked(s.lengthLimitBox == 1);
    m_sizeSlider->setValue(s.sizeTarget);
    m_lengthSlider->setValue(s.lengthTarget);
    // -1 (no selection) cannot come from this window; the default stays.
    if (s.quality >= 0) {
        m_quality->setCurrentIndex(s.quality);
    }
    // A position on a screen that is no longer there would hide the window.
    const QPoint at(static_cast<int>(s.left / kTwipsPerPixel),
                    static_cast<int>(s.top / kTwipsPerPixel));
    if (QGuiApplication::screenAt(at) != nullptr) {
        move(at);
    }
    // The stored height is kept for the file's sake only: the window opens
    // expanded, so the toggle offered is always the one that collapses it.
    m_lines->setProperty("savedSelection", s.lineList);
}

std::optional<persist::WriteFailure> RecorderWindow::writeSettings() {
    persist::RecorderSettings s;
    s.sizeLimitBox = m_sizeBox->isChecked() ? 1 : 0;
    s.lengthLimitBox = m_lengthBox->isChecked() ? 1 : 0;
    s.sizeTarget = m_sizeSlider->value();
    s.lengthTarget = m_lengthSlider->value();
    s.quality = m_quality->currentIndex();
    s.height = height() * kTwipsPerPixel;
    s.left = x() * kTwipsPerPixel;
    s.top = y() * kTwipsPerPixel;
    s.mp3 = m_mp3->isChecked();
    s.wav = m_wav->isChecked();
    s.lineList = m_lines->currentRow();
    QString error;
    if (!persist::writeFileAtomically(settingsPath(), s.toLine(), &error)) {
        return persist::WriteFailure{settingsPath(), error};
    }
    return std::nullopt;
}

void RecorderWindow::record() {
    setForeColour(m_state, kRed);
    m_state->setText(QStringLiteral("RECORDING"));
    m_record->hide();
    m_stop->show();
    m_mp3->setEnabled(false);
    m_wav->setEnabled(false);
    m_sizeTimer.setEnabled(true);
    const WaveFormat format = qualityByText(m_quality->currentText()).value_or(WaveFormat{0, 0, 0});
    m_limitTimer.setEnabled(true);
    m_secondTimer.setEnabled(true);
    m_secondTimer.setInterval(1000);
    m_startTime = m_parts.clock.localNow();
    refreshElapsed();
    m_device.send(QStringLiteral("set capture samplespersec ") +
                  QString::number(format.samplesPerSec) + QStringLiteral(" channels ") +
                  QString::number(format.channels) + QStringLiteral(" bitspersample ") +
                  QString::number(format.bitsPerSample) + QStringLiteral(" alignment ") +
                  QString::number(format.blockAlign()) + QStringLiteral(" bytespersec ") +
                  QString::number(format.bytesPerSec()));
    m_device.send(QStringLiteral("record capture"));
    m_unsavedTake = true;
    m_stop->setEnabled(true);
    m_play->setEnabled(false);
}

void RecorderWindow::refreshElapsed() {
    const qint64 ms = std::max<qint64>(0, m_startTime.msecsTo(m_parts.clock.localNow()));
    const qint64 s = ms / 1000;
    m_elapsed->setText(QStringLiteral("%1:%2:%3")
                           .arg(s / 3600 % 24, 2, 10, QLatin1Char('0'))
                           .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                           .arg(s % 60, 2, 10, QLatin1Char('0')));
}

void RecorderWindow::secondTick() {
    ++m_seconds;
    refreshElapsed();
}

QString RecorderWindow::sizeCaption(qint64 bytes) {
    return QString::number(static_cast<double>(bytes) / 1000000.0, 'g', 15) +
           QStringLiteral("\r\n");
}

void RecorderWindow::sizeTick() {
    m_device.send(QStringLiteral("set capture time format ms"));
    m_device.send(QStringLiteral("status capture length"));
    m_device.send(QStringLiteral("set capture time format bytes"));
    const CommandResult length = m_device.send(QStringLiteral("status capture length"));
    const QString size = sizeCaption(length.reply.toLongLong());
    if (m_size->text() != size) {
        m_size->setText(size);
    }
    m_device.send(QStringLiteral("status capture channels"));
    // A device that went away, or a full disk, ends the take with what it
    // holds; the take is then ready to save like any other.
    const QString interruption = m_device.takeInterruption();
    if (!interruption.isEmpty() && m_secondTimer.isEnabled()) {
        endOfTake(kInterruptedText.arg(interruption));
    }
}

void RecorderWindow::endOfTake(const QString& text) {
    m_secondTimer.setEnabled(false);
    m_device.send(QStringLiteral("stop capture"));
    m_limitTimer.setEnabled(false);
    setForeColour(m_state, kGreen);
    m_reset->setEnabled(true);
    m_stop->setEnabled(false);
    m_record->setEnabled(false);
    m_play->setEnabled(true);
    m_save->setEnabled(true);
    m_seconds = 0;
    ask(text, core::MessageButtons::Ok, core::MessageIcon::Information);
    m_record->hide();
    m_stop->show();
    setForeColour(m_state, kYellow);
    m_state->setText(QStringLiteral("RESET/TEST"));
}

void RecorderWindow::limitTick() {
    // Both limits are judged on the take as it was at this tick: when both
    // are reached together, both stops run and both messages appear.
    const double target = m_sizeValue->text().trimmed().toDouble();
    const double megabytes = m_size->text().trimmed().toDouble();
    const bool sizeReached = megabytes >= target && m_sizeBox->isChecked();
    const double minutes = m_seconds / 60.0;
    const bool lengthReached =
        minutes >= m_lengthValue->text().trimmed().toDouble() && m_lengthBox->isChecked();
    if (sizeReached) {
        endOfTake(kSizeReachedText);
    }
    if (lengthReached) {
        endOfTake(kLengthReachedText);
    }
}

void RecorderWindow::stop() {
    setForeColour(m_state, kYellow);
    m_state->setText(QStringLiteral("RESET/TEST"));
    m_record->setEnabled(false);
    m_save->setEnabled(true);
    m_stop->setEnabled(false);
    m_reset->setEnabled(true);
    m_seconds = 0;
    m_limitTimer.setEnabled(false);
    m_size->setText(QStringLiteral("0"));
    m_play->setEnabled(true);
    m_device.send(QStringLiteral("stop capture"));
    m_secondTimer.setEnabled(false);
}

void RecorderWindow::play() {
    m_state->setText(QStringLiteral("PLAYBACK"));
    if (m_parts.backgroundSlider && m_parts.randomSlider) {
        m_consoleVolumes = {m_parts.backgroundSlider->value(), m_parts.randomSlider->value()};
        m_parts.backgroundSlider->setValue(kConsoleVolumeMinimum);
        m_parts.randomSlider->setValue(kConsoleVolumeMinimum);
    }
    m_device.send(QStringLiteral("play capture from 0"));
    ask(kPlaybackText, core::MessageButtons::Ok, core::MessageIcon::Information);
    restoreConsole();
}

void RecorderWindow::restoreConsole() {
    if (m_device.isPlaying()) {
        m_device.send(QStringLiteral("stop capture"));
    }
    if (!m_consoleVolumes) {
        return;
    }
    const auto [background, random] = *m_consoleVolumes;
    m_consoleVolumes.reset();
    if (m_parts.backgroundSlider) {
        m_parts.backgroundSlider->setValue(background);
    }
    if (m_parts.randomSlider) {
        m_parts.randomSlider->setValue(random);
    }
}

void RecorderWindow::save() {
    const bool asMp3 = m_mp3->isChecked();
    // One encode at a time: asked before a name is chosen in vain, and the
    // take stays as it is.
    if (asMp3 && encoderBusy(QStringLiteral("The recording is kept: it can be saved once the "
                                            "MP3 file is finished, or as Wav at once."))) {
        return;
    }
    m_save->setEnabled(false);
    m_play->setEnabled(false);
    QString path = askSaveName(asMp3 ? QStringLiteral("Mp3 Files (*.mp3)|*.mp3")
                                     : QStringLiteral("Wav File (*.wav)| *.wav"),
                               m_parts.dir.dataPath());
    if (path.isEmpty()) {
        // The take is still there: it can still be saved or played.
        m_save->setEnabled(true);
        m_play->setEnabled(true);
        return;
    }
    path = withSuffix(path, asMp3 ? QStringLiteral("mp3") : QStringLiteral("wav"));
    m_savedPath = path;
    if (!asMp3) {
        const CommandResult r = m_device.send(QStringLiteral("save capture ") + path);
        if (!r.ok()) {
            ask(kSaveFailedText, core::MessageButtons::Ok, core::MessageIcon::None, r.error);
            m_save->setEnabled(true);
            m_play->setEnabled(true);
            return;
        }
        finishSave();
        return;
    }
    // As MP3: the take goes to a WAV among the takes first; it is discarded
    // only once the encoder has made the MP3.
    QTemporaryFile wav(m_parts.takeFolder + QStringLiteral("/encode-XXXXXX.wav"));
    wav.setAutoRemove(false);
    const QString wavPath = wav.open() ? wav.fileName() : QString();
    wav.close();
    const CommandResult r = m_device.send(QStringLiteral("save capture ") + wavPath);
    if (wavPath.isEmpty() || !r.ok()) {
        if (!wavPath.isEmpty()) {
            QFile::remove(wavPath);
        }
        ask(kSaveFailedText, core::MessageButtons::Ok, core::MessageIcon::None, r.error);
        m_save->setEnabled(true);
        m_play->setEnabled(true);
        return;
    }
    m_encodeSource = wavPath;
    startEncode(EncodeJob::Save, wavPath, path);
}

void RecorderWindow::finishSave() {
    m_sizeTimer.setEnabled(false);
    m_device.send(QStringLiteral("close all"));
    m_device.send(QStringLiteral("open new type waveaudio alias capture"));
    m_unsavedTake = false;
    m_savedFolder = folderOf(m_savedPath);
    showSaveOptions();
}

void RecorderWindow::showSaveOptions() {
    if (m_saveOptions) {
        m_saveOptions->close();
    }
    m_saveOptions = new SaveOptionsWindow(m_savedPath, m_savedFolder, m_parts.desktop, this);
    m_saveOptions->show();
}

void RecorderWindow::reset() {
    m_device.send(QStringLiteral("close all"));
    m_device.send(QStringLiteral("open new type waveaudio alias capture"));
    m_unsavedTake = false;
    m_record->setEnabled(true);
    m_save->setEnabled(false);
    m_play->setEnabled(false);
    m_reset->setEnabled(false);
    m_seconds = 0;
    m_limitTimer.setEnabled(false);
    m_size->setText(QStringLiteral("0"));
    m_record->show();
    m_stop->hide();
    setForeColour(m_state, palette().color(QPalette::WindowText));
    m_state->setText(QStringLiteral("READY"));
    m_startTime = m_parts.clock.localNow();
    m_elapsed->setText(QStringLiteral("00:00:00"));
    m_mp3->setEnabled(true);
    m_wav->setEnabled(true);
}

void RecorderWindow::openMixer() {
    // The desktop's recording mixer, on its recording tab.
    const QString mixer = m_parts.desktop.findProgram(QStringLiteral("pavucontrol"));
    if (mixer.isEmpty() || !m_parts.desktop.startProgram(mixer, {QStringLiteral("--tab=4")})) {
        ask(kMixerFailedText, core::MessageButtons::Ok, core::MessageIcon::Information);
    }
}

void RecorderWindow::convertToMp3() {
    if (encoderBusy()) {
        return;
    }
    ++m_dialogDepth;
    const QString source =
        m_parts.dialogs.openFileName({QStringLiteral("Wav Files (*.wav)|*.wav|Wav Files (*.*)|*.*"),
                                      folderOf(m_lastMp3Source),
                                      QFileInfo(m_lastMp3Source).fileName(),
                                      {}});
    --m_dialogDepth;
    if (source.isEmpty()) {
        return;
    }
    m_lastMp3Source = source;
    ++m_dialogDepth;
    QString target = m_parts.dialogs.saveFileName(
        {QStringLiteral("Mp3 Files (*.mp3)|*.mp3|mp3 Files (*.*)|*.*"), folderOf(source), {}, {}});
    --m_dialogDepth;
    if (target.isEmpty()) {
        return;
    }
    target = withSuffix(target, QStringLiteral("mp3"));
    if (QFileInfo(target) == QFileInfo(source)) {
        ask(kMp3FailedText.arg(target), core::MessageButtons::Ok, core::MessageIcon::Warning,
            QStringLiteral("The MP3 file would replace the WAV file it is made from."));
        return;
    }
    startEncode(EncodeJob::Convert, source, target);
}

bool RecorderWindow::encoderBusy(const QString& detail) {
    if (!m_encoder->isRunning()) {
        return false;
    }
    ask(kEncoderBusyText.arg(m_encodeTarget), core::MessageButtons::Ok,
        core::MessageIcon::Information, detail);
    return true;
}

void RecorderWindow::startEncode(EncodeJob job, const QString& source, const QString& target) {
    // Set before the start: a failure to start finishes at once.
    m_encodeJob = job;
    m_encodeTarget = target;
    encodeStarted();
    m_encoder->start(source, target);
}

void RecorderWindow::encodeStarted() {
    m_encodeProgress->setValue(0);
    m_encodeProgress->show();
    m_cancelEncode->show();
    m_mp3Button->setEnabled(false);
}

void RecorderWindow::encodeEnded() {
    m_encodeProgress->hide();
    m_cancelEncode->hide();
    m_mp3Button->setEnabled(true);
}

void RecorderWindow::onEncodeFinished(const EncodeOutcome& outcome) {
    const EncodeJob job = m_encodeJob;
    m_encodeJob = EncodeJob::None;
    encodeEnded();
    if (job == EncodeJob::Save) {
        QFile::remove(m_encodeSource);
        m_encodeSource.clear();
        if (outcome.kind == EncodeOutcome::Kind::Created) {
            finishSave();
            return;
        }
        // The take stays: it can be saved again, as WAV if need be.
        m_save->setEnabled(true);
        m_play->setEnabled(true);
    }
    switch (outcome.kind) {
    case EncodeOutcome::Kind::Created:
        if (ask(kCreatedText.arg(outcome.target), core::MessageButtons::YesNo,
                core::MessageIcon::Information) == core::MessageAnswer::Yes) {
            m_parts.desktop.openUrl(QUrl::fromLocalFile(folderOf(outcome.target)));
        }
        break;
    case EncodeOutcome::Kind::Failed:
        ask(kMp3FailedText.arg(outcome.target), core::MessageButtons::Ok,
            core::MessageIcon::Warning, outcome.reason);
        break;
    case EncodeOutcome::Kind::Cancelled:
        break;
    }
}

void RecorderWindow::closePicture() {
    if (m_unsavedTake && m_device.lengthBytes() > 0 &&
        ask(kDiscardText, core::MessageButtons::OkCancel, core::MessageIcon::Question) !=
            core::MessageAnswer::Ok) {
        return;
    }
    unload();
    Q_EMIT unloaded();
}

void RecorderWindow::unload() {
    if (const std::optional<persist::WriteFailure> failed = unloadAtShutdown()) {
        ask(kNotSavedText.arg(failed->path), core::MessageButtons::Ok, core::MessageIcon::Warning,
            failed->reason);
    }
}

std::optional<persist::WriteFailure> RecorderWindow::unloadAtShutdown() {
    if (m_unloaded) {
        return std::nullopt;
    }
    m_unloaded = true;
    restoreConsole();
    if (m_encoder->isRunning()) {
        m_encoder->cancel();
    }
    m_device.send(QStringLiteral("close capture"));
    std::optional<persist::WriteFailure> failed;
    if (m_loaded) {
        failed = writeSettings();
    }
    m_sizeTimer.setEnabled(false);
    m_secondTimer.setEnabled(false);
    m_limitTimer.setEnabled(false);
    m_meterTimer.setEnabled(false);
    m_meter->stop();
    if (m_saveOptions) {
        m_saveOptions->close();
    }
    hide();
    return failed;
}

// The heights are floors: the desktop's fonts decide how much room the
// groups need, and no control may end up squeezed or cut off.
void RecorderWindow::expand() {
    m_qualityGroup->show();
    m_optionsGroup->show();
    resize(width(), std::max(kExpandedTwips / kTwipsPerPixel, sizeHint().height()));
    m_expand->hide();
    m_collapse->show();
}

void RecorderWindow::collapse() {
    m_qualityGroup->hide();
    m_optionsGroup->hide();
    resize(width(), std::max(kCollapsedTwips / kTwipsPerPixel, sizeHint().height()));
    m_collapse->hide();
    m_expand->show();
}

void RecorderWindow::stopMeter() {
    m_meterTimer.setEnabled(false);
    m_meter->stop();
}

void RecorderWindow::meterTick() {
    // Both bars show the same, newest block.
    const int level = m_meter->readLevel();
    m_level1->setValue(level);
    m_level2->setValue(level);
}

void RecorderWindow::sizeBoxClicked() {
    const bool on = m_sizeBox->isChecked();
    m_sizeCaption->setEnabled(on);
    m_sizeValue->setEnabled(on);
    m_sizeSlider->setEnabled(on);
}

void RecorderWindow::lengthBoxClicked() {
    const bool on = m_lengthBox->isChecked();
    m_lengthCaption->setEnabled(on);
    m_lengthValue->setEnabled(on);
    m_lengthSlider->setEnabled(on);
}

void RecorderWindow::otherWindowActivated() {
    QWindow* active = QGuiApplication::focusWindow();
    if (!isVisible() || m_dialogDepth > 0 || active == nullptr || windowHandle() == nullptr) {
        return;
    }
    // The recorder's own windows (save options) do not count.
    for (QWindow* w = active; w != nullptr; w = w->transientParent()) {
        if (w == windowHandle()) {
            m_hasBeenActive = true;
            return;
        }
    }
    // Only a window taking over from the recorder hides it: the console
    // may still hold the focus for a moment after "Record" shows it.
    if (std::exchange(m_hasBeenActive, false)) {
        hide();
    }
}

void RecorderWindow::closeEvent(QCloseEvent* event) {
    // The title bar's close is the Close button: the recording goes on.
    event->ignore();
    hide();
}

} // namespace sylvaro::recorder
