#pragma once

#include <QString>

namespace cinemork::test {

// Writes a short clip with FFmpeg's own encoders: "avi" with MPEG-4 video, "mpeg" with MPEG-1 video.
bool makeVideo(const QString &path, const char *format, int width, int height);
// A WAV file with a tenth of a second of silence: a media file without any video.
bool makeAudioOnly(const QString &path);

} // namespace cinemork::test
