#include "ConsoleWindow.h"

#include "BackgroundChannels.h"
#include "ClockAlarmPanel.h"
#include "ConsoleColours.h"
#include "ConsoleStartup.h"
#include "PictureArea.h"
#include "RandomSounds.h"
#include "ScenePanel.h"
#include "VolumeControls.h"
#include "core/Dialogs.h"
#include "engine/SoundEngine.h"
#include "random/RandomScheduler.h"
#include "scenes/SceneTable.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace sylvaro::app {

const QString ConsoleWindow::kTitle = QStringLiteral("Sylvaro Lite v5.5");

namespace {

QMenu* addMenu(QMenuBar* bar, const QString& title, const QString& name) {
    QMenu* menu = bar->addMenu(title);
    menu->setObjectName(name);
    return menu;
}

QAction* addNamedAction(QMenu* menu, const QString& text, const QString& name) {
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    return action;
}

} // namespace

ConsoleWindow::ConsoleWindow(Services services, QWidget* parent)
    : QMainWindow(parent), m_services(std::move(services)),
      m_engine(std::make_unique<engine::SoundEngine>(m_services.audio)) {
    setObjectName(QStringLiteral("frmmain"));
    setWindowTitle(kTitle);
    buildMenus();
    buildLayout();
    // The start-up step's countdown starts with the window.
    m_startup = std::make_unique<ConsoleStartup>(*this);
}

ConsoleWindow::~ConsoleWindow() = default;

void ConsoleWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    m_fileMenu = addMenu(bar, tr("&File"), QStringLiteral("mnuFile"));
    // Loading and saving user mixes arrive with the mix file.
    addNamedAction(m_fileMenu, QStringLiteral("Load User Config"), QStringLiteral("mnuLoad"))
        ->setEnabled(false);
    addNamedAction(m_fileMenu, QStringLiteral("Save User Config"), QStringLiteral("mnuSave"))
        ->setEnabled(false);
    m_fileMenu->addSeparator();
    m_exitAction = addNamedAction(m_fileMenu, QStringLiteral("Exit"), QStringLiteral("mnuExit"));
    connect(m_exitAction, &QAction::triggered, this, [this] { m_startup->exit(); });

    m_alarmMenu = addMenu(bar, tr("&Alarm"), QStringLiteral("mnuAlarm"));
    for (const auto& [text, name] :
         {std::pair{QStringLiteral("Alarm On"), QStringLiteral("mnuAlarmOn")},
          std::pair{QStringLiteral("Alarm Off"), QStringLiteral("mnuAlarmOff")}}) {
        QAction* a = addNamedAction(m_alarmMenu, text, name);
        a->setCheckable(true);
        a->setEnabled(false);
    }
    m_optionsMenu = addMenu(bar, tr("&Options"), QStringLiteral("mnuOptions"));
    connect(addNamedAction(m_optionsMenu, QStringLiteral("Change Font Color"),
                           QStringLiteral("mnuFontColor")),
            &QAction::triggered, this, &ConsoleWindow::changeFontColour);
    connect(addNamedAction(m_optionsMenu, QStringLiteral("Change Background Color"),
                           QStringLiteral("mnuBackColor")),
            &QAction::triggered, this, &ConsoleWindow::changeBackgroundColour);
    m_helpMenu = addMenu(bar, tr("&Help"), QStringLiteral("mnuHelp"));
    addNamedAction(m_helpMenu, QStringLiteral("Help!"), QStringLiteral("mnuHelpTopics"))
        ->setEnabled(false);
    m_helpMenu->addSeparator();
    addNamedAction(m_helpMenu, QStringLiteral("About"), QStringLiteral("mnuAbout"))
        ->setEnabled(false);

    // Help, Options and Alarm come alive with the start-up step.
    for (QMenu* m : {m_alarmMenu, m_optionsMenu, m_helpMenu}) {
        m->menuAction()->setEnabled(false);
    }
}

