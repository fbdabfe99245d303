#pragma once

#include "scan/discmovies.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>

class QProgressDialog;
class QWidget;

namespace cinemork {

class ListDocument;
class frmReview;

// Adds the movies of a disc or folder: the user picks it, a scan finds and groups its movies and
// reads their picture sizes, the review shows them, and what stays ticked goes in as one change.
// The walk runs on a thread of its own and the probe in a child, so the window repaints and Cancel
// answers throughout; the progress dialog is modal, so no list command starts meanwhile.
class DiscScan : public QObject
{
    Q_OBJECT
public:
    DiscScan(QWidget *window, ListDocument *doc);
    ~DiscScan() override;

    // The whole command; folder empty: ask for it. False when nothing was added.
    bool run(QString folder = {});
    // The scan alone: the found movies, or nothing when cancelled or the folder cannot be read.
    std::optional<QList<FoundMovie>> find(const QString &folder);
    // The progress dialog's Cancel: the scan ends at once and nothing is added.
    void cancel();

    // The mounted discs and drives a user would add, by label, with their paths.
    static QList<std::pair<QString, QString>> discVolumes();
    // The disc or folder to scan: a mounted disc or drive, or a folder from the folder dialog.
    static QString chooseSource(QWidget *parent);

    // The probe's child; tests replace them.
    QString probeProgram;
    QStringList probeArguments; // empty: the session's own
    int probeTimeLimitMs = 20000;

signals:
    void scanStarted(); // the progress dialog shows
    void probeStarted();
    void reviewOpened(frmReview *dialog);

private:
    struct Walked
    {
        WalkResult walk;
        QList<FoundMovie> movies;
    };
    std::optional<Walked> walk(const QString &folder);
    bool probe(QList<FoundMovie> &movies);

    QWidget *m_window;
    ListDocument *m_doc;
    QProgressDialog *m_progress = nullptr;
    std::function<void()> m_cancel;
    WalkResult m_walk;
};

} // namespace cinemork
