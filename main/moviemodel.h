#pragma once

#include "listfile/movie.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <array>

namespace cinemork {

// The rows of the movie list in their shown order. Sorting reorders the rows themselves:
// the sorted order is the list's order from then on.
class MovieModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit MovieModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const QList<Movie> &movies() const { return m_rows; }
    const Movie &movie(int row) const { return m_rows[row]; }
    void setMovies(QList<Movie> movies);
    void insertMovie(int row, const Movie &m);
    void removeMovie(int row);
    void setField(int row, int field, const QString &text);
    void setIcon(int row, int icon);

    void setIcons(const std::array<QIcon, 5> &icons) { m_icons = icons; }

    bool sorted() const { return m_sorted; }
    int sortKey() const { return m_sortKey; }
    Qt::SortOrder sortOrder() const { return m_order; }
    // Changing any of these while sorting is on reorders the rows at once.
    void setSorted(bool on);
    void setSortKey(int column);
    void setSortOrder(Qt::SortOrder order);

    // Displayed texts compared without regard to letter case.
    static bool lessThan(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; }

private:
    void applySort();

    QList<Movie> m_rows;
    std::array<QIcon, 5> m_icons;
    bool m_sorted = false;
    int m_sortKey = 0;
    Qt::SortOrder m_order = Qt::AscendingOrder;
};

} // namespace cinemork
