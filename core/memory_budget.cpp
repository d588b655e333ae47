#include "core/memory_budget.h"

namespace grelm {

bool MemoryBudget::fits(std::uint64_t bytes) const
{
    return m_held == 0 || (m_held <= m_limit && bytes <= m_limit - m_held);
}

void MemoryBudget::acquire(std::uint64_t bytes)
{
    std::unique_lock lock(m_mutex);
    const std::uint64_t ticket = m_nextTicket++;
    m_changed.wait(lock, [&] { return ticket == m_serving && fits(bytes); });
    m_held += bytes;
    ++m_serving;
    m_changed.notify_all(); // the next in line may fit too
}

void MemoryBudget::release(std::uint64_t bytes)
{
    {
        std::lock_guard lock(m_mutex);
        m_held -= bytes;
    }
    m_changed.notify_all();
}

std::uint64_t MemoryBudget::held() const
{
    std::lock_guard lock(m_mutex);
    return m_held;
}

std::uint64_t MemoryBudget::waiting() const
{
    std::lock_guard lock(m_mutex);
    return m_nextTicket - m_serving;
}

} // namespace grelm
