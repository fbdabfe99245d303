#pragma once

#include "document/filtermodel.h"

#include <QObject>

class QTreeView;

namespace cinemork {

// The services the program asks of its list view over the document's rows: rows by position
// (1 = top) among those the filter shows, the one selected row, scrolling a row into view, the header
// click and its indicator. The list's own rows (0 = first) are what the document's commands take.
class MovieListView : public QObject
{
    Q_OBJECT
public:
    MovieListView(QTreeView *view, MovieModel *model, QObject *parent = nullptr);

    QTreeView *view() const { return m_view; }
    MovieModel *model() const { return m_model; }
    MovieFilterModel *filter() const { return m_filter; }

    // Rows as shown count from 0, as the list's own rows do; -1 is no row.
    int count() const { return m_filter->rowCount(); }
    QString text(int shown) const { return m_model->movie(m_filter->listRow(shown))[FTitle]; }
    int selectedShownRow() const;
    void select(int shown);
    void ensureVisible(int shown);
    // The list's row of the selected movie, -1 when none is; a list row selected and scrolled to.
    int selectedRow() const { return m_filter->listRow(selectedShownRow()); }
    void showRow(int row);
    // A click on the header of column n (1 = Title).
    void headerClicked(int column) { m_model->headerClicked(column); }
    // Each column at its designed width, or wider where the desktop's font needs it for the header,
    // or as the user left it (stored: nine widths in twips; anything else is ignored). The last
    // column takes what room is left.
    void fitColumns(const QString &stored);
    QString columnWidths() const;        // as stored
    int widthShowingEveryColumn() const; // of the whole view, in pixels

signals:
    void doubleClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showSortIndicator();

    QTreeView *m_view;
    MovieModel *m_model;
    MovieFilterModel *m_filter;
};

} // namespace cinemork
