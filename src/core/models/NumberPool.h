#pragma once

#include <cstdint>
#include <mutex>
#include <new>
#include <vector>

namespace plenvo {

// Numbers from 0 up to a limit, taken and given back from any thread; a number given back is
// taken again before a new one is. For things that are made and let go of rarely: every call
// takes a lock.
class NumberPool {
public:
    explicit NumberPool(std::uint64_t limit) : m_limit(limit) {}

    // Throws std::bad_alloc when every number is taken.
    std::uint32_t take()
    {
        const std::lock_guard lock(m_mutex);
        if (!m_free.empty()) {
            const std::uint32_t number = m_free.back();
            m_free.pop_back();
            return number;
        }
        if (m_next == m_limit)
            throw std::bad_alloc();
        return std::uint32_t(m_next++);
    }
    void give(std::uint32_t number)
    {
        const std::lock_guard lock(m_mutex);
        m_free.push_back(number);
    }

private:
    std::mutex m_mutex;
    std::vector<std::uint32_t> m_free;
    std::uint64_t m_next = 0;
    const std::uint64_t m_limit;
};

} // namespace plenvo
