#include "SoundscapeExport.h"

#include <algorithm>

namespace sylvaro::exporting {

SoundscapeExport::SoundscapeExport(const core::AppDir& dir) : m_dir(dir) {}

SoundscapeExport::~SoundscapeExport() {
    cancel();
}

bool SoundscapeExport::start(const ExportJob& job, QString& error) {
    cancel();
    m_job = job;
    m_done = 0;
    m_notes.clear();
    m_state = State::Failed;
    if (job.minutes < ExportJob::kMinMinutes || job.minutes > ExportJob::kMaxMinutes) {
        error = QStringLiteral("the length must be %1 to %2 minutes")
                    .arg(ExportJob::kMinMinutes)
                    .arg(ExportJob::kMaxMinutes);
        return false;
    }
    m_console = std::make_unique<OfflineConsole>(m_dir, job.seed);
    if (!m_console->prepare(job.source, error)) {
        m_console.reset();
        return false;
    }
    m_notes = m_console->notes();
    m_total = static_cast<std::int64_t>(job.minutes) * 60 * m_console->sampleRate();
    if (!m_file.open(job.target, job.format, m_console->sampleRate(), m_total, job.lame, error)) {
        m_console.reset();
        return false;
    }
    m_state = State::Running;
    return true;
}

SoundscapeExport::State SoundscapeExport::advance(int frames, QString& error) {
    if (m_state != State::Running) {
        return m_state;
    }
    const int n = static_cast<int>(std::min<std::int64_t>(frames, m_total - m_done));
    m_buffer.resize(static_cast<std::size_t>(n) * 2);
    m_console->render(m_buffer.data(), n);
    if (!m_file.write(m_buffer.data(), n, error)) {
        m_state = State::Failed;
        m_console.reset();
        return m_state;
    }
    m_done += n;
    if (m_done == m_total) {
        m_state = m_file.finish(error) ? State::Done : State::Failed;
        m_console.reset();
    }
    return m_state;
}

void SoundscapeExport::cancel() {
    if (m_state == State::Running) {
        m_file.abandon();
        m_console.reset();
        m_state = State::Cancelled;
    }
}

QStringList SoundscapeExport::notes() const {
    return m_notes;
}

} // namespace sylvaro::exporting
