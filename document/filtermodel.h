#pragma once

#include "find/searchindex.h"
#include "moviemodel.h"

#include <QAbstractProxyModel>
#include <optional>

namespace cinemork {

// The movies the list view shows: every row of the list, or those a filter lets through. The filter
// only chooses rows; the list, its order and its sorting stay the document's. Rows that come into the
// list while a filter is on (an add, an undo) are shown until the filter changes; a changed row stays
// shown. Setting a list anew (open, new) ends the filter.
class MovieFilterModel : public QAbstractProxyModel
{
    Q_OBJECT
public:
    enum class Seen { All, Watched, NotWatched };

    explicit MovieFilterModel(QObject *parent = nullptr);
    void setSourceModel(QAbstractItemModel *source) override;
    MovieModel *movies() const { return m_source; }

    // The movies holding every word of text (case and accents ignored) in a shown field and seen as
    // chosen; an empty text and All show every movie.
    void setFilter(const QString &text, Seen seen);
    // Exactly these rows of the list, in this order (the duplicates).
    void showRows(const std::vector<int> &rows);
    void clearFilter();
    // Builds the search index now, when the user is about to search (the Find box takes the focus), so
    // the first keystroke does not wait for it; opening a list never does.
    void ensureIndex();
    bool filtered() const { return m_filtered; }
    // The next shown row after row (wrapping) that the filter's text matches; -1 when none.
    int nextMatch(int row) const;

    // The view's row of a list row (-1 when it is not shown), and the other way.
    int rowOf(int listRow) const;
    int listRow(int row) const { return row >= 0 && row < rowCount() ? m_rows[size_t(row)] : -1; }
    size_t bytesUsed() const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &) const override { return {}; }
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override { return rowCount(parent) > 0; }
    QModelIndex sibling(int row, int column, const QModelIndex &) const override { return index(row, column); }
    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void shownChanged(); // rows came, went or the filter changed
    void filterEnded();  // the list was set anew: the filter is off

private:
    void rebuild();
    void show(std::vector<int> rows, bool filtered);
    void showAlso(int listRow);
    bool passes(int listRow, const SearchIndex::Matcher &matcher, Seen seen) const;
    void sourceReset();
    void sourceInserted(int first, int last);
    void sourceAboutToRemove(int first, int last);
    void sourceRemoved();
    void sourceChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);
    void sourceAboutToReorder();
    void sourceReordered();

    MovieModel *m_source = nullptr;
    SearchIndex m_index;
    bool m_indexed = false;    // the index follows the list from the first filter on
    std::vector<int> m_rows;   // the list row of each shown row
    std::vector<char> m_shown; // by list row
    bool m_filtered = false;
    std::optional<SearchIndex::Matcher> m_matcher; // of the filter's text
    Seen m_seen = Seen::All;
    std::pair<int, int> m_removing{-1, 0}; // first row and count the list is taking out
    QModelIndexList m_persistentBefore;    // across a reordering of the list
};

} // namespace cinemork
