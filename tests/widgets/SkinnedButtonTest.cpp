#include "console/StoredColour.h"
#include "widgets/ChameleonButton.h"
#include "widgets/XpBs.h"

#include <QAccessible>
#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

namespace sylvaro::test {
namespace {

// Counts the presses and releases that reach the window beneath a button.
class HostWindow : public QWidget {
public:
    int presses = 0;
    int releases = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
    void mouseReleaseEvent(QMouseEvent*) override { ++releases; }
};

// A button on a shown window; the sounds and addresses it asks for are
// recorded instead of played and opened.
template <class Button> class SkinnedButtonTest : public ::testing::Test {
protected:
    HostWindow window;
    Button* button = new Button(QStringLiteral("Continue"), &window);
    QStringList sounds;
    QList<QUrl> urls;
    int clicks = 0;

    void SetUp() override {
        widgets::SkinnedButton::setSoundPlayer([this](const QString& f) { sounds << f; });
        widgets::SkinnedButton::setUrlOpener([this](const QUrl& u) { urls << u; });
        QObject::connect(button, &QAbstractButton::clicked, &window, [this] { ++clicks; });
        button->setGeometry(10, 10, 90, 30);
        window.resize(200, 100);
        window.show();
    }
    void TearDown() override {
        widgets::SkinnedButton::setSoundPlayer({});
        widgets::SkinnedButton::setUrlOpener({});
    }
    QImage look() { return button->grab().toImage(); }
    void hover(bool on) {
        if (on) {
            QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), QPointF(15, 15));
            QApplication::sendEvent(button, &enter);
        } else {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(button, &leave);
        }
    }
};

using Buttons = ::testing::Types<widgets::XpBs, widgets::ChameleonButton>;
TYPED_TEST_SUITE(SkinnedButtonTest, Buttons);

