#pragma once

#include "disclisting.h"
#include "filereader.h"
#include "listfile/movie.h"

namespace cinemork {

struct CheckedFile
{
    QString name;  // as the list names it
    int disc = -1; // the entry of the disc; -1: not found
    FileRead read;
};

// A listed movie the check reads: one of its files is on the disc, or its location names the disc.
struct CheckedMovie
{
    enum Status { Pending, Whole, Missing, SizeDiffers, Unreadable };
    int row = -1; // of the list when the check started
    Movie movie;
    QList<CheckedFile> files;
    bool locatedHere = false; // its location names the disc
    Status status = Pending;
    QString detail;
    quint64 foundMegabytes = 0;

    bool foundHere() const;
};

struct CheckPlan
{
    DiscListing disc;
    QString label; // the disc's label, or the folder's name, as a scan would locate its movies
    QList<CheckedMovie> movies; // in the order the disc holds their files
    QList<int> unlisted;        // video files of the disc that no listed movie names
    qint64 totalBytes = 0;      // of the files to read
};

// The names a movie's files field lists.
QStringList listedNames(const Movie &movie);
// Whether a location ("Disc 12, Box B") names label.
bool locationNames(const QString &location, const QString &label);

// Which listed movies the disc holds and which of its files the list does not know. A name is matched
// without regard to case; a name that is no UTF-8 (from an old disc) is matched as Latin-1 too.
CheckPlan planCheck(DiscListing disc, const QList<Movie> &list, const QString &label);

// The movie's status and detail from what its files read.
void judge(CheckedMovie &movie, const DiscListing &disc);
// Reads every file of the movie found on the disc (never a link) and judges it; step has the movie's
// bytes done so far, and false cancels (the movie is then left unjudged). False when cancelled.
bool checkMovie(CheckedMovie &movie, const DiscListing &disc, const std::function<bool(qint64 done)> &step = {});

const QString &statusText(CheckedMovie::Status status);

} // namespace cinemork
