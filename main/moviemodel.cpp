#include "moviemodel.h"

#include <algorithm>
#include <numeric>

namespace cinemork {

MovieModel::MovieModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int MovieModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int MovieModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : FieldCount;
}

QVariant MovieModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const Movie &m = m_rows[index.row()];
    if (role == Qt::DisplayRole)
        return m[index.column()];
    if (role == Qt::DecorationRole && index.column() == 0 && m.icon >= 1 && m.icon <= 5)
        return m_icons[size_t(m.icon - 1)];
    return {};
}

QVariant MovieModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < FieldCount)
        return FieldHeaders[size_t(section)];
    return QAbstractTableModel::headerData(section, orientation, role);
}

void MovieModel::setMovies(QList<Movie> movies)
{
    beginResetModel();
    m_rows = std::move(movies);
    endResetModel();
    if (m_sorted)
        applySort();
}

void MovieModel::insertMovie(int row, const Movie &m)
{
    row = std::clamp(row, 0, int(m_rows.size()));
    beginInsertRows({}, row, row);
    m_rows.insert(row, m);
    endInsertRows();
}

void MovieModel::removeMovie(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    endRemoveRows();
}

void MovieModel::setField(int row, int field, const QString &text)
{
    if (row < 0 || row >= m_rows.size() || field < 0 || field >= FieldCount)
        return;
    m_rows[row][field] = text;
    emit dataChanged(index(row, field), index(row, field), {Qt::DisplayRole});
}

void MovieModel::setIcon(int row, int icon)
{
    if (row < 0 || row >= m_rows.size())
        return;
    m_rows[row].icon = icon;
    emit dataChanged(index(row, 0), index(row, 0), {Qt::DecorationRole});
}

void MovieModel::setSorted(bool on)
{
    const bool was = m_sorted;
    m_sorted = on;
    if (on && !was)
        applySort();
}

void MovieModel::setSortKey(int column)
{
    const bool changed = column != m_sortKey;
    m_sortKey = std::clamp(column, 0, FieldCount - 1);
    if (changed && m_sorted)
        applySort();
}

void MovieModel::setSortOrder(Qt::SortOrder order)
{
    const bool changed = order != m_order;
    m_order = order;
    if (changed && m_sorted)
        applySort();
}

void MovieModel::applySort()
{
    const int n = int(m_rows.size());
    std::vector<int> perm(static_cast<size_t>(n));
    std::iota(perm.begin(), perm.end(), 0);
    const int key = m_sortKey;
    if (m_order == Qt::AscendingOrder)
        std::stable_sort(perm.begin(), perm.end(), [&](int a, int b) { return lessThan(m_rows[a][key], m_rows[b][key]); });
    else
        std::stable_sort(perm.begin(), perm.end(), [&](int a, int b) { return lessThan(m_rows[b][key], m_rows[a][key]); });
    bool identity = true;
    for (int i = 0; i < n && identity; ++i)
        identity = perm[size_t(i)] == i;
    if (identity)
        return;

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Row i takes the movie from row perm[i]: follow each cycle of the permutation, in place.
    std::vector<int> newRowOf(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        newRowOf[size_t(perm[size_t(i)])] = i;
    std::vector<bool> placed(static_cast<size_t>(n), false);
    for (int start = 0; start < n; ++start) {
        if (placed[size_t(start)])
            continue;
        Movie held = std::move(m_rows[start]);
        int at = start;
        for (;;) {
            placed[size_t(at)] = true;
            const int from = perm[size_t(at)];
            if (from == start) {
                m_rows[at] = std::move(held);
                break;
            }
            m_rows[at] = std::move(m_rows[from]);
            at = from;
        }
    }
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex &idx : from)
        to.append(index(newRowOf[size_t(idx.row())], idx.column()));
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace cinemork
