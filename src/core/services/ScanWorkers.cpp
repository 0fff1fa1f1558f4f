#include "ScanWorkers.h"

#include "models/NodeArena.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace plenvo {

struct ScanWorkers::Shared {
    std::mutex mutex;
    std::condition_variable work;     // a task was put in, or the workers are closed
    std::condition_variable progress; // a task finished, or a thread ended
    std::deque<Task> tasks;
    int alive = 0;
    bool closed = false;
    std::uint64_t progressCount = 0;

    void run()
    {
        NodeArena arena;
        for (;;) {
            Task task;
            {
                std::unique_lock lock(mutex);
                work.wait(lock, [&] { return closed || !tasks.empty(); });
                if (closed)
                    break;
                task = std::move(tasks.front());
                tasks.pop_front();
            }
            task(arena);
        }
        std::lock_guard lock(mutex);
        --alive;
        ++progressCount;
        progress.notify_all();
    }
};

ScanWorkers::ScanWorkers(int threads) : m_shared(std::make_shared<Shared>())
{
    for (int i = 0; i < threads; ++i) {
        {
            std::lock_guard lock(m_shared->mutex);
            ++m_shared->alive;
        }
        try {
            std::thread([shared = m_shared] { shared->run(); }).detach();
        } catch (const std::system_error&) {
            // No more threads to be had: the scan goes on with those it has.
            std::lock_guard lock(m_shared->mutex);
            --m_shared->alive;
            break;
        }
    }
}

ScanWorkers::~ScanWorkers()
{
    close();
}

void ScanWorkers::pushFront(std::vector<Task> tasks)
{
    if (tasks.empty())
        return;
    {
        std::lock_guard lock(m_shared->mutex);
        if (m_shared->closed)
            return;
        for (auto it = tasks.rbegin(); it != tasks.rend(); ++it)
            m_shared->tasks.push_front(std::move(*it));
    }
    if (tasks.size() == 1)
        m_shared->work.notify_one();
    else
        m_shared->work.notify_all();
}

void ScanWorkers::close()
{
    std::deque<Task> dropped;
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->closed = true;
        dropped.swap(m_shared->tasks);
    }
    m_shared->work.notify_all();
    // The tasks are released here, outside the lock.
}

bool ScanWorkers::waitForExit(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_shared->mutex);
    return m_shared->progress.wait_for(lock, timeout, [&] { return m_shared->alive == 0; });
}

void ScanWorkers::notifyProgress()
{
    {
        std::lock_guard lock(m_shared->mutex);
        ++m_shared->progressCount;
    }
    m_shared->progress.notify_all();
}

std::uint64_t ScanWorkers::progressTicket() const
{
    std::lock_guard lock(m_shared->mutex);
    return m_shared->progressCount;
}

void ScanWorkers::waitForProgress(std::uint64_t ticket, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_shared->mutex);
    m_shared->progress.wait_for(lock, timeout, [&] { return m_shared->progressCount != ticket; });
}

} // namespace plenvo
