#include "ConsoleWindow.h"

#include "ConsoleKeyboard.h"
#include "ConsoleLifecycle.h"
#include "ConsoleMenus.h"
#include "ConsoleModes.h"
#include "ConsoleShell.h"
#include "ConsoleState.h"
#include "ControlWatch.h"
#include "CustomLink.h"
#include "MixFiles.h"
#include "RecorderLink.h"
#include "SettingsFiles.h"
#include "core/Text.h"
#include "core/WallClock.h"
#include "custom/CustomChannels.h"
#include "custom/CustomPanel.h"
#include "custom/SoundDecoder.h"
#include "engine/OutputRecovery.h"
#include "engine/SoundEngine.h"
#include "panels/BackgroundChannels.h"
#include "panels/CatalogueSounds.h"
#include "panels/ClockAlarmPanel.h"
#include "panels/DevicePanel.h"
#include "panels/FullWindowPicture.h"
#include "panels/OutputPause.h"
#include "panels/PictureArea.h"
#include "panels/RandomSounds.h"
#include "panels/ScenePanel.h"
#include "panels/SleepPanel.h"
#include "panels/SleepTimer.h"
#include "panels/VolumeControls.h"
#include "widgets/SkinnedButton.h"
#include "widgets/TrackSlider.h"
#include "widgets/WindowDrag.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <utility>

