#include "ClockAlarmPanel.h"

#include "CatalogueSounds.h"
#include "core/Dialogs.h"
#include "core/ProgramTitle.h"
#include "custom/UserText.h"
#include "widgets/DigitLabel.h"
#include "widgets/StoredColour.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

namespace sylvaro::panels {

namespace {

// Orange on black in Arial (or its metric twin), for the clock and the alarm box.
void styleDigits(QWidget* w) {
    QPalette palette = w->palette();
    for (auto role : {QPalette::Window, QPalette::Base}) {
        palette.setColor(role, Qt::black);
    }
    for (auto role : {QPalette::WindowText, QPalette::Text}) {
        palette.setColor(role, QColor(0xFF, 0x80, 0x00));
    }
    w->setPalette(palette);
    w->setAutoFillBackground(true);
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(11);
    font.setBold(true);
    w->setFont(font);
}

} // namespace

ClockAlarmPanel::ClockAlarmPanel(CatalogueSounds& sounds, core::TimerHost& timers,
                                 const core::WallClock& clock, core::Dialogs& dialogs,
                                 QAction* alarmOn, QAction* alarmOff, QWidget* parent)
    : QWidget(parent), m_dialogs(dialogs), m_acceptedAlarmText(QStringLiteral("00:00:00")),
      m_timeCaption(new QLabel(QStringLiteral("Time:"), this)), m_clockLabel(new widgets::DigitLabel(this)),
      m_alarmCaption(new QLabel(QStringLiteral("Alarm:"), this)),
      m_alarmBox(new QLineEdit(QStringLiteral("00:00:00"), this)), m_alarmOnAction(alarmOn),
      m_alarmOffAction(alarmOff) {
    setObjectName(QStringLiteral("clockAlarm"));
    m_timeCaption->setObjectName(QStringLiteral("lblTime"));
    m_clockLabel->setObjectName(QStringLiteral("lblClock"));
    m_clockLabel->setAccessibleName(tr("Current time"));
    m_alarmCaption->setObjectName(QStringLiteral("lblAlarm"));
    m_alarmBox->setObjectName(QStringLiteral("txtAlarm"));
    m_alarmBox->setAccessibleName(tr("Alarm time"));
    m_alarmCaption->setBuddy(m_alarmBox);
    styleDigits(m_clockLabel);
    styleDigits(m_alarmBox);
    m_clockLabel->setMargin(3);
    // A fixed size: the text changing every second then repaints the label
    // alone instead of laying out the whole console again.
    m_clockLabel->setText(QStringLiteral("88:88:88"));
    m_clockLabel->setFixedSize(m_clockLabel->sizeHint());
    m_alarmBox->setFixedWidth(90);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_timeCaption);
    row->addWidget(m_clockLabel);
    row->addSpacing(12);
    row->addWidget(m_alarmCaption);
    row->addWidget(m_alarmBox);
    row->addStretch();

    // The alarm buffer is looked up at each use: start-up may make it anew.
    m_alarm = std::make_unique<alarm::AlarmClock>(
        timers, clock,
        alarm::AlarmClock::Hooks{[this] { return m_alarmBox->text(); },
                                 [this](const QString& text) {
                                     m_clockLabel->setText(text);
                                     Q_EMIT secondTicked();
                                 },
                                 [&sounds] { sounds.engine().play(sounds.alarm(), true); },
                                 [&sounds] { sounds.engine().stop(sounds.alarm()); }});
    // Refused first, so the alarm never compares against a refused text.
    connect(m_alarmBox, &QLineEdit::textChanged, this, &ClockAlarmPanel::onAlarmTextChanged);
    connect(m_alarmBox, &QLineEdit::textChanged, this, [this] { m_alarm->alarmTimeChanged(); });
    connect(m_alarmOnAction, &QAction::triggered, this, &ClockAlarmPanel::alarmOn);
    connect(m_alarmOffAction, &QAction::triggered, this, &ClockAlarmPanel::alarmOff);
    m_alarmOnAction->setEnabled(true);
    m_alarmOffAction->setEnabled(true);
    m_alarmOffAction->setChecked(true);
}

ClockAlarmPanel::~ClockAlarmPanel() = default;

void ClockAlarmPanel::onAlarmTextChanged(const QString& text) {
    const QString why = custom::whyNotStorable(text, QStringLiteral("The alarm time"));
    if (why.isEmpty()) {
        m_acceptedAlarmText = text;
        return;
    }
    // Refused where it is typed, never changed quietly when a mix is saved:
    // the box keeps its last good text.
    const int cursor = m_alarmBox->cursorPosition();
    m_alarmBox->setText(m_acceptedAlarmText);
    m_alarmBox->setCursorPosition(std::min<int>(cursor, m_acceptedAlarmText.size()));
    m_dialogs.message(
        {why, core::kProgramTitle, core::MessageButtons::Ok, core::MessageIcon::Information, {}});
}

void ClockAlarmPanel::alarmOn() {
    m_alarm->alarmOn();
    m_alarmOnAction->setChecked(true);
    m_alarmOffAction->setChecked(false);
}

void ClockAlarmPanel::resetAlarmTime() {
    m_alarmBox->setText(QStringLiteral("00:00"));
}

void ClockAlarmPanel::applyLook(std::int32_t, std::int32_t text) {
    for (QLabel* label : {m_timeCaption, m_alarmCaption}) {
        widgets::paintRole(label, QPalette::WindowText, text);
    }
}

void ClockAlarmPanel::alarmOff() {
    m_alarm->alarmOff();
    m_alarmOnAction->setChecked(false);
    m_alarmOffAction->setChecked(true);
}

} // namespace sylvaro::panels
