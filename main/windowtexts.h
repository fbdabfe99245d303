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
inline const QString AboutFirstLine = QStringLiteral("powered");
inline const QString AboutCredit = QStringLiteral("Written by the Cinemork developers.");

} // namespace cinemork::Texts
