#include "core/AppDir.h"
#include "core/RandomSource.h"
#include "core/ScriptedDialogs.h"
#include "core/VirtualTimerHost.h"
#include "core/VirtualWallClock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sylvaro::core;

TEST(AppDir, JoinsNamesWithOneSeparatorAndKeepsLetterCase) {
    const AppDir dir(QStringLiteral("/opt/sylvaro/"));
    EXPECT_EQ(dir.path(), QStringLiteral("/opt/sylvaro"));
    EXPECT_EQ(dir.file(QStringLiteral("NEW2.wav")), QStringLiteral("/opt/sylvaro/NEW2.wav"));
    EXPECT_EQ(dir.file(QStringLiteral("/fire.wav")), QStringLiteral("/opt/sylvaro/fire.wav"));
    EXPECT_EQ(dir.file(QStringLiteral("images"), QStringLiteral("english fence.jpg")),
              QStringLiteral("/opt/sylvaro/images/english fence.jpg"));
    EXPECT_EQ(AppDir(QStringLiteral("/")).file(QStringLiteral("x")), QStringLiteral("/x"));
}

// The build's folder is both roots; an installed one is only read, even when
// the user could write into it (an install into their own home).
TEST(AppDir, AnInstalledProgramFolderSendsWritesToTheUsersDataFolder) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    const QString program = home.filePath(QStringLiteral("program"));
    ASSERT_TRUE(QDir().mkpath(program));

    const AppDir built = AppDir::forProgramFolder(program);
    EXPECT_FALSE(built.separateData());
    EXPECT_EQ(built.dataFile(QStringLiteral("settings.ini")), program + "/settings.ini");

    QFile marker(program + u'/' + AppDir::kInstalledMarker);
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    const AppDir installed = AppDir::forProgramFolder(program);
    EXPECT_TRUE(installed.separateData());
    EXPECT_EQ(installed.path(), program);
    EXPECT_TRUE(installed.dataPath().startsWith(home.filePath(QStringLiteral("data"))))
        << installed.dataPath().toStdString();
    EXPECT_TRUE(QFileInfo(installed.dataPath()).isDir());
    EXPECT_EQ(installed.userFolders(QStringLiteral("sounds")),
              (QStringList{program + "/sounds", installed.dataPath() + "/sounds"}));
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("XDG_CONFIG_HOME");
}

TEST(AppDir, OnlyBareNamesStayInsideTheirFolder) {
    EXPECT_TRUE(AppDir::isBareFileName(QStringLiteral("english fence.jpg")));
    for (const char* bad :
         {"", ".", "..", "../settings.ini", "a/b.wav", "a\\b.wav", "/etc/passwd"}) {
        EXPECT_FALSE(AppDir::isBareFileName(QString::fromLatin1(bad))) << bad;
    }
}

TEST(RandomSource, IsUniformInUnitIntervalAndRepeatableFromASeed) {
    RandomSource a(42);
    RandomSource b(42);
    double sum = 0;
    for (int i = 0; i < 20000; ++i) {
        const double x = a.rnd();
        ASSERT_GE(x, 0.0);
        ASSERT_LT(x, 1.0);
        ASSERT_EQ(x, b.rnd());
        sum += x;
    }
    EXPECT_NEAR(sum / 20000, 0.5, 0.01);

    // A pinned source still changes its sequence when reseeded from "the clock".
    RandomSource pinned;
    pinned.setFixedSeed(7);
    const double first = pinned.rnd();
    pinned.randomize();
    RandomSource again;
    again.setFixedSeed(7);
    again.randomize();
    EXPECT_EQ(pinned.rnd(), again.rnd());
    EXPECT_NE(first, again.rnd());
}

TEST(ScriptedDialogs, RecordsRequestsAndAnswersFromTheScriptThenWithTheFirstButton) {
    ScriptedDialogs dialogs;
    dialogs.answerNext(MessageAnswer::Cancel);
    const MessageRequest quit{QStringLiteral(" Are you sure? "),
                              QStringLiteral("Confirm Quit"),
                              MessageButtons::OkCancel,
                              MessageIcon::None,
                              {}};
    EXPECT_EQ(dialogs.message(quit), MessageAnswer::Cancel);
    EXPECT_EQ(dialogs.message(quit), MessageAnswer::Ok);
    EXPECT_EQ(dialogs.message({QStringLiteral("q"), {}, MessageButtons::YesNo}),
              MessageAnswer::Yes);
    EXPECT_EQ(dialogs.count(QStringLiteral(" Are you sure? ")), 2);
    EXPECT_EQ(dialogs.messages().front().title, QStringLiteral("Confirm Quit"));
}

TEST(VirtualWallClock, FollowsVirtualTime) {
    VirtualTimerHost host;
    const QDateTime start(QDate(2026, 12, 8), QTime(6, 59, 59));
    VirtualWallClock clock(host, start);
    host.advance(1500);
    EXPECT_EQ(clock.localNow().time(), QTime(7, 0, 0, 500));
    clock.set(QDateTime(QDate(2026, 12, 8), QTime(23, 59, 59)));
    host.advance(1000);
    EXPECT_EQ(clock.localNow(), QDateTime(QDate(2026, 12, 9), QTime(0, 0, 0)));
}
