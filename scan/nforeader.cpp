#include "nforeader.h"

namespace cinemork {

NfoReader::NfoReader()
    : m_thread([this] { run(); })
{
}

void NfoReader::add(const QByteArray &nativePath)
{
    bool wake = false;
    {
        const std::lock_guard lock(m_mutex);
        m_queue.push_back(nativePath);
        wake = m_queue.size() == 16; // woken for a few at a time, not for each
    }
    if (wake)
        m_wake.notify_one();
}

QHash<QByteArray, NfoInfo> NfoReader::finish(bool cancelled)
{
    {
        const std::lock_guard lock(m_mutex);
        m_done = true;
        if (cancelled) {
            m_queue.clear();
            m_stop.store(true, std::memory_order_relaxed);
        }
    }
    m_wake.notify_one();
    if (m_thread.joinable())
        m_thread.join();
    return std::move(m_read);
}

void NfoReader::run()
{
    std::vector<QByteArray> batch;
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_done || m_queue.size() >= 16; });
            if (m_queue.empty())
                return; // done, and nothing left
            batch.swap(m_queue);
        }
        for (const QByteArray &path : batch) {
            if (m_stop.load(std::memory_order_relaxed))
                return;
            m_read.insert(path, readNfo(path));
        }
        batch.clear();
    }
}

} // namespace cinemork
