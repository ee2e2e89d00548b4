#pragma once

#include "SkinnedButton.h"

#include <QPixmap>
#include <QRegion>

namespace sylvaro::widgets {

// The program's first skinned push button (`XpBs`): a soft bevelled face in
// the button colours, lighter under the pointer and sunken while pressed,
// with a rounded outline in ButtonStyle 3. A click plays the SoundClick file
// once and then follows the URL property, if any. Never smaller than
// 150 twips either way. Its stored properties are Qt properties under their
// stored names; colours are in the stored form (0x00BBGGRR, negative for a
// system colour). UI thread only.
class XpBs : public SkinnedButton {
    Q_OBJECT
    Q_PROPERTY(int BackColor MEMBER m_backColor NOTIFY lookChanged)
    Q_PROPERTY(int ForeColor MEMBER m_foreColor NOTIFY lookChanged)
    Q_PROPERTY(int ShowFocusRect MEMBER m_showFocusRect NOTIFY lookChanged)
    Q_PROPERTY(QString Caption READ text WRITE setText)
    Q_PROPERTY(int PicturePosition MEMBER m_picturePosition NOTIFY lookChanged)
    Q_PROPERTY(int ButtonStyle READ buttonStyle WRITE setButtonStyle NOTIFY lookChanged)
    Q_PROPERTY(QPixmap Picture READ picture WRITE setPicture)
    Q_PROPERTY(int PictureWidth MEMBER m_pictureWidth NOTIFY lookChanged)
    Q_PROPERTY(int PictureSize MEMBER m_pictureSize NOTIFY lookChanged)
    Q_PROPERTY(int OriginalPicSizeW MEMBER m_originalPicSizeW)
    Q_PROPERTY(int OriginalPicSizeH MEMBER m_originalPicSizeH)
    Q_PROPERTY(QFont Font READ font WRITE setFont)
    Q_PROPERTY(QPixmap PictureHover READ pictureHover WRITE setPictureHover)
    Q_PROPERTY(QPixmap MouseIcon READ mouseIcon WRITE setMouseIcon)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)
    Q_PROPERTY(int MousePointer MEMBER m_mousePointer NOTIFY pointerChanged)
    Q_PROPERTY(QString URL MEMBER m_url)
    Q_PROPERTY(int XPColor_Pressed MEMBER m_pressedColor NOTIFY lookChanged)
    Q_PROPERTY(int XPColor_Hover MEMBER m_hoverColor NOTIFY lookChanged)
    Q_PROPERTY(int XPDefaultColors MEMBER m_defaultColors NOTIFY lookChanged)
    Q_PROPERTY(QString SoundOver MEMBER m_soundOver)
    Q_PROPERTY(QString SoundClick MEMBER m_soundClick)
    Q_PROPERTY(int DefCurHand MEMBER m_defCurHand NOTIFY pointerChanged)
    Q_PROPERTY(int XPShowBorderAlways MEMBER m_showBorderAlways NOTIFY lookChanged)
    Q_PROPERTY(int MaskColor MEMBER m_maskColor NOTIFY lookChanged)
    Q_PROPERTY(int TransparentBG MEMBER m_transparentBg NOTIFY lookChanged)
    Q_PROPERTY(int BEVEL MEMBER m_bevel NOTIFY lookChanged)
    Q_PROPERTY(int BEVELDEPTH MEMBER m_bevelDepth NOTIFY lookChanged)
public:
    explicit XpBs(const QString& caption = {}, QWidget* parent = nullptr);

    int buttonStyle() const { return m_buttonStyle; }
    void setButtonStyle(int style);
    const QPixmap& picture() const { return m_picture; }
    void setPicture(const QPixmap& picture) {
        m_picture = picture;
        update();
    }
    const QPixmap& pictureHover() const { return m_pictureHover; }
    void setPictureHover(const QPixmap& picture) {
        m_pictureHover = picture;
        update();
    }
    const QPixmap& mouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const QPixmap& icon) {
        m_mouseIcon = icon;
        Q_EMIT pointerChanged();
    }

    // The outline of a ButtonStyle 3 button of w x h pixels: the rectangle
    // less two pixels on the outer row and one on the next at each corner.
    static QRegion roundedRegion(int w, int h);

    // 150 twips at 15 twips a pixel.
    static constexpr int kMinimumPixels = 10;
    // The inner rectangle lies this far in from each edge.
    static constexpr int kInnerMargin = 4;

Q_SIGNALS:
    void lookChanged();
    void pointerChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void onClicked();
    void applyRegion();
    void applyPointer();

    int m_backColor;
    int m_foreColor;
    int m_showFocusRect = 1;
    int m_picturePosition = 1;
    int m_buttonStyle = 2;
    QPixmap m_picture;
    int m_pictureWidth = 32;
    int m_pictureSize = 1;
    int m_originalPicSizeW = 0;
    int m_originalPicSizeH = 0;
    QPixmap m_pictureHover;
    QPixmap m_mouseIcon;
    int m_mousePointer = 0;
    QString m_url;
    int m_pressedColor;
    int m_hoverColor;
    int m_defaultColors = 1;
    QString m_soundOver = QStringLiteral(".\\resources\\over.wav");
    QString m_soundClick = QStringLiteral(".\\resources\\click.wav");
    int m_defCurHand = 0;
    int m_showBorderAlways = 0;
    int m_maskColor = 0;
    int m_transparentBg = 0;
    int m_bevel = 1;
    int m_bevelDepth = 8;
};

} // namespace sylvaro::widgets
