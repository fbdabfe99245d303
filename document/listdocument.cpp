#include "listdocument.h"

#include "documenttexts.h"

#include <QLocale>
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
    connect(m_undo, &QUndoStack::cleanChanged, this, [this] {
        if (!m_placing)
            emit changed();
    });
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

void ListDocument::setStoredStatus(const QString &title)
{
    const PageTotals totals = totalsOf(movies());
    m_shownStatus = Texts::loadedStatus(totals.movies, title, gigabytesText(totals.megabytes));
}

bool ListDocument::push(QUndoCommand *command)
{
    m_undo->push(command);
    emit changed();
    return true;
}

// ---- writing and reading ----

PageFileResult ListDocument::write(const QString &path, const QString &title, const PageSettings &settings)
{
    if (m_busy)
        return {false, {}};
    // The rows as they are now: a header click while events run reorders the list, not the page.
    const QList<Movie> rows = movies();
    setBusy(true);
    emit writeStarted();
    const PageFileResult saved = savePageFile(path, title, rows, settings, QLocale().decimalPoint(),
                                              [this](int percent) { emit progress(percent); });
    setBusy(false);
    if (saved.ok) {
        setTitleText(title);
        setStoredStatus(title);
        m_path = path;
        m_markedModified = false;
        m_undo->setClean();
    }
    emit changed();
    return saved;
}

QList<Movie> ListDocument::rowsOfPage(QList<Movie> fileOrder)
{
    // Each row went in at the top, so the file's last movie leads before the sort by title.
    std::reverse(fileOrder.begin(), fileOrder.end());
    return fileOrder;
}

PageReadResult ListDocument::read(const QString &path)
{
    if (m_busy)
        return {};
    setBusy(true);
    m_transientStatus = Texts::opening(path);
    emit changed();
    emit eventsWanted();
    PageReadResult page = readPageFile(path);
    m_transientStatus.clear();
    if (page.ok) {
        m_model->setSorted(false);
        m_model->setSortKey(0);
        m_model->setMovies(rowsOfPage(std::move(page.movies)));
        m_model->setSorted(true);
        page.movies.clear();
        setTitleText(page.title);
        setStoredStatus(page.title);
        m_path = path;
        m_hasList = true;
        m_markedModified = false;
        m_undo->clear();
    }
    setBusy(false);
    emit changed();
    return page;
}

void ListDocument::newList()
{
    if (m_busy)
        return;
    const bool modified = isModified(); // a list marked modified stays marked
    m_model->setMovies({});
    m_undo->clear();
    m_markedModified = modified;
    setTitleText(Texts::Untitled);
    m_path.clear();
    m_hasList = true;
    emit changed();
}

// ---- changes ----

int ListDocument::addMovie(const Movie &m, const std::function<void(int)> &placed)
{
    if (m_busy)
        return -1;
    auto *command = new AddCommand(this, m);
    m_placing = true;
    m_undo->push(command);
    m_placing = false;
    const int row = command->row();
    if (placed)
        placed(row);
    emit changed();
    return row;
}

int ListDocument::editMovie(int row, const Movie &m, const std::function<void(int)> &placed)
{
    if (m_busy || row < 0 || row >= m_model->rowCount())
        return -1;
    auto *command = new EditCommand(this, row, m);
    m_placing = true;
    m_undo->push(command);
    m_placing = false;
    const int at = command->row();
    if (placed)
        placed(at);
    emit changed();
    return at;
}

bool ListDocument::deleteMovie(int row)
{
    if (m_busy || row < 0 || row >= m_model->rowCount())
        return false;
    return push(new DeleteCommand(this, row));
}

bool ListDocument::importMovies(const QList<Movie> &movies)
{
    if (m_busy || movies.isEmpty())
        return false;
    return push(new ImportCommand(this, movies));
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
    return push(step);
}

bool ListDocument::updateFromCheck(const QList<std::pair<int, Movie>> &updated)
{
    if (m_busy || updated.isEmpty())
        return false;
    for (const auto &[row, movie] : updated) {
        if (row < 0 || row >= m_model->rowCount())
            return false;
    }
    auto *step = new QUndoCommand(Texts::UndoCheckUpdate);
    for (const auto &[row, movie] : updated)
        new EditCommand(this, row, movie, step);
    return push(step);
}

void ListDocument::setTitle(const QString &title)
{
    if (!m_busy && !title.isEmpty())
        push(new TitleCommand(this, title));
}

void ListDocument::recordModification()
{
    m_markedModified = true;
    emit changed();
}

bool ListDocument::undo()
{
    if (m_busy || !m_undo->canUndo())
        return false;
    m_undo->undo();
    emit changed();
    return true;
}

bool ListDocument::redo()
{
    if (m_busy || !m_undo->canRedo())
        return false;
    m_undo->redo();
    emit changed();
    return true;
}

} // namespace cinemork
