#include "movielistview.h"

#include <QEvent>
#include <QHeaderView>
#include <QTreeView>

namespace cinemork {

MovieListView::MovieListView(QTreeView *view, MovieModel *model, QObject *parent)
    : QObject(parent)
    , m_view(view)
    , m_model(model)
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
    connect(m_model, &MovieModel::sortChanged, this, &MovieListView::showSortIndicator);
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

void MovieListView::showSortIndicator()
{
    QHeaderView *header = m_view->header();
    header->setSortIndicatorShown(m_model->sorted());
    if (m_model->sorted())
        header->setSortIndicator(m_model->sortKey(), m_model->sortOrder());
}

} // namespace cinemork
