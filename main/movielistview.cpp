#include "movielistview.h"

#include "platform/twips.h"

#include <QEvent>
#include <QHeaderView>
#include <QStyle>
#include <QTreeView>

namespace cinemork {

MovieListView::MovieListView(QTreeView *view, MovieModel *model, QObject *parent)
    : QObject(parent)
    , m_view(view)
    , m_model(model)
    , m_filter(new MovieFilterModel(this))
{
    m_filter->setSourceModel(m_model);
    m_view->setModel(m_filter);
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
    // Typing in the list jumps to the next title starting with what was typed: the search looks in
    // the current column, so the current cell stays in the titles.
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (current.isValid() && current.column() != 0)
            m_view->selectionModel()->setCurrentIndex(current.siblingAtColumn(0), QItemSelectionModel::NoUpdate);
    });
    // A double click anywhere on a list that holds rows edits the selected one.
    m_view->viewport()->installEventFilter(this);
}

void MovieListView::fitColumns(const QString &stored)
{
    QHeaderView *header = m_view->header();
    const QStringList parts = stored.split(u'|');
    QList<int> widths;
    for (const QString &part : parts) {
        bool ok = false;
        const int twips = part.toInt(&ok);
        if (!ok || twips <= 0 || twips > 1000000)
            break;
        widths << twipsToPixels(twips);
    }
    const bool keep = widths.size() == FieldCount;
    // Room for a header's text, its margins and the sort arrow.
    const int around = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header)
        + header->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header) + 8;
    for (int c = 0; c < FieldCount; ++c) {
        const int needed = header->fontMetrics().horizontalAdvance(FieldHeaders[size_t(c)]) + around;
        header->resizeSection(c, keep ? widths[c] : std::max(twipsToPixels(FieldWidthsTwips[size_t(c)]), needed));
    }
    header->setStretchLastSection(true);
}

QString MovieListView::columnWidths() const
{
    QStringList widths;
    for (int c = 0; c < FieldCount; ++c)
        widths << QString::number(pixelsToTwips(m_view->header()->sectionSize(c)));
    return widths.join(u'|');
}

int MovieListView::widthShowingEveryColumn() const
{
    int width = 2 * m_view->frameWidth() + m_view->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int c = 0; c < FieldCount; ++c)
        width += m_view->header()->sectionSize(c);
    return width;
}

bool MovieListView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick && count() > 0) {
        emit doubleClicked();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

int MovieListView::selectedShownRow() const
{
    const QModelIndexList rows = m_view->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void MovieListView::select(int shown)
{
    if (shown < 0 || shown >= count())
        return;
    const QModelIndex idx = m_filter->index(shown, 0);
    m_view->selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void MovieListView::ensureVisible(int shown)
{
    if (shown >= 0 && shown < count())
        m_view->scrollTo(m_filter->index(shown, 0), QAbstractItemView::EnsureVisible);
}

void MovieListView::showRow(int row)
{
    const int shown = m_filter->rowOf(row);
    select(shown);
    ensureVisible(shown);
}

void MovieListView::showSortIndicator()
{
    QHeaderView *header = m_view->header();
    header->setSortIndicatorShown(m_model->sorted());
    if (m_model->sorted())
        header->setSortIndicator(m_model->sortKey(), m_model->sortOrder());
}

} // namespace cinemork
