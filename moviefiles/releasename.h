#pragma once

#include <QString>

// What a release's file name says beyond its title: "The.Matrix.1999.DVDRip.XviD-GROUP" is "The Matrix
// (1999)", a DVD rip in XviD. The scan and a drop title movies this way; the editor's ".." keeps its own
// guess.

namespace cinemork {

struct ReleaseName
{
    QString title; // as a person would write it
    QString type;  // one of TypePresets for the sources the types name, else the tag as written; "" none
    QString codec; // from a codec tag; "" none
    bool released = false; // a year or a release's tags follow the title
};

// name: a file's name without its ending (or a folder's name).
ReleaseName parseReleaseName(const QString &name);
// Whether a word of a name is a release's tag: "DVDRip", "XviD-GRP", "720p", "(PROPER)".
bool isReleaseTag(QStringView token);

// Names that say nothing of the movie ("movie", "video", "cd1", "part1", "VTS_01_1", "VIDEO_TS"): the
// folder names it, and such a name and a size are no evidence that two files are one movie.
bool isGenericTitle(const QString &title);
// The same for a file name with its ending.
bool isGenericFileName(const QString &fileName);

} // namespace cinemork
