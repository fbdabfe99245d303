#include "scanwalk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>
#include <algorithm>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace cinemork {

bool isVideoFileName(const QString &name)
{
    static const QSet<QString> endings{"avi", "mpeg", "mpg", "asf",  "dat",  "rm",  "ra",  "ram",
                                       "mkv", "mp4",  "m4v", "mov",  "wmv",  "ogm", "ogv", "webm",
                                       "ts",  "m2ts", "vob", "divx", "xvid", "flv", "3gp", "rmvb"};
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 && endings.contains(name.mid(dot + 1).toLower());
}

namespace {

struct DirId
{
    dev_t dev;
    ino_t ino;
    bool operator==(const DirId &o) const { return dev == o.dev && ino == o.ino; }
};
size_t qHash(const DirId &id, size_t seed = 0)
{
    return qHashMulti(seed, quint64(id.dev), quint64(id.ino));
}

// One folder's video files (sorted by name) and its subfolders not yet seen; false: not listed.
// Paths are kept as the file system's bytes: a name that is no valid text in the locale's encoding
// still names its file, though it shows with a stand-in character.
bool listFolder(const QByteArray &path, ScanFolder &folder, QList<QByteArray> &subfolders, QSet<DirId> &seen,
                WalkProgress *progress, qint64 &filesSeen)
{
    DIR *dir = ::opendir(path.constData());
    if (!dir)
        return false;
    const int fd = ::dirfd(dir);
    const QByteArray prefix = path == "/" ? QByteArray() : path; // the root of the file system
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.') // ".", "..", and hidden entries
            continue;
        if (progress && progress->cancel.load(std::memory_order_relaxed))
            break;
        const QString name = QFile::decodeName(entry->d_name);
        const bool video = isVideoFileName(name);
        if (entry->d_type == DT_REG && !video) { // most entries: nothing more to know
            ++filesSeen;
            continue;
        }
        if (entry->d_type == DT_LNK)
            continue;
        struct stat st;
        if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            if (!seen.contains({st.st_dev, st.st_ino})) {
                seen.insert({st.st_dev, st.st_ino});
                subfolders << prefix + '/' + entry->d_name;
            }
        } else if (S_ISREG(st.st_mode)) {
            ++filesSeen;
            if (video)
                folder.files.append({QFile::decodeName(prefix + '/' + entry->d_name), name, quint64(st.st_size), {}});
        }
        if (progress)
            progress->filesSeen.store(filesSeen, std::memory_order_relaxed);
    }
    ::closedir(dir);
    if (progress)
        progress->filesSeen.store(filesSeen, std::memory_order_relaxed);
    std::sort(folder.files.begin(), folder.files.end(),
              [](const ScanFile &a, const ScanFile &b) { return a.name < b.name; });
    return true;
}

} // namespace

WalkResult walkTree(const QString &root, WalkProgress *progress)
{
    WalkResult result;
    result.root = QFileInfo(root).canonicalFilePath();
    struct stat st;
    if (result.root.isEmpty() || ::stat(QFile::encodeName(result.root).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return result;
    if (result.root.size() > 1 && result.root.endsWith(u'/'))
        result.root.chop(1);
    QSet<DirId> seen{{st.st_dev, st.st_ino}};
    QList<QByteArray> pending{QFile::encodeName(result.root)};
    while (!pending.isEmpty()) {
        if (progress && progress->cancel.load(std::memory_order_relaxed)) {
            result.cancelled = true;
            break;
        }
        const QByteArray path = pending.takeLast();
        const QString shown = QFile::decodeName(path);
        ScanFolder folder{shown, QFileInfo(shown).fileName(), {}};
        QList<QByteArray> subfolders;
        if (!listFolder(path, folder, subfolders, seen, progress, result.filesSeen)) {
            if (shown == result.root) // the chosen folder itself cannot be read: nothing was scanned
                return result;
            result.unreadable << shown;
            continue;
        }
        if (!folder.files.isEmpty())
            result.folders << folder;
        pending << subfolders;
    }
    result.ok = !result.cancelled;
    std::sort(result.folders.begin(), result.folders.end(),
              [](const ScanFolder &a, const ScanFolder &b) { return a.path < b.path; });
    result.unreadable.sort();
    return result;
}

QString locationOf(const QString &root)
{
    const QString path = QFileInfo(root).canonicalFilePath();
    const QStorageInfo volume(path);
    if (volume.isValid() && volume.rootPath() == path && path != u'/') {
        if (!volume.name().isEmpty())
            return volume.name();
    }
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

} // namespace cinemork