namespace sylvaro::app {

ConsoleWindow::ConsoleWindow(Services services, QWidget* parent)
    : QMainWindow(parent), m_services(std::move(services)),
      m_engine(std::make_unique<engine::SoundEngine>(m_services.audio)),
      m_sounds(std::make_unique<panels::CatalogueSounds>(*m_engine)),
      m_decoder(std::make_unique<custom::SoundDecoder>(m_engine->mixer().sampleRate())),
      m_files(std::make_unique<SettingsFiles>(m_services.appDir, m_services.dialogs)),
      m_recovery(std::make_unique<engine::OutputRecovery>(m_services.audio, m_engine->mixer())) {
    setObjectName(QStringLiteral("frmmain"));
    setWindowTitle(kTitle);
    m_menus = new ConsoleMenus(menuBar());
    m_output = std::make_unique<panels::OutputPause>(*m_engine);
    m_sleepTimer =
        std::make_unique<panels::SleepTimer>(m_services.timers, m_services.clock, *m_output);
    buildLayout();
    // The start-up step's countdown starts with the window.
    m_lifecycle = std::make_unique<ConsoleLifecycle>(
        LifecycleParts{m_services.appDir, m_services.timers, m_services.dialogs, *m_engine,
                       *m_sounds, *m_state, *m_menus, *m_scenes, *m_devices, *m_files, *m_custom});
    m_lifecycle->setCloseWindow([this] { close(); });
    m_recorder = std::make_unique<RecorderLink>(m_services, panels().volumes, *m_lifecycle, this);

    m_mixes = new MixFiles(m_services.appDir, m_services.dialogs, *m_state, this);
    connect(m_menus, &ConsoleMenus::saveRequested, this, [this] { m_mixes->save(); });
    connect(m_menus, &ConsoleMenus::loadRequested, this, [this] { m_mixes->load(); });
    connect(m_save, &QPushButton::clicked, this, [this] { m_mixes->save(); });
    connect(m_load, &QPushButton::clicked, this, [this] { m_mixes->load(); });
    // The buttons follow the File menu they repeat.
    connect(m_menus->fileMenu()->menuAction(), &QAction::enabledChanged, this, [this](bool on) {
        m_save->setEnabled(on);
        m_load->setEnabled(on);
    });
    connect(m_lifecycle.get(), &ConsoleLifecycle::resumed, this, [this] {
        if (!m_pendingMix.isEmpty()) {
            m_mixes->loadFrom(std::exchange(m_pendingMix, QString()));
        }
    });
    setAcceptDrops(true);
    connect(m_menus, &ConsoleMenus::exitRequested, this, [this] { m_lifecycle->requestExit(); });
    connect(m_exit, &QPushButton::clicked, this, [this] { m_lifecycle->requestExit(); });
    connect(m_record, &QPushButton::clicked, this, [this] { m_recorder->show(); });
    connect(m_devices, &panels::DevicePanel::enableRequested, this,
            [this] { m_lifecycle->enableConsole(); });
    connect(m_menus, &ConsoleMenus::fontColourRequested, this,
            [this] { m_state->chooseTextColour(); });
    connect(m_menus, &ConsoleMenus::backColourRequested, this,
            [this] { m_state->chooseBackColour(); });
    connect(m_scenes, &panels::ScenePanel::sceneChosen, this,
            [this](const scenes::Scene* scene) { m_state->applyScene(*scene); });
    connect(m_scenes, &panels::ScenePanel::resetRequested, this, [this] { m_state->reset(); });
    // After the scene handler above, so it hears of scenes already applied.
    m_controls = new ControlWatch(panels(), *m_scenes, *m_mixes, this);
    // Any change to the mix brings a paused output back.
    connect(m_controls, &ControlWatch::anyChange, m_output.get(), &panels::OutputPause::resume);
    m_state->attachCustom(*m_custom);
    connect(&panels().random, &panels::RandomSounds::bank1Requested, this,
            [this] { m_custom->switchOff(); });
    connect(&panels().clock, &panels::ClockAlarmPanel::secondTicked, this,
            &ConsoleWindow::watchOutput);
    m_modes->setStartedCheck([this] { return m_lifecycle->isStarted(); });
    m_shell = new ConsoleShell(this, *m_state, m_services.appDir, m_services.dialogs);
    // The load ends when its information window closes: the saved mix
    // resumes 2500 ms after that, never under it.
    connect(m_lifecycle.get(), &ConsoleLifecycle::loaded, m_shell, [this] {
        if (m_shell->tipsWanted()) {
            m_lifecycle->endLoadWith([this] { m_shell->showTips(); });
        }
    });
    connect(m_menus, &ConsoleMenus::helpRequested, m_shell, &ConsoleShell::openHelp);
    connect(m_menus, &ConsoleMenus::aboutRequested, m_shell, &ConsoleShell::showAbout);
    // The skinned buttons' click sounds play through the console's mixer.
    if (!m_services.offline) {
        widgets::SkinnedButton::setSoundPlayer([this](const QString& stored) {
            const QString path =
                widgets::SkinnedButton::resolveSoundFile(stored, m_services.appDir.path());
            if (!path.isEmpty()) {
                m_engine->playOnce(QFile::encodeName(path).toStdString());
            }
        });
    }
    new ConsoleKeyboard(*this);
}

void ConsoleWindow::watchOutput() {
    if (!m_lifecycle->isStarted()) {
        return;
    }
    // Every ticked channel and armed timer goes on in the mixer meanwhile,
    // so the mix sounds again as soon as a device is back.
    constexpr std::int64_t kRestoredNoteMs = 10000;
    const std::int64_t now = m_services.clock.localNow().toMSecsSinceEpoch();
    switch (m_recovery->poll(now)) {
    case engine::OutputRecovery::Event::Lost:
        m_devices->setNote(core::toQString(m_recovery->note()));
        m_noteClearsAtMs = -1;
        break;
    case engine::OutputRecovery::Event::Restored:
        m_devices->setNote(core::toQString(m_recovery->note()));
        m_noteClearsAtMs = now + kRestoredNoteMs;
        break;
    case engine::OutputRecovery::Event::None:
        if (m_noteClearsAtMs >= 0 && now >= m_noteClearsAtMs) {
            m_devices->setNote({});
            m_noteClearsAtMs = -1;
        }
        break;
    }
}

ConsoleWindow::~ConsoleWindow() {
    if (!m_services.offline) {
        widgets::SkinnedButton::setSoundPlayer({});
    }
    // The recorder holds the console's sliders.
    m_recorder.reset();
    // The panels use the engine and its buffers: they go first.
    m_lifecycle.reset();
    m_state.reset();
    m_recovery.reset();
    delete takeCentralWidget();
    m_sleepTimer.reset();
    m_output.reset();
    m_decoder.reset();
    m_sounds.reset();
    m_engine.reset();
}

ConsolePanels& ConsoleWindow::panels() {
    return m_state->panels();
}

void ConsoleWindow::buildLayout() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("console"));
    setCentralWidget(central);

    auto* picture = new panels::PictureArea(central);
    auto* channels = new panels::BackgroundChannels(*m_sounds, central);
    auto* volumes = new panels::VolumeControls(*m_sounds, central);
    auto* random =
        new panels::RandomSounds(*m_sounds, m_services.timers, m_services.random, central);
    auto* clock = new panels::ClockAlarmPanel(
        *m_sounds, m_services.timers, m_services.clock, m_services.dialogs,
        m_menus->action(QStringLiteral("mnuAlarmOn")),
        m_menus->action(QStringLiteral("mnuAlarmOff")), central);
    m_scenes = new panels::ScenePanel(m_services.appDir, central);
    m_devices = new panels::DevicePanel(central);
    auto* custom = new custom::CustomChannels(
        {m_services.appDir, *m_engine, m_sounds->group(console::kBackgroundGroup),
         m_sounds->customRandomGroup(), *m_decoder, m_services.timers, m_services.random,
         [volumes] { return volumes->backgroundSlider()->value(); },
         [volumes] { return volumes->randomSlider()->value(); }},
        central);
    m_state = std::make_unique<ConsoleState>(
        ConsolePanels{*central, *channels, *volumes, *random, *clock, *picture, *custom},
        m_services.appDir, m_services.dialogs);
    m_custom =
        new CustomLink(*custom, makeCustomPanel(*custom), *m_files, m_services.dialogs, central);
    // The sweep keeps the clock alive.
    random->scheduler().keepAlive(clock->alarmClock().tickTimer(), true);

    m_exit = new QPushButton(QStringLiteral("Exit"), central);
    m_exit->setObjectName(QStringLiteral("cmdExit"));

    auto* grid = new QGridLayout(central);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(12);
    grid->addWidget(picture, 0, 0);
    auto* side = new QVBoxLayout;
    side->setSpacing(10);
    side->addWidget(volumes);
    side->addWidget(clock);
    side->addWidget(m_scenes);
    m_sleep = new panels::SleepPanel(*m_sleepTimer, *m_output, m_menus->optionsMenu(), central);
    side->addWidget(m_sleep);
    side->addStretch();
    grid->addLayout(side, 0, 1);
    // Each group of channels has its "Custom" button beside it.
    const auto withCustom = [](QWidget* panel, QPushButton* button) {
        auto* row = new QHBoxLayout;
        row->addWidget(panel, 1);
        row->addWidget(button, 0, Qt::AlignTop);
        return row;
    };
    grid->addLayout(withCustom(channels, m_custom->backgroundButton()), 1, 0, 1, 2);
    grid->addLayout(withCustom(random, m_custom->randomButton()), 2, 0, 1, 2);

    auto* actions = new QHBoxLayout;
    actions->addWidget(m_devices, 1);
    actions->addStretch();
    actions->addWidget(m_scenes->resetButton());
    m_load = new QPushButton(QStringLiteral("Load"), central);
    m_load->setObjectName(QStringLiteral("cmdLoad"));
    m_load->setToolTip(tr("Load a saved mix"));
    m_save = new QPushButton(QStringLiteral("Save"), central);
    m_save->setObjectName(QStringLiteral("cmdSave"));
    m_save->setToolTip(tr("Save the whole console as a mix"));
    actions->addWidget(m_load);
    actions->addWidget(m_save);
    m_record = new QPushButton(QStringLiteral("Record"), central);
    m_record->setObjectName(QStringLiteral("cmdRecord"));
    actions->addWidget(m_record);
    actions->addWidget(m_exit);
    grid->addLayout(actions, 3, 0, 1, 2);

    m_modes = new ConsoleModes(m_state->panels(), *m_scenes, *m_devices, central);
    for (QWidget* b : {static_cast<QWidget*>(m_custom->backgroundButton()),
                       static_cast<QWidget*>(m_custom->randomButton()),
                       static_cast<QWidget*>(m_load), static_cast<QWidget*>(m_save),
                       static_cast<QWidget*>(m_record), static_cast<QWidget*>(m_exit)}) {
        m_modes->addActionButton(b);
    }
    actions->insertWidget(actions->indexOf(m_scenes->resetButton()), m_modes->hideButton());
    actions->addWidget(m_modes->restoreButton());
    // The console moves by its background, and by the whole picture when
    // that is all there is.
    auto* drag = new widgets::WindowDrag(central);
    drag->watch(m_modes->fullPicture());
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setRowStretch(0, 1);

    resize(ConsoleModes::kDesignSize);
}

