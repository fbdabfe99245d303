#pragma once

#include "probe/proberesult.h"

#include <QByteArray>
#include <functional>

namespace cinemork {

// The picture size of a video file, read from its header with FFmpeg. Only the command-line
// companion links this; the window asks the companion (editor/proberunner.h).
// Bounded in time and in how much of the file it reads. path is the file system's bytes; a link or
// anything but a regular file is not-found. beforeOpen is called just before the file is opened:
// tests change the file there.
ProbeResult probeVideoFile(const QByteArray &path, int timeLimitMs = 15000, const std::function<void()> &beforeOpen = {});

} // namespace cinemork
