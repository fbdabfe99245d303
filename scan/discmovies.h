#pragma once

#include "listfile/movie.h"
#include "scanwalk.h"


namespace cinemork {

// A movie found by a scan: its files in part order.
struct FoundMovie
{
    QString title;
    QList<ScanFile> files;
    int parts = 1;     // the CDs it counts
    int firstPart = 0; // the part its first file's marker names; 0 without a marker
    QString location;
    QString imdb;       // "tt0113277", from its .nfo
    QString twoIdsNfo;  // the name of an .nfo that names two different films, so none was taken
    QString namedBy;    // the folder's (or disc's) name that gave the title; its release tags fill in
                        // what the files' names do not say
};

// The movies of a scanned tree. Files in one folder whose names differ only by a part marker (or the
// letter case) are one movie; a VIDEO_TS folder or a BDMV/STREAM folder is one movie; folders named for
// parts ("CD1", "Disc 2") are one movie titled by the folder above; a folder holding nothing but one
// movie's parts is titled by the folder, and so is a file whose name says nothing ("movie.avi",
// "cd1.avi"). Release names give their titles ("The.Matrix.1999.DVDRip" is "The Matrix (1999)"), and
// a movie's .nfo its IMDb id and, from XML, its title.
QList<FoundMovie> groupMovies(const WalkResult &walk, const QString &location);

// Files chosen by hand (a drop) grouped as a scan of their folder would group them.
QList<FoundMovie> groupFiles(const QStringList &paths);

// The movie as the editor fills it for the same files chosen with "..".
Movie movieOf(const FoundMovie &found);

// Several found movies as one, in the given order (the review's Merge), and one movie's files each as
// a movie of its own (Split).
FoundMovie mergedMovies(const QList<FoundMovie> &movies);
QList<FoundMovie> splitMovie(const FoundMovie &movie);

} // namespace cinemork
