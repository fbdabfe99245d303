#pragma once

#include "listfile/movie.h"
#include "scanwalk.h"

#include <QHash>
#include <QSet>
#include <optional>

namespace cinemork {

// A file name's part marker: "Movie.CD2.avi", "Movie - Part 1.avi", "Movie_disc_b.mkv",
// "Movie 1 of 2.avi", and among a release's tags "Movie.2000.CD1.DVDRip.XviD-GRP.avi". The key is the name with the part's number taken out, so the parts of one movie
// share it.
struct PartMarker
{
    QString key;
    QString title;  // the name before its marker, without its ending
    QString unmarked; // the name without its marker and ending: "A.Movie.2000.DVDRip" for "A.Movie.2000.CD1.DVDRip"
    int number = 0; // 1.. (a letter a-d counts as 1-4)
    int of = 0;     // "1 of 2": 2
};
std::optional<PartMarker> partMarker(const QString &fileName);

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

// What the list already knows of found movies.
class CatalogueMatch
{
public:
    explicit CatalogueMatch(const QList<Movie> &list);
    // The row of a movie of the list with the same file names (case ignored) and megabytes, or one of
    // the same title that holds every one of the found files (a later part added from another disc);
    // -1 for none. Generic names ("movie.avi", "cd1.avi") and a size say nothing: the title must match too.
    int catalogued(const FoundMovie &found, const Movie &movie) const;
    // The row of a movie in the list whose part this is, or -1: a later part (same title, fewer CDs
    // than the marker's part number), or an earlier one (same title, its files all marked as later
    // parts than this one's).
    struct PartOf
    {
        int row = -1;
        bool earlier = false;
    };
    PartOf partOf(const FoundMovie &found) const;

private:
    QMultiHash<QString, int> m_files;
    QHash<QString, QList<int>> m_titles;
    const QList<Movie> &m_list;
};

// A list's movie with a part added: sizes and CDs added, file names appended (an earlier part's go
// first), the location appended after ", " (unless it is the same).
Movie withLaterPart(const Movie &listed, const Movie &part, bool earlier = false);

} // namespace cinemork
