#include <QApplication>
#include <gtest/gtest.h>

// The decoder answers through the event loop, and the custom panel's tests
// need widgets: one application for the whole module.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
