#include "MprisAdaptors.h"

#include "MediaPlayerBus.h"

namespace sylvaro::program {

MprisRootAdaptor::MprisRootAdaptor(QObject* exported, MediaPlayerBus& player)
    : QDBusAbstractAdaptor(exported), m_player(player) {}

QString MprisRootAdaptor::identity() const {
    return MediaPlayerBus::kIdentity;
}

QString MprisRootAdaptor::desktopEntry() const {
    return m_player.desktopEntry();
}

void MprisRootAdaptor::Raise() {
    m_player.raise();
}

MprisPlayerAdaptor::MprisPlayerAdaptor(QObject* exported, MediaPlayerBus& player)
    : QDBusAbstractAdaptor(exported), m_player(player) {}

QString MprisPlayerAdaptor::playbackStatus() const {
    return m_player.playbackStatus();
}

QVariantMap MprisPlayerAdaptor::metadata() const {
    return m_player.metadata();
}

bool MprisPlayerAdaptor::canGoNext() const {
    return m_player.canGoNext();
}

void MprisPlayerAdaptor::Next() {
    m_player.next();
}

void MprisPlayerAdaptor::Previous() {
    m_player.previous();
}

void MprisPlayerAdaptor::Pause() {
    m_player.pause();
}

void MprisPlayerAdaptor::PlayPause() {
    m_player.playPause();
}

void MprisPlayerAdaptor::Stop() {
    m_player.stop();
}

void MprisPlayerAdaptor::Play() {
    m_player.play();
}

} // namespace sylvaro::program
