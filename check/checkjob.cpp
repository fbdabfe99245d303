#include "checkjob.h"

#include "scan/scanwalk.h"

#include <QMutex>
#include <QThread>
#include <atomic>
#include <optional>

namespace cinemork {

struct CheckJob::State
{
    std::atomic<bool> cancel{false};
    std::atomic<qint64> bytesDone{0};
    QMutex lock; // guards what follows
    std::optional<CheckPlan> plan;         // handed over once
    QList<std::pair<int, CheckedMovie>> checked; // handed over as they come
    bool ended = false;
    bool unreadable = false;
};

namespace {

std::atomic<int> g_threads{0};

void runCheck(const std::shared_ptr<CheckJob::State> &state, const QString &folder, const QList<Movie> &list,
              QString label)
{
    DiscListing disc = listDisc(folder, &state->cancel);
    if (!disc.ok) {
        QMutexLocker locked(&state->lock);
        state->unreadable = true;
        state->ended = true;
        return;
    }
    if (label.isEmpty())
        label = locationOf(disc.root);
    const CheckPlan plan = planCheck(std::move(disc), list, label);
    {
        QMutexLocker locked(&state->lock);
        state->plan = plan;
    }
    qint64 before = 0;
    for (int i = 0; i < plan.movies.size(); ++i) {
        CheckedMovie m = plan.movies[i];
        const bool checked = checkMovie(m, plan.disc, [&](qint64 done) {
            state->bytesDone.store(before + done, std::memory_order_relaxed);
            return !state->cancel.load(std::memory_order_relaxed);
        });
        if (!checked)
            return;
        for (const CheckedFile &f : m.files)
            before += f.disc >= 0 && plan.disc.files[f.disc].kind == DiscFile::Regular ? plan.disc.files[f.disc].bytes : 0;
        QMutexLocker locked(&state->lock);
        state->checked << std::pair{i, m};
    }
    QMutexLocker locked(&state->lock);
    state->ended = true;
}

} // namespace

CheckJob::CheckJob(QObject *parent)
    : QObject(parent)
{
    m_tick.setInterval(100);
    connect(&m_tick, &QTimer::timeout, this, &CheckJob::poll);
}

CheckJob::~CheckJob()
{
    cancel();
}

void CheckJob::start(const QString &folder, const QList<Movie> &list, const QString &label)
{
    cancel();
    m_plan = {};
    m_done = 0;
    m_havePlan = false;
    m_running = true;
    auto state = std::make_shared<State>();
    m_state = state;
    QThread *thread = QThread::create([state, folder, list, label] {
        runCheck(state, folder, list, label);
        --g_threads;
    });
    ++g_threads;
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, this, [this, state] {
        if (state == m_state)
            poll(); // the end comes at once, not with the next tick
    });
    m_clock.start();
    thread->start();
    m_tick.start();
}

int CheckJob::threadsRunning()
{
    return g_threads.load();
}

CheckJob::Progress CheckJob::progress() const
{
    Progress p;
    p.total = m_plan.totalBytes;
    p.done = m_state ? m_state->bytesDone.load(std::memory_order_relaxed) : m_done;
    const qint64 ms = m_clock.isValid() ? m_clock.elapsed() : 0;
    if (ms > 0)
        p.bytesPerSecond = double(p.done) * 1000.0 / double(ms);
    if (p.bytesPerSecond > 0 && ms >= 1000)
        p.secondsLeft = qint64(double(std::max<qint64>(p.total - p.done, 0)) / p.bytesPerSecond + 0.5);
    return p;
}

void CheckJob::poll()
{
    if (!m_state || !m_running)
        return;
    QList<std::pair<int, CheckedMovie>> checked;
    bool ended, unreadable;
    bool newPlan = false;
    {
        QMutexLocker locked(&m_state->lock);
        if (m_state->plan && !m_havePlan) {
            m_plan = std::move(*m_state->plan);
            m_state->plan.reset();
            m_havePlan = newPlan = true;
        }
        checked.swap(m_state->checked);
        ended = m_state->ended;
        unreadable = m_state->unreadable;
    }
    if (newPlan)
        emit planned();
    for (auto &[index, movie] : checked) {
        m_plan.movies[index] = std::move(movie);
        emit movieChecked(index);
        if (!m_running)
            return; // cancelled by a slot
    }
    emit progressed(progress());
    if (ended)
        finish(unreadable ? Outcome::Unreadable : Outcome::Checked);
}

void CheckJob::cancel()
{
    if (!m_running)
        return;
    m_state->cancel = true;
    finish(Outcome::Cancelled);
}

void CheckJob::finish(Outcome outcome)
{
    if (!m_running)
        return;
    m_running = false;
    m_tick.stop();
    m_done = m_state->bytesDone.load();
    m_state.reset(); // a thread still reading keeps its own share and ends on its own
    emit finished(outcome);
}

} // namespace cinemork
