#pragma once

#include <QStringList>

namespace cinemork {

// The companion that probes: beside the program, else where it is installed; never looked up on PATH.
QString companionProgram();
QString companionProgramIn(const QStringList &folders);

} // namespace cinemork
