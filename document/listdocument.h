#pragma once

#include "moviemodel.h"
#include "settings/recentfiles.h"

#include <QObject>
#include <QUndoStack>

class QWidget;

namespace cinemork {

// The movie list the program works on: its rows and their order, title, file path and modified
// state, the recent files, and the rules of the list commands. Boxes and file dialogs are reached
// through the program's seams; the window only shows the document (caption, status text, which
// commands work) and feeds it the user's commands.
class ListDocument : public QObject
{
    Q_OBJECT
public:
    explicit ListDocument(QObject *parent = nullptr);

    MovieModel *model() const { return m_model; }
    const QList<Movie> &movies() const { return m_model->movies(); }
    QUndoStack *undoStack() const { return m_undo; }
    RecentFiles &recentFiles() { return m_recent; }
    const RecentFiles &recentFiles() const { return m_recent; }

    // What the window shows.
    bool hasList() const { return m_hasList; } // New or a read happened: Add, Edit and Delete work
    bool hasTitle() const { return m_hasTitle; }
    QString title() const { return m_title; }
    QString filePath() const { return m_path; }
    bool isModified() const { return m_markedModified || !m_undo->isClean(); }
    bool busy() const { return m_busy; }
    QString caption() const;
    QString statusText() const;
    QString undoCaption() const; // "Undo" and the name of the change it takes back
    QString redoCaption() const;

    // The window that boxes and dialogs belong to; only handed on.
    void setDialogParent(QWidget *parent) { m_parent = parent; }

    // Writing and reading a list page; false when nothing was stored or read.
    bool write(const QString &path, const QString &title);
    bool read(const QString &path);

    // Asks "List has been modified. Save changes?" when the list is modified; false: stop.
    bool saveChangesQuestion();
    // The list commands. newList is true when a new list was made (the caller then adds its first
    // movie); the Save family reports whether the list was stored.
    bool newList();
    void open();
    bool save();
    bool saveAs();
    void changeTitle();
    void openRecent(int n);
    // Opens a list as a recent-file entry does, with the same checks and messages (a list given on
    // the command line).
    void openFile(const QString &path);

    // Every movie of the list as CSV (UTF-8, the companion's header), to a file the user chooses;
    // false when nothing was written.
    bool exportCsv();
    // The movies of a CSV file with that header, added as one change; a file that does not read adds
    // nothing and names its first bad line.
    bool importCsv();

    // The editor's OK: the movie is sorted by title into the list; returns its row.
    int addMovie(const Movie &m);
    int editMovie(int row, const Movie &m);
    // Asks first; false when nothing was deleted.
    bool deleteMovie(int row);
    // What a disc or folder adds, as one change: new movies, each sorted in by title, and movies of
    // the list (by row) that get a later part. False when nothing changed.
    bool addFromDisc(const QList<Movie> &added, const QList<std::pair<int, Movie>> &extended);
    // A change of the page settings: the configuration dialog's OK.
    void recordModification();
    void undo();
    void redo();

    // The rows of a read page, in the order the list shows them before its sort.
    static QList<Movie> rowsOfPage(QList<Movie> fileOrder);

signals:
    void changed();              // caption, status text, recent files or the commands that work
    void busyChanged(bool busy); // a write or read starts or ends: no command may start meanwhile
    void writeStarted();
    void progress(int percent); // a step of a write; pending events may run
    void eventsWanted();        // a read lets pending events run once before it reads the rows

private:
    friend class ListCommand;
    void push(QUndoCommand *command);
    void afterChange();
    void setTitleText(const QString &title);
    void setBusy(bool on);

    MovieModel *m_model;
    QUndoStack *m_undo;
    RecentFiles m_recent;
    QWidget *m_parent = nullptr;
    QString m_title;
    QString m_path;
    QString m_shownStatus;     // the last write's or read's totals, or "No list opened"
    QString m_transientStatus; // while a read works
    bool m_hasTitle = false;
    bool m_hasList = false;
    bool m_markedModified = false; // modified beyond what the undo stack knows (settings, a kept mark)
    bool m_busy = false;
};

} // namespace cinemork
