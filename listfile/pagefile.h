#pragma once

#include "pagewriter.h"

namespace cinemork {

struct PageFileResult
{
    bool ok = false;
    QString error; // why the page was not saved, e.g. "No space left on device"; empty on success
};

// What keeps path from being read as a file of its own: the system's reason when it is not there or cannot
// be looked at (links followed), "is a folder", or "is not a regular file" for a pipe, a device or a socket;
// empty for a regular file.
QString regularFileProblem(const QString &path);
// The same for a file's mode: "is a folder", "is not a regular file", or empty.
QString fileKindProblem(unsigned mode);

// Why path may not be written as a list page: an existing target that is not a regular file (a pipe,
// a device, a folder) is never replaced. Empty when it may be written.
QString pageFileTargetRefusal(const QString &path);

// Saves the page at path as a whole or not at all: written to a new file beside it, flushed to the disk,
// then put in its place. On failure an existing file is left as it was and error holds the system's reason.
PageFileResult savePageFile(const QString &path, const QString &title, const QList<Movie> &movies,
                            const PageSettings &settings, const QString &decimalPoint,
                            const PageWriter::Progress &progress = {});

} // namespace cinemork
