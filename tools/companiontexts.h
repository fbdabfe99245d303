#pragma once

// The companion's own messages; each goes to standard error after "cinemork-list: ".

#include <QString>
#include <QStringList>

namespace cinemork::CompanionTexts {

inline QString cssUnreadable(const QString &path, const QString &reason)
{
    return path + QStringLiteral(": ") + reason + QStringLiteral("; the default style sheet is used");
}
inline const QString FolderMissing = QStringLiteral(": does not exist");
inline const QString FolderUnreadable = QStringLiteral(": no folder that can be read");
// The first column of `duplicates`, before the movie's own.
inline const QString GroupColumn = QStringLiteral("group");
// The columns of `stats`: a row a table's entry ("type", "codec", "location", "resolution"), after the
// totals' row.
inline const QStringList StatsHeader{QStringLiteral("table"),     QStringLiteral("key"), QStringLiteral("movies"),
                                     QStringLiteral("watched"),   QStringLiteral("gb"),  QStringLiteral("cds")};
// After a scanned file's path whose name is no UTF-8: the movie is listed, its name is shown as near as it can be.
inline const QString NotShownExactly =
    QStringLiteral("the name holds bytes that are no UTF-8 text; they are shown as \uFFFD");
inline const QString StdoutClosed = QStringLiteral("standard output is closed: ");

// What is wrong with a command line, before the usage.
inline QString noCommand(const QString &word)
{
    return u'"' + word + QStringLiteral("\" is no command");
}
inline const QString CommandMissing = QStringLiteral("a command is missing");
inline QString unknownOption(const QString &option)
{
    return QStringLiteral("unknown option ") + option;
}
inline QString needsValue(const QString &option)
{
    return option + QStringLiteral(" needs a value");
}
inline QString givenTwice(const QString &option)
{
    return option + QStringLiteral(" is given twice");
}
// what: "LIST", "OUT", "DIR", "--title".
inline QString missing(const QString &what)
{
    return what + QStringLiteral(" is missing");
}
inline QString oneTooMany(const QString &word)
{
    return u'"' + word + QStringLiteral("\" is one argument too many");
}
// allowed: "csv or json".
inline QString takes(const QString &option, const QString &allowed, const QString &value)
{
    return option + QStringLiteral(" takes ") + allowed + QStringLiteral(", not \"") + value + u'"';
}

inline const QString ImportFormats = QStringLiteral("gcs, tc, griffith, datacrow, nfo or csv");

// A page that the reader refuses, with the reader's own number and reason.
inline QString notAList(const QString &path, int number, const QString &description)
{
    return QStringLiteral("cinemork-list: ") + path + QStringLiteral(": not a list page (Error#") + QString::number(number)
        + QStringLiteral(": ") + description + u')';
}

} // namespace cinemork::CompanionTexts
