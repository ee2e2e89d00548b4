#include "program/SingleInstance.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace sylvaro::program {
namespace {

// A second start runs in another thread here, with its own socket: the
// first console must keep its event loop turning to answer it.
bool handOverFromElsewhere(const QString& name, const QString& file, QStringList& received,
                           SingleInstance& first) {
    QObject::connect(&first, &SingleInstance::opened, &first,
                     [&received](const QString& f) { received << f; });
    auto second = std::async(std::launch::async, [name, file] {
        SingleInstance other(name);
        return other.handOver(file, 10000);
    });
    QElapsedTimer guard;
    guard.start();
    while (second.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready &&
           guard.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return second.get();
}

TEST(SingleInstance, ASecondStartHandsItsFileToTheRunningConsole) {
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("console.socket"));
    SingleInstance first(name);
    EXPECT_FALSE(first.handOver(QStringLiteral("/tmp/x.svm"), 200)) << "nobody runs yet";
    ASSERT_TRUE(first.listen());
    QStringList received;
    EXPECT_TRUE(
        handOverFromElsewhere(name, QStringLiteral("/home/me/saves/evening.svm"), received, first));
    EXPECT_EQ(received, QStringList{QStringLiteral("/home/me/saves/evening.svm")});
}

TEST(SingleInstance, ASocketLeftByACrashedConsoleIsTakenOver) {
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("console.socket"));
    {
        QFile stale(name);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    SingleInstance first(name);
    EXPECT_FALSE(first.handOver({}, 200));
    ASSERT_TRUE(first.listen());
    QStringList received;
    EXPECT_TRUE(handOverFromElsewhere(name, QString(), received, first));
    EXPECT_EQ(received, QStringList{QString()}) << "a start without a file only raises";
}

} // namespace
} // namespace sylvaro::program
