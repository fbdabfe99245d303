#pragma once

#include "moviemodel.h"

#include <QObject>

class QTreeView;

namespace cinemork {

// The services the program asks of its list view: rows by position (1 = top), their text, sub-items
// and small icon, the one selected row, scrolling a row into view, sorting by one column, and the
// header click rule.
class MovieListView : public QObject
{
    Q_OBJECT
public:
    MovieListView(QTreeView *view, QObject *parent = nullptr);

    QTreeView *view() const { return m_view; }
    MovieModel *model() const { return m_model; }

    int count() const { return m_model->rowCount(); }
    void addRow(int position, const QString &text, int icon);
    void removeRow(int position);
    void clear();
    QString text(int position) const { return subItem(position, 0); }
    QString subItem(int position, int sub) const;
    void setText(int position, const QString &text) { setSubItem(position, 0, text); }
    void setSubItem(int position, int sub, const QString &text);
    int smallIcon(int position) const;
    void setSmallIcon(int position, int icon);

    int selectedIndex() const; // 0 when no row is selected
    void select(int position);
    void ensureVisible(int position);

    bool sorted() const { return m_model->sorted(); }
    void setSorted(bool on) { m_model->setSorted(on); showSortIndicator(); }
    int sortKey() const { return m_model->sortKey(); }
    void setSortKey(int column) { m_model->setSortKey(column); showSortIndicator(); }
    Qt::SortOrder sortOrder() const { return m_model->sortOrder(); }
    void setSortOrder(Qt::SortOrder order) { m_model->setSortOrder(order); showSortIndicator(); }

    // A click on the header of column n (1 = Title): on and ascending, flip, or a new column ascending.
    void headerClicked(int column);

    // Replaces every row at once (the reader's bulk insert).
    void setRows(QList<Movie> rows);

signals:
    void doubleClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showSortIndicator();

    QTreeView *m_view;
    MovieModel *m_model;
};

} // namespace cinemork
