#pragma once

#include "listfile/movie.h"

#include <QSet>

namespace cinemork {

// Which imported movies a list has already: one with the same IMDb title id, or with the same title
// and year (the title as the list shows it, " (Year)" included; letter case and blanks ignored).
class ImportMatch
{
public:
    explicit ImportMatch(const QList<Movie> &list);
    bool catalogued(const Movie &imported) const;

private:
    QSet<QString> m_ids, m_titles;
};

} // namespace cinemork
