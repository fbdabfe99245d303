#include "scanwalk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStorageInfo>
#include <algorithm>
#include <cstring>

#include <strings.h>

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

bool isExtraFolderName(const QString &name)
{
    static const QSet<QString> names{"sample",    "samples",        "extras",    "extra",  "featurettes",
                                     "trailers",  "deleted scenes", "interviews", "shorts", "behind the scenes"};
    return names.contains(name.toLower());
}

bool isExtraFileName(const QString &name)
{
    static const QRegularExpression extra(
        QStringLiteral(R"(^sample([-._ ].*)?$|[-._](sample|trailer)$|-(featurette|deleted|behindthescenes|interview)$)"),
        QRegularExpression::CaseInsensitiveOption);
    const qsizetype dot = name.lastIndexOf(u'.');
    return extra.match(dot < 0 ? name : name.left(dot)).hasMatch();
}

namespace {

// Most entries are neither: their names are looked at as bytes, without making text of them.
bool mayBeVideoOrNfo(const char *name)
{
    const char *dot = std::strrchr(name, '.');
    if (!dot || dot == name || std::strlen(dot + 1) > 4)
        return false;
    char ending[5] = {};
    for (int i = 0; dot[i + 1]; ++i)
        ending[i] = char(std::tolower(static_cast<unsigned char>(dot[i + 1])));
    static const char *const known[] = {"avi", "mpeg", "mpg", "asf",  "dat", "rm",  "ra",   "ram", "mkv",
                                        "mp4", "m4v",  "mov", "wmv",  "ogm", "ogv", "webm", "ts",  "m2ts",
                                        "vob", "divx", "xvid", "flv", "3gp", "rmvb", "nfo"};
    return std::any_of(std::begin(known), std::end(known), [&](const char *k) { return std::strcmp(k, ending) == 0; });
}

bool isNfoName(const char *name)
{
    const size_t n = std::strlen(name);
    return n > 4 && ::strcasecmp(name + n - 4, ".nfo") == 0;
}

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
                WalkProgress *progress, qint64 &filesSeen, WalkResult &result)
{
    DIR *dir = ::opendir(path.constData());
    if (!dir)
        return false;
    const int fd = ::dirfd(dir);
    const QByteArray prefix = path == "/" ? QByteArray() : path; // the root of the file system
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.') { // ".", "..", and hidden entries
            const char *n = entry->d_name;
            if (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'))
                continue;
            if (++result.hiddenCount <= HiddenNamed)
                result.hidden << QFile::decodeName(prefix + '/' + n);
            continue;
        }
        if (progress && progress->cancel.load(std::memory_order_relaxed))
            break;
        if (entry->d_type == DT_REG && !mayBeVideoOrNfo(entry->d_name)) { // most entries: nothing more to know
            ++filesSeen;
            continue;
        }
        const QString name = QFile::decodeName(entry->d_name);
        const bool video = isVideoFileName(name);
        if (entry->d_type == DT_REG && !video) {
            ++filesSeen;
            if (isNfoName(entry->d_name))
                folder.nfos.append({QFile::decodeName(prefix + '/' + entry->d_name), name, 0, {}});
            continue;
        }
        if (entry->d_type == DT_LNK)
            continue;
        struct stat st;
        if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            if (isExtraFolderName(name))
                ++result.extrasCount;
            else if (!seen.contains({st.st_dev, st.st_ino})) {
                seen.insert({st.st_dev, st.st_ino});
                subfolders << prefix + '/' + entry->d_name;
            }
        } else if (S_ISREG(st.st_mode)) {
            ++filesSeen;
            if (video && isExtraFileName(name))
                ++result.extrasCount;
            else if (video)
                folder.files.append({QFile::decodeName(prefix + '/' + entry->d_name), name, quint64(st.st_size), {}});
        }
        if (progress)
            progress->filesSeen.store(filesSeen, std::memory_order_relaxed);
    }
    ::closedir(dir);
    if (progress)
        progress->filesSeen.store(filesSeen, std::memory_order_relaxed);
    const auto byName = [](const ScanFile &a, const ScanFile &b) { return a.name < b.name; };
    std::sort(folder.files.begin(), folder.files.end(), byName);
    std::sort(folder.nfos.begin(), folder.nfos.end(), byName);
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
        ScanFolder folder{shown, QFileInfo(shown).fileName(), {}, {}};
        QList<QByteArray> subfolders;
        if (!listFolder(path, folder, subfolders, seen, progress, result.filesSeen, result)) {
            if (shown == result.root) // the chosen folder itself cannot be read: nothing was scanned
                return result;
            result.unreadable << shown;
            continue;
        }
        if (!folder.files.isEmpty() || !folder.nfos.isEmpty())
            result.folders << folder;
        pending << subfolders;
    }
    result.ok = !result.cancelled;
    std::sort(result.folders.begin(), result.folders.end(),
              [](const ScanFolder &a, const ScanFolder &b) { return a.path < b.path; });
    result.unreadable.sort();
    result.hidden.sort();
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
