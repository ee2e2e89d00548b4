#pragma once

#include "engine/PcmData.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace sylvaro::custom {

// Decodes the user's own sound files at the mixer's rate on one worker
// thread, with the limits for untrusted files, so a long file never freezes
// the window; keeps what it decoded while the file stays unchanged. Lives on
// the UI thread: every function is for that thread only.
class SoundDecoder : public QObject {
    Q_OBJECT

public:
    // Decoded sounds kept at most, in bytes of samples, before the least
    // recently used go.
    static constexpr qint64 kDefaultCacheLimit = qint64{1} << 30;

    explicit SoundDecoder(int sampleRate, QObject* parent = nullptr);
    // Cancels what runs and waits for the worker to end.
    ~SoundDecoder() override;
    SoundDecoder(const SoundDecoder&) = delete;
    SoundDecoder& operator=(const SoundDecoder&) = delete;

    // A sound decoded earlier whose file is unchanged (same path, size,
    // modification time and file), at once; null otherwise.
    engine::PcmPtr cached(const QString& path) const;
    // Starts decoding; the answer comes as `decoded`, always later through the
    // event loop, also when the sound was already cached. Requests are
    // decoded in order; a request for a file still waiting its turn joins it.
    // Returns a ticket > 0.
    quint64 request(const QString& path);
    // `decoded` never comes for a cancelled ticket; a decode no ticket waits
    // for any more stops at its next chunk. Unknown tickets are ignored.
    void cancel(quint64 ticket);
    // True while some ticket waits for its answer.
    bool busy() const;

    void setCacheLimit(qint64 bytes);
    qint64 cachedBytes() const { return m_cacheBytes; }

Q_SIGNALS:
    // `error` is empty on success; otherwise `pcm` is null and `error` is the
    // reason the file cannot be used, in words for the user.
    void decoded(quint64 ticket, sylvaro::engine::PcmPtr pcm, QString error);

private:
    // What identifies one version of a file.
    struct Stamp {
        qint64 size = 0;
        qint64 modifiedNs = 0;
        qint64 changedNs = 0;
        quint64 inode = 0;
        friend bool operator==(const Stamp&, const Stamp&) = default;
    };
    struct Job {
        QString path;
        std::string nativePath;
        std::atomic<bool> cancel{false};
        std::vector<quint64> tickets; // UI thread only
    };
    struct Entry {
        Stamp stamp;
        engine::PcmPtr pcm;
        qint64 bytes = 0;
        mutable quint64 lastUse = 0;
    };

    struct Done {
        std::shared_ptr<Job> job;
        engine::PcmLoadResult result;
        std::optional<Stamp> stamp;
    };

    static std::optional<Stamp> stampOf(const std::string& nativePath);
    void work();
    Q_INVOKABLE void deliverDone();
    void finish(const Done& done);
    void store(const QString& path, Stamp stamp, engine::PcmPtr pcm);
    void evict();

    const int m_sampleRate;
    quint64 m_nextTicket = 1;
    // Tickets still waiting; a null job marks an answer from the cache.
    std::map<quint64, std::shared_ptr<Job>> m_tickets;
    QHash<QString, Entry> m_cache;
    qint64 m_cacheBytes = 0;
    qint64 m_cacheLimit = kDefaultCacheLimit;
    mutable quint64 m_useClock = 0;

    // Shared with the worker.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::shared_ptr<Job>> m_queue;
    std::deque<Done> m_done;
    bool m_stopping = false;

    std::thread m_worker; // last: starts once everything above exists
};

} // namespace sylvaro::custom
