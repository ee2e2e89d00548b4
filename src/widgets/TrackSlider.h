#pragma once

#include <QSlider>

namespace sylvaro::widgets {

// A horizontal slider that tells a thumb drag from a committed change, as the
// console's handlers need: `scrolled` fires for every thumb move while the
// user drags; `changed` fires when the value changes by keys, a track click or
// code, and once more at the end of a drag that moved the value. Setting the
// value it already holds fires nothing. UI thread only.
class TrackSlider : public QSlider {
    Q_OBJECT
public:
    explicit TrackSlider(QWidget* parent = nullptr);

    // Simulates a user dragging the thumb to `value` and letting go.
    void dragTo(int value);

Q_SIGNALS:
    void scrolled(int value);
    void changed(int value);

private:
    void onValueChanged(int value);
    void onReleased();

    bool m_movedDuringDrag = false;
};

} // namespace sylvaro::widgets
