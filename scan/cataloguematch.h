#pragma once

#include "discmovies.h"

#include <QHash>

namespace cinemork {

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
