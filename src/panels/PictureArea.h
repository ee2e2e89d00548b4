#pragma once

#include <QLabel>
#include <QPixmap>

namespace sylvaro::panels {

// The console's picture area (`Image2`): shows one JPEG or GIF at a time,
// scaled to fit. A picture that cannot be loaded leaves the previous one in
// place; nothing else clears the area. UI thread only.
class PictureArea : public QLabel {
    Q_OBJECT
public:
    explicit PictureArea(QWidget* parent = nullptr);

    // Loads and shows the picture; false (and no change) when it cannot.
    bool showPicture(const QString& path);
    const QString& currentPath() const { return m_path; }
    const QPixmap& picture() const { return m_picture; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void rescale();

    QPixmap m_picture;
    QString m_path;
};

} // namespace sylvaro::panels
