#pragma once

#include "listfile/movie.h"

#include <QHash>

namespace cinemork {

// Which imported movies a list has already: one with the same IMDb title id, or with the same title
// and year (the title as the list shows it, " (Year)" included; letter case and blanks ignored).
class ImportMatch
{
public:
    explicit ImportMatch(const QList<Movie> &list);
    // The list's row of that movie, or -1.
    int catalogued(const Movie &imported) const;

private:
    QHash<QString, int> m_ids, m_titles; // the first row of each
};

} // namespace cinemork
