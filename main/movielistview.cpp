#include "movielistview.h"

#include <QEvent>
#include <QHeaderView>
#include <QTreeView>

namespace cinemork {

MovieListView::MovieListView(QTreeView *view, QObject *parent)
    : QObject(parent)
    , m_view(view)
    , m_model(new MovieModel(this))
{
    m_view->setModel(m_model);
    m_view->setRootIsDecorated(false);
    m_view->setItemsExpandable(false);
    m_view->setUniformRowHeights(true);
    m_view->setAllColumnsShowFocus(true);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSortingEnabled(false);
    m_view->setIconSize(QSize(16, 16));
    QHeaderView *header = m_view->header();
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(header, &QHeaderView::sectionClicked, this, [this](int section) { headerClicked(section + 1); });
    // A double click anywhere on a list that holds rows edits the selected one.
    m_view->viewport()->installEventFilter(this);
}

bool MovieListView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick && count() > 0) {
        emit doubleClicked();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void MovieListView::addRow(int position, const QString &text, int icon)
{
    Movie m;
    m[FTitle] = text;
    m.icon = icon;
    m_model->insertMovie(position - 1, m);
}

void MovieListView::removeRow(int position)
{
    m_model->removeMovie(position - 1);
}

void MovieListView::clear()
{
    m_model->setMovies({});
}

QString MovieListView::subItem(int position, int sub) const
{
    if (position < 1 || position > count() || sub < 0 || sub >= FieldCount)
        return {};
    return m_model->movie(position - 1)[sub];
}

void MovieListView::setSubItem(int position, int sub, const QString &text)
{
    m_model->setField(position - 1, sub, text);
}

int MovieListView::smallIcon(int position) const
{
    if (position < 1 || position > count())
        return 0;
    return m_model->movie(position - 1).icon;
}

void MovieListView::setSmallIcon(int position, int icon)
{
    m_model->setIcon(position - 1, icon);
}

int MovieListView::selectedIndex() const
{
    const QModelIndexList rows = m_view->selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : rows.first().row() + 1;
}

void MovieListView::select(int position)
{
    if (position < 1 || position > count())
        return;
    const QModelIndex idx = m_model->index(position - 1, 0);
    m_view->selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void MovieListView::ensureVisible(int position)
{
    if (position >= 1 && position <= count())
        m_view->scrollTo(m_model->index(position - 1, 0), QAbstractItemView::EnsureVisible);
}

void MovieListView::headerClicked(int column)
{
    if (!sorted()) {
        m_model->setSortOrder(Qt::AscendingOrder);
        m_model->setSortKey(column - 1);
        m_model->setSorted(true);
    } else if (sortKey() == column - 1) {
        setSortOrder(sortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
    } else {
        m_model->setSorted(false);
        m_model->setSortKey(column - 1);
        m_model->setSortOrder(Qt::AscendingOrder);
        m_model->setSorted(true);
    }
    showSortIndicator();
}

void MovieListView::setRows(QList<Movie> rows)
{
    m_model->setMovies(std::move(rows));
    showSortIndicator();
}

void MovieListView::showSortIndicator()
{
    QHeaderView *header = m_view->header();
    header->setSortIndicatorShown(sorted());
    if (sorted())
        header->setSortIndicator(sortKey(), sortOrder());
}

} // namespace cinemork
