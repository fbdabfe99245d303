#include "scanjob.h"

#include "probe/companionprogram.h"
#include "probe/probesession.h"
#include "platform/bytetext.h"

#include <QDeadlineTimer>
#include <QThread>

namespace cinemork {

struct ScanJob::Walk
{
    WalkProgress progress;
    WalkResult walk;
    QList<FoundMovie> movies;
};

ScanJob::ScanJob(QObject *parent)
    : QObject(parent)
    , probeProgram(companionProgram())
{
    // The dialog that shows the progress follows a few times a second: the walk counts files and the
    // probe answers in bursts, faster than anything can be drawn.
    m_tick.setInterval(50);
    connect(&m_tick, &QTimer::timeout, this, [this] {
        if (m_probe)
            emit probing(m_probeDone, m_probed.size());
        else if (m_state)
            emit walking(m_state->progress.filesSeen.load());
    });
}

ScanJob::~ScanJob()
{
    cancel();
    // A walk ends at its next entry once cancelled. One stuck in a read of a bad disc is not waited
    // for longer: it ends on its own, holding only its own state, and its thread deletes itself.
    if (m_thread)
        m_thread->wait(QDeadlineTimer(2000));
}

void ScanJob::start(const QString &folder)
{
    cancel();
    m_walk = {};
    m_movies.clear();
    m_running = true;
    auto state = std::make_shared<Walk>();
    m_state = state;
    m_thread = QThread::create([state, folder] {
        state->walk = walkTree(folder, &state->progress);
        if (state->walk.ok)
            state->movies = groupMovies(state->walk, locationOf(state->walk.root));
    });
    connect(m_thread, &QThread::finished, m_thread, &QObject::deleteLater);
    connect(m_thread, &QThread::finished, this, [this, state, thread = m_thread] {
        if (m_thread == thread)
            m_thread = nullptr;
        if (state == m_state) // not a walk cancelled before
            walked();
    });
    m_thread->start();
    m_tick.start();
    emit walking(0);
}

void ScanJob::walked()
{
    m_walk = std::move(m_state->walk);
    m_movies = std::move(m_state->movies);
    m_state.reset();
    if (!m_walk.ok)
        finish(Outcome::Unreadable);
    else
        startProbe();
}

void ScanJob::startProbe()
{
    QStringList paths;
    m_probed.clear();
    for (FoundMovie &m : m_movies) {
        for (ScanFile &f : m.files) {
            paths << decodeBytes(f.nativePath); // the file's own bytes, whatever its name shows
            m_probed << &f;
        }
    }
    m_probeDone = 0;
    m_probe = new ProbeSession(this);
    m_probe->program = probeProgram;
    if (!probeArguments.isEmpty())
        m_probe->arguments = probeArguments;
    m_probe->timeLimitMs = probeTimeLimitMs;
    connect(m_probe, &ProbeSession::result, this, [this](int index, const ProbeResult &r) {
        if (r.kind == ProbeResult::Ok)
            m_probed[index]->resolution = r.text();
        m_probeDone = index + 1;
    });
    connect(m_probe, &ProbeSession::finished, this,
            [this](bool cancelled) { finish(cancelled ? Outcome::Cancelled : Outcome::Found); });
    emit probing(0, paths.size());
    emit probeStarted(paths.size());
    if (m_running)
        m_probe->start(paths); // finishes at once when there is nothing to probe
}

void ScanJob::cancel()
{
    if (!m_running)
        return;
    if (m_state)
        m_state->progress.cancel = true;
    if (m_probe && m_probe->running())
        m_probe->cancel(); // finishes the job through the session's end
    else
        finish(Outcome::Cancelled);
}

void ScanJob::finish(Outcome outcome)
{
    if (!m_running)
        return;
    m_running = false;
    m_tick.stop();
    m_state.reset();
    if (m_probe) {
        m_probe->disconnect(this);
        m_probe->deleteLater();
        m_probe = nullptr;
    }
    m_probed.clear();
    if (outcome == Outcome::Cancelled)
        m_movies.clear();
    emit finished(outcome);
}

} // namespace cinemork
