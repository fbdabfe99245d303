#pragma once

// Every fixed text that the program shows: captions, questions and messages.
// The list page's own lines live with the page writer (listfile/pagetexts.h).

#include "cinemork/version.h"

#include <QString>

namespace cinemork::Texts {

inline const QString AppName = QStringLiteral("Cinemork");
inline const QString CaptionPrefix = QStringLiteral("Cinemork - ");
inline const QString Untitled = QStringLiteral("Untitled");
inline const QString VersionText = QStringLiteral(CINEMORK_VERSION);

// Status bar
inline const QString NoListOpened = QStringLiteral("No list opened");
inline const QString ListModified = QStringLiteral("List has been modified");
inline QString opening(const QString &path)
{
    return QStringLiteral("Opening ") + path + QStringLiteral("...");
}
inline QString loadedStatus(qsizetype count, const QString &title, const QString &gigabytes)
{
    return QString::number(count) + QStringLiteral(" items in loaded list ") + title + QStringLiteral(", total ")
        + gigabytes + QStringLiteral(" GB");
}

// Questions and messages
inline const QString SaveChanges = QStringLiteral("List has been modified. Save changes?");
inline const QString ConfirmDelete = QStringLiteral("Are you sure you want to delete this title from the list?");
inline const QString CssNotFound =
    QStringLiteral("User-defined CSS file was not found! Using default CSS layout instead.");
inline const QString ReadErrorIntro =
    QStringLiteral("An unexpected error occurred. Possibly the list is invalid or contains an error.");
inline const QString ReadErrorReported = QStringLiteral("The reported error was: ");
inline QString readError(int number, const QString &description)
{
    return ReadErrorIntro + QStringLiteral("\n\n") + ReadErrorReported + QStringLiteral("Error#")
        + QString::number(number) + QStringLiteral(": ") + description;
}
inline QString writeError(const QString &path, const QString &reason)
{
    return QStringLiteral("The list could not be saved to ") + path + QStringLiteral(":\n") + reason
        + QStringLiteral("\n\nThe file was left as it was.");
}
inline QString mruMissing(const QString &path)
{
    return QStringLiteral("The file ") + path
        + QStringLiteral(" does not exist. The entry will be deleted from the MRU list.");
}
inline const QString GetResWarning = QStringLiteral("This will open the movie in a hidden window, ")
    + QStringLiteral("fetch it's dimensions and close it. On slow ") + QStringLiteral("systems, this can take a while.")
    + QStringLiteral("\r\n") + QStringLiteral("If the file ")
    + QStringLiteral("is on a badly readable CD, Cinemork may ")
    + QStringLiteral("end in an infinite loop trying to read the file.")
    + QStringLiteral(" You may then need to eject the CD and hit Esc. Continue?");
inline QString probeNotFound(const QString &p)
{
    return QStringLiteral("File ") + p + QStringLiteral(" not found!");
}
inline QString probeOpenFailed(const QString &p)
{
    return QStringLiteral("Failed to open ") + p + QStringLiteral("!");
}
inline QString probeNoDims(const QString &p)
{
    return QStringLiteral("Failed to get dimensions of ") + p + QStringLiteral("!");
}
inline QString probeInvalid(const QString &p)
{
    return QStringLiteral("Windows returned invalid dimensions for ") + p + QStringLiteral("!");
}
inline QString widthRefused(const QString &column)
{
    return QStringLiteral("The fixed width of the column ") + column
        + QStringLiteral(" must be a whole number of pixels or a whole percentage, such as 150 or 20%.");
}

// Undo and redo: the menu entries read "Undo " or "Redo " and the command's name.
inline const QString UndoCaption = QStringLiteral("Undo");
inline const QString RedoCaption = QStringLiteral("Redo");
inline const QString UndoAdd = QStringLiteral("add movie");
inline const QString UndoEdit = QStringLiteral("edit movie");
inline const QString UndoDelete = QStringLiteral("delete movie");
inline const QString UndoTitle = QStringLiteral("change list title");
inline const QString UndoAddFromDisc = QStringLiteral("add from disc");

// Adding a disc or folder
inline const QString AddFromDiscCaption = QStringLiteral("Add from disc or folder");
inline const QString ChooseDiscPrompt = QStringLiteral("Add the movies of this disc or drive:");
inline const QString ScanButton = QStringLiteral("&Scan");
inline const QString OtherFolderButton = QStringLiteral("&Another folder...");
inline const QString ChooseFolderTitle = QStringLiteral("Choose the folder to add the movies of");
inline QString lookingIn(const QString &root, qint64 files)
{
    return QStringLiteral("Looking for movies in ") + root + QStringLiteral("\n") + QString::number(files)
        + QStringLiteral(" files seen");
}
inline QString readingSizes(qsizetype done, qsizetype total)
{
    return QStringLiteral("Reading the picture sizes: ") + QString::number(done) + QStringLiteral(" of ")
        + QString::number(total) + QStringLiteral(" files");
}
inline QString folderNotScanned(const QString &root)
{
    return QStringLiteral("The folder ") + root + QStringLiteral(" could not be read.");
}
inline QString nothingFound(const QString &root, qint64 files)
{
    return QStringLiteral("No movie files were found in ") + root + QStringLiteral(" (") + QString::number(files)
        + QStringLiteral(" files seen).");
}
inline QString foundSummary(qsizetype movies, qsizetype files, const QString &root)
{
    return QString::number(movies) + (movies == 1 ? QStringLiteral(" movie in ") : QStringLiteral(" movies in "))
        + QString::number(files) + (files == 1 ? QStringLiteral(" file") : QStringLiteral(" files"))
        + QStringLiteral(" found in ") + root + u'.';
}
inline QString unreadableFolders(const QStringList &folders)
{
    return QString::number(folders.size())
        + (folders.size() == 1 ? QStringLiteral(" folder could not be read: ")
                               : QStringLiteral(" folders could not be read: "))
        + folders.join(QStringLiteral(", "));
}
inline const QStringList ReviewHeaders{QStringLiteral("Title"),      QStringLiteral("Parts"),
                                       QStringLiteral("MB"),         QStringLiteral("Resolution"),
                                       QStringLiteral("Location"),   QStringLiteral("Files"),
                                       QStringLiteral("In the list")};
inline const QString AlreadyCatalogued = QStringLiteral("already catalogued");
inline QString addToListed(const QString &title)
{
    return QStringLiteral("add as a later part of \u201C") + title + QStringLiteral("\u201D");
}
inline const QString MergeButton = QStringLiteral("Merge");
inline const QString SplitButton = QStringLiteral("Split");
inline QString addMoviesButton(int count)
{
    return QStringLiteral("Add ") + QString::number(count) + (count == 1 ? QStringLiteral(" movie") : QStringLiteral(" movies"));
}
inline const QString CancelButton = QStringLiteral("Cancel");

// CSV files
inline const QString ExportCsvTitle = QStringLiteral("Export as CSV...");
inline const QString ImportCsvTitle = QStringLiteral("Import from CSV...");
inline const QString CsvFilter = QStringLiteral("CSV files (*.csv)|*.csv|All files (*.*)|*.*");
inline const QString CsvDefaultExt = QStringLiteral(".csv");
inline const QString CsvForSpreadsheets =
    QStringLiteral("Write the file for spreadsheet programs? They need a mark at its start to read the letters "
                   "outside English correctly; other programs may show that mark.");
inline const QString UndoImport = QStringLiteral("import movies");
inline QString csvNotWritten(const QString &path, const QString &reason)
{
    return QStringLiteral("The movies could not be written to ") + path + QStringLiteral(":\n") + reason;
}
inline QString csvNotRead(const QString &path, const QString &reason)
{
    return QStringLiteral("Nothing was imported from ") + path + QStringLiteral(":\n") + reason;
}

// Input boxes
inline const QString EnterNameCaption = QStringLiteral("Enter name");
inline QString enterTitlePrompt(const QString &path)
{
    return QStringLiteral("Enter a title for the ") + path.toUpper() + QStringLiteral(" movie list:");
}
inline const QString DefaultListTitle = QStringLiteral("Cinemork");
inline const QString ChangeTitleCaption = QStringLiteral("Change list title");
inline const QString ChangeTitlePrompt = QStringLiteral("Enter the name for the movie list:");
inline const QString NewCodecPrompt = QStringLiteral("Enter the name of the new codec you want to add to the list:");
inline const QString NewCodecCaption = QStringLiteral("New codec");
inline const QString NewTypePrompt = QStringLiteral("Enter the new movie type you want to add:");
inline const QString NewTypeCaption = QStringLiteral("New movie type");

// File dialogs
inline const QString ListFilter = QStringLiteral("HTML files (*.html)|*.html;*.htm|All files (*.*)|*.*");
inline const QString OpenListTitle = QStringLiteral("Open movie list...");
inline const QString SaveListTitle = QStringLiteral("Save list as...");
inline const QString ListDefaultExt = QStringLiteral(".html");
inline const QString MovieFilesTitle = QStringLiteral("Select file(s)...");
inline const QString MovieFilesFilter = QStringLiteral(
    "AVI Movies (*.avi)|*.avi|MPEG Movies (*.mpeg)|*.mpeg;*.mpg|ASF Movies (*.asf)|*.asf|All files (*.*)|*.*");
inline const QString CssTitle = QStringLiteral("Get CSS file..");
inline const QString CssFilter = QStringLiteral("Cascading Style Sheets (*.css)|*.css|All files (*.*)|*.*");

// About box
inline const QString AboutFirstLine = QStringLiteral("powered");
inline const QString AboutCredit = QStringLiteral("Written by the Cinemork developers.");

} // namespace cinemork::Texts
