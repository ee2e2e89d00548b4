#pragma once

#include "OfflineConsole.h"
#include "export/SoundscapeFile.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

namespace sylvaro::exporting {

// One export: what to render, for how long, with which seed, into which file.
struct ExportJob {
    SoundscapeSource source;
    int minutes = kDefaultMinutes;
    std::uint32_t seed = 0;
    QString target;
    exporting::ExportFormat format = exporting::ExportFormat::Wav;
    QString lame; // the MP3 encoder, for MP3 only

    static constexpr int kMinMinutes = 1;
    static constexpr int kMaxMinutes = 600;
    static constexpr int kDefaultMinutes = 60;
};

// Renders a soundscape into a file a piece at a time, so a window can keep
// its event loop turning and a terminal can show progress. Memory stays the
// same however long the export. UI thread only.
class SoundscapeExport {
public:
    explicit SoundscapeExport(const core::AppDir& dir);
    ~SoundscapeExport(); // a running export is cancelled
    SoundscapeExport(const SoundscapeExport&) = delete;
    SoundscapeExport& operator=(const SoundscapeExport&) = delete;

    // Builds the offline console from the job's source and opens the file.
    bool start(const ExportJob& job, QString& error);

    enum class State { Idle, Running, Done, Failed, Cancelled };
    // Renders and writes up to `frames` more frames; the file is completed
    // and put in place with the last of them.
    State advance(int frames, QString& error);
    // Stops; the temporary file is removed and the target left as it was.
    void cancel();

    State state() const { return m_state; }
    std::int64_t framesDone() const { return m_done; }
    std::int64_t framesTotal() const { return m_total; }
    // What the console would have told the user while it was set up.
    QStringList notes() const;
    const ExportJob& job() const { return m_job; }

private:
    core::AppDir m_dir;
    ExportJob m_job;
    std::unique_ptr<OfflineConsole> m_console;
    exporting::SoundscapeFile m_file;
    std::vector<float> m_buffer;
    QStringList m_notes;
    std::int64_t m_done = 0;
    std::int64_t m_total = 0;
    State m_state = State::Idle;
};

} // namespace sylvaro::exporting
