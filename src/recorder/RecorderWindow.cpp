#include "RecorderWindow.h"

#include "Desktop.h"
#include "LevelMeter.h"
#include "Mp3Encoder.h"
#include "RecorderTitle.h"
#include "SaveOptionsWindow.h"
#include "core/AppDir.h"
#include "persist/DamagedFileReport.h"
#include "persist/LineCodec.h"
#include "persist/RecorderSettings.h"
#include "widgets/WindowDrag.h"
#include "widgets/XpBs.h"

#include <QAbstractSlider>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
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
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <utility>

namespace sylvaro::recorder {

namespace {

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

// Only a change is shown: the size and the time come many times a second,
// and a label set to its own text would still repaint.
template <typename Widget> void showText(Widget* w, const QString& text) {
    if (w->text() != text) {
        w->setText(text);
    }
}

constexpr int kConsoleVolumeMinimum = -3000;
constexpr int kMeterBufferBytes = 800;
constexpr int kMeterMaximum = 128;

} // namespace

const QString RecorderWindow::kSettingsFile = QStringLiteral("settings9.txt");
const QString RecorderWindow::kMixerFailedText = QStringLiteral(
    "Could not open the Windows mixer. If your Soundcard has its own mixer then you will need "
    "to configure your recording source from there.");
const QString RecorderWindow::kDiscardText = QStringLiteral(
    "The recording has not been saved. Close the recorder and discard the recording?");
const QString RecorderWindow::kDamagedText =
    QStringLiteral("The recorder settings file %1 could not be read, so the recorder starts with "
                   "its design values. The file was kept as %2.");
const QString RecorderWindow::kNotSavedText =
    QStringLiteral("The recorder settings could not be saved to %1.");

RecorderWindow::RecorderWindow(RecorderParts parts, QWidget* parent)
    : QWidget(parent, Qt::Window), m_parts(std::move(parts)), m_dialogs(m_parts.dialogs),
      m_meter(std::make_unique<LevelMeter>(m_dialogs)),
      m_mp3(m_parts.dir.path(), m_dialogs, m_parts.desktop),
      m_session({m_parts.timers, m_dialogs, m_parts.clock, m_mp3, *this, m_parts.takeFolder,
                 m_parts.dir.dataPath()}),
      m_meterTimer(
          m_parts.timers, [this] { meterTick(); }, 0, false) {
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(kRecorderTitle);
    buildLayout();
    // The window moves by its background, as the console does.
    new widgets::WindowDrag(this);

    connect(m_record, &QAbstractButton::clicked, this, [this] {
        m_session.record(qualityByText(m_quality->currentText()).value_or(WaveFormat{0, 0, 0}));
    });
    connect(m_stop, &QAbstractButton::clicked, this, [this] { m_session.stop(); });
    connect(m_play, &QAbstractButton::clicked, this, [this] { m_session.play(); });
    connect(m_save, &QAbstractButton::clicked, this,
            [this] { m_session.save(m_mp3Choice->isChecked()); });
    connect(m_reset, &QAbstractButton::clicked, this, [this] { m_session.reset(); });
    connect(m_mixer, &QAbstractButton::clicked, this, [this] { openMixer(); });
    connect(m_meterStop, &QPushButton::clicked, this, [this] { stopMeter(); });
    connect(m_close, &QAbstractButton::clicked, this, [this] { hide(); });
    // Escape puts the recorder away like "Close"; a recording goes on.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, m_close,
            &QAbstractButton::click);
    connect(m_closePicture, &QPushButton::clicked, this, [this] { closePicture(); });
    connect(m_expand, &QPushButton::clicked, this, [this] { expand(); });
    connect(m_collapse, &QPushButton::clicked, this, [this] { collapse(); });
    connect(m_mp3Button, &QAbstractButton::clicked, this, [this] { m_mp3.askAndConvert(); });
    connect(m_cancelEncode, &QPushButton::clicked, this, [this] { m_mp3.cancel(); });
    connect(&m_mp3, &Mp3Job::runningChanged, this, [this](bool on) { encodeRunning(on); });
    connect(&m_mp3.encoder(), &Mp3Encoder::progress, m_encodeProgress, &QProgressBar::setValue);
    for (QCheckBox* box : {m_sizeBox, m_lengthBox}) {
        connect(box, &QCheckBox::toggled, this, [this] { limitsChanged(); });
    }
    // Change and scroll alike: valueChanged comes for both.
    for (QSlider* slider : {m_sizeSlider, m_lengthSlider}) {
        connect(slider, &QSlider::valueChanged, this, [this] { limitsChanged(); });
    }
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this] { otherWindowActivated(); });
    limitsChanged();
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
    m_mp3Choice = new QRadioButton(QStringLiteral("MP3"), options);
    m_mp3Choice->setObjectName(QStringLiteral("optMP3"));
    m_wavChoice = new QRadioButton(QStringLiteral("Wav"), options);
    m_wavChoice->setObjectName(QStringLiteral("optWav"));
    m_wavChoice->setChecked(true);
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
    grid->addWidget(m_mp3Choice, 4, 0);
    grid->addWidget(m_wavChoice, 4, 1);
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
    QWidget* const order[] = {m_record,       m_stop,      m_play,      m_save,         m_reset,
                              m_expand,       m_collapse,  m_close,     m_closePicture, m_elapsed,
                              m_meterStop,    m_quality,   m_sizeBox,   m_sizeSlider,   m_lengthBox,
                              m_lengthSlider, m_mp3Choice, m_wavChoice, m_mixer,        m_mp3Button,
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
    return m_dialogs.message({text, kRecorderTitle, buttons, icon, detail});
}

