#pragma once

#include "discmovies.h"

#include <functional>

namespace cinemork {

// What a scan found, as the user reviews it before anything is added: a row a movie, each ticked
// to be added unless the list has it already.
class ScanReview
{
public:
    struct Row
    {
        FoundMovie found;
        Movie movie; // as it would be added
        bool ticked = true;
        bool catalogued = false; // the list has a movie with these files and size
        int laterPartOf = -1;    // the list's row this is a later part of
        bool addToListed = true; // then: add to that movie, not as a new one
    };
    struct Additions
    {
        QList<Movie> added;
        QList<std::pair<int, Movie>> extended; // list rows with their later parts added
    };

    ScanReview(const QList<FoundMovie> &found, const QList<Movie> &list);
    // Movies read from another program's collection, each a row of its own (never a later part);
    // catalogued says which the list has already. Merge joins them as later parts of the first.
    using Catalogued = std::function<bool(const Movie &)>;
    ScanReview(const QList<Movie> &imported, const QList<Movie> &list, Catalogued catalogued);

    const QList<Row> &rows() const { return m_rows; }
    void setTicked(int row, bool ticked) { m_rows[row].ticked = ticked; }
    void setAddToListed(int row, bool add) { m_rows[row].addToListed = add; }
    void setTitle(int row, const QString &title);
    void setLocation(int row, const QString &location);
    // Joins rows into one movie at the first one's place, files in the rows' order; false for fewer
    // than two rows.
    bool merge(QList<int> rows);
    // Each file of a row becomes a movie of its own; false for a row of one file.
    bool split(int row);

    int tickedCount() const;
    Additions additions() const;

private:
    Row rowOf(const FoundMovie &found) const;
    Row rowOf(const Movie &imported) const;

    const QList<Movie> &m_list;
    CatalogueMatch m_match;
    QList<Row> m_rows;
    Catalogued m_imported; // set: the rows were imported, not scanned
};

} // namespace cinemork
