#include "WaveAudioDevice.h"

#include "WavExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryFile>
#include <chrono>
#include <thread>

namespace sylvaro::recorder {

namespace {

const QString kAlias = QStringLiteral("capture");

// The largest format a take may have; the quality list stays far below.
constexpr int kMaxSamplesPerSec = 192000;

} // namespace

WaveAudioDevice::WaveAudioDevice(QString takeFolder) : m_folder(std::move(takeFolder)) {}

WaveAudioDevice::~WaveAudioDevice() {
    close();
}

QString WaveAudioDevice::errorText(int code) {
    switch (code) {
    case 0:
        return {};
    case kUnrecognizedKeyword:
        return QStringLiteral("An unknown command parameter was specified.");
    case kUnrecognizedCommand:
        return QStringLiteral("The specified command is not recognised.");
    case kHardware:
        return QStringLiteral("The specified device is not ready for use.");
    case kInvalidDeviceName:
        return QStringLiteral("The specified device is not open or is not recognised.");
    case kBadInteger:
        return QStringLiteral("The specified integer is invalid for this command.");
    case kOutOfRange:
        return QStringLiteral("The specified parameter is out of range for the specified "
                              "command.");
    case kFileNotSaved:
        return QStringLiteral("The file was not saved.");
    case kDuplicateAlias:
        return QStringLiteral("The specified alias is already being used in this "
                              "application.");
    case kNonapplicableFunction:
        return QStringLiteral("The specified command cannot be used in the current mode.");
    default:
        return QStringLiteral("Unknown error %1.").arg(code);
    }
}

CommandResult WaveAudioDevice::failure(int code, const QString& cause) {
    CommandResult r;
    r.code = code;
    r.error = errorText(code);
    if (!cause.isEmpty()) {
        r.error += QStringLiteral(" (") + cause + QLatin1Char(')');
    }
    return r;
}

CommandResult WaveAudioDevice::send(const QString& command) {
    static const QString kSavePrefix = QStringLiteral("save capture ");
    if (command == QLatin1String("close all")) {
        close();
        return {};
    }
    if (command == QLatin1String("open new type waveaudio alias capture")) {
        if (m_mode != Mode::Closed) {
            return failure(kDuplicateAlias);
        }
        open();
        return {};
    }
    const QStringList words = command.split(QLatin1Char(' '));
    if (words.size() < 2) {
        return failure(kUnrecognizedCommand);
    }
    static const QStringList kVerbs = {QStringLiteral("set"),    QStringLiteral("record"),
                                       QStringLiteral("stop"),   QStringLiteral("play"),
                                       QStringLiteral("status"), QStringLiteral("save"),
                                       QStringLiteral("close")};
    if (!kVerbs.contains(words[0])) {
        return failure(kUnrecognizedCommand);
    }
    if (words[1] != kAlias || m_mode == Mode::Closed) {
        return failure(kInvalidDeviceName);
    }
    if (command.startsWith(kSavePrefix)) {
        // The rest of the line is the path as given, spaces and all.
        return save(command.mid(kSavePrefix.size()));
    }
    if (command == QLatin1String("record capture")) {
        return record();
    }
    if (command == QLatin1String("stop capture")) {
        return stop();
    }
    if (command == QLatin1String("play capture from 0")) {
        return play();
    }
    if (command == QLatin1String("close capture")) {
        close();
        return {};
    }
    if (words[0] == QLatin1String("status") && words.size() == 3) {
        return status(words[2]);
    }
    if (words[0] == QLatin1String("set")) {
        return set(words);
    }
    return failure(kUnrecognizedKeyword);
}

CommandResult WaveAudioDevice::set(const QStringList& words) {
    if (words.size() == 5 && words[2] == QLatin1String("time") &&
        words[3] == QLatin1String("format")) {
        if (words[4] == QLatin1String("ms")) {
            m_bytesFormat = false;
            return {};
        }
        if (words[4] == QLatin1String("bytes")) {
            m_bytesFormat = true;
            return {};
        }
        return failure(kUnrecognizedKeyword);
    }
    static const QStringList kKeys = {QStringLiteral("samplespersec"), QStringLiteral("channels"),
                                      QStringLiteral("bitspersample"), QStringLiteral("alignment"),
                                      QStringLiteral("bytespersec")};
    if (words.size() != 2 + 2 * kKeys.size()) {
        return failure(kUnrecognizedKeyword);
    }
    int values[5] = {};
    for (int i = 0; i < kKeys.size(); ++i) {
        if (words[2 + 2 * i] != kKeys[i]) {
            return failure(kUnrecognizedKeyword);
        }
        bool ok = false;
        values[i] = words[3 + 2 * i].toInt(&ok);
        if (!ok) {
            return failure(kBadInteger);
        }
    }
    const WaveFormat format{values[0], values[2], values[1]};
    if (format.samplesPerSec < 1000 || format.samplesPerSec > kMaxSamplesPerSec ||
        (format.channels != 1 && format.channels != 2) ||
        (format.bitsPerSample != 8 && format.bitsPerSample != 16) ||
        values[3] != format.blockAlign() || values[4] != format.bytesPerSec()) {
        return failure(kOutOfRange);
    }
    if (m_mode == Mode::Recording || m_mode == Mode::Playing) {
        return failure(kNonapplicableFunction);
    }
    // A take holds one format: samples already recorded would be misread.
    if (lengthBytes() > 0 && !(format == m_format)) {
        return failure(kNonapplicableFunction, QStringLiteral("the take is not empty"));
    }
    m_format = format;
    return {};
}

void WaveAudioDevice::open() {
    m_format = WaveFormat{};
    m_bytesFormat = false;
    m_takeBytes = 0;
    m_interruption.clear();
    QDir().mkpath(m_folder);
    QTemporaryFile file(m_folder + QStringLiteral("/take-XXXXXX.raw"));
    file.setAutoRemove(false);
    // An empty take file, so playing or saving an empty take works too.
    m_takePath = file.open() ? file.fileName() : QString();
    m_mode = Mode::Stopped;
}

void WaveAudioDevice::close() {
    if (m_capture) {
        m_capture->stop();
        m_capture.reset();
    }
    if (m_player) {
        m_player->stop();
        m_player.reset();
    }
    if (!m_takePath.isEmpty()) {
        QFile::remove(m_takePath);
        m_takePath.clear();
    }
    m_takeBytes = 0;
    m_mode = Mode::Closed;
}

CommandResult WaveAudioDevice::record() {
    if (m_mode == Mode::Recording) {
        return {};
    }
    if (m_mode == Mode::Playing) {
        stop();
    }
    if (m_takePath.isEmpty()) {
        return failure(kHardware,
                       QStringLiteral("no folder for the recording in %1").arg(m_folder));
    }
    m_capture = std::make_unique<TakeCapture>();
    std::string error;
    if (!m_capture->start(m_takePath, m_format, error)) {
        m_capture.reset();
        return failure(kHardware, QString::fromStdString(error));
    }
    m_mode = Mode::Recording;
    return {};
}

void WaveAudioDevice::endTake() {
    m_capture->stop();
    if (m_capture->writeFailed() && m_interruption.isEmpty()) {
        m_interruption = QStringLiteral("the recording could not be written to %1 (%2)")
                             .arg(m_folder, QString::fromStdString(m_capture->writeError()));
    }
    m_capture.reset();
    m_takeBytes = QFileInfo(m_takePath).size();
    m_takeBytes -= m_takeBytes % m_format.blockAlign();
    m_mode = Mode::Stopped;
}

CommandResult WaveAudioDevice::stop() {
    if (m_mode == Mode::Recording) {
        endTake();
    } else if (m_mode == Mode::Playing) {
        m_player->stop();
        m_player.reset();
        m_mode = Mode::Stopped;
    }
    return {};
}

CommandResult WaveAudioDevice::play() {
    if (m_mode == Mode::Recording) {
        return failure(kNonapplicableFunction);
    }
    if (m_player) {
        m_player->stop();
    }
    m_player = std::make_unique<TakePlayer>();
    std::string error;
    if (!m_player->start(m_takePath, m_format, error)) {
        m_player.reset();
        m_mode = Mode::Stopped;
        return failure(kHardware, QString::fromStdString(error));
    }
    m_mode = Mode::Playing;
    return {};
}

CommandResult WaveAudioDevice::status(const QString& item) const {
    CommandResult r;
    if (item == QLatin1String("length")) {
        const std::int64_t bytes = lengthBytes();
        r.reply = QString::number(m_bytesFormat ? bytes : bytes * 1000 / m_format.bytesPerSec());
        return r;
    }
    if (item == QLatin1String("channels")) {
        r.reply = QString::number(m_format.channels);
        return r;
    }
    return failure(kUnrecognizedKeyword);
}

CommandResult WaveAudioDevice::save(const QString& path) {
    if (m_mode == Mode::Recording) {
        return failure(kNonapplicableFunction);
    }
    if (path.isEmpty()) {
        return failure(kFileNotSaved, QStringLiteral("no file name"));
    }
    QString error;
    if (!exportWav(m_takePath, m_format, path, &error)) {
        return failure(kFileNotSaved, error);
    }
    return {};
}

std::int64_t WaveAudioDevice::lengthBytes() const {
    if (m_mode == Mode::Recording && m_capture) {
        const std::int64_t bytes = m_takeBytes + m_capture->capturedBytes();
        return bytes - bytes % m_format.blockAlign();
    }
    return m_takeBytes;
}

QString WaveAudioDevice::takeInterruption() {
    if (m_mode == Mode::Recording && m_capture) {
        if (m_capture->isLost()) {
            m_interruption = QStringLiteral("the recording device is no longer available");
            endTake();
        } else if (m_capture->writeFailed()) {
            endTake();
        }
    }
    QString reason;
    reason.swap(m_interruption);
    return reason;
}

bool WaveAudioDevice::waitForLength(std::int64_t bytes, int timeoutMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (lengthBytes() < bytes) {
        if (std::chrono::steady_clock::now() >= until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

} // namespace sylvaro::recorder
