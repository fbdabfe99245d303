#pragma once

// The window's own texts: adding a disc or folder, the review, the about box.

#include "cinemork/version.h"

#include <QString>
#include <QStringList>

namespace cinemork::Texts {

inline const QString VersionText = QStringLiteral(CINEMORK_VERSION);
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
inline QString folderMissing(const QString &root)
{
    return QStringLiteral("The folder ") + root + QStringLiteral(" does not exist.");
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
inline QString hiddenPassedOver(qint64 count, const QStringList &named)
{
    QString text = QString::number(count)
        + (count == 1 ? QStringLiteral(" hidden entry passed over: ") : QStringLiteral(" hidden entries passed over: "))
        + named.join(QStringLiteral(", "));
    return count > named.size() ? text + QStringLiteral(", \u2026") : text;
}
inline QString extrasPassedOver(qint64 count)
{
    return QString::number(count)
        + (count == 1 ? QStringLiteral(" sample or extra passed over") : QStringLiteral(" samples and extras passed over"));
}
inline QString twoImdbIds(const QString &title, const QString &nfo)
{
    return QStringLiteral("No IMDb link for \u201C") + title + QStringLiteral("\u201D: ") + nfo
        + QStringLiteral(" names two different films.");
}
inline const QStringList ReviewHeaders{QStringLiteral("Title"),      QStringLiteral("Parts"),
                                       QStringLiteral("MB"),         QStringLiteral("Resolution"),
                                       QStringLiteral("Location"),   QStringLiteral("Files"),
                                       QStringLiteral("In the list")};
inline QString alreadyCatalogued(const QString &title)
{
    return QStringLiteral("already catalogued as \u201C") + title + QStringLiteral("\u201D");
}
inline const QString FoundTableName = QStringLiteral("Movies found");
inline QString addToListed(const QString &title)
{
    return QStringLiteral("add as a later part of \u201C") + title + QStringLiteral("\u201D");
}
inline QString addAsPart(int part, const QString &title)
{
    return QStringLiteral("add as part ") + QString::number(part) + QStringLiteral(" of \u201C") + title
        + QStringLiteral("\u201D");
}
inline const QString MergeButton = QStringLiteral("&Merge");
inline const QString SplitButton = QStringLiteral("&Split");
// "Add 1 movie", "Add 2 movies and 1 part", "Add 2 parts".
inline QString addMoviesButton(int movies, int parts = 0)
{
    const QString m = QString::number(movies) + (movies == 1 ? QStringLiteral(" movie") : QStringLiteral(" movies"));
    const QString p = QString::number(parts) + (parts == 1 ? QStringLiteral(" part") : QStringLiteral(" parts"));
    if (parts == 0)
        return QStringLiteral("Add ") + m;
    return movies == 0 ? QStringLiteral("Add ") + p : QStringLiteral("Add ") + m + QStringLiteral(" and ") + p;
}
inline const QString CancelButton = QStringLiteral("Cancel");
// Importing another program's collection
inline const QString ImportCaption = QStringLiteral("Import from another program");
inline const QString ImportSourcePrompt =
    QStringLiteral("Import a collection file of another program, or a media library folder of movies with .nfo files:");
inline const QString ImportFileButton = QStringLiteral("Choose a &file...");
inline const QString ImportFolderButton = QStringLiteral("Choose a media library f&older...");
inline const QString ImportFileTitle = QStringLiteral("Import from another program");
inline const QString ImportFolderTitle = QStringLiteral("Choose the media library folder to import");
inline QString importReading(const QString &path, qint64 entries)
{
    return QStringLiteral("Reading ") + path + QStringLiteral("\n") + QString::number(entries)
        + QStringLiteral(" entries read");
}
inline QString importNotRead(const QString &error)
{
    return QStringLiteral("Nothing was imported: ") + error;
}
inline QString importNothing(const QString &path)
{
    return QStringLiteral("No movies were found in ") + path + u'.';
}
inline QString importSummary(qsizetype movies, const QString &path)
{
    return QString::number(movies) + (movies == 1 ? QStringLiteral(" movie read from ") : QStringLiteral(" movies read from "))
        + path + u'.';
}
inline const QString CsvColumnsCaption = QStringLiteral("Columns of the CSV file");
inline QString csvColumnsPrompt(const QString &file)
{
    return QStringLiteral("Which columns of ") + file
        + QStringLiteral(" hold what? The choice is remembered for files with this header.");
}
inline const QStringList CsvColumnLabels{QStringLiteral("&Title:"),     QStringLiteral("&Year:"),
                                         QStringLiteral("&Location:"),  QStringLiteral("File &names:"),
                                         QStringLiteral("&Watched:"),   QStringLiteral("I&MDb id or link:")};
inline const QString NoColumn = QStringLiteral("(none)");
inline const QString OkButton = QStringLiteral("&OK");
inline const QString CancelAccessButton = QStringLiteral("&Cancel");
// Checking a disc or folder
inline const QString CheckCaption = QStringLiteral("Check disc or folder");
inline const QStringList CheckHeaders{QStringLiteral("Movie"), QStringLiteral("Status"), QStringLiteral("Detail")};
inline QString checking(const QString &root)
{
    return QStringLiteral("Checking ") + root + QStringLiteral(" against the list");
}
inline QString checkedAgainst(const QString &root)
{
    return QStringLiteral("Checked ") + root + QStringLiteral(" against the list");
}
inline const QString CheckCancelled = QStringLiteral("The check was cancelled; the report is as far as it got.");
inline QString checkProgress(qint64 doneMb, qint64 totalMb, double mbPerSecond, qint64 secondsLeft)
{
    QString text = QString::number(doneMb) + QStringLiteral(" of ") + QString::number(totalMb)
        + QStringLiteral(" MB read, ") + QString::number(mbPerSecond, 'f', 1) + QStringLiteral(" MB/s");
    if (secondsLeft >= 0)
        text += QStringLiteral(", ") + QString::number(secondsLeft / 60) + QStringLiteral(":")
            + QStringLiteral("%1").arg(secondsLeft % 60, 2, 10, QLatin1Char('0')) + QStringLiteral(" left");
    return text;
}
inline const QString UpdateListButton = QStringLiteral("&Update the list");
inline const QString AddTheseButton = QStringLiteral("&Add these...");
inline const QString SaveReportButton = QStringLiteral("&Save report...");
inline const QString CheckCancelButton = QStringLiteral("&Cancel");
inline const QString CloseButton = QStringLiteral("C&lose");
inline const QString SaveReportTitle = QStringLiteral("Save report...");
inline const QString ReportFilter = QStringLiteral("CSV files (*.csv)|*.csv|All files (*.*)|*.*");
inline const QString ReportDefaultExt = QStringLiteral(".csv");
inline QString reportNotWritten(const QString &path, const QString &reason)
{
    return QStringLiteral("The report could not be written to ") + path + QStringLiteral(": ") + reason;
}
inline QString notCheckable(const QString &root)
{
    return QStringLiteral("The folder ") + root + QStringLiteral(" could not be read.");
}
// About box
// About box: the caption names the program with its version
inline QString aboutCaption()
{
    return QStringLiteral("Cinemork v") + VersionText;
}
inline const QString AboutFirstLine = QStringLiteral("powered");
inline const QString AboutCredit = QStringLiteral("Written by the Cinemork developers.");

} // namespace cinemork::Texts