TYPED_TEST(SkinnedButtonTest, ClicksOnlyOnALeftReleaseInside) {
    QTest::mouseClick(this->button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(this->clicks, 1);

    // Pressed, moved off and released outside: nothing.
    QTest::mousePress(this->button, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(this->button, QPoint(150, 5));
    QTest::mouseRelease(this->button, Qt::LeftButton, {}, QPoint(150, 5));
    EXPECT_EQ(this->clicks, 1);
    EXPECT_FALSE(this->button->isDown());

    // The right button never clicks; the window beneath gets its events.
    const int presses = this->window.presses;
    const int releases = this->window.releases;
    QTest::mouseClick(this->button, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(this->clicks, 1);
    EXPECT_EQ(this->window.presses, presses + 1);
    EXPECT_EQ(this->window.releases, releases + 1);
}

TYPED_TEST(SkinnedButtonTest, SpaceAndEnterClick) {
    QTest::keyClick(this->button, Qt::Key_Space);
    EXPECT_EQ(this->clicks, 1);
    QTest::keyClick(this->button, Qt::Key_Return);
    EXPECT_EQ(this->clicks, 2);
    QTest::keyClick(this->button, Qt::Key_Enter);
    EXPECT_EQ(this->clicks, 3);
    this->button->setEnabled(false);
    QTest::keyClick(this->button, Qt::Key_Return);
    EXPECT_EQ(this->clicks, 3);
}

TYPED_TEST(SkinnedButtonTest, ScreenReadersNameItByItsCaption) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(this->button);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Continue"));
    EXPECT_EQ(a->role(), QAccessible::Button);
}

TYPED_TEST(SkinnedButtonTest, HoverFollowsEnterAndLeave) {
    QSignalSpy spy(this->button, &widgets::SkinnedButton::hoverChanged);
    this->hover(true);
    EXPECT_TRUE(this->button->isHovering());
    this->hover(false);
    EXPECT_FALSE(this->button->isHovering());
    EXPECT_EQ(spy.count(), 2);
}

TYPED_TEST(SkinnedButtonTest, PressedHoveredDisabledAndFocusedLookDifferent) {
    // Activating the window gives the button the focus; the plain look has none.
    QApplication::setActiveWindow(&this->window);
    this->button->clearFocus();
    ASSERT_FALSE(this->button->hasFocus());
    const QImage plain = this->look();
    this->hover(true);
    const QImage hovered = this->look();
    this->hover(false);
    this->button->setDown(true);
    const QImage pressed = this->look();
    this->button->setDown(false);
    this->button->setFocus();
    ASSERT_TRUE(this->button->hasFocus());
    const QImage focused = this->look();
    this->button->clearFocus();
    this->button->setEnabled(false);
    const QImage disabled = this->look();

    const std::vector<std::pair<const char*, QImage>> looks{{"plain", plain},
                                                            {"hovered", hovered},
                                                            {"pressed", pressed},
                                                            {"focused", focused},
                                                            {"disabled", disabled}};
    for (std::size_t i = 0; i < looks.size(); ++i) {
        for (std::size_t j = i + 1; j < looks.size(); ++j) {
            EXPECT_NE(looks[i].second, looks[j].second)
                << looks[i].first << " looks like " << looks[j].first;
        }
    }
}

// XpBs: its sound, its address, its outline and its floor.
class XpBsTest : public SkinnedButtonTest<widgets::XpBs> {};

TEST_F(XpBsTest, StoredPropertiesStartAtTheirDefaults) {
    const widgets::XpBs b;
    EXPECT_EQ(b.property("BackColor").toInt(), static_cast<int>(0x8000000F));
    EXPECT_EQ(b.property("ForeColor").toInt(), static_cast<int>(0x80000012));
    EXPECT_EQ(b.property("XPColor_Pressed").toInt(), static_cast<int>(0x80000014));
    EXPECT_EQ(b.property("XPColor_Hover").toInt(), static_cast<int>(0x80000016));
    EXPECT_EQ(b.property("ShowFocusRect").toInt(), 1);
    EXPECT_EQ(b.property("PicturePosition").toInt(), 1);
    EXPECT_EQ(b.property("ButtonStyle").toInt(), 2);
    EXPECT_EQ(b.property("PictureWidth").toInt(), 32);
    EXPECT_EQ(b.property("PictureSize").toInt(), 1);
    EXPECT_TRUE(b.property("Enabled").toBool());
    EXPECT_EQ(b.property("MousePointer").toInt(), 0);
    EXPECT_EQ(b.property("URL").toString(), QString());
    EXPECT_EQ(b.property("XPDefaultColors").toInt(), 1);
    EXPECT_EQ(b.property("SoundOver").toString(), QStringLiteral(".\\resources\\over.wav"));
    EXPECT_EQ(b.property("SoundClick").toString(), QStringLiteral(".\\resources\\click.wav"));
    EXPECT_EQ(b.property("DefCurHand").toInt(), 0);
    EXPECT_EQ(b.property("XPShowBorderAlways").toInt(), 0);
    EXPECT_EQ(b.property("MaskColor").toInt(), 0);
    EXPECT_EQ(b.property("TransparentBG").toInt(), 0);
    EXPECT_EQ(b.property("BEVEL").toInt(), 1);
    EXPECT_EQ(b.property("BEVELDEPTH").toInt(), 8);
}

TEST_F(XpBsTest, AClickPlaysTheClickSoundFirstAndAMissedOneDoesNot) {
    QStringList order;
    QObject::connect(button, &QAbstractButton::clicked, &window,
                     [this, &order] { order << QStringLiteral("click:%1").arg(sounds.size()); });
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(sounds, QStringList{QStringLiteral(".\\resources\\click.wav")});
    EXPECT_EQ(order, QStringList{QStringLiteral("click:1")});

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(95, 5));
    QTest::mouseClick(button, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(sounds.size(), 1);
    // Hovering plays nothing.
    hover(true);
    hover(false);
    EXPECT_EQ(sounds.size(), 1);
}

TEST_F(XpBsTest, FollowsItsAddressAfterTheClick) {
    button->setProperty("URL", QStringLiteral("mailto:someone@example.org"));
    button->click();
    EXPECT_TRUE(urls.isEmpty()); // the window's handlers come first
    QCoreApplication::processEvents();
    ASSERT_EQ(urls.size(), 1);
    EXPECT_EQ(urls[0].scheme(), QStringLiteral("mailto"));
    button->setProperty("URL", QString());
    button->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(urls.size(), 1);
}

TEST_F(XpBsTest, StyleThreeCutsThreePixelsAtEachCornerOfATwentyByTenButton) {
    const QRegion region = widgets::XpBs::roundedRegion(20, 10);
    int inside = 0;
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x) {
            inside += region.contains(QPoint(x, y)) ? 1 : 0;
        }
    }
    EXPECT_EQ(inside, 200 - 4 * 3);
    // Two on the outer row, one on the next, at every corner.
    for (const QPoint p :
         {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(19, 0), QPoint(18, 0), QPoint(19, 1),
          QPoint(0, 9), QPoint(1, 9), QPoint(0, 8), QPoint(19, 9), QPoint(18, 9), QPoint(19, 8)}) {
        EXPECT_FALSE(region.contains(p)) << p.x() << "," << p.y();
    }
    for (const QPoint p :
         {QPoint(2, 0), QPoint(1, 1), QPoint(0, 2), QPoint(17, 0), QPoint(18, 1), QPoint(19, 2),
          QPoint(0, 7), QPoint(1, 8), QPoint(2, 9), QPoint(19, 7), QPoint(18, 8), QPoint(17, 9)}) {
        EXPECT_TRUE(region.contains(p)) << p.x() << "," << p.y();
    }

    button->setProperty("ButtonStyle", 3);
    button->setGeometry(0, 0, 20, 10);
    EXPECT_EQ(button->mask(), region);
    button->setProperty("ButtonStyle", 2);
    EXPECT_TRUE(button->mask().isEmpty());
}

