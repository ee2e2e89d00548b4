#include "widgets/WindowDrag.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

namespace sylvaro::test {
namespace {

constexpr int kTwipsPerPixel = 15;

// A window with a label on its background, dragged by synthetic presses and
// moves carrying exact global positions.
class WindowDragTest : public ::testing::Test {
protected:
    QWidget window;
    QLabel* label = new QLabel(QStringLiteral("background"), &window);

    void SetUp() override {
        new QVBoxLayout(&window);
        window.layout()->addWidget(label);
        window.resize(200, 100);
        new widgets::WindowDrag(&window);
        window.move(300, 200);
        window.show();
    }

    void send(QWidget* to, QEvent::Type type, QPoint global, Qt::MouseButton button,
              Qt::MouseButtons held) {
        const QPointF local = to->mapFromGlobal(QPointF(global));
        QMouseEvent event(type, local, QPointF(global), button, held, Qt::NoModifier);
        QApplication::sendEvent(to, &event);
    }
    void press(QPoint global, Qt::MouseButton button = Qt::LeftButton) {
        send(label, QEvent::MouseButtonPress, global, button, button);
    }
    void moveTo(QPoint global, Qt::MouseButtons held = Qt::LeftButton) {
        send(label, QEvent::MouseMove, global, Qt::NoButton, held);
    }
};

TEST(WindowDragArithmetic, TargetFollowsThePointerOffset) {
    EXPECT_EQ(widgets::WindowDrag::target({100, 50}, {10, 12}, {30, 4}), QPoint(120, 42));
    EXPECT_EQ(widgets::WindowDrag::target({0, 0}, {5, 5}, {5, 5}), QPoint(0, 0));
}

TEST(WindowDragArithmetic, OnlyTheLeftButtonAloneDrags) {
    EXPECT_TRUE(widgets::WindowDrag::drags(Qt::LeftButton));
    EXPECT_FALSE(widgets::WindowDrag::drags(Qt::RightButton));
    EXPECT_FALSE(widgets::WindowDrag::drags(Qt::LeftButton | Qt::RightButton));
    EXPECT_FALSE(widgets::WindowDrag::drags(Qt::LeftButton | Qt::MiddleButton));
    EXPECT_FALSE(widgets::WindowDrag::drags(Qt::NoButton));
}

TEST_F(WindowDragTest, MovesByExactlyThePointerOffsetInTwips) {
    ASSERT_TRUE(widgets::WindowDrag::canPlaceWindows());
    const QPoint start = window.pos();
    const QPoint grip = window.mapToGlobal(QPoint(40, 30));
    press(grip);
    // (300, -120) twips.
    const QPoint offset(300 / kTwipsPerPixel, -120 / kTwipsPerPixel);
    moveTo(grip + offset);
    EXPECT_EQ(window.pos(), start + offset);
    // A second move goes on from where the window now is.
    moveTo(grip + offset + QPoint(7, 9));
    EXPECT_EQ(window.pos(), start + offset + QPoint(7, 9));
}

TEST_F(WindowDragTest, RightButtonOrBothButtonsDoNotMove) {
    const QPoint start = window.pos();
    const QPoint grip = window.mapToGlobal(QPoint(40, 30));
    press(grip, Qt::RightButton);
    moveTo(grip + QPoint(25, 25), Qt::RightButton);
    EXPECT_EQ(window.pos(), start);
    press(grip);
    moveTo(grip + QPoint(25, 25), Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(window.pos(), start);
}

TEST_F(WindowDragTest, MoveWithoutAPressDoesNothing) {
    const QPoint start = window.pos();
    moveTo(window.mapToGlobal(QPoint(10, 10)) + QPoint(50, 0));
    EXPECT_EQ(window.pos(), start);
}

} // namespace
} // namespace sylvaro::test
