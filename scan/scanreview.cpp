#include "scanreview.h"

#include "listfile/sizes.h"

#include <QMap>
#include <algorithm>

namespace cinemork {

ScanReview::ScanReview(const QList<FoundMovie> &found, const QList<Movie> &list)
    : m_list(list)
    , m_match(list)
{
    for (const FoundMovie &f : found)
        m_rows << rowOf(f);
}

ScanReview::ScanReview(const QList<Movie> &imported, const QList<Movie> &list, Catalogued catalogued)
    : m_list(list)
    , m_match(list)
    , m_imported(std::move(catalogued))
{
    for (const Movie &m : imported)
        m_rows << rowOf(m);
}

ScanReview::Row ScanReview::rowOf(const Movie &imported) const
{
    Row r;
    r.found.title = imported[FTitle];
    r.found.parts = int(std::max<quint64>(cdsOf(imported[FSize]), 1));
    r.found.location = imported[FLocation];
    r.movie = imported;
    r.catalogued = m_imported(imported);
    r.ticked = !r.catalogued;
    return r;
}

ScanReview::Row ScanReview::rowOf(const FoundMovie &found) const
{
    Row r;
    r.found = found;
    r.movie = movieOf(found);
    r.catalogued = m_match.catalogued(found, r.movie);
    r.ticked = !r.catalogued;
    r.laterPartOf = m_match.laterPartOf(found);
    return r;
}

void ScanReview::setTitle(int row, const QString &title)
{
    Row &r = m_rows[row];
    r.found.title = title;
    r.movie[FTitle] = title;
    if (!m_imported)
        r.laterPartOf = m_match.laterPartOf(r.found);
}

void ScanReview::setLocation(int row, const QString &location)
{
    m_rows[row].found.location = location;
    m_rows[row].movie[FLocation] = location;
}

bool ScanReview::merge(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.size() < 2 || rows.first() < 0 || rows.last() >= m_rows.size())
        return false;
    Row merged;
    if (m_imported) {
        Movie movie = m_rows[rows.first()].movie;
        for (qsizetype i = 1; i < rows.size(); ++i)
            movie = withLaterPart(movie, m_rows[rows[i]].movie);
        merged = rowOf(movie);
    } else {
        QList<FoundMovie> movies;
        for (int row : rows)
            movies << m_rows[row].found;
        merged = rowOf(mergedMovies(movies));
    }
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        m_rows.removeAt(*row);
    m_rows.insert(rows.first(), merged);
    return true;
}

bool ScanReview::split(int row)
{
    if (row < 0 || row >= m_rows.size() || m_rows[row].found.files.size() < 2)
        return false;
    const QList<FoundMovie> parts = splitMovie(m_rows[row].found);
    m_rows.removeAt(row);
    for (qsizetype i = 0; i < parts.size(); ++i)
        m_rows.insert(row + i, rowOf(parts[i]));
    return true;
}

int ScanReview::tickedCount() const
{
    return int(std::count_if(m_rows.begin(), m_rows.end(), [](const Row &r) { return r.ticked; }));
}

ScanReview::Additions ScanReview::additions() const
{
    Additions a;
    QMap<int, Movie> extended; // several parts may go to one movie
    for (const Row &r : m_rows) {
        if (!r.ticked)
            continue;
        if (r.laterPartOf >= 0 && r.addToListed)
            extended[r.laterPartOf] = withLaterPart(extended.value(r.laterPartOf, m_list[r.laterPartOf]), r.movie);
        else
            a.added << r.movie;
    }
    for (auto it = extended.begin(); it != extended.end(); ++it)
        a.extended << std::pair{it.key(), it.value()};
    return a;
}

} // namespace cinemork
