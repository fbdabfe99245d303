#pragma once

#include "scan/scanreview.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace cinemork {

// Shows what a scan found before anything is added: a row a movie with its tick, the title and
// location editable in place, Merge and Split for the grouping, and "Add N movies".
class frmReview : public QDialog
{
    Q_OBJECT
public:
    // notes: lines on what was passed over or could not be read.
    frmReview(ScanReview &review, const QString &summary, const QStringList &notes, QWidget *parent);

    QTableWidget *table() const { return tblFound; }
    void cmdMerge_Click();
    void cmdSplit_Click();

private:
    void showRows();
    void showRow(int row);
    void showCount(); // the Add button's count, and what Merge and Split can do
    void fitColumns();
    void itemChanged(QTableWidgetItem *item);
    void selectionChanged();

    ScanReview &m_review;
    QTableWidget *tblFound;
    QPushButton *cmdMerge, *cmdSplit, *cmdAdd;
};

} // namespace cinemork
