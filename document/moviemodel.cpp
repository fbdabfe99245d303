#include "moviemodel.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

namespace cinemork {

MovieModel::MovieModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

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

int MovieModel::rowOf(quint64 id) const
{
    const auto it = std::find(m_ids.begin(), m_ids.end(), id);
    return it == m_ids.end() ? -1 : int(it - m_ids.begin());
}

void MovieModel::setMovies(QList<Movie> movies)
{
    beginResetModel();
    m_rows = std::move(movies);
    m_ids.resize(size_t(m_rows.size()));
    for (quint64 &id : m_ids)
        id = m_nextId++;
    endResetModel();
    if (m_sorted)
        applySort();
}

quint64 MovieModel::insertMovie(int row, const Movie &m, quint64 id)
{
    row = std::clamp(row, 0, int(m_rows.size()));
    if (id == 0)
        id = m_nextId++;
    beginInsertRows({}, row, row);
    m_rows.insert(row, m);
    m_ids.insert(m_ids.begin() + row, id);
    endInsertRows();
    return id;
}

Movie MovieModel::takeMovie(int row)
{
    if (row < 0 || row >= m_rows.size())
        return {};
    beginRemoveRows({}, row, row);
    Movie m = m_rows.takeAt(row);
    m_ids.erase(m_ids.begin() + row);
    endRemoveRows();
    return m;
}

void MovieModel::replaceMovie(int row, const Movie &m)
{
    if (row < 0 || row >= m_rows.size())
        return;
    m_rows[row] = m;
    emit dataChanged(index(row, 0), index(row, FieldCount - 1));
}

void MovieModel::setSorted(bool on)
{
    const bool was = m_sorted;
    m_sorted = on;
    if (on && !was)
        applySort();
    emit sortChanged();
}

void MovieModel::setSortKey(int column)
{
    const bool changed = column != m_sortKey;
    m_sortKey = std::clamp(column, 0, FieldCount - 1);
    if (changed && m_sorted)
        applySort();
    emit sortChanged();
}

void MovieModel::setSortOrder(Qt::SortOrder order)
{
    const bool changed = order != m_order;
    m_order = order;
    if (changed && m_sorted)
        applySort();
    emit sortChanged();
}

void MovieModel::headerClicked(int column)
{
    if (!m_sorted) {
        m_order = Qt::AscendingOrder;
        m_sortKey = std::clamp(column - 1, 0, FieldCount - 1);
        setSorted(true);
    } else if (m_sortKey == column - 1) {
        setSortOrder(m_order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
    } else {
        m_sorted = false;
        m_sortKey = std::clamp(column - 1, 0, FieldCount - 1);
        m_order = Qt::AscendingOrder;
        setSorted(true);
    }
}

void MovieModel::sortByTitle()
{
    if (m_sorted && m_sortKey == 0) {
        emit sortChanged();
        return;
    }
    m_sorted = false;
    m_sortKey = 0;
    setSorted(true);
}

MovieModel::Order MovieModel::order() const
{
    return {m_ids, m_sorted, m_sortKey, m_order};
}

void MovieModel::restoreOrder(const Order &order)
{
    m_sorted = order.sorted;
    m_sortKey = order.sortKey;
    m_order = order.sortOrder;
    // Rows that are not in the order (there are none when it was taken from these rows) go last.
    std::unordered_map<quint64, int> rank;
    rank.reserve(order.ids.size());
    for (size_t i = 0; i < order.ids.size(); ++i)
        rank.emplace(order.ids[i], int(i));
    std::vector<int> perm(m_ids.size());
    std::iota(perm.begin(), perm.end(), 0);
    const auto place = [&](int row) {
        const auto it = rank.find(m_ids[size_t(row)]);
        return it == rank.end() ? int(order.ids.size()) : it->second;
    };
    std::stable_sort(perm.begin(), perm.end(), [&](int a, int b) { return place(a) < place(b); });
    permute(perm);
    emit sortChanged();
}

bool MovieModel::before(const Movie &a, const Movie &b) const
{
    return m_order == Qt::AscendingOrder ? lessThan(a[m_sortKey], b[m_sortKey]) : lessThan(b[m_sortKey], a[m_sortKey]);
}

int MovieModel::sortedPlace(const Movie &m, int row) const
{
    row = std::clamp(row, 0, int(m_rows.size()));
    if (!m_sorted)
        return row;
    // As a stable sort would place it coming from row: past its equals above, before those below.
    const auto less = [this](const Movie &a, const Movie &b) { return before(a, b); };
    if (row > 0 && before(m, m_rows[row - 1]))
        return int(std::upper_bound(m_rows.begin(), m_rows.begin() + row, m, less) - m_rows.begin());
    if (row < m_rows.size() && before(m_rows[row], m))
        return int(std::lower_bound(m_rows.begin() + row, m_rows.end(), m, less) - m_rows.begin());
    return row;
}

bool MovieModel::keepsOrder(const Movie &m, int row) const
{
    if (!m_sorted)
        return true;
    return (row == 0 || !before(m, m_rows[row - 1])) && (row + 1 >= m_rows.size() || !before(m_rows[row + 1], m));
}

void MovieModel::applySort()
{
    const int n = int(m_rows.size());
    std::vector<int> perm(static_cast<size_t>(n));
    std::iota(perm.begin(), perm.end(), 0);
    // Texts folded once into one buffer and compared exactly: the order of a comparison without
    // regard to case, at a fraction of its cost on a long list.
    QString folded;
    qsizetype total = 0;
    for (const Movie &m : std::as_const(m_rows))
        total += m[m_sortKey].size();
    folded.reserve(total);
    std::vector<qsizetype> starts(static_cast<size_t>(n) + 1);
    for (int i = 0; i < n; ++i) {
        starts[size_t(i)] = folded.size();
        const QString &text = m_rows[i][m_sortKey];
        const bool wide = std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); });
        folded += wide ? text.toCaseFolded() : text;
        if (!wide)
            for (QChar *c = folded.data() + starts[size_t(i)], *end = folded.data() + folded.size(); c != end; ++c)
                *c = c->toCaseFolded();
    }
    starts[size_t(n)] = folded.size();
    const auto key = [&](int row) {
        return QStringView(folded).sliced(starts[size_t(row)], starts[size_t(row) + 1] - starts[size_t(row)]);
    };
    if (m_order == Qt::AscendingOrder)
        std::stable_sort(perm.begin(), perm.end(), [&](int a, int b) { return key(a).compare(key(b)) < 0; });
    else
        std::stable_sort(perm.begin(), perm.end(), [&](int a, int b) { return key(b).compare(key(a)) < 0; });
    folded.clear();
    folded.squeeze();
    permute(perm);
}

void MovieModel::permute(const std::vector<int> &perm)
{
    const int n = int(m_rows.size());
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
        const quint64 heldId = m_ids[size_t(start)];
        int at = start;
        for (;;) {
            placed[size_t(at)] = true;
            const int from = perm[size_t(at)];
            if (from == start) {
                m_rows[at] = std::move(held);
                m_ids[size_t(at)] = heldId;
                break;
            }
            m_rows[at] = std::move(m_rows[from]);
            m_ids[size_t(at)] = m_ids[size_t(from)];
            at = from;
        }
    }
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex &idx : from)
        to.append(index(newRowOf[size_t(idx.row())], idx.column()));
    changePersistentIndexList(from, to);
    m_reordering = &perm;
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    m_reordering = nullptr;
}

} // namespace cinemork
