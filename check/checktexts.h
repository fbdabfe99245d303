#pragma once

// The check's own texts: the statuses, the details of the report, its summary and its CSV header.

#include <QString>
#include <QStringList>

namespace cinemork::CheckTexts {

inline const QString Whole = QStringLiteral("whole");
inline const QString Missing = QStringLiteral("missing");
inline const QString SizeDiffers = QStringLiteral("size differs");
inline const QString Unreadable = QStringLiteral("unreadable");
inline const QString NotInList = QStringLiteral("not in the list");

inline const QString NotARegularFile = QStringLiteral("not a regular file");
inline const QString LinkNotFollowed = QStringLiteral("a link, not followed");

inline const QStringList CsvHeader{QStringLiteral("movie"), QStringLiteral("status"), QStringLiteral("detail")};

// "412,090,368": the same in every locale, so a saved report reads alike everywhere.
inline QString grouped(qint64 n)
{
    QString digits = QString::number(n < 0 ? -n : n);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u',');
    return n < 0 ? u'-' + digits : digits;
}
// Whole megabytes, rounded up so that a lost byte never reads "0 MB"; below a megabyte in KB.
inline QString amount(qint64 bytes)
{
    if (bytes >= 1048576)
        return grouped((bytes + 1048575) / 1048576) + QStringLiteral(" MB");
    return grouped((bytes + 1023) / 1024) + QStringLiteral(" KB");
}
inline QString unreadablePart(const QString &file, qint64 bytes, qint64 from, const QString &reason)
{
    return file + QStringLiteral(": ") + amount(bytes) + QStringLiteral(" unreadable from byte ") + grouped(from)
        + QStringLiteral(" (") + reason + u')';
}
inline QString notOpened(const QString &file, const QString &reason)
{
    return file + QStringLiteral(": ") + reason;
}
inline QString notFound(const QStringList &files)
{
    return QStringLiteral("not found: ") + files.join(QStringLiteral(", "));
}
inline QString partHere(qsizetype here, qsizetype all)
{
    return QString::number(here) + QStringLiteral(" of ") + QString::number(all)
        + QStringLiteral(" files here, the others on another disc");
}
inline QString sizes(quint64 listedMb, quint64 foundMb)
{
    return QStringLiteral("listed ") + QString::number(listedMb) + QStringLiteral(" MB, found ")
        + QString::number(foundMb) + QStringLiteral(" MB");
}
inline QString changedWhileRead(const QString &file, qint64 before, qint64 after)
{
    return file + QStringLiteral(" changed while read (") + grouped(before) + QStringLiteral(" bytes, then ")
        + grouped(after) + u')';
}
inline QString wholeDetail(qsizetype files, quint64 megabytes)
{
    return QString::number(megabytes) + QStringLiteral(" MB in ") + QString::number(files)
        + (files == 1 ? QStringLiteral(" file") : QStringLiteral(" files")) + QStringLiteral(" read");
}
inline QString unlistedDetail(const QString &path, qint64 bytes)
{
    return path + QStringLiteral(" (") + amount(bytes) + u')';
}

inline QString count(qsizetype n, const QString &one, const QString &many)
{
    return QString::number(n) + u' ' + (n == 1 ? one : many);
}
// "14 movies whole, 1 unreadable, 2 missing, 3 files not in the list"; counts of 0 are left out but the
// first.
inline QString summary(qsizetype whole, qsizetype unreadable, qsizetype missing, qsizetype differ, qsizetype unlisted)
{
    QStringList parts{count(whole, QStringLiteral("movie whole"), QStringLiteral("movies whole"))};
    if (unreadable)
        parts << QString::number(unreadable) + u' ' + Unreadable;
    if (missing)
        parts << QString::number(missing) + u' ' + Missing;
    if (differ)
        parts << QString::number(differ) + QStringLiteral(" with a size that differs");
    if (unlisted)
        parts << count(unlisted, QStringLiteral("file not in the list"), QStringLiteral("files not in the list"));
    return parts.join(QStringLiteral(", "));
}

} // namespace cinemork::CheckTexts
