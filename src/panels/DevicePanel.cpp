#include "DevicePanel.h"

#include "core/Text.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace sylvaro::panels {

DevicePanel::DevicePanel(QWidget* parent)
    : QWidget(parent), m_enable(new QPushButton(QStringLiteral("Enable Console"), this)),
      m_list(new QListWidget(this)), m_note(new QLabel(this)) {
    setObjectName(QStringLiteral("devicePanel"));
    m_enable->setObjectName(QStringLiteral("cmdEnableConsole"));
    m_list->setObjectName(QStringLiteral("lstDevices"));
    m_list->setAccessibleName(tr("Output devices"));
    m_list->setMaximumHeight(60);
    m_note->setObjectName(QStringLiteral("lblSoundNote"));
    m_note->setVisible(false);
    m_note->setWordWrap(true);
    connect(m_enable, &QPushButton::clicked, this, &DevicePanel::enableRequested);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_list, 1);
    row->addWidget(m_enable);
    row->addWidget(m_note, 1);
}

void DevicePanel::showDevices(const std::vector<std::string>& devices) {
    m_list->clear();
    for (const std::string& description : devices) {
        m_list->addItem(core::toQString(description));
    }
    m_list->setCurrentRow(0);
}

int DevicePanel::selectedDevice() const {
    return m_list->currentRow();
}

void DevicePanel::hideChoice() {
    m_enable->setVisible(false);
    m_list->setVisible(false);
}

void DevicePanel::setNote(const QString& text) {
    m_note->setText(text);
    m_note->setVisible(!text.isEmpty());
}

} // namespace sylvaro::panels
