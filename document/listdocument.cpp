#include "listdocument.h"

#include "listfile/csv.h"
#include "listfile/pagefile.h"
#include "listfile/pagereader.h"
#include "platform/filedialogs.h"
#include "platform/prompts.h"
#include "platform/texts.h"
#include "settings/modregistry.h"
#include "settings/pagesettings.h"

#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <optional>

namespace cinemork {

// Every change of the list is a command on the undo stack. A command finds its row by the row's id,
// since the user may have sorted the list since; a row that comes back goes to its place in the
// order the list has now.
class ListCommand : public QUndoCommand
{
public:
    ListCommand(ListDocument *doc, const QString &text, QUndoCommand *parent = nullptr)
        : QUndoCommand(parent)
        , m_doc(doc)
    {
        setText(text);
    }

protected:
    MovieModel *model() const { return m_doc->m_model; }
    void setTitle(const QString &title, bool has)
    {
        m_doc->m_title = title;
        m_doc->m_hasTitle = has;
    }
    ListDocument *m_doc;
};

namespace {

bool sortedByTitle(const MovieModel *model)
{
    return model->sorted() && model->sortKey() == 0;
}

// Puts m into the list as the editor's OK does: at the top (or at row, for a row that is edited)
// and then sorted by title. A list already sorted by title takes it at its place directly.
int placeByTitle(MovieModel *model, const Movie &m, int row, quint64 id)
{
    if (sortedByTitle(model)) {
        const int at = model->sortedPlace(m, row);
        return model->rowOf(model->insertMovie(at, m, id));
    }
    const quint64 placed = model->insertMovie(row, m, id);
    model->sortByTitle();
    return model->rowOf(placed);
}

class AddCommand : public ListCommand
{
public:
    AddCommand(ListDocument *doc, const Movie &m)
        : ListCommand(doc, Texts::UndoAdd)
        , m_movie(m)
    {}
    void redo() override
    {
        if (!m_id && !sortedByTitle(model()))
            m_before = model()->order(); // the add sorts the list anew: an undo gives the old order back
        m_row = placeByTitle(model(), m_movie, 0, m_id);
        m_id = model()->idAt(m_row);
    }
    void undo() override
    {
        model()->takeMovie(model()->rowOf(m_id));
        if (m_before)
            model()->restoreOrder(*m_before);
    }
    int row() const { return m_row; }

private:
    Movie m_movie;
    quint64 m_id = 0;
    int m_row = 0;
    std::optional<MovieModel::Order> m_before; // only when the add sorted the list anew
};

class EditCommand : public ListCommand
{
public:
    EditCommand(ListDocument *doc, int row, const Movie &m, QUndoCommand *parent = nullptr)
        : ListCommand(doc, Texts::UndoEdit, parent)
        , m_old(doc->model()->movie(row))
        , m_new(m)
        , m_id(doc->model()->idAt(row))
    {}
    void redo() override
    {
        if (!m_done && !sortedByTitle(model()))
            m_before = model()->order();
        m_done = true;
        m_row = put(m_new);
    }
    void undo() override
    {
        if (!m_before) {
            put(m_old);
            return;
        }
        model()->replaceMovie(model()->rowOf(m_id), m_old);
        model()->restoreOrder(*m_before);
    }
    int row() const { return m_row; }

private:
    int put(const Movie &m)
    {
        const int row = model()->rowOf(m_id);
        if (sortedByTitle(model()) && model()->keepsOrder(m, row)) { // most edits leave the title be
            model()->replaceMovie(row, m);
            return row;
        }
        model()->takeMovie(row);
        return placeByTitle(model(), m, row, m_id);
    }
    Movie m_old, m_new;
    quint64 m_id;
    int m_row = 0;
    bool m_done = false;
    std::optional<MovieModel::Order> m_before; // only when the edit sorted the list anew
};

class DeleteCommand : public ListCommand
{
public:
    DeleteCommand(ListDocument *doc, int row)
        : ListCommand(doc, Texts::UndoDelete)
        , m_movie(doc->model()->movie(row))
        , m_id(doc->model()->idAt(row))
        , m_row(row)
    {}
    void redo() override
    {
        m_row = model()->rowOf(m_id);
        model()->takeMovie(m_row);
    }
    void undo() override { model()->insertMovie(model()->sortedPlace(m_movie, m_row), m_movie, m_id); }

private:
    Movie m_movie;
    quint64 m_id;
    int m_row;
};

// Many movies in as one change, each sorted by title into the list as the editor's OK does.
class ImportCommand : public ListCommand
{
public:
    ImportCommand(ListDocument *doc, QList<Movie> movies, QUndoCommand *parent = nullptr)
        : ListCommand(doc, Texts::UndoImport, parent)
        , m_movies(std::move(movies))
    {}
    void redo() override
    {
        if (m_ids.empty() && !sortedByTitle(model()))
            m_before = model()->order();
        const bool first = m_ids.empty();
        for (size_t i = 0; i < size_t(m_movies.size()); ++i) {
            const int row = placeByTitle(model(), m_movies[qsizetype(i)], 0, first ? 0 : m_ids[i]);
            if (first)
                m_ids.push_back(model()->idAt(row));
        }
    }
    void undo() override
    {
        for (auto id = m_ids.rbegin(); id != m_ids.rend(); ++id)
            model()->takeMovie(model()->rowOf(*id));
        if (m_before)
            model()->restoreOrder(*m_before);
    }

private:
    QList<Movie> m_movies;
    std::vector<quint64> m_ids;
    std::optional<MovieModel::Order> m_before;
};

class TitleCommand : public ListCommand
{
public:
    TitleCommand(ListDocument *doc, const QString &title)
        : ListCommand(doc, Texts::UndoTitle)
        , m_old(doc->title())
        , m_hadTitle(doc->hasTitle())
        , m_new(title)
    {}
    void redo() override { setTitle(m_new, true); }
    void undo() override { setTitle(m_old, m_hadTitle); }

private:
    QString m_old;
    bool m_hadTitle;
    QString m_new;
};

} // namespace

ListDocument::ListDocument(QObject *parent)
    : QObject(parent)
    , m_model(new MovieModel(this))
    , m_undo(new QUndoStack(this))
    , m_shownStatus(Texts::NoListOpened)
{
    m_recent.changed = [this] { emit changed(); };
    connect(m_undo, &QUndoStack::cleanChanged, this, &ListDocument::changed);
}

QString ListDocument::caption() const
{
    return m_hasTitle ? Texts::CaptionPrefix + m_title : Texts::AppName;
}

QString ListDocument::statusText() const
{
    if (!m_transientStatus.isEmpty())
        return m_transientStatus;
    return isModified() ? Texts::ListModified : m_shownStatus;
}

QString ListDocument::undoCaption() const
{
    return m_undo->canUndo() ? Texts::UndoCaption + u' ' + m_undo->undoText() : Texts::UndoCaption;
}

QString ListDocument::redoCaption() const
{
    return m_undo->canRedo() ? Texts::RedoCaption + u' ' + m_undo->redoText() : Texts::RedoCaption;
}

void ListDocument::setTitleText(const QString &title)
{
    m_title = title;
    m_hasTitle = true;
}

void ListDocument::setBusy(bool on)
{
    m_busy = on;
    emit busyChanged(on);
}

void ListDocument::push(QUndoCommand *command)
{
    m_undo->push(command);
    afterChange();
}

void ListDocument::afterChange()
{
    // A modification whose auto-save stored nothing still counts as a modification.
    if (AutoSaveFlag && save())
        return;
    emit changed();
}

// ---- writing and reading ----

bool ListDocument::write(const QString &path, const QString &title)
{
    const StoredPageSettings settings = pageSettingsFromStore();
    if (settings.cssMissing)
        msgBox(m_parent, Texts::CssNotFound, Buttons::Ok, BoxIcon::Exclamation);
    // The rows as they are now: a header click while events run reorders the list, not the page.
    const QList<Movie> rows = movies();
    setBusy(true);
    emit writeStarted();
    const PageFileResult saved = savePageFile(path, title, rows, settings.page, QLocale().decimalPoint(),
                                              [this](int percent) { emit progress(percent); });
    setBusy(false);
    if (!saved.ok) {
        emit changed();
        msgBox(m_parent, Texts::writeError(path, saved.error), Buttons::Ok, BoxIcon::Critical);
        return false;
    }
    const PageTotals totals = totalsOf(rows);
    setTitleText(title);
    m_shownStatus = Texts::loadedStatus(totals.movies, title, gigabytesText(totals.megabytes));
    m_markedModified = false;
    m_undo->setClean();
    m_recent.UpdateRecentFiles(RecentAdd, path);
    return true;
}

QList<Movie> ListDocument::rowsOfPage(QList<Movie> fileOrder)
{
    // Each row went in at the top, so the file's last movie leads before the sort by title.
    std::reverse(fileOrder.begin(), fileOrder.end());
    return fileOrder;
}

bool ListDocument::read(const QString &path)
{
    if (!regularFileProblem(path).isEmpty()) // a stored path is looked for as the bytes it was stored as
        return false;
    setBusy(true);
    m_transientStatus = Texts::opening(path);
    emit changed();
    emit eventsWanted();
    PageReadResult page = readPageFile(path);
    m_transientStatus.clear();
    if (!page.ok) {
        setBusy(false);
        emit changed();
        msgBox(m_parent, Texts::readError(page.errorNumber, page.errorDescription), Buttons::Ok, BoxIcon::Critical);
        return false;
    }
    m_model->setSorted(false);
    m_model->setSortKey(0);
    m_model->setMovies(rowsOfPage(std::move(page.movies)));
    m_model->setSorted(true);
    setTitleText(page.title);
    const PageTotals totals = totalsOf(movies());
    m_shownStatus = Texts::loadedStatus(totals.movies, page.title, gigabytesText(totals.megabytes));
    m_path = path;
    m_hasList = true;
    m_markedModified = false;
    m_undo->clear();
    setBusy(false);
    m_recent.UpdateRecentFiles(RecentAdd, path);
    return true;
}

// ---- list commands ----

bool ListDocument::saveChangesQuestion()
{
    if (!isModified())
        return true;
    switch (msgBox(m_parent, Texts::SaveChanges, Buttons::YesNoCancel, BoxIcon::Question, Answer::Yes)) {
    case Answer::Yes:
        // A save that stores nothing must not let unsaved work go.
        return save();
    case Answer::No: return true;
    default: return false;
    }
}

bool ListDocument::newList()
{
    if (m_busy || !saveChangesQuestion())
        return false;
    const bool modified = isModified(); // a list marked modified stays marked
    m_model->setMovies({});
    m_undo->clear();
    m_markedModified = modified;
    setTitleText(Texts::Untitled);
    m_path.clear();
    m_hasList = true;
    emit changed();
    return true;
}

void ListDocument::open()
{
    if (m_busy || !saveChangesQuestion())
        return;
    const QString chosen = ShowOpenDialog(Texts::OpenListTitle, Texts::ListFilter, QString());
    if (!chosen.isEmpty())
        read(chosen);
}

bool ListDocument::save()
{
    if (m_busy)
        return false;
    if (!m_path.isEmpty())
        return write(m_path, m_title);
    return saveAs();
}

bool ListDocument::saveAs()
{
    if (m_busy)
        return false;
    const QString chosen = ShowSaveDialog(Texts::SaveListTitle, Texts::ListFilter, Texts::ListDefaultExt, QString());
    if (chosen.isEmpty())
        return false;
    const QString title =
        inputBox(m_parent, Texts::EnterNameCaption, Texts::enterTitlePrompt(chosen), Texts::DefaultListTitle);
    if (title.isEmpty() || !write(chosen, title))
        return false;
    m_path = chosen;
    emit changed();
    return true;
}

void ListDocument::changeTitle()
{
    if (m_busy)
        return;
    const QString title = inputBox(m_parent, Texts::ChangeTitleCaption, Texts::ChangeTitlePrompt, m_title);
    if (!title.isEmpty())
        push(new TitleCommand(this, title));
}

void ListDocument::openRecent(int n)
{
    if (!m_busy && n >= 1 && n <= 4)
        openFile(m_recent.entry(n).tag);
}

void ListDocument::openFile(const QString &path)
{
    if (m_busy)
        return;
    if (regularFileProblem(path).isEmpty()) {
        if (saveChangesQuestion())
            read(path);
        return;
    }
    if (msgBox(m_parent, Texts::mruMissing(path), Buttons::OkCancel, BoxIcon::Exclamation, Answer::Ok) == Answer::Ok)
        m_recent.UpdateRecentFiles(RecentRemove, path);
}

bool ListDocument::exportCsv()
{
    if (m_busy)
        return false;
    const QString path = ShowSaveDialog(Texts::ExportCsvTitle, Texts::CsvFilter, Texts::CsvDefaultExt, QString());
    if (path.isEmpty())
        return false;
    const bool spreadsheet =
        msgBox(m_parent, Texts::CsvForSpreadsheets, Buttons::YesNo, BoxIcon::Question, Answer::No) == Answer::Yes;
    QByteArray data = moviesToCsv(movies()).toUtf8();
    if (spreadsheet)
        data.prepend("\xEF\xBB\xBF");
    QString refused = pageFileTargetRefusal(path); // a device or a pipe is never replaced
    QSaveFile file(path);
    if (refused.isEmpty() && (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()))
        refused = file.errorString();
    if (!refused.isEmpty())
        msgBox(m_parent, Texts::csvNotWritten(path, refused), Buttons::Ok, BoxIcon::Critical);
    return refused.isEmpty();
}

bool ListDocument::importCsv()
{
    if (m_busy)
        return false;
    const QStringList chosen = ShowOpenDialogFiles(Texts::ImportCsvTitle, Texts::CsvFilter);
    if (chosen.isEmpty())
        return false;
    QFile file(chosen.first());
    const CsvParse parsed =
        file.open(QIODevice::ReadOnly) ? moviesFromCsv(&file) : CsvParse{false, file.errorString(), {}};
    if (!parsed.ok) {
        msgBox(m_parent, Texts::csvNotRead(chosen.first(), parsed.error), Buttons::Ok, BoxIcon::Critical);
        return false;
    }
    if (!parsed.movies.isEmpty())
        push(new ImportCommand(this, parsed.movies));
    return true;
}

int ListDocument::addMovie(const Movie &m)
{
    if (m_busy)
        return -1;
    auto *command = new AddCommand(this, m);
    m_undo->push(command);
    const int row = command->row();
    afterChange();
    return row;
}

int ListDocument::editMovie(int row, const Movie &m)
{
    if (m_busy || row < 0 || row >= m_model->rowCount())
        return -1;
    auto *command = new EditCommand(this, row, m);
    m_undo->push(command);
    const int at = command->row();
    afterChange();
    return at;
}

bool ListDocument::deleteMovie(int row)
{
    if (m_busy || row < 0 || row >= m_model->rowCount())
        return false;
    if (msgBox(m_parent, Texts::ConfirmDelete, Buttons::YesNo, BoxIcon::Question, Answer::Yes) != Answer::Yes)
        return false;
    push(new DeleteCommand(this, row));
    return true;
}

bool ListDocument::addFromDisc(const QList<Movie> &added, const QList<std::pair<int, Movie>> &extended)
{
    if (m_busy || (added.isEmpty() && extended.isEmpty()))
        return false;
    for (const auto &[row, movie] : extended) {
        if (row < 0 || row >= m_model->rowCount())
            return false;
    }
    // One step: the movies a disc adds and the later parts it adds to movies already listed.
    auto *step = new QUndoCommand(Texts::UndoAddFromDisc);
    for (const auto &[row, movie] : extended)
        new EditCommand(this, row, movie, step);
    if (!added.isEmpty())
        new ImportCommand(this, added, step);
    push(step);
    return true;
}

void ListDocument::recordModification()
{
    m_markedModified = true;
    afterChange();
}

void ListDocument::undo()
{
    if (m_busy || !m_undo->canUndo())
        return;
    m_undo->undo();
    afterChange();
}

void ListDocument::redo()
{
    if (m_busy || !m_undo->canRedo())
        return;
    m_undo->redo();
    afterChange();
}

} // namespace cinemork
