#include "CustomLink.h"

#include "SettingsFiles.h"
#include "core/Dialogs.h"
#include "core/ProgramTitle.h"
#include "custom/CustomChannels.h"
#include "custom/CustomPanel.h"

#include <QPushButton>
#include <utility>

namespace sylvaro::app {

const QString CustomLink::kMissingText = QStringLiteral(
    "One or more custom sounds could not be found. To avoid seeing this error in the future, "
    "click the 'Reset' button on the custom sounds panel.");

const QString CustomLink::kMixMissingText = QStringLiteral(
    "One or more custom sounds could not be found. To avoid seeing this error in the future, "
    "click the 'Reset' button on the custom sounds panel, reselect your custom sounds and "
    "resave.");

CustomLink::CustomLink(custom::CustomChannels& channels, std::unique_ptr<custom::CustomPanel> panel,
                       SettingsFiles& files, core::Dialogs& dialogs, QWidget* buttonParent)
    : QObject(buttonParent), m_channels(channels), m_panel(std::move(panel)), m_files(files),
      m_dialogs(dialogs) {
    m_backgroundButton = new QPushButton(QStringLiteral("Custom"), buttonParent);
    m_backgroundButton->setObjectName(QStringLiteral("cmdCustomBackground"));
    m_backgroundButton->setToolTip(tr("Your own background sounds and picture"));
    m_backgroundButton->setAccessibleName(tr("Custom background sounds"));
    m_randomButton = new QPushButton(QStringLiteral("Custom"), buttonParent);
    m_randomButton->setObjectName(QStringLiteral("cmdCustomRandom"));
    m_randomButton->setToolTip(tr("Your own random sounds"));
    m_randomButton->setAccessibleName(tr("Custom random sounds"));
    for (QPushButton* b : {m_backgroundButton, m_randomButton}) {
        b->setEnabled(false); // until the console's load
        connect(b, &QPushButton::clicked, this, &CustomLink::show);
    }
    connect(&m_channels, &custom::CustomChannels::setUpEnded, this, &CustomLink::onSetUpEnded);
    connect(m_panel.get(), &custom::CustomPanel::closedByUser, this, &CustomLink::onClosedByUser);
}

CustomLink::~CustomLink() = default;

void CustomLink::enableButtons() {
    m_backgroundButton->setEnabled(true);
    m_randomButton->setEnabled(true);
}

custom::CustomPanel& CustomLink::panel() {
    if (!isLoaded()) {
        load();
    }
    return *m_panel;
}

void CustomLink::load() {
    m_loaded = true;
    if (const std::optional<persist::CustomPanelSettings> held = m_files.readPanel()) {
        m_panel->apply(*held);
    }
}

void CustomLink::show() {
    custom::CustomPanel& p = panel();
    p.show();
    p.raise();
    p.activateWindow();
}

void CustomLink::followLook() {
    if (isLoaded()) {
        m_panel->followConsoleColour();
    }
}

void CustomLink::hidePanel() {
    m_panel->hide();
}

void CustomLink::switchOff() {
    panel().switchOff();
}

void CustomLink::startUp() {
    panel();
    setUp(kMissingText);
}

void CustomLink::setUp(const QString& missingText) {
    m_missingText = missingText;
    m_channels.setUp();
}

void CustomLink::onSetUpEnded(const QStringList& failures) {
    const QString text = std::exchange(m_missingText, QString());
    if (text.isEmpty() || failures.isEmpty()) {
        return;
    }
    m_dialogs.message({text, core::kProgramTitle, core::MessageButtons::Ok,
                       core::MessageIcon::Information, failures.join(QLatin1Char('\n'))});
}

std::optional<persist::CustomPanelSettings> CustomLink::selections() const {
    if (!isLoaded()) {
        return std::nullopt;
    }
    return m_panel->capture();
}

void CustomLink::onClosedByUser() {
    // Closing the window unloads the panel: its selections are stored now.
    // Unsaved, they are still to be written at shutdown.
    if (const std::optional<persist::CustomPanelSettings> now = selections()) {
        m_files.writePanel(*now);
    }
}

} // namespace sylvaro::app
