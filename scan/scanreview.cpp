#include "scanreview.h"

#include "listfile/sizes.h"

#include <QMap>
#include <algorithm>

namespace cinemork {

ScanReview::ScanReview(const QList<FoundMovie> &found, const QList<Movie> &list)
    : m_list(list)
    , m_match(list)
{
    for (const FoundMovie &f : found) {
        m_rows << rowOf(f);
        for (const ScanFile &file : f.files)
            m_foundByFile.insert(file.path, int(m_found.size()));
        m_found << m_rows.back();
    }
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
    r.cataloguedAs = m_imported(imported);
    r.catalogued = r.cataloguedAs >= 0;
    r.ticked = !r.catalogued;
    return r;
}

ScanReview::Row ScanReview::rowOf(const FoundMovie &found) const
{
    Row r;
    r.found = found;
    r.movie = movieOf(found);
    r.cataloguedAs = m_match.catalogued(found, r.movie);
    r.catalogued = r.cataloguedAs >= 0;
    r.ticked = !r.catalogued;
    const CatalogueMatch::PartOf part = m_match.partOf(found);
    r.partOf = part.row;
    r.earlier = part.earlier;
    return r;
}

void ScanReview::setTitle(int row, const QString &title)
{
    Row &r = m_rows[row];
    r.found.title = title;
    r.movie[FTitle] = title;
    if (m_imported)
        return;
    // The offer stays while the title is edited, unless the new one names another listed movie.
    if (const CatalogueMatch::PartOf part = m_match.partOf(r.found); part.row >= 0) {
        r.partOf = part.row;
        r.earlier = part.earlier;
    }
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
        const FoundMovie joined = mergedMovies(movies);
        // Every file from one movie as found, and all of its files: that movie again.
        const int origin = joined.files.isEmpty() ? -1 : m_foundByFile.value(joined.files.first().path, -1);
        const bool whole = origin >= 0 && m_found[origin].found.files.size() == joined.files.size()
            && std::all_of(joined.files.begin(), joined.files.end(),
                           [&](const ScanFile &f) { return m_foundByFile.value(f.path, -1) == origin; });
        merged = whole ? m_found[origin] : rowOf(joined);
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
    const FoundMovie movie = m_rows[row].found;
    m_rows.removeAt(row);
    // A row merged from rows as found gives those rows back, each whole; a movie found as one falls
    // apart into its files.
    QList<int> origins;
    for (const ScanFile &f : movie.files) {
        if (const int origin = m_foundByFile.value(f.path, -1); !origins.contains(origin))
            origins << origin;
    }
    const auto holds = [&](const ScanFile &f) {
        return std::any_of(movie.files.begin(), movie.files.end(), [&](const ScanFile &g) { return g.path == f.path; });
    };
    const bool rowsAsFound = origins.size() > 1 && !origins.contains(-1)
        && std::all_of(origins.begin(), origins.end(), [&](int o) {
               return std::all_of(m_found[o].found.files.begin(), m_found[o].found.files.end(), holds);
           });
    if (rowsAsFound) {
        for (qsizetype i = 0; i < origins.size(); ++i)
            m_rows.insert(row + i, m_found[origins[i]]);
        return true;
    }
    const QList<FoundMovie> parts = splitMovie(movie);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const int origin = m_foundByFile.value(parts[i].files.first().path, -1);
        const bool alone = origin >= 0 && m_found[origin].found.files.size() == 1;
        m_rows.insert(row + i, alone ? m_found[origin] : rowOf(parts[i]));
    }
    return true;
}

int ScanReview::tickedCount() const
{
    return int(std::count_if(m_rows.begin(), m_rows.end(), [](const Row &r) { return r.ticked; }));
}

int ScanReview::tickedParts() const
{
    return int(std::count_if(m_rows.begin(), m_rows.end(),
                             [](const Row &r) { return r.ticked && r.partOf >= 0 && r.addToListed; }));
}

ScanReview::Additions ScanReview::additions() const
{
    Additions a;
    QMap<int, Movie> extended; // several parts may go to one movie
    for (const Row &r : m_rows) {
        if (!r.ticked)
            continue;
        if (r.partOf >= 0 && r.addToListed)
            extended[r.partOf] = withLaterPart(extended.value(r.partOf, m_list[r.partOf]), r.movie, r.earlier);
        else
            a.added << r.movie;
    }
    for (auto it = extended.begin(); it != extended.end(); ++it)
        a.extended << std::pair{it.key(), it.value()};
    return a;
}

} // namespace cinemork
