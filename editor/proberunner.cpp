#include "proberunner.h"

#include "platform/inputblocker.h"

#include <QApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

namespace cinemork {

ProbeRunner::ProbeRunner()
    : program(companionProgram())
    , arguments{QStringLiteral("probe")}
{}

void ProbeRunner::cancel()
{
    if (m_cancel)
        m_cancel();
}

ProbeResult ProbeRunner::run(const QString &path, QWidget *window)
{
    Q_UNUSED(window)
    ended = false;
    QProcess child;
    child.setProgram(program);
    child.setArguments(QStringList(arguments) << path);
    child.setProcessChannelMode(QProcess::SeparateChannels);

    QEventLoop loop;
    bool cancelled = false;
    m_cancel = [&] {
        cancelled = true;
        loop.quit();
    };
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, [this] { cancel(); });
    QObject::connect(&child, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&child, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            loop.quit();
    });

    {
        // Nothing else may start while the probe runs; Esc ends the wait.
        const InputBlocker blocker([this] { cancel(); });
        QApplication::setOverrideCursor(Qt::WaitCursor);
        child.start();
        limit.start(timeLimitMs);
        if (child.state() != QProcess::NotRunning || child.error() != QProcess::FailedToStart)
            loop.exec();
        QApplication::restoreOverrideCursor();
    }
    m_cancel = nullptr;

    ProbeResult r; // OpenFailed
    if (cancelled || child.state() != QProcess::NotRunning) {
        ended = true;
        child.kill();
        child.waitForFinished(2000);
        return r;
    }
    if (child.exitStatus() != QProcess::NormalExit)
        return r;
    return ProbeResult::fromText(QString::fromUtf8(child.readAllStandardOutput()).section(u'\n', 0, 0));
}

} // namespace cinemork
