#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace sylvaro::recorder {

// A fixed-size ring of bytes between exactly one producer thread and one
// consumer thread, without locks: each side owns one index and publishes it
// with release ordering. Neither side ever waits or allocates; a write that
// does not fit is cut short and says how much went in.
class ByteRing {
public:
    // Capacity is rounded up to a power of two.
    explicit ByteRing(std::size_t capacity) {
        std::size_t size = 1;
        while (size < capacity) {
            size <<= 1;
        }
        m_data.assign(size, 0);
        m_mask = size - 1;
    }
    ByteRing(const ByteRing&) = delete;
    ByteRing& operator=(const ByteRing&) = delete;

    std::size_t capacity() const { return m_data.size(); }

    // Producer side.
    std::size_t write(const std::uint8_t* from, std::size_t n) {
        const std::size_t head = m_head.load(std::memory_order_relaxed);
        const std::size_t tail = m_tail.load(std::memory_order_acquire);
        n = std::min(n, capacity() - (head - tail));
        const std::size_t at = head & m_mask;
        const std::size_t first = std::min(n, capacity() - at);
        std::memcpy(m_data.data() + at, from, first);
        std::memcpy(m_data.data(), from + first, n - first);
        m_head.store(head + n, std::memory_order_release);
        return n;
    }

    // Consumer side.
    std::size_t read(std::uint8_t* to, std::size_t n) {
        const std::size_t tail = m_tail.load(std::memory_order_relaxed);
        const std::size_t head = m_head.load(std::memory_order_acquire);
        n = std::min(n, head - tail);
        const std::size_t at = tail & m_mask;
        const std::size_t first = std::min(n, capacity() - at);
        std::memcpy(to, m_data.data() + at, first);
        std::memcpy(to + first, m_data.data(), n - first);
        m_tail.store(tail + n, std::memory_order_release);
        return n;
    }

    // Either side: bytes waiting to be read.
    std::size_t available() const {
        return m_head.load(std::memory_order_acquire) - m_tail.load(std::memory_order_acquire);
    }

private:
    std::vector<std::uint8_t> m_data;
    std::size_t m_mask = 0;
    std::atomic<std::size_t> m_head{0}; // written by the producer only
    std::atomic<std::size_t> m_tail{0}; // written by the consumer only
};

} // namespace sylvaro::recorder
