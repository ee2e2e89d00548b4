#include "SleepPanel.h"

#include "OutputPause.h"
#include "SleepTimer.h"

#include <QAction>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QSettings>

namespace sylvaro::panels {

const QString SleepPanel::kSettingsKey = QStringLiteral("Options/Sleep Fade Minutes");

namespace {

const QString kTitle = QStringLiteral("Sleep Timer");

// 29:41, or 1:05:00 from an hour on.
QString clockText(std::int64_t ms) {
    const std::int64_t seconds = (ms + 999) / 1000;
    const std::int64_t h = seconds / 3600;
    const std::int64_t s = seconds % 60;
    if (h > 0) {
        return QStringLiteral("%1:%2:%3")
            .arg(h)
            .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
            .arg(s, 2, 10, QLatin1Char('0'));
    }
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(s, 2, 10, QLatin1Char('0'));
}

QAction* addNamed(QMenu* menu, const QString& text, const QString& name) {
    QAction* a = menu->addAction(text);
    a->setObjectName(name);
    return a;
}

} // namespace

SleepPanel::SleepPanel(SleepTimer& timer, OutputPause& output, QMenu* options, QWidget* parent)
    : QWidget(parent), m_timer(timer), m_output(output),
      m_menu((options->addSeparator(), options->addMenu(kTitle))), m_status(new QLabel(this)) {
    setObjectName(QStringLiteral("sleepPanel"));
    m_menu->setObjectName(QStringLiteral("mnuSleep"));
    m_status->setObjectName(QStringLiteral("lblSleep"));
    m_status->setAccessibleName(tr("Sleep timer and playback"));
    // Orange on black like the clock above it, readable on every scene.
    QPalette palette = m_status->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, QColor(0xFF, 0x80, 0x00));
    m_status->setPalette(palette);
    m_status->setAutoFillBackground(true);
    m_status->setMargin(3);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_status);
    row->addStretch();

    m_left = addNamed(m_menu, QString(), QStringLiteral("mnuSleepLeft"));
    m_left->setEnabled(false);
    for (int minutes : kPresets) {
        connect(addNamed(m_menu, QStringLiteral("%1 Minutes").arg(minutes),
                         QStringLiteral("mnuSleep%1").arg(minutes)),
                &QAction::triggered, this, [this, minutes] { m_timer.start(minutes); });
    }
    connect(addNamed(m_menu, QStringLiteral("Custom Length..."), QStringLiteral("mnuSleepCustom")),
            &QAction::triggered, this, &SleepPanel::askLength);
    m_menu->addSeparator();
    m_extend = addNamed(m_menu, QStringLiteral("Extend by %1 Minutes").arg(kExtendMinutes),
                        QStringLiteral("mnuSleepExtend"));
    connect(m_extend, &QAction::triggered, this, [this] { m_timer.extend(kExtendMinutes); });
    m_cancel =
        addNamed(m_menu, QStringLiteral("Cancel Sleep Timer"), QStringLiteral("mnuSleepCancel"));
    connect(m_cancel, &QAction::triggered, this, [this] { m_timer.cancel(); });
    connect(addNamed(m_menu, QStringLiteral("Fade Length..."), QStringLiteral("mnuSleepFade")),
            &QAction::triggered, this, &SleepPanel::askFade);
    m_menu->addSeparator();
    m_resume = addNamed(m_menu, QStringLiteral("Resume"), QStringLiteral("mnuResume"));
    connect(m_resume, &QAction::triggered, this, [this] { m_output.resume(); });

    connect(&m_timer, &SleepTimer::changed, this, &SleepPanel::refresh);
    connect(&m_output, &OutputPause::changed, this, &SleepPanel::refresh);
    connect(m_menu, &QMenu::aboutToShow, this, &SleepPanel::refresh);
    m_ask = [this](const QString& title, const QString& question, int value, int lowest,
                   int highest) -> std::optional<int> {
        bool ok = false;
        const int n =
            QInputDialog::getInt(window(), title, question, value, lowest, highest, 1, &ok);
        return ok ? std::optional<int>(n) : std::nullopt;
    };
    refresh();
}

void SleepPanel::setSettings(QSettings* settings) {
    m_settings = settings;
    if (m_settings && m_settings->contains(kSettingsKey)) {
        bool ok = false;
        const int minutes = m_settings->value(kSettingsKey).toInt(&ok);
        if (ok) {
            m_timer.setFadeMinutes(minutes);
        }
    }
}

std::optional<int> SleepPanel::ask(const QString& question, int value, int lowest, int highest) {
    return m_ask ? m_ask(kTitle, question, value, lowest, highest) : std::nullopt;
}

void SleepPanel::askLength() {
    const std::optional<int> minutes =
        ask(tr("Minutes until the sound stops (1 to %1):").arg(SleepTimer::kMinutesMax), 30, 1,
            SleepTimer::kMinutesMax);
    if (minutes && *minutes >= 1 && *minutes <= SleepTimer::kMinutesMax) {
        m_timer.start(*minutes);
    }
}

void SleepPanel::askFade() {
    const std::optional<int> minutes =
        ask(tr("Minutes the sound takes to fade out (1 to %1):").arg(SleepTimer::kMaxFadeMinutes),
            m_timer.fadeMinutes(), 1, SleepTimer::kMaxFadeMinutes);
    if (minutes && *minutes >= 1 && *minutes <= SleepTimer::kMaxFadeMinutes) {
        m_timer.setFadeMinutes(*minutes);
        if (m_settings) {
            m_settings->setValue(kSettingsKey, m_timer.fadeMinutes());
        }
    }
}

QString SleepPanel::statusText() const {
    QStringList parts;
    if (m_output.reason() == OutputPause::Reason::SleepEnded) {
        parts << tr("Sleep timer ended: paused");
    } else if (m_output.isPaused()) {
        parts << tr("Paused");
    }
    if (m_timer.isRunning()) {
        const QString left = clockText(m_timer.remainingMs());
        parts << (m_timer.isFading() ? tr("Fading out: %1").arg(left)
                                     : tr("Sleep in %1").arg(left));
    }
    return parts.join(QStringLiteral(" \u00b7 "));
}

void SleepPanel::refresh() {
    const QString text = statusText();
    if (m_status->text() != text) {
        m_status->setText(text);
    }
    // Nothing to tell takes no room.
    setVisible(!text.isEmpty());
    const bool running = m_timer.isRunning();
    m_left->setVisible(running);
    if (running) {
        m_left->setText(tr("Time left: %1").arg(clockText(m_timer.remainingMs())));
    }
    m_extend->setEnabled(running);
    m_cancel->setEnabled(running);
    m_resume->setEnabled(m_output.isPaused());
}

} // namespace sylvaro::panels
