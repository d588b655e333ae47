#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace grelm {

/// Runs the "prepare" half of a list of jobs ahead of time on worker threads
/// and hands the results to one consumer strictly in job order. Each result
/// lives in a slot of a small ring that is reused for later jobs, so buffers
/// inside a result keep their capacity; the ring bounds the look-ahead. With
/// no workers every job is prepared inline, on the consumer's thread, when it
/// is taken. Destroying the pipeline drops the results not taken yet and joins
/// every worker.
template <typename Result>
class OrderedPipeline {
public:
    /// Fills `slot` with the prepared result of job `index` using the state of
    /// worker `worker` (0 in the inline mode); may throw.
    using Prepare = std::function<void(std::size_t index, int worker, Result &slot)>;

    OrderedPipeline(std::size_t jobCount, int workers, std::size_t lookAheadPerWorker, Prepare prepare)
        : m_jobCount(jobCount)
        , m_prepare(std::move(prepare))
        // One slot more than the look-ahead: the consumer holds one while it commits.
        , m_slots(workers > 0 ? std::size_t(workers) * std::max<std::size_t>(lookAheadPerWorker, 1) + 1 : 1)
        , m_errors(m_slots.size())
        , m_ready(m_slots.size(), false)
    {
        for (int w = 0; w < workers; ++w)
            m_threads.emplace_back([this, w] { work(w); });
    }

    ~OrderedPipeline() { stop(); }

    OrderedPipeline(const OrderedPipeline &) = delete;
    OrderedPipeline &operator=(const OrderedPipeline &) = delete;

    /// The result of job `index`, which must be the job after the one taken
    /// last; calls `idle` about every `poll` while the result is not ready. The
    /// reference stays valid until the next take. Rethrows what the job threw.
    Result &take(std::size_t index, const std::function<void()> &idle,
                 std::chrono::milliseconds poll = std::chrono::milliseconds(10))
    {
        const std::size_t slot = index % m_slots.size();
        if (m_threads.empty()) {
            m_prepare(index, 0, m_slots[slot]);
            return m_slots[slot];
        }
        std::unique_lock lock(m_mutex);
        m_released = index; // the slot handed out by the previous take is free again
        m_space.notify_all();
        auto turn = std::chrono::steady_clock::now() + poll;
        while (!m_ready[slot]) {
            if (m_changed.wait_until(lock, turn) == std::cv_status::timeout && !m_ready[slot]) {
                lock.unlock();
                idle();
                lock.lock();
                turn = std::chrono::steady_clock::now() + poll;
            }
        }
        m_ready[slot] = false;
        if (std::exception_ptr error = std::exchange(m_errors[slot], nullptr))
            std::rethrow_exception(error);
        return m_slots[slot];
    }

    /// Stops the workers after the job each one is preparing, and joins them.
    void stop()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_space.notify_all();
        for (std::thread &t : m_threads)
            t.join();
        m_threads.clear();
    }

private:
    void work(int worker)
    {
        for (;;) {
            std::unique_lock lock(m_mutex);
            m_space.wait(lock, [this] { return m_stopping || m_claimed >= m_jobCount || m_claimed < m_released + m_slots.size(); });
            if (m_stopping || m_claimed >= m_jobCount)
                return;
            const std::size_t index = m_claimed++;
            const std::size_t slot = index % m_slots.size();
            lock.unlock();
            std::exception_ptr error;
            try {
                m_prepare(index, worker, m_slots[slot]);
            } catch (...) {
                error = std::current_exception();
            }
            lock.lock();
            m_errors[slot] = error;
            m_ready[slot] = true;
            m_changed.notify_all();
        }
    }

    const std::size_t m_jobCount;
    const Prepare m_prepare;
    std::vector<Result> m_slots;
    std::vector<std::exception_ptr> m_errors;
    std::vector<bool> m_ready;
    std::vector<std::thread> m_threads;
    std::mutex m_mutex;
    std::condition_variable m_space;   // workers wait here for a free slot
    std::condition_variable m_changed; // the consumer waits here for a result
    std::size_t m_claimed = 0;         // jobs handed to workers so far
    std::size_t m_released = 0;        // jobs whose slots the consumer has given back
    bool m_stopping = false;
};

} // namespace grelm
