#pragma once

#include "listfile/movie.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <array>
#include <vector>

namespace cinemork {

// The rows of the movie list in their shown order, with the sort state. Sorting reorders the rows
// themselves: the sorted order is the list's order from then on. Every row carries an id of its own
// (never stored in the page), so a command can find its row again after the list was sorted.
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
    quint64 idAt(int row) const { return m_ids[size_t(row)]; }
    int rowOf(quint64 id) const; // -1 when no row has it
    // While layoutChanged is emitted: the row each row came from (row i was at (*reordering())[i]).
    const std::vector<int> *reordering() const { return m_reordering; }

    void setMovies(QList<Movie> movies);
    // Inserts at row; an id of 0 gives the row a new one. Returns the row's id.
    quint64 insertMovie(int row, const Movie &m, quint64 id = 0);
    Movie takeMovie(int row);
    void replaceMovie(int row, const Movie &m);

    void setIcons(const std::array<QIcon, 5> &icons) { m_icons = icons; }

    bool sorted() const { return m_sorted; }
    int sortKey() const { return m_sortKey; }
    Qt::SortOrder sortOrder() const { return m_order; }
    // Changing any of these while sorting is on reorders the rows at once.
    void setSorted(bool on);
    void setSortKey(int column);
    void setSortOrder(Qt::SortOrder order);
    // A click on the header of column n (1 = Title): on and ascending, flip, or a new column ascending.
    void headerClicked(int column);
    // Sorting on, by title, in the direction it has.
    void sortByTitle();
    // Where m, taken out at row (or new there), goes under the current sort, as a stable sort would
    // put it; row itself when sorting is off or row keeps the order.
    int sortedPlace(const Movie &m, int row) const;
    // Whether m in place of the movie at row keeps the current sort.
    bool keepsOrder(const Movie &m, int row) const;

    // The rows' order and the sort state, to be put back after a command that sorted the list.
    struct Order
    {
        std::vector<quint64> ids;
        bool sorted;
        int sortKey;
        Qt::SortOrder sortOrder;
    };
    Order order() const;
    void restoreOrder(const Order &order);

    // Displayed texts compared without regard to letter case.
    static bool lessThan(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; }

signals:
    void sortChanged();

private:
    void applySort();
    void permute(const std::vector<int> &perm); // row i takes the row at perm[i]
    bool before(const Movie &a, const Movie &b) const;

    QList<Movie> m_rows;
    std::vector<quint64> m_ids;
    quint64 m_nextId = 1;
    const std::vector<int> *m_reordering = nullptr;
    std::array<QIcon, 5> m_icons;
    bool m_sorted = false;
    int m_sortKey = 0;
    Qt::SortOrder m_order = Qt::AscendingOrder;
};

} // namespace cinemork
