#pragma once

#include "scan/scanjob.h"

#include <QObject>
#include <QStringList>
#include <optional>

class QWidget;

namespace cinemork {

class ListCommands;
class frmReview;

// Adds the movies of a disc or folder: the user picks it, a scan job finds and groups its movies and
// reads their picture sizes while a modal progress dialog shows how far it is (so no list command
// starts meanwhile), the review shows what was found, and what stays ticked goes in as one change.
class DiscScan : public QObject
{
    Q_OBJECT
public:
    DiscScan(QWidget *window, ListCommands *commands);
    ~DiscScan() override;

    // The whole command; folder empty: ask for it. False when nothing was added.
    bool run(QString folder = {});
    // The scan alone: the found movies, or nothing when cancelled or the folder cannot be read.
    std::optional<QList<FoundMovie>> find(const QString &folder);
    // The progress dialog's Cancel: the scan ends at once and nothing is added.
    void cancel() { m_job.cancel(); }
    ScanJob &job() { return m_job; }

    // What the review says beside the found movies: what was passed over or could not be read, and
    // why a movie has no IMDb link from its .nfo.
    static QStringList reviewNotes(const WalkResult &walk, const QList<FoundMovie> &found);

    // The mounted discs and drives a user would add, by label, with their paths.
    static QList<std::pair<QString, QString>> discVolumes();
    // The disc or folder to scan: a mounted disc or drive, or a folder from the folder dialog.
    static QString chooseSource(QWidget *parent, const QString &start);

signals:
    void scanStarted(); // the progress dialog shows
    void probeStarted();
    void reviewOpened(frmReview *dialog);

private:
    QWidget *m_window;
    ListCommands *m_commands;
    ScanJob m_job;
};

} // namespace cinemork