void ConsoleWindow::buildLayout() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("console"));
    setCentralWidget(central);

    m_picture = new PictureArea(central);
    m_channels = new BackgroundChannels(*m_engine, central);
    m_volumes = new VolumeControls(*m_engine, central);
    m_random = new RandomSounds(*m_engine, m_services.timers, m_services.random, central);
    m_clockAlarm = new ClockAlarmPanel(*m_engine, m_services.timers, m_services.clock,
                                       action(QStringLiteral("mnuAlarmOn")),
                                       action(QStringLiteral("mnuAlarmOff")), central);
    m_scenes = new ScenePanel(*this, central);
    m_reset = new QPushButton(QStringLiteral("Reset"), central);
    m_reset->setObjectName(QStringLiteral("cmdReset"));
    m_reset->setToolTip(QStringLiteral("Clear All Random Sounds"));
    m_reset->setEnabled(false); // until start-up
    connect(m_reset, &QPushButton::clicked, this, [this] { m_scenes->reset(); });

    // Bank 2's captions follow bank 1's colour; the sweep keeps the clock,
    // the alarm check and this sync alive.
    m_labelSync = std::make_unique<core::IntervalTimer>(
        m_services.timers, [this] { colours::syncBank2(*this); }, 500, true);
    random::RandomScheduler& scheduler = m_random->scheduler();
    scheduler.keepAlive(m_clockAlarm->alarmClock().clockTimer(), true);
    scheduler.keepAlive(m_clockAlarm->alarmClock().checkTimer(), true);
    scheduler.keepAlive(*m_labelSync, false);

    m_exit = new QPushButton(QStringLiteral("Exit"), central);
    m_exit->setObjectName(QStringLiteral("cmdExit"));
    connect(m_exit, &QPushButton::clicked, this, [this] { m_startup->exit(); });

    m_enableConsole = new QPushButton(QStringLiteral("Enable Console"), central);
    m_enableConsole->setObjectName(QStringLiteral("cmdEnableConsole"));
    connect(m_enableConsole, &QPushButton::clicked, this, [this] { m_startup->startNow(); });
    m_deviceList = new QListWidget(central);
    m_deviceList->setObjectName(QStringLiteral("lstDevices"));
    m_deviceList->setAccessibleName(tr("Output devices"));
    m_deviceList->setMaximumHeight(60);

    auto* grid = new QGridLayout(central);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(12);
    grid->addWidget(m_picture, 0, 0);
    auto* side = new QVBoxLayout;
    side->setSpacing(10);
    side->addWidget(m_volumes);
    side->addWidget(m_clockAlarm);
    side->addWidget(m_scenes);
    side->addStretch();
    grid->addLayout(side, 0, 1);
    grid->addWidget(m_channels, 1, 0, 1, 2);
    grid->addWidget(m_random, 2, 0, 1, 2);

    auto* actions = new QHBoxLayout;
    actions->addWidget(m_deviceList, 1);
    actions->addWidget(m_enableConsole);
    actions->addStretch();
    actions->addWidget(m_reset);
    actions->addWidget(m_exit);
    grid->addLayout(actions, 3, 0, 1, 2);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setRowStretch(0, 1);

    resize(840, 860);
}

QAction* ConsoleWindow::action(const QString& objectName) const {
    return findChild<QAction*>(objectName);
}

void ConsoleWindow::changeBackgroundColour() {
    const std::int32_t colour = scenes::toStored(m_services.dialogs.chooseColour());
    colours::paintConsole(*this, colour);
    colours::paintBoxesBackground(*this, colour);
}

void ConsoleWindow::changeFontColour() {
    const std::int32_t colour = scenes::toStored(m_services.dialogs.chooseColour());
    colours::paintBankCaptions(*this, 2, colour);
    colours::paintBankCaptions(*this, 1, colour);
    colours::paintCaptionLabels(*this, colour);
    colours::paintBoxesText(*this, colour);
}

void ConsoleWindow::load() {
    m_startup->load();
}

void ConsoleWindow::closeEvent(QCloseEvent* event) {
    m_startup->shutdown();
    event->accept();
}

} // namespace sylvaro::app
