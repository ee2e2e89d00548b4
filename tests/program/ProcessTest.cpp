// The real program as a separate process: how it ends when the desktop ends
// it, and where it writes when its own folder is read-only.

#include "persist/ConsoleSettings.h"
#include "persist/LineCodec.h"
#include "persist/MixFile.h"
#include "scenes/SceneTable.h"
#include "support/BuiltProgram.h"
#include "support/ProgramRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace sylvaro;
using test::contents;
using test::waitFor;

namespace {

class ProgramProcess : public ::testing::Test {
protected:
    void SetUp() override {
        const QString built = test::builtProgramDir();
        if (built.isEmpty() || !QFile::exists(built + QStringLiteral("/sylvaro-lite"))) {
            GTEST_SKIP() << "SYLVARO_PROGRAM_DIR does not point at a built program folder";
        }
        ASSERT_TRUE(m_tmp.isValid());
        // Others may look in (the read-only test runs as another user).
        ::chmod(m_tmp.path().toLocal8Bit().constData(), 0755);
        m_program = m_tmp.filePath(QStringLiteral("program"));
        test::makeLinkedProgram(built, m_program, true);
        m_home = m_tmp.filePath(QStringLiteral("home"));
        QDir().mkpath(m_home + QStringLiteral("/run"));
        ::chmod((m_home + QStringLiteral("/run")).toLocal8Bit().constData(), 0700);
        m_speakers = m_home + QStringLiteral("/speakers.raw");
    }
    void TearDown() override {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    QString programFile(const QString& name) const { return m_program + u'/' + name; }

    QProcessEnvironment environment(const char* driver) const {
        return test::programEnvironment(m_home, QString::fromLatin1(driver), m_speakers);
    }

    void start(const char* driver, bool asAnotherUser = false) {
        m_process.setProcessEnvironment(environment(driver));
        test::startProgram(m_process, programFile(QStringLiteral("sylvaro-lite")), asAnotherUser);
        ASSERT_TRUE(m_process.waitForStarted(10000));
    }

    // True once the program catches SIGTERM itself (its handler is in).
    bool catchesTerm() const {
        QFile status(QStringLiteral("/proc/%1/status").arg(m_process.processId()));
        if (!status.open(QIODevice::ReadOnly)) {
            return false;
        }
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("SigCgt:")) {
                const qulonglong mask = line.mid(7).trimmed().toULongLong(nullptr, 16);
                return (mask & (1ull << (SIGTERM - 1))) != 0;
            }
        }
        return false;
    }
    // The console's state as it saved it when it closed.
    std::optional<persist::ConsoleSettings> savedSettings() const {
        const std::optional<QByteArray> line =
            persist::readFirstLine(programFile(QStringLiteral("settings.ini")));
        return line ? persist::ConsoleSettings::fromLine(*line) : std::nullopt;
    }
    // True once the sound device is open and playing: start-up has run.
    bool soundStarted() const { return QFileInfo(m_speakers).size() > 48000; }

    void terminate() {
        ::kill(static_cast<pid_t>(m_process.processId()), SIGTERM);
        ASSERT_TRUE(m_process.waitForFinished(15000)) << "the program did not end on SIGTERM";
        EXPECT_EQ(m_process.exitStatus(), QProcess::NormalExit) << "killed instead of shut down";
        EXPECT_EQ(m_process.exitCode(), 0);
    }

    QTemporaryDir m_tmp;
    QString m_program;
    QString m_home;
    QString m_speakers;
    QProcess m_process;
};

} // namespace

TEST_F(ProgramProcess, SigtermInTheFirstSecondsLeavesTheSavedMixByteForByte) {
    persist::ConsoleSettings saved;
    saved.bank1.fill(2000);
    saved.bank2.fill(2000);
    saved.boxes[3] = 1;
    saved.backgroundVolume = -1200;
    const QByteArray line = saved.toLine();
    const QByteArray custom = ",\"x.wav\",,,,,\"\"\r\n";
    ASSERT_TRUE(persist::writeFileAtomically(programFile(QStringLiteral("settings.ini")), line));
    ASSERT_TRUE(persist::writeFileAtomically(programFile(QStringLiteral("settings2.ini")), custom));
    start("dummy");
    ASSERT_TRUE(waitFor([this] { return catchesTerm(); }, 10000));
    terminate();
    EXPECT_EQ(contents(programFile(QStringLiteral("settings.ini"))), line);
    EXPECT_EQ(contents(programFile(QStringLiteral("settings2.ini"))), custom);
}

TEST_F(ProgramProcess, SigtermAfterStartupSavesTheMixAndEnds) {
    start("disk");
    ASSERT_TRUE(waitFor([this] { return soundStarted(); }, 20000)) << "start-up did not run";
    terminate();
    const auto line = persist::readFirstLine(programFile(QStringLiteral("settings.ini")));
    ASSERT_TRUE(line) << "the mix was not saved";
    const auto saved = persist::ConsoleSettings::fromLine(*line);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->bank1[0], 2000) << "a console at its design values";
    EXPECT_TRUE(QFile::exists(programFile(QStringLiteral("settings2.ini"))));
}

