#pragma once

#include "nfo.h"

#include <QHash>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace cinemork {

// Reads the .nfo files the walk finds on a thread of its own, while the walk lists the next folders:
// opening and reading them is much of a scan's time.
class NfoReader
{
public:
    NfoReader();
    ~NfoReader() { finish(); }

    void add(const QByteArray &nativePath);
    // Waits for the files given so far (none more when cancelled) and gives what they say.
    QHash<QByteArray, NfoInfo> finish(bool cancelled = false);

private:
    void run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<QByteArray> m_queue;
    bool m_done = false;
    std::atomic<bool> m_stop{false}; // cancelled: what is left is not read
    QHash<QByteArray, NfoInfo> m_read; // the reader's own until it is joined
    std::thread m_thread;
};

} // namespace cinemork
