#pragma once

#include "SkinnedButton.h"

#include <QPixmap>

namespace sylvaro::widgets {

// The program's second skinned push button (`chameleonButton`): draws one of
// fourteen button types (BTYPE 1..14) in four families - flat, raised,
// soft and rounded - in its own colours, with separate colours under the
// pointer, and can behave as a check box (CHECK, VALUE). It plays no sound.
// Its stored properties are Qt properties under their short stored keys;
// colours are in the stored form. UI thread only.
class ChameleonButton : public SkinnedButton {
    Q_OBJECT
    Q_PROPERTY(int BTYPE MEMBER m_type NOTIFY lookChanged)
    Q_PROPERTY(QString TX READ text WRITE setText)
    Q_PROPERTY(bool ENAB READ isEnabled WRITE setEnabled)
    Q_PROPERTY(QFont FONT READ font WRITE setFont)
    Q_PROPERTY(int BCOL MEMBER m_backColor NOTIFY lookChanged)
    Q_PROPERTY(int BCOLO MEMBER m_backColorOver NOTIFY lookChanged)
    Q_PROPERTY(int FCOL MEMBER m_foreColor NOTIFY lookChanged)
    Q_PROPERTY(int FCOLO MEMBER m_foreColorOver NOTIFY lookChanged)
    Q_PROPERTY(int MCOL MEMBER m_maskColor NOTIFY lookChanged)
    Q_PROPERTY(bool UMCOL MEMBER m_useMask NOTIFY lookChanged)
    Q_PROPERTY(int COLTYPE MEMBER m_colourScheme NOTIFY lookChanged)
    Q_PROPERTY(bool FOCUSR MEMBER m_focusRect NOTIFY lookChanged)
    Q_PROPERTY(int MPTR MEMBER m_mousePointer NOTIFY pointerChanged)
    Q_PROPERTY(QPixmap MICON READ mouseIcon WRITE setMouseIcon)
    Q_PROPERTY(bool HAND MEMBER m_hand NOTIFY pointerChanged)
    Q_PROPERTY(bool SOFT MEMBER m_soft NOTIFY lookChanged)
    Q_PROPERTY(QPixmap PICN READ picture WRITE setPicture)
    Q_PROPERTY(QPixmap PICO READ pictureOver WRITE setPictureOver)
    Q_PROPERTY(int PICPOS MEMBER m_picturePosition NOTIFY lookChanged)
    Q_PROPERTY(bool NGREY MEMBER m_greyPicture NOTIFY lookChanged)
    Q_PROPERTY(int FX MEMBER m_effect NOTIFY lookChanged)
    Q_PROPERTY(bool CHECK READ isCheckable WRITE setCheckable)
    Q_PROPERTY(bool VALUE READ isChecked WRITE setChecked)
public:
    explicit ChameleonButton(const QString& caption = {}, QWidget* parent = nullptr);

    // The drawing family of a button type: 0 flat, 1 raised, 2 soft, 3 rounded.
    static int family(int type);

    const QPixmap& picture() const { return m_picture; }
    void setPicture(const QPixmap& picture) {
        m_picture = picture;
        update();
    }
    const QPixmap& pictureOver() const { return m_pictureOver; }
    void setPictureOver(const QPixmap& picture) {
        m_pictureOver = picture;
        update();
    }
    const QPixmap& mouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const QPixmap& icon) {
        m_mouseIcon = icon;
        Q_EMIT pointerChanged();
    }

Q_SIGNALS:
    void lookChanged();
    void pointerChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void applyPointer();

    int m_type = 2;
    int m_backColor;
    int m_backColorOver;
    int m_foreColor;
    int m_foreColorOver;
    int m_maskColor = 12632256;
    bool m_useMask = true;
    int m_colourScheme = 1;
    bool m_focusRect = true;
    int m_mousePointer = 0;
    QPixmap m_mouseIcon;
    bool m_hand = false;
    bool m_soft = false;
    QPixmap m_picture;
    QPixmap m_pictureOver;
    int m_picturePosition = 0;
    bool m_greyPicture = false;
    int m_effect = 0;
};

} // namespace sylvaro::widgets
