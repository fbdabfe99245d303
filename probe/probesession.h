#pragma once

#include "proberesult.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

class QProcess;

namespace cinemork {

// Probes a list of files through one companion child ("probe --stdin"), on the event loop: the caller
// never waits. Every path gets exactly one result, in the order given. A file that takes longer than
// the limit, a child that dies on a file or answers something that is no answer: that file counts as
// one that could not be opened, and a fresh child goes on with the rest. A companion that cannot be
// started fails every file that is left. No child outlives the run, a cancel or the session.
class ProbeSession : public QObject
{
    Q_OBJECT
public:
    explicit ProbeSession(QObject *parent = nullptr);
    ~ProbeSession() override;

    // The child's command and the limit for one file; tests replace them.
    QString program;
    QStringList arguments;
    int timeLimitMs = 20000;

    // Returns at once; the results and then finished() come from the event loop. A run still going
    // is cancelled first. Paths may hold the escaped bytes of decodeBytes (platform/bytetext.h).
    void start(const QStringList &paths);
    // Ends the run at once: the child is killed, finished(true) is emitted and no result after it.
    void cancel();
    bool running() const { return m_running; }

signals:
    void result(int index, const cinemork::ProbeResult &r);
    void finished(bool cancelled);

private:
    void proceed(); // with the next path, or to the end
    void startChild();
    void readAnswers();
    void childEnded();
    void childFailedToStart();
    void timedOut();
    // Hands the current path its result and moves on; false when that ended the run (or a slot
    // connected to result() ended or restarted it).
    bool answer(const ProbeResult &r);
    void skipUnsendable();
    void stopChild();
    void finish(bool cancelled);

    QStringList m_paths;
    int m_next = 0; // the first path without a result
    QProcess *m_child = nullptr;
    QByteArray m_line; // the part of an answer line read so far
    QTimer m_limit;
    bool m_running = false;
    quint64 m_run = 0; // counts starts and cancels, so a slot that ends the run stops the loops that emitted
};

} // namespace cinemork
