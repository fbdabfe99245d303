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
inline const QString FoundTableName = QStringLiteral("Movies found");
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
// About box: the caption names the program with its version
inline QString aboutCaption()
{
    return QStringLiteral("Cinemork v") + VersionText;
}
inline const QString AboutFirstLine = QStringLiteral("powered");
inline const QString AboutCredit = QStringLiteral("Written by the Cinemork developers.");

} // namespace cinemork::Texts
