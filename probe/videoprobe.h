#pragma once

#include "probe/proberesult.h"

namespace cinemork {

// The picture size of a video file, read from its header with FFmpeg. Only the command-line
// companion links this; the window asks the companion (editor/proberunner.h).
// Bounded in time and in how much of the file it reads.
ProbeResult probeVideoFile(const QString &path, int timeLimitMs = 15000);

} // namespace cinemork
