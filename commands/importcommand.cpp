// The list command that adds movies read from another program's collection.

#include "listcommands.h"

namespace cinemork {

bool ListCommands::importMovies(const QList<Movie> &movies)
{
    if (m_doc->busy() || movies.isEmpty())
        return false;
    if (!m_doc->hasList())
        m_doc->newList(); // as "Untitled"; the movies make it modified
    if (!m_doc->importMovies(movies))
        return false;
    changed();
    return true;
}

} // namespace cinemork
