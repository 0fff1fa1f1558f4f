#pragma once

#include "Trash.h"

#include <QSemaphore>

#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace plenvo::test {

// A Trash that touches nothing: it records the paths it is asked to move and refuses the
// ones it was told to. It can hold every move until released, to keep a batch running.
class FakeTrash final : public Trash {
public:
    bool moveToTrash(const std::string& path) override
    {
        if (m_holding)
            m_gate.acquire();
        std::lock_guard lock(m_mutex);
        m_requests.push_back(path);
        return !m_refused.count(path);
    }

    void refuse(const std::string& path)
    {
        std::lock_guard lock(m_mutex);
        m_refused.insert(path);
    }
    void hold() { m_holding = true; }
    void release(int moves) { m_gate.release(moves); }
    std::vector<std::string> requests()
    {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_requests;
    std::set<std::string> m_refused;
    std::atomic<bool> m_holding{false};
    QSemaphore m_gate;
};

} // namespace plenvo::test