std::unique_ptr<custom::CustomPanel>
ConsoleWindow::makeCustomPanel(custom::CustomChannels& channels) {
    std::function<void(const QString&)> openFolder = m_services.openFolder;
    if (!openFolder) {
        openFolder = [](const QString& path) {
            QDir().mkpath(path);
            QDesktopServices::openUrl(QUrl::fromLocalFile(path));
        };
    }
    auto panel = std::make_unique<custom::CustomPanel>(
        custom::CustomPanelParts{m_services.appDir, channels, *m_decoder, *m_engine,
                                 m_services.dialogs, [this] { return m_state->backColour(); },
                                 [this](const QString& name) { return m_state->showPicture(name); },
                                 std::move(openFolder)},
        this);
    return panel;
}

void ConsoleWindow::load() {
    m_lifecycle->load();
}

void ConsoleWindow::openMix(const QString& path) {
    if (m_lifecycle->hasResumed()) {
        m_mixes->loadFrom(path);
    } else {
        // The resume step would replace what the mix shows.
        m_pendingMix = path;
    }
}

namespace {
// The first local .svm file of a drag, if any.
QString droppedMix(const QMimeData* data) {
    if (data == nullptr) {
        return {};
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() &&
            url.toLocalFile().endsWith(QStringLiteral(".svm"), Qt::CaseInsensitive)) {
            return url.toLocalFile();
        }
    }
    return {};
}
} // namespace

void ConsoleWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedMix(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void ConsoleWindow::dropEvent(QDropEvent* event) {
    const QString path = droppedMix(event->mimeData());
    if (!path.isEmpty()) {
        event->acceptProposedAction();
        openMix(path);
    }
}

void ConsoleWindow::closeEvent(QCloseEvent* event) {
    if (m_lifecycle->handleClose()) {
        event->accept();
    } else {
        event->ignore();
    }
}

} // namespace sylvaro::app
