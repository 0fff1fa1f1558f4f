#pragma once

#include <atomic>
#include <memory>

namespace plenvo {

// A cooperative cancellation request shared between whoever starts a piece of work and the
// work itself. Copies share one flag; a default-constructed token is never cancelled.
class CancellationToken {
public:
    static CancellationToken create() { return CancellationToken(std::make_shared<Flag>()); }
    CancellationToken() = default;

    void cancel() const
    {
        if (m_flag)
            m_flag->store(true, std::memory_order_relaxed);
    }
    bool isCancelled() const { return m_flag && m_flag->load(std::memory_order_relaxed); }
    // Whether both tokens are copies of the same request.
    bool isSameAs(const CancellationToken& other) const { return m_flag == other.m_flag; }

private:
    using Flag = std::atomic<bool>;
    explicit CancellationToken(std::shared_ptr<Flag> flag) : m_flag(std::move(flag)) {}
    std::shared_ptr<Flag> m_flag;
};

} // namespace plenvo
