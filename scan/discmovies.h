#pragma once

#include "listfile/movie.h"
#include "scanwalk.h"

#include <QHash>
#include <QSet>
#include <optional>

namespace cinemork {

// A file name's part marker: "Movie.CD2.avi", "Movie - Part 1.avi", "Movie_disc_b.mkv",
// "Movie 1 of 2.avi". The key is the name with the part's number taken out, so the parts of one movie
// share it.
struct PartMarker
{
    QString key;
    QString title;  // the name without marker and ending
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
};

// The movies of a scanned tree. Files in one folder whose names differ only by a part marker are one
// movie; a VIDEO_TS folder is one movie; a folder holding nothing but one movie's parts is titled by
// the folder, and so is a file whose name says nothing ("movie.avi", "cd1.avi").
QList<FoundMovie> groupMovies(const WalkResult &walk, const QString &location);

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
    // A movie of the list with the same file names (case ignored) and megabytes, or one of the same
    // title that holds every one of the found files (a later part added from another disc).
    bool catalogued(const FoundMovie &found, const Movie &movie) const;
    // The row of a movie in the list whose later part this is (same title, fewer CDs than the
    // marker's part number), or -1.
    int laterPartOf(const FoundMovie &found) const;

private:
    QSet<QString> m_files;
    QHash<QString, QList<int>> m_titles;
    const QList<Movie> &m_list;
};

// A list's movie with a later part added: sizes and CDs added, file names appended, the location
// appended after ", " (unless it is the same).
Movie withLaterPart(const Movie &listed, const Movie &part);

} // namespace cinemork
