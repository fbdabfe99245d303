#pragma once

#include "checkplan.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>

namespace cinemork {

// A check of a disc or folder as a job: the listing, the matching and the reading on a thread of its
// own, reported by signals a few times a second, so the caller never waits. A cancel ends it at once:
// a read stuck on a bad disc is left to end on its own thread, which holds nothing but its own state.
class CheckJob : public QObject
{
    Q_OBJECT
public:
    enum class Outcome { Checked, Unreadable, Cancelled };
    Q_ENUM(Outcome)

    struct Progress
    {
        qint64 done = 0;
        qint64 total = 0;
        double bytesPerSecond = 0;
        qint64 secondsLeft = -1; // -1: not known yet
    };

    struct State; // what the job's thread and the job share

    explicit CheckJob(QObject *parent = nullptr);
    ~CheckJob() override;

    // Returns at once. label empty: the disc's label or the folder's name, as a scan locates movies.
    void start(const QString &folder, const QList<Movie> &list, const QString &label = {});
    void cancel();
    bool running() const { return m_running; }

    // The plan once planned(), each movie's status filled in as it is checked.
    const CheckPlan &plan() const { return m_plan; }
    Progress progress() const;
    // Threads of checks still reading, cancelled ones too (a test waits for them to end).
    static int threadsRunning();

signals:
    void planned();                  // the movies to check and the files not in the list are known
    void movieChecked(int index);    // of plan().movies
    void progressed(const cinemork::CheckJob::Progress &progress);
    void finished(cinemork::CheckJob::Outcome outcome);

private:
    void poll();
    void finish(Outcome outcome);

    std::shared_ptr<State> m_state; // shared with the thread, which may outlive a cancel
    QTimer m_tick;
    QElapsedTimer m_clock;
    CheckPlan m_plan;
    qint64 m_done = 0;
    bool m_havePlan = false;
    bool m_running = false;
};

} // namespace cinemork
