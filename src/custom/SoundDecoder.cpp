#include "SoundDecoder.h"

#include "engine/PcmLoader.h"

#include <QFile>
#include <QMetaObject>
#include <algorithm>
#include <sys/stat.h>
#include <utility>

namespace sylvaro::custom {

namespace {

qint64 bytesOf(const engine::PcmData& pcm) {
    return static_cast<qint64>(pcm.s16.size() * sizeof(std::int16_t) +
                               pcm.f32.size() * sizeof(float));
}

qint64 nanoseconds(const timespec& t) {
    return static_cast<qint64>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

} // namespace

SoundDecoder::SoundDecoder(int sampleRate, QObject* parent)
    : QObject(parent), m_sampleRate(sampleRate), m_worker([this] { work(); }) {
    qRegisterMetaType<engine::PcmPtr>("sylvaro::engine::PcmPtr");
}

SoundDecoder::~SoundDecoder() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_queue.clear();
    }
    for (const auto& [ticket, job] : m_tickets) {
        if (job) {
            job->cancel = true;
        }
    }
    m_wake.notify_all();
    m_worker.join();
    // An answer the worker posted meanwhile is dropped with this object.
}

std::optional<SoundDecoder::Stamp> SoundDecoder::stampOf(const std::string& nativePath) {
    struct stat status {};
    if (::stat(nativePath.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    // The change time and the file's number catch a file replaced by
    // another of the same size with its modification time kept.
    return Stamp{static_cast<qint64>(status.st_size), nanoseconds(status.st_mtim),
                 nanoseconds(status.st_ctim), static_cast<quint64>(status.st_ino)};
}

engine::PcmPtr SoundDecoder::cached(const QString& path) const {
    const auto it = m_cache.constFind(path);
    if (it == m_cache.constEnd()) {
        return nullptr;
    }
    const std::optional<Stamp> now = stampOf(QFile::encodeName(path).toStdString());
    if (!now || *now != it->stamp) {
        return nullptr;
    }
    it->lastUse = ++m_useClock;
    return it->pcm;
}

quint64 SoundDecoder::request(const QString& path) {
    const quint64 ticket = m_nextTicket++;
    if (engine::PcmPtr pcm = cached(path)) {
        m_tickets.emplace(ticket, nullptr);
        QMetaObject::invokeMethod(
            this,
            [this, ticket, pcm] {
                const auto it = m_tickets.find(ticket);
                if (it == m_tickets.end()) {
                    return; // cancelled
                }
                m_tickets.erase(it);
                Q_EMIT decoded(ticket, pcm, QString());
            },
            Qt::QueuedConnection);
        return ticket;
    }
    if (const auto stale = m_cache.find(path); stale != m_cache.end()) {
        m_cacheBytes -= stale->bytes;
        m_cache.erase(stale);
    }

    const std::lock_guard lock(m_mutex);
    // A file still waiting its turn is read once for every ticket; one whose
    // decode has begun may have changed since, so it is read again.
    const auto waiting = std::find_if(m_queue.begin(), m_queue.end(), [&](const auto& job) {
        return job->path == path && !job->cancel;
    });
    std::shared_ptr<Job> job;
    if (waiting != m_queue.end()) {
        job = *waiting;
    } else {
        job = std::make_shared<Job>();
        job->path = path;
        job->nativePath = QFile::encodeName(path).toStdString();
        m_queue.push_back(job);
        m_wake.notify_one();
    }
    job->tickets.push_back(ticket);
    m_tickets.emplace(ticket, job);
    return ticket;
}

void SoundDecoder::cancel(quint64 ticket) {
    const auto it = m_tickets.find(ticket);
    if (it == m_tickets.end()) {
        return;
    }
    const std::shared_ptr<Job> job = it->second;
    m_tickets.erase(it);
    if (!job) {
        return;
    }
    std::erase(job->tickets, ticket);
    if (job->tickets.empty()) {
        job->cancel = true;
        const std::lock_guard lock(m_mutex);
        std::erase(m_queue, job);
    }
}

bool SoundDecoder::busy() const {
    return !m_tickets.empty();
}

void SoundDecoder::setCacheLimit(qint64 bytes) {
    m_cacheLimit = std::max<qint64>(bytes, 0);
    evict();
}

void SoundDecoder::work() {
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_stopping) {
                return;
            }
            job = m_queue.front();
            m_queue.pop_front();
        }
        if (job->cancel) {
            continue;
        }
        // Stamped on both sides of the read: a file that changed meanwhile
        // is delivered but not kept, since what was read matches neither
        // version for sure.
        const std::optional<Stamp> before = stampOf(job->nativePath);
        const engine::PcmLoadResult result =
            engine::loadPcm(job->nativePath, m_sampleRate, engine::LoadLimits{}, &job->cancel);
        const std::optional<Stamp> after = stampOf(job->nativePath);
        const std::optional<Stamp> stamp =
            before && after && *before == *after ? before : std::nullopt;
        // The answer waits here, under the lock, and the UI thread is only
        // woken: nothing but the lock hands data between the threads.
        bool wake = false;
        {
            const std::lock_guard lock(m_mutex);
            wake = m_done.empty();
            m_done.push_back({job, result, stamp});
        }
        if (wake) {
            QMetaObject::invokeMethod(this, "deliverDone", Qt::QueuedConnection);
        }
    }
}

void SoundDecoder::deliverDone() {
    std::deque<Done> done;
    {
        const std::lock_guard lock(m_mutex);
        done.swap(m_done);
    }
    for (const Done& d : done) {
        finish(d);
    }
}

void SoundDecoder::finish(const Done& done) {
    const engine::PcmLoadResult& result = done.result;
    if (result && done.stamp) {
        store(done.job->path, *done.stamp, result.pcm);
    }
    const QString error = result ? QString() : QString::fromStdString(result.error);
    // A receiver may cancel or request while we deliver: each ticket is
    // checked again just before its answer goes out.
    const std::vector<quint64> tickets = std::exchange(done.job->tickets, {});
    for (const quint64 ticket : tickets) {
        const auto it = m_tickets.find(ticket);
        if (it == m_tickets.end() || it->second != done.job) {
            continue;
        }
        m_tickets.erase(it);
        Q_EMIT decoded(ticket, result.pcm, error);
    }
}

void SoundDecoder::store(const QString& path, Stamp stamp, engine::PcmPtr pcm) {
    if (const auto old = m_cache.find(path); old != m_cache.end()) {
        m_cacheBytes -= old->bytes;
        m_cache.erase(old);
    }
    const qint64 bytes = bytesOf(*pcm);
    if (bytes > m_cacheLimit) {
        return;
    }
    m_cache.insert(path, Entry{stamp, std::move(pcm), bytes, ++m_useClock});
    m_cacheBytes += bytes;
    evict();
}

void SoundDecoder::evict() {
    while (m_cacheBytes > m_cacheLimit && !m_cache.isEmpty()) {
        auto oldest = m_cache.begin();
        for (auto it = m_cache.begin(); it != m_cache.end(); ++it) {
            if (it->lastUse < oldest->lastUse) {
                oldest = it;
            }
        }
        m_cacheBytes -= oldest->bytes;
        m_cache.erase(oldest);
    }
}

} // namespace sylvaro::custom
