#include "TrackSlider.h"

namespace sylvaro::widgets {

TrackSlider::TrackSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setTracking(true);
    connect(this, &QSlider::valueChanged, this, &TrackSlider::onValueChanged);
    connect(this, &QSlider::sliderReleased, this, &TrackSlider::onReleased);
}

void TrackSlider::onValueChanged(int value) {
    if (isSliderDown()) {
        m_movedDuringDrag = true;
        Q_EMIT scrolled(value);
    } else {
        Q_EMIT changed(value);
    }
}

void TrackSlider::onReleased() {
    if (m_movedDuringDrag) {
        m_movedDuringDrag = false;
        Q_EMIT changed(value());
    }
}

void TrackSlider::dragTo(int value) {
    setSliderDown(true);
    setSliderPosition(value);
    setSliderDown(false);
}

} // namespace sylvaro::widgets
