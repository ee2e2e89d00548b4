#include "CustomChannels.h"

#include "SoundDecoder.h"
#include "UserText.h"
#include "core/AppDir.h"
#include "core/RandomSource.h"
#include "persist/CustomPanelSettings.h"

#include <QCheckBox>

namespace sylvaro::custom {

CustomChannels::CustomChannels(CustomChannelsParts parts, QWidget* parent)
    : QWidget(parent), m_parts(std::move(parts)) {
    setObjectName(QStringLiteral("customChannels"));
    // The boxes are the console's, driven only by the custom panel.
    setVisible(false);
    for (int n = 1; n <= kBackgrounds; ++n) {
        auto* box = new QCheckBox(this);
        box->setObjectName(QStringLiteral("Check%1").arg(n * 100));
        connect(box, &QCheckBox::toggled, this, [this, n] { onEnableChanged(n); });
        m_boxes[index(n)] = box;
    }
    for (int n = 1; n <= kRandoms; ++n) {
        m_timers[index(n)] = std::make_unique<core::IntervalTimer>(
            m_parts.timers, [this, n] { randomTick(n); }, kRandomIntervalsMs[index(n)], false);
    }
    connect(&m_parts.decoder, &SoundDecoder::decoded, this, &CustomChannels::onDecoded);
}

CustomChannels::~CustomChannels() {
    for (std::size_t slot = 0; slot < m_slots.size(); ++slot) {
        if (m_slots[slot].ticket != 0) {
            m_parts.decoder.cancel(m_slots[slot].ticket);
        }
    }
    for (engine::Buffer& buffer : m_buffers) {
        m_parts.engine.release(buffer);
    }
}

const std::optional<QString>& CustomChannels::nameOf(std::size_t slot) const {
    return isBackground(slot) ? m_names.background[slot - kRandoms] : m_names.random[slot];
}

QString CustomChannels::describe(std::size_t slot) const {
    const QString kind = isBackground(slot)
                             ? QStringLiteral("Custom background %1").arg(slot - kRandoms + 1)
                             : QStringLiteral("Custom random sound %1").arg(slot + 1);
    return QStringLiteral("%1 (\u201C%2\u201D)").arg(kind, nameOf(slot).value_or(QString()));
}

QString CustomChannels::soundPath(const QString& name) const {
    return m_parts.dir.userFile(QStringLiteral("sounds"), name);
}

bool CustomChannels::fires(int value, int draw) {
    // Single precision, as the threshold has always been worked out: 20 at
    // 0, 40 at 1000, 59 at 1950 and past the highest draw from 1960 on.
    const float threshold = static_cast<float>(value) / 100.0f * 2.0f + 20.0f;
    return !(threshold > static_cast<float>(draw));
}

void CustomChannels::setBackgroundName(int n, const QString& name) {
    m_names.background[index(n)] = name;
    if (name.isEmpty()) {
        // No file is no sound: what played stops, and nothing still on its
        // way may start. The box goes on working once a file is chosen.
        const std::size_t slot = kRandoms + index(n);
        cancel(slot);
        m_parts.engine.stop(m_buffers[slot]);
        return;
    }
    QCheckBox* box = enableBox(n);
    if (box->isChecked()) {
        // Off and on again: the new file starts from its beginning.
        box->setChecked(false);
        box->setChecked(true);
    }
}

void CustomChannels::setRandomName(int n, const QString& name) {
    const std::size_t slot = index(n);
    m_names.random[slot] = name;
    if (name.isEmpty()) {
        cancel(slot);
        m_parts.engine.release(m_buffers[slot]);
        m_pcm[slot] = nullptr;
        return;
    }
    load(slot, Purpose::Store);
}

void CustomChannels::setFrequency(int n, int value) {
    m_frequency[index(n)] = value;
    m_timers[index(n)]->setEnabled(value != persist::CustomPanelSettings::kFrequencyOff);
}

void CustomChannels::setUp() {
    m_setUpFailures.clear();
    // Counted up front, so a file answered at once cannot end the set-up
    // before the others have started.
    m_setUpLeft = 1;
    for (std::size_t slot = 0; slot < m_slots.size(); ++slot) {
        const std::optional<QString>& name = nameOf(slot);
        if (name && !name->isEmpty()) {
            ++m_setUpLeft;
            load(slot, Purpose::SetUp);
        }
    }
    setUpAnswered({});
}

void CustomChannels::setUpAnswered(const QString& failure) {
    if (!failure.isEmpty()) {
        m_setUpFailures << failure;
    }
    if (m_setUpLeft > 0 && --m_setUpLeft == 0) {
        Q_EMIT setUpEnded(m_setUpFailures);
    }
}

void CustomChannels::releaseAll() {
    for (std::size_t slot = 0; slot < m_slots.size(); ++slot) {
        cancel(slot);
        m_parts.engine.release(m_buffers[slot]);
        m_pcm[slot] = nullptr;
    }
}

void CustomChannels::onEnableChanged(int n) {
    const std::size_t slot = kRandoms + index(n);
    const std::optional<QString>& name = nameOf(slot);
    if (!name || name->isEmpty()) {
        return;
    }
    if (enableBox(n)->isChecked()) {
        load(slot, Purpose::Enable);
        return;
    }
    // Off: nothing still on its way may start, and what plays stops.
    cancel(slot);
    m_parts.engine.stop(m_buffers[slot]);
}

void CustomChannels::cancel(std::size_t slot) {
    Pending& pending = m_slots[slot];
    if (pending.ticket == 0) {
        return;
    }
    m_parts.decoder.cancel(pending.ticket);
    const Purpose purpose = pending.purpose;
    pending = {};
    if (purpose == Purpose::SetUp) {
        setUpAnswered({});
    }
}

void CustomChannels::load(std::size_t slot, Purpose purpose) {
    const QString name = nameOf(slot).value_or(QString());
    Pending& pending = m_slots[slot];
    if (pending.ticket != 0 && pending.purpose == Purpose::SetUp && purpose == Purpose::Enable) {
        // The set-up of this slot is on its way and starts a ticked box.
        return;
    }
    if (pending.ticket != 0) {
        // The newer request wins; a set-up it replaces counts as answered.
        m_parts.decoder.cancel(pending.ticket);
        if (pending.purpose == Purpose::SetUp && purpose != Purpose::SetUp) {
            pending = {};
            setUpAnswered({});
        }
        pending = {};
    }
    const QString why = whyNotFileName(name);
    if (!why.isEmpty()) {
        finish(slot, purpose, nullptr, why);
        return;
    }
    const QString path = soundPath(name);
    if (engine::PcmPtr pcm = m_parts.decoder.cached(path)) {
        finish(slot, purpose, pcm, {});
        return;
    }
    m_slots[slot] = {m_parts.decoder.request(path), purpose};
}

void CustomChannels::onDecoded(quint64 ticket, const engine::PcmPtr& pcm, const QString& error) {
    for (std::size_t slot = 0; slot < m_slots.size(); ++slot) {
        if (m_slots[slot].ticket == ticket) {
            const Purpose purpose = m_slots[slot].purpose;
            m_slots[slot] = {};
            finish(slot, purpose, pcm, error);
            return;
        }
    }
}

void CustomChannels::finish(std::size_t slot, Purpose purpose, const engine::PcmPtr& pcm,
                            const QString& error) {
    engine::SoundEngine& engine = m_parts.engine;
    if (purpose == Purpose::SetUp && pcm && pcm == m_pcm[slot] && engine.exists(m_buffers[slot])) {
        // Already made from this very sound (a box ticked just before): a
        // new buffer would only cut what plays.
        if (isBackground(slot) && m_boxes[slot - kRandoms]->isChecked()) {
            engine.play(m_buffers[slot], true);
        }
        setUpAnswered({});
        return;
    }
    std::string refused;
    const engine::Buffer fresh = pcm ? engine.createBuffer(pcm, refused) : engine::Buffer{};
    if (!fresh.valid()) {
        // The slot keeps its old buffer.
        const QString why = pcm ? QString::fromStdString(refused) : error;
        const QString what = QStringLiteral("%1 could not be loaded: %2").arg(describe(slot), why);
        if (purpose == Purpose::SetUp) {
            setUpAnswered(what);
        } else {
            Q_EMIT loadFailed(what);
        }
        return;
    }
    engine.release(m_buffers[slot]);
    m_buffers[slot] = fresh;
    m_pcm[slot] = pcm;
    if (isBackground(slot)) {
        engine.join(m_parts.backgroundGroup, fresh);
        engine.setVolume(fresh, m_parts.backgroundVolume());
        if (m_boxes[slot - kRandoms]->isChecked()) {
            engine.play(fresh, true);
        }
    } else {
        engine.join(m_parts.randomGroup, fresh);
        engine.setVolume(fresh, m_parts.randomVolume());
    }
    if (purpose == Purpose::SetUp) {
        setUpAnswered({});
    }
}

void CustomChannels::randomTick(int n) {
    core::RandomSource& random = m_parts.random;
    random.randomize();
    const int value = m_frequency[index(n)];
    const int draw = static_cast<int>(random.rnd() * 60.0);
    if (!fires(value, draw)) {
        return;
    }
    const std::optional<QString>& name = m_names.random[index(n)];
    if (name && !name->isEmpty()) {
        // Never panned: a new buffer stands in the middle and nothing moves it.
        m_parts.engine.play(m_buffers[index(n)], false);
    }
}

} // namespace sylvaro::custom
