#pragma once

#include "nfo.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

namespace cinemork {

// A video file found on a disc or in a folder.
struct ScanFile
{
    QString path; // full path, as shown
    QString name;
    quint64 bytes = 0;
    QString resolution; // "640x272" once probed; empty when unknown
    QByteArray nativePath; // the file system's bytes of path: what opens the file
};

// A folder of the tree and the video files right in it, by name.
struct ScanFolder
{
    QString path;
    QString name;
    QList<ScanFile> files;
    QList<ScanFile> nfos; // its .nfo files, by name
};

struct WalkResult
{
    bool ok = false;           // false: the root is no folder that can be read
    QString root;              // the chosen folder, links resolved
    QList<ScanFolder> folders; // those holding video files, by path
    QStringList unreadable;    // folders that could not be listed
    QStringList hidden;        // hidden entries passed over, the first HiddenNamed of them
    qint64 hiddenCount = 0;
    qint64 extrasCount = 0;    // samples, trailers and extras passed over
    qint64 filesSeen = 0;
    bool cancelled = false;
    QHash<QByteArray, NfoInfo> nfoInfo; // what each .nfo says, by its nativePath: read while the walk goes on
};

// Shared between a walk and whoever watches it, from another thread.
struct WalkProgress
{
    std::atomic<bool> cancel{false};
    std::atomic<qint64> filesSeen{0};
    // Called on the walk's thread with a folder's path once its parent's listing named it, just before
    // it is opened: tests change the tree there.
    std::function<void(const QByteArray &path)> beforeOpeningFolder;
};

// A video file by its name's ending, case ignored.
bool isVideoFileName(const QString &name);
// What sits beside a movie and is none: "Sample/", "Extras/", "Trailers/" folders, "x-sample.mkv",
// "x.sample.avi", "x-trailer.mp4" files.
bool isExtraFolderName(const QString &name);
bool isExtraFileName(const QString &name);
inline constexpr int HiddenNamed = 20;

// Whether the file's path shows as the bytes it has on the disc; false for names that are no UTF-8,
// which show with a stand-in character.
bool shownExactly(const ScanFile &file);

// Lists the video files below root. Links are never followed (a target inside the tree is found by
// itself, one outside is not on the disc), not even a folder swapped for a link while the walk runs; a
// folder reached twice (a bind mount) is walked once, hidden entries, samples and extras are passed over (and
// counted), as a file manager does. Any depth is walked, whatever the length of its paths. root may hold the escaped bytes
// of decodeBytes (platform/bytetext.h).
WalkResult walkTree(const QString &root, WalkProgress *progress = nullptr);

// The location a scan of root gives its movies: the volume's label when root is the top of its own
// volume, else the folder's name (the one holding it, for a VIDEO_TS, BDMV or BDMV/STREAM folder).
QString locationOf(const QString &root);

} // namespace cinemork
