#include "PresenceWatch.h"

#include "engine/AudioOutput.h"

#include <QEvent>

namespace sylvaro::program {

PresenceWatch::PresenceWatch(core::TimerHost& timers, engine::AudioOutput& output,
                             QObject* parent)
    : QObject(parent), m_output(output), m_idle(timers, [this] { check(); }, kIdleMs, true) {
    m_output.setQuickChanges(true);
}

bool PresenceWatch::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::Enter:
    case QEvent::TouchBegin:
        // Only a flag while someone is here: the pointer moving is many
        // events a second.
        m_touched = true;
        if (!m_present) {
            m_present = true;
            m_output.setQuickChanges(true);
            m_idle.setEnabled(true);
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

// Every kIdleMs while someone is present: still here if touched since.
void PresenceWatch::check() {
    if (m_touched) {
        m_touched = false;
        return;
    }
    m_present = false;
    m_idle.setEnabled(false);
    m_output.setQuickChanges(false);
}

} // namespace sylvaro::program
