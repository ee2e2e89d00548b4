#pragma once

// A PulseAudio server of the test's own, with one null sink, and a recorder
// of what reaches that sink: a real sound server without touching the
// user's. Tests that use it skip where pulseaudio is not installed.

#include <pulse/simple.h>
#include <sys/prctl.h>

#include <csignal>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace sylvaro::engine::test {

class PrivatePulse {
public:
    static constexpr int kRate = 48000;

    static bool available() {
        return !QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty();
    }

    PrivatePulse() {
        QDir(m_dir.path()).mkpath(QStringLiteral("run"));
        QFile::setPermissions(runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // Clients of this process find the server here, and nowhere else.
        setenv("PULSE_SERVER", ("unix:" + socket()).toLocal8Bit().constData(), 1);
    }
    ~PrivatePulse() {
        stop();
        unsetenv("PULSE_SERVER");
    }
    PrivatePulse(const PrivatePulse&) = delete;
    PrivatePulse& operator=(const PrivatePulse&) = delete;

    // Starts the server and waits (up to 10 s) until it takes connections.
    bool start() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_dir.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime());
        env.remove(QStringLiteral("PULSE_SERVER"));
        m_server.setProcessEnvironment(env);
        // Nothing of the server's reaches the test's own output: a test that
        // ends abruptly (a sanitizer halting it) must not leave its runner
        // waiting on a pipe the server still holds. And the server ends with
        // the test, however the test ends.
        m_server.setStandardOutputFile(QProcess::nullDevice());
        m_server.setStandardErrorFile(QProcess::nullDevice());
        m_server.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
        m_server.start(QStringLiteral("pulseaudio"),
                       {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                        QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disallow-exit"),
                        QStringLiteral("--log-level=error"), QStringLiteral("-L"),
                        QStringLiteral("module-null-sink sink_name=test rate=48000"),
                        QStringLiteral("-L"), QStringLiteral("module-native-protocol-unix")});
        if (!m_server.waitForStarted(10000)) {
            return false;
        }
        for (int i = 0; i < 200 && !QFile::exists(socket()); ++i) {
            QThread::msleep(50);
        }
        return QFile::exists(socket());
    }
    // Kills the server as a crash would.
    void kill() {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.kill();
            m_server.waitForFinished(10000);
        }
        QFile::remove(socket());
    }
    void stop() {
        stopRecording();
        kill();
    }

    // Records the null sink's monitor, stereo 16-bit, from now on.
    bool startRecording() {
        const pa_sample_spec format{PA_SAMPLE_S16NE, kRate, 2};
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<std::uint32_t>(-1);
        attr.fragsize = kRate / 100 * 4; // 10 ms
        int error = 0;
        m_recorder = pa_simple_new(nullptr, "test", PA_STREAM_RECORD, "test.monitor", "monitor",
                                   &format, nullptr, &attr, &error);
        if (!m_recorder) {
            return false;
        }
        m_recording = true;
        m_reader = std::thread([this] {
            std::vector<std::int16_t> chunk(kRate / 100 * 2);
            while (m_recording) {
                if (pa_simple_read(m_recorder, chunk.data(), chunk.size() * 2, nullptr) < 0) {
                    break;
                }
                const std::lock_guard guard(m_mutex);
                m_samples.insert(m_samples.end(), chunk.begin(), chunk.end());
            }
        });
        return true;
    }
    void stopRecording() {
        m_recording = false;
        if (m_reader.joinable()) {
            m_reader.join();
        }
        if (m_recorder) {
            pa_simple_free(m_recorder);
            m_recorder = nullptr;
        }
    }
    // Frames recorded so far.
    std::int64_t recorded() {
        const std::lock_guard guard(m_mutex);
        return static_cast<std::int64_t>(m_samples.size() / 2);
    }
    // The left channel of what was recorded, scaled to [-1, 1].
    std::vector<float> left() {
        const std::lock_guard guard(m_mutex);
        std::vector<float> out;
        for (std::size_t i = 0; i < m_samples.size(); i += 2) {
            out.push_back(static_cast<float>(m_samples[i]) / 32767.0f);
        }
        return out;
    }
    // Waits (in real time, up to `timeoutMs`) until `frames` more are recorded.
    bool recordFor(std::int64_t frames, int timeoutMs = 20000) {
        const std::int64_t until = recorded() + frames;
        for (int waited = 0; recorded() < until; waited += 10) {
            if (waited > timeoutMs) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

private:
    QString runtime() const { return m_dir.filePath(QStringLiteral("run")); }
    QString socket() const { return m_dir.filePath(QStringLiteral("run/pulse/native")); }

    QTemporaryDir m_dir;
    QProcess m_server;
    pa_simple* m_recorder = nullptr;
    std::thread m_reader;
    std::atomic<bool> m_recording{false};
    std::mutex m_mutex;
    std::vector<std::int16_t> m_samples;
};

} // namespace sylvaro::engine::test
