#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace grelm {

/// A number of bytes that the threads of one command share for their large
/// buffers. Requests are served in the order they came, each once it fits
/// beside what is held; a request larger than the whole budget is served
/// when nothing is held, so that it runs alone instead of waiting forever.
/// A holder must never wait for another thread while it holds bytes.
class MemoryBudget {
public:
    explicit MemoryBudget(std::uint64_t limit) : m_limit(limit) {}
    MemoryBudget(const MemoryBudget &) = delete;
    MemoryBudget &operator=(const MemoryBudget &) = delete;

    /// Waits for its turn and for room, then holds `bytes`.
    void acquire(std::uint64_t bytes);
    /// Gives back `bytes` that acquire held, and wakes the waiting requests.
    void release(std::uint64_t bytes);

    std::uint64_t limit() const { return m_limit; }
    std::uint64_t held() const;
    /// Requests that have not been served yet.
    std::uint64_t waiting() const;

private:
    bool fits(std::uint64_t bytes) const;

    const std::uint64_t m_limit;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::uint64_t m_held = 0;
    std::uint64_t m_nextTicket = 0; // handed to the next request
    std::uint64_t m_serving = 0;    // the ticket whose turn it is
};

} // namespace grelm
