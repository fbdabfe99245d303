#pragma once

#include "pagewriter.h"

namespace cinemork {

struct PageFileResult
{
    bool ok = false;
    QString error; // why the page was not saved, e.g. "No space left on device"; empty on success
};

// Why path may not be written as a list page: an existing target that is not a regular file (a pipe,
// a device, a folder) is never replaced. Empty when it may be written.
QString pageFileTargetRefusal(const QString &path);

// Saves the page at path as a whole or not at all: written to a new file beside it, flushed to the disk,
// then put in its place. On failure an existing file is left as it was and error holds the system's reason.
PageFileResult savePageFile(const QString &path, const QString &title, const QList<Movie> &movies,
                            const PageSettings &settings, const QString &decimalPoint,
                            const PageWriter::Progress &progress = {});

} // namespace cinemork
