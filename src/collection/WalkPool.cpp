#include "WalkPool.h"

#include <algorithm>
#include <chrono>

WalkPool::WalkPool(int workers, const std::atomic<bool> *abortRequested,
                   const std::atomic<bool> *terminating, bool statusShown)
    : m_abortRequested(abortRequested), m_terminating(terminating), m_workers(workers),
      m_running(workers), m_statusWanted(statusShown)
{
}

void WalkPool::updateWanted()
{
    m_wanted.store(m_idle - int(m_tasks.size()), std::memory_order_relaxed);
}

bool WalkPool::take(WalkTask &task)
{
    std::unique_lock lock(m_mutex);
    ++m_idle;
    for (;;) {
        if (m_over || stopRequested()) {
            m_over = true;
            break;
        }
        if (!m_tasks.empty()) {
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
            --m_idle;
            updateWanted();
            return true;
        }
        if (m_idle == m_workers) {
            // Nobody walks, so nobody can hand out anything more.
            m_over = true;
            break;
        }
        updateWanted();
        m_workChanged.wait(lock);
    }
    --m_idle;
    updateWanted();
    m_workChanged.notify_all();
    return false;
}

void WalkPool::give(WalkTask task)
{
    {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
        updateWanted();
    }
    m_workChanged.notify_one();
}

void WalkPool::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_over = true;
    }
    m_workChanged.notify_all();
}

bool WalkPool::claimSubvolume(quint64 device)
{
    std::lock_guard lock(m_mutex);
    if (std::find(m_subvolumes.begin(), m_subvolumes.end(), device) != m_subvolumes.end())
        return false;
    m_subvolumes.push_back(device);
    return true;
}

void WalkPool::workerDone()
{
    {
        std::lock_guard lock(m_mutex);
        --m_running;
    }
    m_finished.notify_all();
}

bool WalkPool::waitFinished(int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    return m_finished.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                               [this] { return m_running == 0; });
}

void WalkPool::publishStatus(QString text)
{
    std::lock_guard lock(m_mutex);
    m_status = std::move(text);
}

std::optional<QString> WalkPool::takeStatus()
{
    std::lock_guard lock(m_mutex);
    std::optional<QString> status = std::move(m_status);
    m_status.reset();
    return status;
}
