// Every kind of save, written by a helper process that is killed at many
// points of its write: whatever the moment, the target holds one whole
// version. A full disk and a read-only folder make the save fail with a
// message and leave the previous file as it was.

#include "support/SaveKinds.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <random>
#include <sndfile.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace sylvaro;

// Save kinds print as their names in test listings.
void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QString fileNameOf(const QString& kind) {
    if (kind == QLatin1String("recording") || kind == QLatin1String("export-wav")) {
        return QStringLiteral("sound.wav");
    }
    if (kind == QLatin1String("export-flac")) {
        return QStringLiteral("sound.flac");
    }
    return kind == QLatin1String("mix") ? QStringLiteral("evening.svm")
                                        : QStringLiteral("settings.ini");
}

// Limits and identity applied in the child before the helper starts.
struct ChildSetup {
    rlim_t fileSizeLimit = RLIM_INFINITY;
    bool asNobody = false;
};

// A running helper: its pid and the read ends of its output and errors.
struct Helper {
    pid_t pid = -1;
    int out = -1;
    int err = -1;
};

Helper startHelper(const QString& takes, const QStringList& args, const ChildSetup& setup = {}) {
    std::vector<QByteArray> bytes{QByteArrayLiteral(SYLVARO_SAVE_WRITER)};
    for (const QString& a : args) {
        bytes.push_back(QFile::encodeName(a));
    }
    std::vector<char*> argv;
    for (QByteArray& b : bytes) {
        argv.push_back(b.data());
    }
    argv.push_back(nullptr);
    const QByteArray env = "SAVE_WRITER_TAKES=" + QFile::encodeName(takes);
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
        return {};
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        ::putenv(const_cast<char*>(env.constData()));
        if (setup.fileSizeLimit != RLIM_INFINITY) {
            // A full disk: writes past the limit fail with EFBIG instead of
            // raising a signal.
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{setup.fileSizeLimit, setup.fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (setup.asNobody && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(126);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    return {pid, out[0], err[0]};
}

QByteArray readToEnd(int fd) {
    QByteArray all;
    char buf[512];
    for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) {
        all.append(buf, n);
    }
    return all;
}

// Runs the helper to the end: its exit status and what it said on errors.
std::pair<int, QByteArray> runHelper(const QString& takes, const QStringList& args,
                                     const ChildSetup& setup = {}) {
    Helper h = startHelper(takes, args, setup);
    if (h.pid < 0) {
        return {-1, {}};
    }
    readToEnd(h.out);
    const QByteArray err = readToEnd(h.err);
    ::close(h.out);
    ::close(h.err);
    int status = 0;
    ::waitpid(h.pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, err};
}

// Entries of `dir` other than `name`.
QStringList othersIn(const QString& dir, const QString& name) {
    QStringList all =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    all.removeAll(name);
    return all;
}

int killsPerKind() {
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("SYLVARO_SAVE_KILLS", &ok);
    return ok && n > 0 ? n : 40;
}

class KillDuringSave : public ::testing::TestWithParam<QString> {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_takes = m_dir.filePath(QStringLiteral("takes"));
        m_refs = m_dir.filePath(QStringLiteral("refs"));
        m_saves = m_dir.filePath(QStringLiteral("saves"));
        for (const QString& d : {m_takes, m_refs, m_saves}) {
            ASSERT_TRUE(QDir().mkpath(d));
        }
        ASSERT_TRUE(writeAll(m_takes + QStringLiteral("/take0.raw"), saves::rawTake(0)));
        ASSERT_TRUE(writeAll(m_takes + QStringLiteral("/take1.raw"), saves::rawTake(1)));
        m_name = fileNameOf(GetParam());
        m_target = m_saves + QLatin1Char('/') + m_name;
        // The two versions, each written whole by the helper on its own.
        for (int which : {0, 1}) {
            const QString ref = m_refs + QStringLiteral("/%1-").arg(which) + m_name;
            const auto [code, err] = runHelper(
                m_takes, {GetParam(), ref, QStringLiteral("once"), QString::number(which)});
            ASSERT_EQ(code, 0) << err.constData();
            m_versions[which] = readAll(ref);
            ASSERT_FALSE(m_versions[which].isEmpty());
        }
        ASSERT_NE(m_versions[0], m_versions[1]);
        ASSERT_TRUE(writeAll(m_target, m_versions[0])) << "the previous file";
    }

    // Whole: byte for byte one of the versions, and a sound file reads back
    // with every frame.
    void expectWhole(int kill) const {
        const QByteArray now = readAll(m_target);
        ASSERT_TRUE(now == m_versions[0] || now == m_versions[1])
            << "kill " << kill << ": " << now.size() << " bytes that are neither version";
        if (saves::isLineKind(GetParam())) {
            return;
        }
        SF_INFO info{};
        SNDFILE* f = sf_open(QFile::encodeName(m_target).constData(), SFM_READ, &info);
        ASSERT_NE(f, nullptr) << "kill " << kill << ": " << sf_strerror(nullptr);
        sf_close(f);
        EXPECT_EQ(info.frames, GetParam() == QLatin1String("recording") ? saves::kRecordingFrames
                                                                        : saves::kExportFrames);
    }

    QTemporaryDir m_dir;
    QString m_takes, m_refs, m_saves, m_name, m_target;
    QByteArray m_versions[2];
};

TEST_P(KillDuringSave, TheTargetIsAlwaysOneWholeVersion) {
    const int kills = killsPerKind();
    std::mt19937 random(20240611u + static_cast<unsigned>(qHash(GetParam())));
    // A sound file takes tens of milliseconds to write, a line file far less.
    std::uniform_int_distribution<int> delayUs(0, saves::isLineKind(GetParam()) ? 6000 : 40000);
    int seen[2] = {0, 0};
    for (int kill = 0; kill < kills; ++kill) {
        Helper h = startHelper(m_takes, {GetParam(), m_target, QStringLiteral("loop")});
        ASSERT_GT(h.pid, 0);
        // Counted from the helper's first write, not from its start-up.
        char ready[6] = {};
        ASSERT_EQ(::read(h.out, ready, sizeof ready), 6) << "the helper did not start";
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(h.pid, SIGKILL);
        int status = 0;
        ::waitpid(h.pid, &status, 0);
        const QByteArray err = readToEnd(h.err);
        ::close(h.out);
        ::close(h.err);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the helper stopped by itself: " << err.constData();
        expectWhole(kill);
        if (HasFatalFailure()) {
            return;
        }
        ++seen[readAll(m_target) == m_versions[1] ? 1 : 0];
    }
    // Left-overs only ever carry temporary names: the sound files' hidden
    // ".part" names, or for the line files the name the file is linked under
    // just before its rename.
    const QStringList left = othersIn(m_saves, m_name);
    const QRegularExpression temporary(
        saves::isLineKind(GetParam())
            ? QStringLiteral("^%1\\.[A-Za-z0-9]{6}$").arg(QRegularExpression::escape(m_name))
            : QStringLiteral("^\\..*\\.part$"));
    for (const QString& name : left) {
        EXPECT_TRUE(temporary.match(name).hasMatch()) << qPrintable(name);
    }
    RecordProperty("kills", kills);
    RecordProperty("left_over_temporaries", static_cast<int>(left.size()));
    std::printf("%s: %d kills, version 0 left %d times, version 1 %d times, %d temporaries left\n",
                qPrintable(GetParam()), kills, seen[0], seen[1], static_cast<int>(left.size()));
}

TEST_P(KillDuringSave, AFullDiskFailsWithAMessageAndKeepsThePreviousFile) {
    ChildSetup setup;
    // Smaller than either version: the write runs out of room part-way.
    setup.fileSizeLimit =
        static_cast<rlim_t>(std::min(m_versions[0].size(), m_versions[1].size()) / 2);
    const auto [code, err] = runHelper(
        m_takes, {GetParam(), m_target, QStringLiteral("once"), QStringLiteral("1")}, setup);
    EXPECT_EQ(code, 1) << err.constData();
    EXPECT_FALSE(err.trimmed().isEmpty()) << "no message";
    EXPECT_EQ(readAll(m_target), m_versions[0]);
    EXPECT_EQ(othersIn(m_saves, m_name), QStringList()) << "a failed save leaves nothing behind";
}

TEST_P(KillDuringSave, AReadOnlyFolderFailsWithAMessageAndKeepsThePreviousFile) {
    ChildSetup setup;
    // Root writes anywhere: the save then runs as a user that cannot.
    setup.asNobody = ::geteuid() == 0;
    struct stat st {};
    if (setup.asNobody && (::stat(SYLVARO_SAVE_WRITER, &st) != 0 || (st.st_mode & S_IXOTH) == 0)) {
        GTEST_SKIP() << "running as root, and the helper cannot be run as another user here";
    }
    for (const QString& d : {m_dir.path(), m_takes}) {
        ASSERT_EQ(::chmod(QFile::encodeName(d).constData(), 0755), 0);
    }
    ASSERT_EQ(::chmod(QFile::encodeName(m_saves).constData(), 0555), 0);
    const auto [code, err] = runHelper(
        m_takes, {GetParam(), m_target, QStringLiteral("once"), QStringLiteral("1")}, setup);
    ::chmod(QFile::encodeName(m_saves).constData(), 0755);
    EXPECT_EQ(code, 1) << err.constData();
    EXPECT_FALSE(err.trimmed().isEmpty()) << "no message";
    EXPECT_EQ(readAll(m_target), m_versions[0]);
    EXPECT_EQ(othersIn(m_saves, m_name), QStringList());
}

INSTANTIATE_TEST_SUITE_P(EveryKind, KillDuringSave, ::testing::ValuesIn(saves::saveKinds()),
                         [](const ::testing::TestParamInfo<QString>& param) {
                             QString name = param.param;
                             name.remove(QLatin1Char('-'));
                             return name.toStdString();
                         });

} // namespace
