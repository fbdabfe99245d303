#pragma once

// The list commands' questions, messages, input boxes and file dialogs.

#include <QList>
#include <QString>
#include <QStringList>

namespace cinemork::Texts {

// Questions and messages
inline const QString SaveChanges = QStringLiteral("List has been modified. Save changes?");
inline const QString ConfirmDelete = QStringLiteral("Are you sure you want to delete this title from the list?");
inline QString mruMissing(const QString &path)
{
    return QStringLiteral("The file ") + path
        + QStringLiteral(" does not exist. The entry will be deleted from the MRU list.");
}
inline QString listNotFound(const QString &path)
{
    return QStringLiteral("The file ") + path + QStringLiteral(" was not found.");
}
inline QString listIsFolder(const QString &path)
{
    return path + QStringLiteral(" is a folder, not a list page.");
}
inline QString listNotOpened(const QString &path, const QString &reason)
{
    return QStringLiteral("The list ") + path + QStringLiteral(" cannot be opened: ") + reason;
}
// CSV files
inline const QString ExportCsvTitle = QStringLiteral("Export as CSV...");
inline const QString ImportCsvTitle = QStringLiteral("Import from CSV...");
inline const QString CsvFilter = QStringLiteral("CSV files (*.csv)|*.csv|All files (*.*)|*.*");
inline const QString CsvDefaultExt = QStringLiteral(".csv");
inline const QString CsvForSpreadsheets =
    QStringLiteral("Write the file for spreadsheet programs? They need a mark at its start to read the letters "
                   "outside English correctly; other programs may show that mark.");
inline QString csvNotWritten(const QString &path, const QString &reason)
{
    return QStringLiteral("The movies could not be written to ") + path + QStringLiteral(":\n") + reason;
}
inline QString csvNotRead(const QString &path, const QString &reason)
{
    return QStringLiteral("Nothing was imported from ") + path + QStringLiteral(":\n") + reason;
}
inline const QString CsvHoldsNoMovies = QStringLiteral("The file holds no movies.");
inline QString csvUncounted(const QList<qint64> &lines)
{
    QStringList numbers;
    for (qsizetype i = 0; i < lines.size() && i < 10; ++i)
        numbers << QString::number(lines[i]);
    if (lines.size() > 10)
        numbers << QStringLiteral("...");
    return (lines.size() == 1 ? QStringLiteral("Line ") : QStringLiteral("Lines ")) + numbers.join(QStringLiteral(", "))
        + (lines.size() == 1 ? QStringLiteral(" holds") : QStringLiteral(" hold"))
        + QStringLiteral(" a size that is not megabytes and CDs in digits (MB\\CDs) or a watched mark that is not "
                         "yes or no, which the list cannot count. Import the movies as they are?");
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
// File dialogs
inline const QString ListFilter = QStringLiteral("HTML files (*.html)|*.html;*.htm|All files (*.*)|*.*");
inline const QString OpenListTitle = QStringLiteral("Open movie list...");
inline const QString SaveListTitle = QStringLiteral("Save list as...");
inline const QString ListDefaultExt = QStringLiteral(".html");

} // namespace cinemork::Texts
