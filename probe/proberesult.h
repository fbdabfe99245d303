#pragma once

#include <QString>

namespace cinemork {

// What a probe of a video file found, and the one line in which the companion tells the window:
// "640x272", or the failure kind's word ("not-found", "open-failed", "no-video", "invalid-dimensions").
struct ProbeResult
{
    enum Kind { Ok, NotFound, OpenFailed, NoVideo, InvalidDimensions };
    Kind kind = OpenFailed;
    int width = 0;
    int height = 0;

    QString text() const;
    static ProbeResult fromText(const QString &text);
};

} // namespace cinemork