TEST_F(XpBsTest, ResizedBelowTheFloorComesBackAtOneHundredFiftyTwips) {
    button->resize(3, 40);
    EXPECT_EQ(button->size(), QSize(150 / 15, 40));
    button->resize(60, 0);
    EXPECT_EQ(button->size(), QSize(60, 150 / 15));
}

TEST(ButtonSoundFile, ResolvesAgainstTheProgramFolder) {
    using widgets::SkinnedButton;
    EXPECT_EQ(SkinnedButton::resolveSoundFile(QStringLiteral(".\\resources\\click.wav"),
                                              QStringLiteral("/opt/sylvaro")),
              QStringLiteral("/opt/sylvaro/resources/click.wav"));
    EXPECT_EQ(SkinnedButton::resolveSoundFile(QStringLiteral("/tmp/x.wav"), QStringLiteral("/p")),
              QStringLiteral("/tmp/x.wav"));
    EXPECT_EQ(SkinnedButton::resolveSoundFile(QString(), QStringLiteral("/p")), QString());
    EXPECT_EQ(SkinnedButton::resolveSoundFile(QStringLiteral(".\\"), QStringLiteral("/p")),
              QString());
}

TEST(ChameleonButtonProperties, StartAtTheirDefaults) {
    const widgets::ChameleonButton b;
    EXPECT_EQ(b.property("BTYPE").toInt(), 2);
    EXPECT_EQ(b.property("TX").toString(), QString());
    EXPECT_TRUE(b.property("ENAB").toBool());
    EXPECT_EQ(b.property("MCOL").toInt(), 12632256);
    EXPECT_TRUE(b.property("UMCOL").toBool());
    EXPECT_EQ(b.property("COLTYPE").toInt(), 1);
    EXPECT_TRUE(b.property("FOCUSR").toBool());
    EXPECT_EQ(b.property("MPTR").toInt(), 0);
    EXPECT_FALSE(b.property("SOFT").toBool());
    EXPECT_EQ(b.property("PICPOS").toInt(), 0);
    EXPECT_EQ(b.property("FX").toInt(), 0);
}

TEST(ChameleonButtonProperties, CheckBehaviourKeepsAValue) {
    widgets::ChameleonButton b(QStringLiteral("Loop"));
    b.setProperty("CHECK", true);
    b.click();
    EXPECT_TRUE(b.property("VALUE").toBool());
    b.click();
    EXPECT_FALSE(b.property("VALUE").toBool());
}

} // namespace
} // namespace sylvaro::test