void RecorderWindow::load() {
    if (m_loaded) {
        return;
    }
    m_loaded = true;
    m_meterTimer.setInterval(kMeterIntervalMs);
    m_meter->setBufferSize(kMeterBufferBytes);
    m_meter->start();
    m_meterTimer.setEnabled(true);
    fillQualityList();
    readSettings();
    m_session.open();
}

void RecorderWindow::readSettings() {
    const std::optional<persist::RecorderSettings> read =
        persist::readOrReportDamaged<persist::RecorderSettings>(
            settingsPath(), m_dialogs,
            {kDamagedText, kRecorderTitle, QStringLiteral("the recorder")});
    if (!read) {
        return;
    }
    const persist::RecorderSettings& s = *read;
    m_mp3Choice->setChecked(s.mp3);
    m_wavChoice->setChecked(s.wav);
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
    s.mp3 = m_mp3Choice->isChecked();
    s.wav = m_wavChoice->isChecked();
    s.lineList = m_lines->currentRow();
    QString error;
    if (!persist::writeFileAtomically(settingsPath(), s.toLine(), &error)) {
        return persist::WriteFailure{settingsPath(), error};
    }
    return std::nullopt;
}

void RecorderWindow::limitsChanged() {
    const bool sizeOn = m_sizeBox->isChecked();
    const bool lengthOn = m_lengthBox->isChecked();
    m_sizeCaption->setEnabled(sizeOn);
    m_sizeValue->setEnabled(sizeOn);
    m_sizeSlider->setEnabled(sizeOn);
    m_lengthCaption->setEnabled(lengthOn);
    m_lengthValue->setEnabled(lengthOn);
    m_lengthSlider->setEnabled(lengthOn);
    m_sizeValue->setText(QString::number(m_sizeSlider->value()));
    m_lengthValue->setText(QString::number(m_lengthSlider->value()));
    m_session.setLimits({sizeOn, m_sizeSlider->value(), lengthOn, m_lengthSlider->value()});
}

void RecorderWindow::showTake() {
    const TakeControls& c = m_session.controls();
    m_record->setEnabled(c.record);
    m_stop->setEnabled(c.stop);
    m_play->setEnabled(c.play);
    m_save->setEnabled(c.save);
    m_reset->setEnabled(c.reset);
    m_record->setVisible(c.recordShown);
    m_stop->setVisible(!c.recordShown);
    m_mp3Choice->setEnabled(c.formatChoice);
    m_wavChoice->setEnabled(c.formatChoice);

    const CaptionColour shade = m_session.captionColour();
    const QColor colour = shade == CaptionColour::Red      ? QColor(255, 0, 0)
                          : shade == CaptionColour::Green  ? QColor(0, 255, 0)
                          : shade == CaptionColour::Yellow ? QColor(255, 255, 0)
                                                           : palette().color(QPalette::WindowText);
    if (m_state->palette().color(QPalette::WindowText) != colour) {
        QPalette p = m_state->palette();
        p.setColor(QPalette::WindowText, colour);
        m_state->setPalette(p);
    }
    showText(m_state, m_session.caption());
    showText(m_size, m_session.sizeText());
    showText(m_elapsed, m_session.elapsedText());
}

void RecorderWindow::muteConsole() {
    if (m_parts.backgroundSlider && m_parts.randomSlider) {
        m_consoleVolumes = {m_parts.backgroundSlider->value(), m_parts.randomSlider->value()};
        m_parts.backgroundSlider->setValue(kConsoleVolumeMinimum);
        m_parts.randomSlider->setValue(kConsoleVolumeMinimum);
    }
}

void RecorderWindow::unmuteConsole() {
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

void RecorderWindow::restoreConsole() {
    m_session.stopPlayback();
    unmuteConsole();
}

void RecorderWindow::takeSaved(const QString& path, const QString& folder) {
    if (m_saveOptions) {
        m_saveOptions->close();
    }
    m_saveOptions = new SaveOptionsWindow(path, folder, m_parts.desktop, this);
    m_saveOptions->show();
}

void RecorderWindow::encodeRunning(bool running) {
    if (running) {
        m_encodeProgress->setValue(0);
    }
    m_encodeProgress->setVisible(running);
    m_cancelEncode->setVisible(running);
    m_mp3Button->setEnabled(!running);
}

void RecorderWindow::openMixer() {
    // The desktop's recording mixer, on its recording tab.
    const QString mixer = m_parts.desktop.findProgram(QStringLiteral("pavucontrol"));
    if (mixer.isEmpty() || !m_parts.desktop.startProgram(mixer, {QStringLiteral("--tab=4")})) {
        ask(kMixerFailedText, core::MessageButtons::Ok, core::MessageIcon::Information);
    }
}

void RecorderWindow::closePicture() {
    if (m_session.hasUnsavedTake() && ask(kDiscardText, core::MessageButtons::OkCancel,
                                          core::MessageIcon::Question) != core::MessageAnswer::Ok) {
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
    if (m_mp3.isRunning()) {
        m_mp3.cancel();
    }
    m_session.close();
    std::optional<persist::WriteFailure> failed;
    if (m_loaded) {
        failed = writeSettings();
    }
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

void RecorderWindow::otherWindowActivated() {
    QWindow* active = QGuiApplication::focusWindow();
    if (!isVisible() || m_dialogs.isOpen() || active == nullptr || windowHandle() == nullptr) {
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
