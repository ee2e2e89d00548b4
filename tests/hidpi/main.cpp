// Two roles in one program: run as a test it starts itself as a probe at 100 %
// and at 200 % (QT_SCALE_FACTOR is read once, when the application starts) and
// compares what the probes report; run with --probe it builds the real console
// and reports its layout.
#include "LayoutProbe.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstring>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && std::strcmp(argv[1], "--probe") == 0) {
        QApplication app(argc, argv);
        return sylvaro::test::runLayoutProbe();
    }
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
