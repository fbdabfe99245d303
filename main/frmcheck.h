#pragma once

#include "check/checkjob.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace cinemork {

class ListCommands;
class frmReview;

// The check of a disc or folder: the report fills as the job reads, with the progress under it. It is
// modal to the main window, so no list command starts while the check runs; the list changes only by
// "Update the list" (one step) or by what "Add these..." adds after the scan's review.
class frmCheck : public QDialog
{
    Q_OBJECT
public:
    frmCheck(const QString &folder, ListCommands *commands, QWidget *parent);

    // The whole command from the menu: the same chooser as adding a disc, then the check.
    static void run(QWidget *window, ListCommands *commands, QString folder = {});

    CheckJob &job() { return m_job; }
    bool saveReport(const QString &path);

signals:
    void reviewOpened(cinemork::frmReview *dialog);

protected:
    void reject() override;

private:
    void planned();
    void movieChecked(int index);
    void progressed(const CheckJob::Progress &p);
    void finished(CheckJob::Outcome outcome);
    void cmdUpdate_Click();
    void cmdAddThese_Click();
    void cmdSave_Click();

    ListCommands *m_commands;
    QString m_folder;
    CheckJob m_job;
    QLabel *lblSource, *lblProgress, *lblSummary;
    QTreeWidget *tvwReport;
    QProgressBar *barCheck;
    QPushButton *cmdUpdate, *cmdAddThese, *cmdSave, *cmdCancel, *cmdClose;
};

} // namespace cinemork
