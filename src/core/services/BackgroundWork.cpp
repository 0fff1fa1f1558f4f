#include "BackgroundWork.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace plenvo {

struct BackgroundWork::Shared {
    mutable std::mutex mutex;
    mutable std::condition_variable finished;
    std::vector<CancellationToken> tokens; // one per running job
};

BackgroundWork::BackgroundWork() : m_shared(std::make_shared<Shared>()) {}

BackgroundWork::~BackgroundWork()
{
    cancelAll();
    waitUntilIdle(kShutdownWait);
}

CancellationToken BackgroundWork::start(Job job)
{
    CancellationToken token = CancellationToken::create();
    start(token, std::move(job));
    return token;
}

void BackgroundWork::start(CancellationToken token, Job job)
{
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->tokens.push_back(token);
    }
    // The thread shares the bookkeeping, so it may outlive this object.
    std::thread([shared = m_shared, token, job = std::move(job)] {
        job(token);
        std::lock_guard lock(shared->mutex);
        auto it = std::find_if(shared->tokens.begin(), shared->tokens.end(),
                               [&](const CancellationToken& t) { return t.isSameAs(token); });
        if (it != shared->tokens.end())
            shared->tokens.erase(it);
        shared->finished.notify_all();
    }).detach();
}

void BackgroundWork::cancelAll()
{
    std::lock_guard lock(m_shared->mutex);
    for (const CancellationToken& token : m_shared->tokens)
        token.cancel();
}

int BackgroundWork::running() const
{
    std::lock_guard lock(m_shared->mutex);
    return int(m_shared->tokens.size());
}

bool BackgroundWork::waitUntilIdle(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_shared->mutex);
    return m_shared->finished.wait_for(lock, timeout, [&] { return m_shared->tokens.empty(); });
}

} // namespace plenvo
