#pragma once

#include "Trash.h"

#include <QSemaphore>

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace plenvo::test {

// A Trash that touches nothing: it records what it is asked to move and to put back, answers
// "moved" and "restored" unless told otherwise for a path, and can hold every call until
// released, to keep a job running.
class FakeTrash final : public Trash {
public:
    Moved moveToTrash(const EntryIdentity& item) override
    {
        wait();
        std::lock_guard lock(m_mutex);
        const std::string path = item.path();
        m_requests.push_back(path);
        if (m_refused.count(path))
            return {MoveStatus::refused, {}};
        if (m_changed.count(path))
            return {MoveStatus::changed, {}};
        return {MoveStatus::moved, {1, 2, item.id.inode}};
    }
    RestoreStatus restore(const EntryIdentity& item, const Ticket&) override
    {
        wait();
        std::lock_guard lock(m_mutex);
        const std::string path = item.path();
        m_restores.push_back(path);
        const auto it = m_restoreAnswers.find(path);
        return it == m_restoreAnswers.end() ? RestoreStatus::restored : it->second;
    }

    void refuse(const std::string& path)
    {
        std::lock_guard lock(m_mutex);
        m_refused.insert(path);
    }
    // The path no longer names the scanned entry.
    void change(const std::string& path)
    {
        std::lock_guard lock(m_mutex);
        m_changed.insert(path);
    }
    void answerRestore(const std::string& path, RestoreStatus status)
    {
        std::lock_guard lock(m_mutex);
        m_restoreAnswers[path] = status;
    }
    void hold() { m_holding = true; }
    void release(int calls) { m_gate.release(calls); }
    std::vector<std::string> requests()
    {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }
    std::vector<std::string> restores()
    {
        std::lock_guard lock(m_mutex);
        return m_restores;
    }

private:
    void wait()
    {
        if (m_holding)
            m_gate.acquire();
    }

    std::mutex m_mutex;
    std::vector<std::string> m_requests;
    std::vector<std::string> m_restores;
    std::set<std::string> m_refused;
    std::set<std::string> m_changed;
    std::map<std::string, RestoreStatus> m_restoreAnswers;
    std::atomic<bool> m_holding{false};
    QSemaphore m_gate;
};

} // namespace plenvo::test
