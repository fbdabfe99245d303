#include "proberunner.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QKeyEvent>
#include <QProcess>
#include <QTimer>

namespace cinemork {

QString companionProgram()
{
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/cinemork-list");
    return QFileInfo(beside).isExecutable() ? beside : QStringLiteral("cinemork-list");
}

class ProbeRunner::Waiter : public QObject
{
public:
    explicit Waiter(QEventLoop *loop) : m_loop(loop) {}
    bool cancelled = false;
    void cancel()
    {
        cancelled = true;
        m_loop->quit();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            cancel();
            return true;
        }
        // Keep the user from starting anything else while the probe runs.
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return true;
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    QEventLoop *m_loop;
};

ProbeRunner::ProbeRunner()
    : program(companionProgram())
    , arguments{QStringLiteral("probe")}
{
}

void ProbeRunner::cancel()
{
    if (m_waiter)
        m_waiter->cancel();
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
    Waiter waiter(&loop);
    m_waiter = &waiter;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] { waiter.cancel(); });
    QObject::connect(&child, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&child, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            loop.quit();
    });

    qApp->installEventFilter(&waiter);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    child.start();
    limit.start(timeLimitMs);
    if (child.state() != QProcess::NotRunning || child.error() != QProcess::FailedToStart)
        loop.exec();
    QApplication::restoreOverrideCursor();
    qApp->removeEventFilter(&waiter);
    m_waiter = nullptr;

    ProbeResult r; // OpenFailed
    if (waiter.cancelled || child.state() != QProcess::NotRunning) {
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
