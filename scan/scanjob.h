#pragma once

#include "discmovies.h"

#include <QObject>
#include <QTimer>
#include <memory>

class QThread;

namespace cinemork {

class ProbeSession;

// A scan of a disc or folder as a job: the walk and the grouping on a thread of its own, then the
// picture sizes read by one companion child. It reports its progress and its end by signals, so the
// caller never waits; a cancel ends it at once, and a job destroyed while it runs cancels itself.
class ScanJob : public QObject
{
    Q_OBJECT
public:
    enum class Outcome { Found, Unreadable, Cancelled };
    Q_ENUM(Outcome)

    explicit ScanJob(QObject *parent = nullptr);
    ~ScanJob() override;

    // Returns at once; progress and then finished() come from the event loop.
    void start(const QString &folder);
    void cancel();
    bool running() const { return m_running; }

    // What the walk saw and the movies found, once finished.
    const WalkResult &walk() const { return m_walk; }
    const QList<FoundMovie> &movies() const { return m_movies; }

    // The probe's child; tests replace them.
    QString probeProgram;
    QStringList probeArguments; // empty: the session's own
    int probeTimeLimitMs = 20000;

signals:
    void walking(qint64 filesSeen); // a few times a second while the walk runs
    void probeStarted(qsizetype files);
    void probing(qsizetype done, qsizetype files); // a few times a second while the sizes are read
    void finished(cinemork::ScanJob::Outcome outcome);

private:
    struct Walk;
    void walked();
    void startProbe();
    void finish(Outcome outcome);

    std::shared_ptr<Walk> m_state; // shared with the walk's thread, which may outlive a cancel
    QThread *m_thread = nullptr; // while a walk runs
    ProbeSession *m_probe = nullptr;
    QTimer m_tick;
    QList<ScanFile *> m_probed; // the files the probe answers for, in its order
    qsizetype m_probeDone = 0;
    WalkResult m_walk;
    QList<FoundMovie> m_movies;
    bool m_running = false;
};

} // namespace cinemork
