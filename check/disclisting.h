#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>

namespace cinemork {

// An entry of a disc that a listed movie may name: a file, or a link or something else that is no file
// (a link is never followed: its target may lie off the disc).
struct DiscFile
{
    enum Kind { Regular, Link, Other };
    QString path;    // as shown
    QByteArray raw;  // the path as the file system has it: names need not be UTF-8
    QString name;
    QString folder;  // the folder's path, as shown
    qint64 bytes = 0;
    Kind kind = Regular;
};

struct DiscListing
{
    bool ok = false;
    QString root;
    QList<DiscFile> files; // by path
    QStringList unreadable; // folders that could not be listed
};

// Every entry below root but folders and hidden entries, as the scan passes them over; a folder reached
// twice (a bind mount) is listed once. Stops early, not ok, once cancel is set.
DiscListing listDisc(const QString &root, const std::atomic<bool> *cancel = nullptr);

} // namespace cinemork
