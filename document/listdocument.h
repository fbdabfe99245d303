#pragma once

#include "listfile/pagefile.h"
#include "listfile/pagereader.h"
#include "moviemodel.h"

#include <QObject>
#include <QUndoStack>
#include <functional>

namespace cinemork {

// The movie list the program works on: its rows and their order, title, file path, modified state
// and the history of its changes. It asks nothing and reads no settings: the list commands
// (commands/) ask the user and hand it what it needs; the window shows it.
class ListDocument : public QObject
{
    Q_OBJECT
public:
    explicit ListDocument(QObject *parent = nullptr);

    MovieModel *model() const { return m_model; }
    const QList<Movie> &movies() const { return m_model->movies(); }
    QUndoStack *undoStack() const { return m_undo; }

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

    // Writes the list as a page at path under title; on success the list is stored there, unmodified.
    PageFileResult write(const QString &path, const QString &title, const PageSettings &settings);
    // Reads a list page in place of the list; on failure the list stays as it was.
    PageReadResult read(const QString &path);

    // An empty list titled "Untitled", with no file and no history; a modified mark is kept.
    void newList();

    // The changes of the list, each one step of the history. A busy document changes nothing.
    // The editor's OK: the movie is sorted by title into the list; returns its row, or -1. placed
    // learns the row before anything says the list changed (the window shows the movie first).
    int addMovie(const Movie &m, const std::function<void(int)> &placed = {});
    int editMovie(int row, const Movie &m, const std::function<void(int)> &placed = {});
    bool deleteMovie(int row);
    // Movies of another file, each sorted in by title; false when there are none.
    bool importMovies(const QList<Movie> &movies);
    // What a disc or folder adds: new movies, each sorted in by title, and movies of the list (by row)
    // that get a later part. False when nothing changed.
    bool addFromDisc(const QList<Movie> &added, const QList<std::pair<int, Movie>> &extended);
    // What a check of a disc corrects: movies of the list (by row) with their sizes or locations changed,
    // as one step. False when nothing changed.
    bool updateFromCheck(const QList<std::pair<int, Movie>> &updated);
    void setTitle(const QString &title);
    // A change of the page settings: modified, though no row changed.
    void recordModification();
    bool undo();
    bool redo();

    // The rows of a read page, in the order the list shows them before its sort.
    static QList<Movie> rowsOfPage(QList<Movie> fileOrder);

signals:
    void changed();              // caption, status text or the commands that work
    void busyChanged(bool busy); // a write or read starts or ends: no command may start meanwhile
    void writeStarted();
    void progress(int percent); // a step of a write; pending events may run
    void eventsWanted();        // a read lets pending events run once before it reads the rows

private:
    friend class ListCommand;
    bool push(QUndoCommand *command);
    void setTitleText(const QString &title);
    void setBusy(bool on);
    void setStoredStatus(const QString &title);

    MovieModel *m_model;
    QUndoStack *m_undo;
    QString m_title;
    QString m_path;
    QString m_shownStatus;     // the last write's or read's totals, or "No list opened"
    QString m_transientStatus; // while a read works
    bool m_hasTitle = false;
    bool m_hasList = false;
    bool m_markedModified = false; // modified beyond what the undo stack knows (settings, a kept mark)
    bool m_busy = false;
    bool m_placing = false; // while an added or edited movie is put in: the change is told after
};

} // namespace cinemork
