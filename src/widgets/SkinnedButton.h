#pragma once

#include <QAbstractButton>
#include <functional>

class QUrl;

namespace sylvaro::widgets {

// What the program's own push buttons share: a hover look driven by the
// pointer entering and leaving, Space and Enter as a click, and the two
// services the program lends them (a player for click sounds and a way to
// open addresses). A click comes only from a left-button release over the
// button; other buttons pass their mouse events on to the window beneath.
// UI thread only.
class SkinnedButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit SkinnedButton(const QString& caption, QWidget* parent = nullptr);

    bool isHovering() const { return m_hovering; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // How the program plays a button's sound file once: the file name as
    // the button stores it. Unset plays nothing.
    static void setSoundPlayer(std::function<void(const QString& file)> player);
    static void playSound(const QString& file);
    // How the program opens an address; unset means the desktop's default
    // program.
    static void setUrlOpener(std::function<void(const QUrl& url)> opener);
    static void openUrl(const QUrl& url);
    // A sound file as a button stores it (".\resources\click.wav", relative
    // to the program's folder, or a full path) as a path to open; empty
    // when it names nothing.
    static QString resolveSoundFile(const QString& stored, const QString& programDir);

Q_SIGNALS:
    void hoverChanged(bool hovering);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

    // The face, border and caption colours of the current state.
    struct Look {
        QColor face;
        QColor border;
        QColor text;
        bool sunken = false;
    };
    // Draws the caption (and an optional picture) centred in `area`.
    void paintCaption(QPainter& painter, const QRect& area, const Look& look,
                      const QPixmap& picture) const;
    void paintFocus(QPainter& painter, const QRect& inner) const;

private:
    bool m_hovering = false;
};

} // namespace sylvaro::widgets
