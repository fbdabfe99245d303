#include "filtermodel.h"

#include <algorithm>
#include <numeric>

namespace cinemork {

MovieFilterModel::MovieFilterModel(QObject *parent)
    : QAbstractProxyModel(parent)
{}

void MovieFilterModel::setSourceModel(QAbstractItemModel *source)
{
    beginResetModel();
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = qobject_cast<MovieModel *>(source);
    QAbstractProxyModel::setSourceModel(m_source);
    if (m_source) {
        connect(m_source, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
        connect(m_source, &QAbstractItemModel::modelReset, this, &MovieFilterModel::sourceReset);
        connect(m_source, &QAbstractItemModel::rowsInserted, this,
                [this](const QModelIndex &, int first, int last) { sourceInserted(first, last); });
        connect(m_source, &QAbstractItemModel::rowsAboutToBeRemoved, this,
                [this](const QModelIndex &, int first, int last) { sourceAboutToRemove(first, last); });
        connect(m_source, &QAbstractItemModel::rowsRemoved, this, &MovieFilterModel::sourceRemoved);
        connect(m_source, &QAbstractItemModel::dataChanged, this, &MovieFilterModel::sourceChanged);
        connect(m_source, &QAbstractItemModel::layoutAboutToBeChanged, this, &MovieFilterModel::sourceAboutToReorder);
        connect(m_source, &QAbstractItemModel::layoutChanged, this, &MovieFilterModel::sourceReordered);
    }
    rebuild();
    endResetModel();
}

void MovieFilterModel::rebuild()
{
    const qsizetype count = m_source ? m_source->rowCount() : 0;
    m_index.reset({}); // built when a filter first needs it: opening a list does not pay for it
    m_indexed = false;
    m_rows.resize(size_t(count));
    std::iota(m_rows.begin(), m_rows.end(), 0);
    m_shown.assign(size_t(count), 1);
    m_filtered = false;
    m_matcher.reset();
    m_seen = Seen::All;
}

// ---- the filter ----

bool MovieFilterModel::passes(int listRow, const SearchIndex::Matcher &matcher, Seen seen) const
{
    if (seen != Seen::All && m_index.watched(listRow) != (seen == Seen::Watched))
        return false;
    return matcher.matches(listRow);
}

void MovieFilterModel::ensureIndex()
{
    if (m_indexed || !m_source)
        return;
    m_index.reset(m_source->movies());
    m_indexed = true;
}

void MovieFilterModel::setFilter(const QString &text, Seen seen)
{
    if (text.trimmed().isEmpty() && seen == Seen::All) {
        clearFilter();
        return;
    }
    ensureIndex();
    SearchIndex::Matcher matcher = m_index.matcher(text);
    if (matcher.matchesEverything() && seen == Seen::All) {
        clearFilter();
        return;
    }
    std::vector<int> rows;
    const int n = m_index.size();
    for (int r = 0; r < n; ++r)
        if (passes(r, matcher, seen))
            rows.push_back(r);
    show(std::move(rows), true);
    m_matcher = std::move(matcher);
    m_seen = seen;
}

void MovieFilterModel::showRows(const std::vector<int> &rows)
{
    std::vector<int> shown;
    std::vector<char> seen(m_shown.size(), 0);
    for (int r : rows)
        if (r >= 0 && r < int(seen.size()) && !seen[size_t(r)]) {
            seen[size_t(r)] = 1;
            shown.push_back(r);
        }
    show(std::move(shown), true);
    m_matcher.reset();
    m_seen = Seen::All;
}

void MovieFilterModel::clearFilter()
{
    std::vector<int> rows(m_shown.size());
    std::iota(rows.begin(), rows.end(), 0);
    show(std::move(rows), false);
    m_matcher.reset();
    m_seen = Seen::All;
}

void MovieFilterModel::show(std::vector<int> rows, bool filtered)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::fill(m_shown.begin(), m_shown.end(), 0);
    for (int r : rows)
        m_shown[size_t(r)] = 1;
    const QModelIndexList before = persistentIndexList();
    if (!before.isEmpty()) { // the selection and the current row stay on their movie, when it is shown
        std::vector<int> at(m_shown.size(), -1);
        for (size_t i = 0; i < rows.size(); ++i)
            at[size_t(rows[i])] = int(i);
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex &p : before) {
            const int row = at[size_t(m_rows[size_t(p.row())])];
            after << (row < 0 ? QModelIndex() : createIndex(row, p.column()));
        }
        m_rows = std::move(rows);
        changePersistentIndexList(before, after);
    } else {
        m_rows = std::move(rows);
    }
    m_filtered = filtered;
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    emit shownChanged();
}

int MovieFilterModel::nextMatch(int row) const
{
    const int n = rowCount();
    for (int i = 1; i <= n; ++i) {
        const int at = ((row < 0 ? -1 : row) + i) % n;
        if (!m_matcher || passes(m_rows[size_t(at)], *m_matcher, m_seen))
            return at;
    }
    return -1;
}

int MovieFilterModel::rowOf(int listRow) const
{
    if (!m_filtered)
        return listRow >= 0 && listRow < rowCount() ? listRow : -1;
    const auto it = std::find(m_rows.begin(), m_rows.end(), listRow);
    return it == m_rows.end() ? -1 : int(it - m_rows.begin());
}

size_t MovieFilterModel::bytesUsed() const
{
    return m_index.bytesUsed() + m_rows.capacity() * sizeof(int) + m_shown.capacity();
}

// ---- following the list ----

void MovieFilterModel::sourceReset()
{
    rebuild();
    endResetModel();
    emit filterEnded();
    emit shownChanged();
}

