#include "probesession.h"

#include "companionprogram.h"

#include "platform/bytetext.h"

#include <QFile>
#include <QProcess>
#include <utility>

namespace cinemork {

namespace {

// The child reads paths ended by NUL bytes, and no file name holds one: such a path is not sent, and
// names no file.
bool sendable(const QString &path)
{
    return !path.contains(QChar(0));
}

// An answer is a few bytes; a longer line means the child is out of step with the paths.
constexpr qsizetype LongestAnswer = 256;
// How long a child that has answered everything may take to end after its input did.
constexpr int EndingMs = 2000;
// How long a killed child may take to go; one stuck in the kernel is reaped when it goes.
constexpr int ReapMs = 1000;

} // namespace

ProbeSession::ProbeSession(QObject *parent)
    : QObject(parent)
    , program(companionProgram())
    , arguments{QStringLiteral("probe"), QStringLiteral("--stdin")}
{
    m_limit.setSingleShot(true);
    connect(&m_limit, &QTimer::timeout, this, &ProbeSession::timedOut);
}

ProbeSession::~ProbeSession()
{
    stopChild();
}

void ProbeSession::start(const QStringList &paths)
{
    if (m_running)
        cancel();
    m_paths = paths;
    m_next = 0;
    m_running = true;
    const quint64 run = ++m_run;
    // Begun from the event loop, so no signal comes before start() has returned.
    QMetaObject::invokeMethod(
        this,
        [this, run] {
            if (run != m_run)
                return;
            skipUnsendable();
            if (run == m_run)
                proceed();
        },
        Qt::QueuedConnection);
}

void ProbeSession::cancel()
{
    if (m_running)
        finish(true);
}

void ProbeSession::proceed()
{
    if (m_next >= m_paths.size())
        finish(false);
    else
        startChild();
}

void ProbeSession::startChild()
{
    m_line.clear();
    m_child = new QProcess(this);
    m_child->setProgram(program);
    m_child->setArguments(arguments);
    m_child->setStandardErrorFile(QProcess::nullDevice());
    connect(m_child, &QProcess::started, this, [this] {
        QByteArray input;
        for (int i = m_next; i < m_paths.size(); ++i)
            if (sendable(m_paths[i]))
                input += encodeBytes(m_paths[i]) + '\0';
        m_child->write(input);
        m_child->closeWriteChannel(); // once the paths are written: the child ends with its input
    });
    connect(m_child, &QProcess::readyReadStandardOutput, this, &ProbeSession::readAnswers);
    connect(m_child, &QProcess::finished, this, &ProbeSession::childEnded);
    connect(m_child, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            childFailedToStart();
    });
    m_limit.start(timeLimitMs);
    m_child->start(); // may report a failure to start before it returns
}

void ProbeSession::readAnswers()
{
    if (!m_child)
        return;
    m_line += m_child->readAllStandardOutput();
    for (qsizetype end; (end = m_line.indexOf('\n')) >= 0;) {
        const QByteArray line = m_line.left(end);
        m_line.remove(0, end + 1);
        if (m_next >= m_paths.size())
            continue; // nothing was asked
        // A line that is no answer makes ProbeResult's OpenFailed.
        if (!answer(ProbeResult::fromText(QString::fromUtf8(line))))
            return;
        m_limit.start(m_next < m_paths.size() ? timeLimitMs : EndingMs);
    }
    if (m_line.size() > LongestAnswer) {
        m_line.clear();
        if (m_next >= m_paths.size())
            return;
        stopChild();
        if (answer(ProbeResult()))
            proceed();
    }
}

void ProbeSession::childEnded()
{
    QProcess *const child = m_child;
    const quint64 run = m_run;
    readAnswers(); // what it said before it went
    if (run != m_run || child != m_child)
        return;
    stopChild();
    if (m_next >= m_paths.size()) {
        finish(false);
        return;
    }
    // It died on the path it was on: that one failed, a fresh child goes on with the rest.
    if (answer(ProbeResult()))
        proceed();
}

void ProbeSession::childFailedToStart()
{
    // A companion that cannot start now will not start for the next path either.
    stopChild();
    while (m_next < m_paths.size())
        if (!answer(ProbeResult()))
            return;
    finish(false);
}

void ProbeSession::timedOut()
{
    stopChild();
    if (m_next >= m_paths.size()) { // everything answered, but the child did not end with its input
        finish(false);
        return;
    }
    if (answer(ProbeResult()))
        proceed();
}

bool ProbeSession::answer(const ProbeResult &r)
{
    const quint64 run = m_run;
    emit result(m_next++, r);
    if (run != m_run)
        return false;
    skipUnsendable();
    return run == m_run;
}

void ProbeSession::skipUnsendable()
{
    const quint64 run = m_run;
    ProbeResult noFile;
    noFile.kind = ProbeResult::NotFound;
    while (run == m_run && m_next < m_paths.size() && !sendable(m_paths[m_next]))
        emit result(m_next++, noFile);
}

void ProbeSession::stopChild()
{
    m_limit.stop();
    QProcess *const child = std::exchange(m_child, nullptr);
    if (!child)
        return;
    child->disconnect(this);
    if (child->state() != QProcess::NotRunning) {
        child->kill();
        if (!child->waitForFinished(ReapMs)) {
            // Stuck in the kernel (a disc that does not answer): no wait here, nor in the process
            // object's destructor; it is reaped and deleted when it goes.
            child->setParent(nullptr);
            connect(child, &QProcess::finished, child, &QObject::deleteLater);
            return;
        }
    }
    child->deleteLater();
}

void ProbeSession::finish(bool cancelled)
{
    stopChild();
    m_running = false;
    ++m_run;
    emit finished(cancelled);
}

} // namespace cinemork
