#pragma once

#include <QPixmap>
#include <QWidget>

namespace sylvaro::panels {

// The full-window picture (`Image1`) of the console's picture-only mode: a
// copy of the console picture laid over the whole console, filling it and
// cropping the overhang evenly. UI thread only.
class FullWindowPicture : public QWidget {
    Q_OBJECT
public:
    explicit FullWindowPicture(QWidget* parent = nullptr);

    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
};

} // namespace sylvaro::panels