void MovieFilterModel::showAlso(int listRow)
{
    // In the list's order among the shown rows (after them, among the duplicates' groups).
    const auto at = std::find_if(m_rows.begin(), m_rows.end(), [listRow](int r) { return r > listRow; });
    const int row = int(at - m_rows.begin());
    beginInsertRows({}, row, row);
    m_rows.insert(at, listRow);
    m_shown[size_t(listRow)] = 1;
    endInsertRows();
}

void MovieFilterModel::sourceInserted(int first, int last)
{
    const int count = last - first + 1;
    for (int r = first; m_indexed && r <= last; ++r)
        m_index.insert(r, m_source->movie(r));
    m_shown.insert(m_shown.begin() + first, size_t(count), 0);
    for (int &r : m_rows)
        if (r >= first)
            r += count;
    for (int r = first; r <= last; ++r)
        showAlso(r);
    emit shownChanged();
}

void MovieFilterModel::sourceAboutToRemove(int first, int last)
{
    m_removing = {first, last - first + 1};
    // The shown ones among them go first, a run of rows at a time from the bottom.
    for (int row = rowCount() - 1; row >= 0; --row) {
        if (m_rows[size_t(row)] < first || m_rows[size_t(row)] > last)
            continue;
        int top = row;
        while (top > 0 && m_rows[size_t(top - 1)] >= first && m_rows[size_t(top - 1)] <= last)
            --top;
        beginRemoveRows({}, top, row);
        m_rows.erase(m_rows.begin() + top, m_rows.begin() + row + 1);
        endRemoveRows();
        row = top;
    }
}

void MovieFilterModel::sourceRemoved()
{
    const auto [first, count] = m_removing;
    m_removing = {-1, 0};
    if (first < 0)
        return;
    if (m_indexed)
        m_index.remove(first, count);
    m_shown.erase(m_shown.begin() + first, m_shown.begin() + first + count);
    for (int &r : m_rows)
        if (r >= first + count)
            r -= count;
    emit shownChanged();
}

void MovieFilterModel::sourceChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    for (int r = topLeft.row(); r <= bottomRight.row(); ++r) {
        if (m_indexed)
            m_index.replace(r, m_source->movie(r));
        if (!m_shown[size_t(r)]) { // an undo changed a movie the filter hid: it shows what was undone
            showAlso(r);
            emit shownChanged();
            continue;
        }
        const int row = rowOf(r);
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    }
}

void MovieFilterModel::sourceAboutToReorder()
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_persistentBefore = persistentIndexList();
}

void MovieFilterModel::sourceReordered()
{
    const int n = m_source->rowCount();
    const std::vector<int> *from = m_source->reordering();
    std::vector<int> oldRow = from && int(from->size()) == n ? *from : std::vector<int>();
    if (oldRow.empty()) { // no order given: as it was
        oldRow.resize(size_t(n));
        std::iota(oldRow.begin(), oldRow.end(), 0);
    }
    std::vector<int> newRow(static_cast<size_t>(n));
    for (int r = 0; r < n; ++r)
        newRow[size_t(oldRow[size_t(r)])] = r;
    if (m_indexed)
        m_index.permute(oldRow);
    if (m_filtered) {
        std::vector<char> shown(static_cast<size_t>(n));
        std::vector<int> rows;
        rows.reserve(m_rows.size());
        for (int r = 0; r < n; ++r)
            if ((shown[size_t(r)] = m_shown[size_t(oldRow[size_t(r)])]))
                rows.push_back(r); // in the list's new order, the duplicates' groups too
        m_shown = std::move(shown);
        std::vector<int> at(size_t(n), -1);
        for (size_t i = 0; i < rows.size(); ++i)
            at[size_t(rows[i])] = int(i);
        for (int &listRow : newRow) // a list row's new place among the shown rows
            listRow = at[size_t(listRow)];
        std::swap(m_rows, rows);
        // m_rows now holds the new rows; the persistent rows below look up the old ones in rows
        QModelIndexList after;
        for (const QModelIndex &p : std::as_const(m_persistentBefore)) {
            const int row = newRow[size_t(rows[size_t(p.row())])];
            after << (row < 0 ? QModelIndex() : createIndex(row, p.column()));
        }
        changePersistentIndexList(m_persistentBefore, after);
    } else { // every row shown, in the list's order: only the persistent rows move
        QModelIndexList after;
        for (const QModelIndex &p : std::as_const(m_persistentBefore))
            after << createIndex(newRow[size_t(p.row())], p.column());
        changePersistentIndexList(m_persistentBefore, after);
    }
    m_persistentBefore.clear();
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

// ---- the model ----

QModelIndex MovieFilterModel::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return {};
    return createIndex(row, column);
}

int MovieFilterModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int MovieFilterModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_source ? 0 : m_source->columnCount();
}

QModelIndex MovieFilterModel::mapToSource(const QModelIndex &proxyIndex) const
{
    if (!proxyIndex.isValid() || !m_source || proxyIndex.model() != this)
        return {};
    return m_source->index(m_rows[size_t(proxyIndex.row())], proxyIndex.column());
}

QModelIndex MovieFilterModel::mapFromSource(const QModelIndex &sourceIndex) const
{
    if (!sourceIndex.isValid())
        return {};
    const int row = rowOf(sourceIndex.row());
    return row < 0 ? QModelIndex() : index(row, sourceIndex.column());
}

QVariant MovieFilterModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && m_source)
        return m_source->headerData(section, orientation, role);
    return QAbstractItemModel::headerData(section, orientation, role);
}

} // namespace cinemork
