#pragma once

#include "probe/companionprogram.h"
#include "probe/proberesult.h"

#include <QStringList>
#include <functional>

class QWidget;

namespace cinemork {

// Runs the probe in a child process, so a file that blocks a read can never hang the window:
// the window keeps repainting with a busy cursor, Esc ends the wait, and so does the time limit.
// A probe that is ended or runs out of time counts as a file that could not be opened.
class ProbeRunner
{
public:
    ProbeRunner();
    ProbeResult run(const QString &path, QWidget *window);

    // The child's command and the limit; tests replace them.
    QString program;
    QStringList arguments; // the path is appended
    int timeLimitMs = 20000;
    bool ended = false; // the last run was ended by Esc or the limit

    // Ends the running wait as if Esc had been pressed.
    void cancel();

private:
    std::function<void()> m_cancel; // set while a run waits
};

} // namespace cinemork
