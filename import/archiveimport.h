#pragma once

#include "importentry.h"

namespace cinemork {

// The largest tellico.xml a .tc may unpack to, and the largest ratio of unpacked to packed size:
// both are checked in the archive's directory, before a byte is unpacked.
inline constexpr qint64 MaxUnpackedBytes = qint64(512) << 20;
inline constexpr qint64 MaxUnpackRatio = 200;

// A Tellico .tc: the zip's one tellico.xml (bookcase.xml in older files), read as it unpacks.
ImportStatus readTellicoZip(const QString &path, const MovieSink &sink, ImportControl *control);

// A Griffith database, opened read-only; a lock held by another program is an error after a short wait.
ImportStatus readGriffithDb(const QString &path, const MovieSink &sink, ImportControl *control);

// A media library: the movies a scan of the folder finds, each completed from its .nfo file (title,
// year, IMDb id, play count, and codec and picture size from its stream details).
ImportStatus readNfoLibrary(const QString &folder, const MovieSink &sink, ImportControl *control);

} // namespace cinemork