TEST_F(ProgramProcess, ARunFromAReadOnlyProgramFolderWritesOnlyToTheDataFolder) {
    const bool root = ::geteuid() == 0;
    if (root) {
        // Root writes anywhere: run as a user that cannot write here.
        for (const QString& dir : {m_home, m_home + QStringLiteral("/run")}) {
            ASSERT_EQ(::chown(dir.toLocal8Bit().constData(), 65534, 65534), 0);
        }
    } else {
        ASSERT_EQ(::chmod(m_program.toLocal8Bit().constData(), 0555), 0);
    }
    const QStringList before = QDir(m_program).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    start("disk", root);
    ASSERT_TRUE(waitFor([this] { return soundStarted(); }, 20000)) << "start-up did not run";
    terminate();
    ::chmod(m_program.toLocal8Bit().constData(), 0755);
    EXPECT_EQ(QDir(m_program).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    const QString data = m_home + QStringLiteral("/data/sylvaro-lite/sylvaro-lite");
    EXPECT_TRUE(persist::readFirstLine(data + QStringLiteral("/settings.ini")))
        << "nothing saved in " << data.toStdString();
    EXPECT_TRUE(QFile::exists(data + QStringLiteral("/settings2.ini")));
}

TEST_F(ProgramProcess, ASecondStartWithAMixMakesTheRunningConsoleLoadItAndEnds) {
    persist::MixFile mix;
    mix.console.bank1.fill(2000);
    mix.console.bank2.fill(2000);
    mix.console.backgroundVolume = -1700;
    mix.console.boxes[4] = 1;
    mix.alarmTime = QStringLiteral("00:00");
    mix.alarmState = QStringLiteral("OFF");
    const QString mixPath = m_tmp.filePath(QStringLiteral("evening.svm"));
    ASSERT_TRUE(persist::writeFileAtomically(mixPath, mix.toLine()));
    ASSERT_TRUE(test::switchTipsOff(m_home));
    start("disk");
    ASSERT_TRUE(waitFor([this] { return soundStarted(); }, 20000)) << "start-up did not run";
    // The saved state resumes 2500 ms after the console has loaded (behind
    // the splash); a mix handed over before then waits for it. Two seconds
    // more of sound cover that.
    const qint64 heard = QFileInfo(m_speakers).size();
    ASSERT_TRUE(waitFor([&] { return QFileInfo(m_speakers).size() > heard + 2 * 192000; }, 20000));

    QProcess second;
    second.setProcessEnvironment(environment("disk"));
    second.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    second.start(programFile(QStringLiteral("sylvaro-lite")), {mixPath});
    ASSERT_TRUE(second.waitForFinished(15000)) << "the second start did not end";
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(m_process.state(), QProcess::Running);

    // The console loaded the mix while answering; its files then say so.
    terminate();
    const std::optional<persist::ConsoleSettings> settings = savedSettings();
    ASSERT_TRUE(settings) << "no mix saved";
    EXPECT_EQ(settings->backgroundVolume, -1700);
    EXPECT_EQ(settings->boxes[4], 1);
}

// Commands from the command line reach the running console over its socket
// and need no display; with no console running they say so.
TEST_F(ProgramProcess, CommandLineCommandsDriveTheRunningConsole) {
    const auto run = [this](const QStringList& arguments, QString* out = nullptr,
                            QString* err = nullptr) {
        QProcess command;
        QProcessEnvironment env = environment("dummy");
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        command.setProcessEnvironment(env);
        command.start(programFile(QStringLiteral("sylvaro-lite")), arguments);
        EXPECT_TRUE(command.waitForFinished(15000)) << "the command did not end";
        if (out) {
            *out = QString::fromLocal8Bit(command.readAllStandardOutput());
        }
        if (err) {
            *err = QString::fromLocal8Bit(command.readAllStandardError());
        }
        return command.exitCode();
    };
    QString out;
    QString err;
    EXPECT_EQ(run({QStringLiteral("--version")}, &out), 0);
    EXPECT_EQ(out, QStringLiteral("sylvaro-lite %1\n").arg(QStringLiteral(SYLVARO_VERSION)));
    EXPECT_EQ(run({QStringLiteral("--sleep"), QStringLiteral("0")}, nullptr, &err), 2);
    EXPECT_TRUE(err.contains(u"--sleep")) << err.toStdString();
    EXPECT_EQ(run({QStringLiteral("--pause")}, nullptr, &err), 1);
    EXPECT_TRUE(err.contains(u"no console is running")) << err.toStdString();

    ASSERT_TRUE(test::switchTipsOff(m_home));
    start("disk");
    ASSERT_TRUE(waitFor([this] { return soundStarted(); }, 20000)) << "start-up did not run";
    const qint64 heard = QFileInfo(m_speakers).size();
    ASSERT_TRUE(waitFor([&] { return QFileInfo(m_speakers).size() > heard + 2 * 192000; }, 20000));

    // The last scene of the Preset Panel, then one step back as the
    // Previous media key goes: the one before it.
    EXPECT_EQ(run({QStringLiteral("--scene"), QStringLiteral("fireSIDE")}), 0);
    EXPECT_EQ(run({QStringLiteral("--previous")}), 0);
    EXPECT_EQ(run({QStringLiteral("--scene=Atlantis")}, nullptr, &err), 2);
    EXPECT_TRUE(err.contains(u"Atlantis") && err.contains(u"Storm") && err.contains(u"Coast"))
        << err.toStdString();
    EXPECT_EQ(m_process.state(), QProcess::Running);
    terminate();

    const scenes::Scene* expected = scenes::find(scenes::kGridOrder[scenes::kGridOrder.size() - 2]);
    ASSERT_NE(expected, nullptr);
    const std::optional<persist::ConsoleSettings> settings = savedSettings();
    ASSERT_TRUE(settings) << "no mix saved";
    for (int channel = 1; channel <= console::kBackgroundCount; ++channel) {
        EXPECT_EQ(settings->boxes[static_cast<std::size_t>(channel - 1)] == 1,
                  expected->boxOn(channel))
            << "box " << channel << " of " << expected->caption;
    }
    EXPECT_EQ(run({QStringLiteral("--next")}, nullptr, &err), 1);
}
