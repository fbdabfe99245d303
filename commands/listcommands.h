#pragma once

#include "document/listdocument.h"
#include "settings/recentfiles.h"

#include <QObject>
#include <functional>

class QWidget;

namespace cinemork {

// The list commands of the Movie and Actions menus: they ask the user through the program's seams
// (boxes, file dialogs), read the settings a write needs, keep the recent files and save after every
// change while auto-save is on; the document does what they decide.
class ListCommands : public QObject
{
    Q_OBJECT
public:
    explicit ListCommands(ListDocument *doc, QObject *parent = nullptr);

    ListDocument &document() const { return *m_doc; }
    RecentFiles &recentFiles() { return m_recent; }
    const RecentFiles &recentFiles() const { return m_recent; }

    // The window that boxes and dialogs belong to; only handed on.
    void setDialogParent(QWidget *parent) { m_parent = parent; }

    // A write with the stored page settings, and a read, each telling the user what went wrong;
    // both enter the file in the recent files. False when nothing was stored or read; a path that is
    // no file reads nothing and says nothing.
    bool write(const QString &path, const QString &title);
    bool read(const QString &path);

    // Asks "List has been modified. Save changes?" when the list is modified; false: stop.
    bool saveChangesQuestion();
    // newList is true when a new list was made (the caller then adds its first movie); the Save
    // family reports whether the list was stored.
    bool newList();
    void open();
    bool save();
    bool saveAs();
    void changeTitle();
    void openRecent(int n);
    // Opens a list given on the command line or dropped on the window; a path that is no file is
    // said plainly (not found, a folder).
    void openFile(const QString &path);

    // The folder of the list's file; empty while it has none. File dialogs of the list start there.
    QString listFolder() const;

    // Every movie of the list as CSV (UTF-8, the companion's header), to a file the user chooses;
    // false when nothing was written.
    bool exportCsv();
    // The movies of a CSV file with that header, added as one change (with no list open, to a new
    // one); a file that does not read adds nothing and names its first bad line, and lines the list
    // cannot count are named and imported only when the user agrees.
    bool importCsv();
    // Movies read from another program's collection and reviewed, added as one change; with no list
    // open they start a new one.
    bool importMovies(const QList<Movie> &movies);

    // The changes of the list; each is saved at once while auto-save is on. An added or edited movie's
    // row goes to placed before the list is marked modified or saved.
    int addMovie(const Movie &m, const std::function<void(int)> &placed = {});
    int editMovie(int row, const Movie &m, const std::function<void(int)> &placed = {});
    // Asks first; false when nothing was deleted.
    bool deleteMovie(int row);
    bool addFromDisc(const QList<Movie> &added, const QList<std::pair<int, Movie>> &extended);
    // What a check of a disc corrects (sizes, locations), as one change; false when nothing changed.
    bool updateFromCheck(const QList<std::pair<int, Movie>> &updated);
    void recordModification();
    void undo();
    void redo();

signals:
    void recentFilesChanged();

private:
    // After a change: auto-save stores it. A modification whose save stored nothing stays one.
    void changed();

    ListDocument *m_doc;
    RecentFiles m_recent;
    QWidget *m_parent = nullptr;
};

} // namespace cinemork
