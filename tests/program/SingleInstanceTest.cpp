#include "program/SingleInstance.h"

#include "panels/SleepTimer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
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

using Verb = ConsoleRequest::Verb;

std::optional<ConsoleRequest> parse(const QByteArray& bytes) {
    QString why;
    return ConsoleRequest::fromBytes(bytes, why);
}

TEST(ConsoleRequest, EveryCommandCrossesTheSocketWhole) {
    for (const ConsoleRequest& request :
         {ConsoleRequest{Verb::Open}, ConsoleRequest{Verb::Open, QStringLiteral("/home/me/a b.svm")},
          ConsoleRequest{Verb::Scene, QStringLiteral("Storm")}, ConsoleRequest{Verb::Play},
          ConsoleRequest{Verb::Pause}, ConsoleRequest{Verb::Toggle}, ConsoleRequest{Verb::Next},
          ConsoleRequest{Verb::Previous}, ConsoleRequest{Verb::AlarmAt, QStringLiteral("06:30")},
          ConsoleRequest{Verb::AlarmOff}, ConsoleRequest{Verb::Sleep, {}, 45},
          ConsoleRequest{Verb::SleepOff}}) {
        EXPECT_EQ(parse(request.toLine()), request) << request.toLine().toStdString();
    }
    // A scene by any case comes out as the scene table spells it.
    EXPECT_EQ(parse("sylvaro-lite/1 scene sTORM\n"), (ConsoleRequest{Verb::Scene, "Storm"}));
    EXPECT_EQ(parse("sylvaro-lite/1 sleep 600\n")->minutes, panels::SleepTimer::kMinutesMax);
}

TEST(ConsoleRequest, AnythingButOneWellFormedCommandIsRefused) {
    const QByteArray huge = "sylvaro-lite/1 open /" + QByteArray(ConsoleRequest::kLongest, 'a') + '\n';
    for (const QByteArray& bytes : std::initializer_list<QByteArray>{
             "", "\n", "play\n", "/home/me/evening.svm\n", // untagged: an old sender's path
             "sylvaro-lite/1 play", "sylvaro-lite/2 play\n", "SYLVARO-LITE/1 play\n",
             "sylvaro-lite/1 play\nsylvaro-lite/1 next\n", // two commands
             "sylvaro-lite/1 play\r\n", "sylvaro-lite/1 play \n", "sylvaro-lite/1 Play\n",
             "sylvaro-lite/1 play now\n", "sylvaro-lite/1 rm -rf /\n",
             QByteArray("sylvaro-lite/1 open /a\0b.svm\n", 29), "sylvaro-lite/1 open a.svm\n",
             "sylvaro-lite/1 open /a\x1b[2Jb\n", "sylvaro-lite/1 open /\xff\xfe\n",
             "sylvaro-lite/1 scene\n", "sylvaro-lite/1 scene Thunderdome\n",
             "sylvaro-lite/1 alarm\n", "sylvaro-lite/1 alarm 24:00\n", "sylvaro-lite/1 alarm 6:30\n",
             "sylvaro-lite/1 alarm 06:30:00\n", "sylvaro-lite/1 alarm OFF\n",
             "sylvaro-lite/1 sleep 0\n", "sylvaro-lite/1 sleep 601\n", "sylvaro-lite/1 sleep -5\n",
             "sylvaro-lite/1 sleep 1e3\n", "sylvaro-lite/1 sleep 99999999999\n", huge}) {
        EXPECT_FALSE(parse(bytes)) << bytes.left(80).toStdString();
    }
    QString why;
    ConsoleRequest::fromBytes("sylvaro-lite/1 scene Thunderdome\n", why);
    EXPECT_TRUE(why.contains(u"Thunderdome") && why.contains(u"Storm") && why.contains(u"Coast"))
        << why.toStdString();
}

// Hostile senders on the socket itself: each is refused or dropped, nothing
// is done, and the console answers the next sender as usual.
TEST(SingleInstance, AConsoleRefusesWhatIsNotOneCommandAndStaysUsable) {
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("console.socket"));
    SingleInstance first(name);
    ASSERT_TRUE(first.listen());
    QList<ConsoleRequest> done;
    QObject::connect(&first, &SingleInstance::commanded, &first,
                     [&done](const ConsoleRequest& r) { done << r; });
    QObject::connect(&first, &SingleInstance::opened, &first,
                     [&done](const QString& f) { done << ConsoleRequest{Verb::Open, f}; });
    const auto exchange = [&](const QByteArray& bytes) {
        QLocalSocket socket;
        socket.connectToServer(name);
        EXPECT_TRUE(socket.waitForConnected(5000));
        socket.write(bytes);
        QByteArray reply;
        QElapsedTimer guard;
        guard.start();
        while (socket.state() == QLocalSocket::ConnectedState && guard.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            reply += socket.readAll();
        }
        return reply + socket.readAll();
    };
    EXPECT_TRUE(exchange("sylvaro-lite/1 next\nsylvaro-lite/1 next\n").startsWith("error "));
    EXPECT_TRUE(exchange("GET / HTTP/1.0\r\n\r\n").startsWith("error "));
    EXPECT_EQ(exchange("sylvaro-lite/1 scene Atlantis\n").left(40),
              QByteArray("error there is no scene called \"Atlantis"));
    // Endless text without a line end: cut off unanswered.
    EXPECT_EQ(exchange(QByteArray(3 * ConsoleRequest::kLongest, 'x')), QByteArray());
    EXPECT_TRUE(done.isEmpty());

    // A sender after them all is heard.
    EXPECT_EQ(exchange("sylvaro-lite/1 sleep 30\n"), QByteArray("ok\n"));
    ASSERT_EQ(done.size(), 1);
    EXPECT_EQ(done[0], (ConsoleRequest{Verb::Sleep, {}, 30}));
}

} // namespace
} // namespace sylvaro::program
