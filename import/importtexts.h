#pragma once

// The importers' fixed texts: format names, file-dialog filters and every error an import reports.

#include <QString>
#include <QStringList>

namespace cinemork::ImportTexts {

// The names --format takes, in ImportFormat's order.
inline const QStringList FormatNames{QStringLiteral("gcs"),      QStringLiteral("tc"),  QStringLiteral("griffith"),
                                     QStringLiteral("datacrow"), QStringLiteral("nfo"), QStringLiteral("csv")};
// "description|patterns|..." as the file dialogs take it: all supported first, then one a format.
inline const QString FileFilter = QStringLiteral(
    "All supported (*.gcs *.tc *.xml *.db *.csv)|*.gcs;*.tc;*.xml;*.db;*.csv|"
    "GCstar collections (*.gcs)|*.gcs|"
    "Tellico collections (*.tc *.xml)|*.tc;*.xml|"
    "Griffith export or database (*.xml *.db)|*.xml;*.db|"
    "Data Crow XML export (*.xml)|*.xml|"
    "CSV: Cinemork, IMDb, Letterboxd or any other (*.csv)|*.csv|"
    "All files (*)|*");

inline const QString Seen = QStringLiteral("yes");
inline const QString NotSeen = QStringLiteral("no");

// Errors: each follows the file's name and ": ".
inline QString atXml(qint64 line, qint64 column, const QString &what)
{
    return QStringLiteral("line %1, column %2: %3").arg(line).arg(column).arg(what);
}
inline QString atLine(qint64 line, const QString &what)
{
    return QStringLiteral("line %1: %2").arg(line).arg(what);
}
inline QString wrongRoot(const QString &expected, const QString &found)
{
    return QStringLiteral("not the expected collection: it begins with <%1>, not <%2>").arg(found, expected);
}
inline QString notMovies(const QString &format, const QString &type)
{
    return QStringLiteral("a %1 collection of type \"%2\", not of movies").arg(format, type);
}
inline QString externalEntity(const QString &name)
{
    return QStringLiteral("the external entity \"%1\" is not read").arg(name);
}
inline const QString NoRoot = QStringLiteral("no XML element found");
inline const QString Cancelled = QStringLiteral("the import was cancelled");
inline const QString NotAZip = QStringLiteral("not a zip archive that can be read");
inline const QString NoCollectionInZip = QStringLiteral("the archive holds no tellico.xml");
inline const QString TwoCollectionsInZip = QStringLiteral("the archive holds more than one tellico.xml");
inline QString zipTooBig(qint64 bytes)
{
    return QStringLiteral("tellico.xml would unpack to %1 MB, more than the 512 MB that are read").arg(bytes >> 20);
}
inline QString zipRatio(qint64 ratio)
{
    return QStringLiteral("tellico.xml would unpack to %1 times its packed size, more than 200 times").arg(ratio);
}
inline QString database(const QString &reason)
{
    return QStringLiteral("the database could not be read: ") + reason;
}
inline const QString DatabaseLocked = QStringLiteral("the database is locked by another program");
inline const QString NoFolder = QStringLiteral("no folder that can be read");
inline const QString CsvNotUtf8 = QStringLiteral("the text is not UTF-8");
inline const QString CsvOpenQuote = QStringLiteral("a quoted field never ends");
inline const QString CsvAfterQuote = QStringLiteral("text after a closing quote");
inline const QString CsvTooLong = QStringLiteral("a record longer than 64 MB");
inline QString csvFieldCount(qsizetype found, qsizetype expected)
{
    return QStringLiteral("%1 fields where the header has %2").arg(found).arg(expected);
}
inline const QString CsvNoHeader = QStringLiteral("no header line");
inline const QString CsvUnknownHeader =
    QStringLiteral("a header that names no known columns; choose the columns in the window's import, which "
                   "remembers them for this header");
inline const QString CsvNoTitleColumn = QStringLiteral("no column is chosen as the title");

} // namespace cinemork::ImportTexts
