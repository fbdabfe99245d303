#pragma once

#include <QString>

namespace cinemork {

// The picture size of a video file, read from its header with FFmpeg.
struct ProbeResult
{
    enum Kind { Ok, NotFound, OpenFailed, NoVideo, InvalidDimensions };
    Kind kind = OpenFailed;
    int width = 0;
    int height = 0;

    QString text() const; // "640x272", or the failure kind's word
    static ProbeResult fromText(const QString &text);
};

// Bounded in time and in how much of the file it reads.
ProbeResult probeVideoFile(const QString &path, int timeLimitMs = 15000);

} // namespace cinemork
