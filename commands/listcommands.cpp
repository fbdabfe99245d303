#include "listcommands.h"

#include "listfile/csv.h"
#include "platform/filedialogs.h"
#include "platform/prompts.h"
#include "commandtexts.h"
#include "listfile/pagefiletexts.h"
#include "settings/settingstexts.h"
#include "settings/modregistry.h"
#include "settings/pagesettings.h"

#include <QFileInfo>
#include <QSaveFile>

namespace cinemork {

ListCommands::ListCommands(ListDocument *doc, QObject *parent)
    : QObject(parent)
    , m_doc(doc)
{
    m_recent.changed = [this] { emit recentFilesChanged(); };
}

void ListCommands::changed()
{
    if (AutoSaveFlag)
        save();
}

// ---- writing and reading ----

bool ListCommands::write(const QString &path, const QString &title)
{
    if (m_doc->busy())
        return false;
    const StoredPageSettings settings = pageSettingsFromStore();
    if (settings.cssMissing)
        msgBox(m_parent, Texts::CssNotFound, Buttons::Ok, BoxIcon::Exclamation);
    const PageFileResult saved = m_doc->write(path, title, settings.page);
    if (!saved.ok) {
        msgBox(m_parent, Texts::writeError(path, saved.error), Buttons::Ok, BoxIcon::Critical);
        return false;
    }
    m_recent.UpdateRecentFiles(RecentAdd, path);
    return true;
}

bool ListCommands::read(const QString &path)
{
    if (m_doc->busy() || !regularFileProblem(path).isEmpty()) // a stored path is looked for as its stored bytes
        return false;
    const PageReadResult page = m_doc->read(path);
    if (!page.ok) {
        msgBox(m_parent, Texts::readError(page.errorNumber, page.errorDescription), Buttons::Ok, BoxIcon::Critical);
        return false;
    }
    m_recent.UpdateRecentFiles(RecentAdd, path);
    return true;
}

// ---- the list commands ----

bool ListCommands::saveChangesQuestion()
{
    if (!m_doc->isModified())
        return true;
    switch (msgBox(m_parent, Texts::SaveChanges, Buttons::YesNoCancel, BoxIcon::Question, Answer::Yes)) {
    case Answer::Yes:
        // A save that stores nothing must not let unsaved work go.
        return save();
    case Answer::No: return true;
    default: return false;
    }
}

bool ListCommands::newList()
{
    if (m_doc->busy() || !saveChangesQuestion())
        return false;
    m_doc->newList();
    return true;
}

void ListCommands::open()
{
    if (m_doc->busy() || !saveChangesQuestion())
        return;
    const QString chosen = ShowOpenDialog(Texts::OpenListTitle, Texts::ListFilter);
    if (!chosen.isEmpty())
        read(chosen);
}

bool ListCommands::save()
{
    if (m_doc->busy())
        return false;
    if (!m_doc->filePath().isEmpty())
        return write(m_doc->filePath(), m_doc->title());
    return saveAs();
}

bool ListCommands::saveAs()
{
    if (m_doc->busy())
        return false;
    const QString chosen = ShowSaveDialog(Texts::SaveListTitle, Texts::ListFilter, Texts::ListDefaultExt);
    if (chosen.isEmpty())
        return false;
    const QString title =
        inputBox(m_parent, Texts::EnterNameCaption, Texts::enterTitlePrompt(chosen), Texts::DefaultListTitle);
    return !title.isEmpty() && write(chosen, title);
}

void ListCommands::changeTitle()
{
    if (m_doc->busy())
        return;
    const QString title = inputBox(m_parent, Texts::ChangeTitleCaption, Texts::ChangeTitlePrompt, m_doc->title());
    if (title.isEmpty())
        return;
    m_doc->setTitle(title);
    changed();
}

void ListCommands::openRecent(int n)
{
    if (m_doc->busy() || n < 1 || n > 4)
        return;
    const QString path = m_recent.entry(n).tag;
    if (regularFileProblem(path).isEmpty()) {
        if (saveChangesQuestion())
            read(path);
        return;
    }
    if (msgBox(m_parent, Texts::mruMissing(path), Buttons::OkCancel, BoxIcon::Exclamation, Answer::Ok) == Answer::Ok)
        m_recent.UpdateRecentFiles(RecentRemove, path);
}

void ListCommands::openFile(const QString &path)
{
    if (m_doc->busy())
        return;
    const QString problem = regularFileProblem(path);
    if (problem.isEmpty()) {
        if (saveChangesQuestion())
            read(path);
        return;
    }
    const QFileInfo given(path);
    const QString message = !given.exists() ? Texts::listNotFound(path)
        : given.isDir()                     ? Texts::listIsFolder(path)
                                            : Texts::listNotOpened(path, problem);
    msgBox(m_parent, message, Buttons::Ok, BoxIcon::Exclamation);
}

QString ListCommands::listFolder() const
{
    return m_doc->filePath().isEmpty() ? QString() : QFileInfo(m_doc->filePath()).absolutePath();
}

bool ListCommands::exportCsv()
{
    if (m_doc->busy())
        return false;
    // The list's own name beside it, "Films.html" as "Films.csv".
    const QString suggested = m_doc->filePath().isEmpty()
        ? QString()
        : listFolder() + u'/' + QFileInfo(m_doc->filePath()).completeBaseName() + Texts::CsvDefaultExt;
    const QString path = ShowSaveDialog(Texts::ExportCsvTitle, Texts::CsvFilter, Texts::CsvDefaultExt, suggested);
    if (path.isEmpty())
        return false;
    const bool spreadsheet =
        msgBox(m_parent, Texts::CsvForSpreadsheets, Buttons::YesNo, BoxIcon::Question, Answer::No) == Answer::Yes;
    QByteArray data = moviesToCsv(m_doc->movies()).toUtf8();
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

bool ListCommands::importCsv()
{
    if (m_doc->busy())
        return false;
    const QStringList chosen = ShowOpenDialogFiles(Texts::ImportCsvTitle, Texts::CsvFilter, listFolder());
    if (chosen.isEmpty())
        return false;
    QFile file(chosen.first());
    const CsvParse parsed =
        file.open(QIODevice::ReadOnly) ? moviesFromCsv(&file) : CsvParse{false, file.errorString(), {}, {}};
    if (!parsed.ok) {
        msgBox(m_parent, Texts::csvNotRead(chosen.first(), parsed.error), Buttons::Ok, BoxIcon::Critical);
        return false;
    }
    if (parsed.movies.isEmpty()) {
        msgBox(m_parent, Texts::CsvHoldsNoMovies, Buttons::Ok, BoxIcon::Exclamation);
        return false;
    }
    if (const QList<qint64> odd = uncountedLines(parsed);
        !odd.isEmpty()
        && msgBox(m_parent, Texts::csvUncounted(odd), Buttons::YesNo, BoxIcon::Question, Answer::No) != Answer::Yes)
        return false;
    if (!m_doc->hasList())
        m_doc->newList(); // the movies make a new list, which every command works on
    if (!m_doc->importMovies(parsed.movies))
        return false;
    changed();
    return true;
}

// ---- changes ----

int ListCommands::addMovie(const Movie &m, const std::function<void(int)> &placed)
{
    const int row = m_doc->addMovie(m, placed);
    if (row >= 0)
        changed();
    return row;
}

int ListCommands::editMovie(int row, const Movie &m, const std::function<void(int)> &placed)
{
    const int at = m_doc->editMovie(row, m, placed);
    if (at >= 0)
        changed();
    return at;
}

bool ListCommands::deleteMovie(int row)
{
    if (m_doc->busy() || row < 0 || row >= m_doc->model()->rowCount())
        return false;
    if (msgBox(m_parent, Texts::ConfirmDelete, Buttons::YesNo, BoxIcon::Question, Answer::Yes) != Answer::Yes)
        return false;
    if (!m_doc->deleteMovie(row))
        return false;
    changed();
    return true;
}

bool ListCommands::addFromDisc(const QList<Movie> &added, const QList<std::pair<int, Movie>> &extended)
{
    if (!m_doc->addFromDisc(added, extended))
        return false;
    changed();
    return true;
}

bool ListCommands::updateFromCheck(const QList<std::pair<int, Movie>> &updated)
{
    if (!m_doc->updateFromCheck(updated))
        return false;
    changed();
    return true;
}

void ListCommands::recordModification()
{
    m_doc->recordModification();
    changed();
}

void ListCommands::undo()
{
    if (m_doc->undo())
        changed();
}

void ListCommands::redo()
{
    if (m_doc->redo())
        changed();
}

} // namespace cinemork
