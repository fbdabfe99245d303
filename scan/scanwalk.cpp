#include "scanwalk.h"

#include "folderentries.h"
#include "nforeader.h"

#include "platform/bytetext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStorageInfo>
#include <algorithm>
#include <vector>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include <strings.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    // Most names hold none of the words: they are told so in small ASCII letters, without the pattern.
    char folded[256];
    const qsizetype n = std::min<qsizetype>(name.size(), sizeof folded);
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = name[i].toCaseFolded().unicode();
        folded[i] = c < 128 ? char(c | (c >= 'A' && c <= 'Z' ? 0x20 : 0)) : '\x80';
    }
    const std::string_view text(folded, size_t(n));
    static const std::string_view words[] = {"sample", "trailer", "featurette", "deleted", "behindthescenes", "interview"};
    if (name.size() <= qsizetype(sizeof folded)
        && std::none_of(std::begin(words), std::end(words), [&](std::string_view w) { return text.find(w) != text.npos; }))
        return false;
    const qsizetype dot = name.lastIndexOf(u'.');
    return extra.match(dot < 0 ? name : name.left(dot)).hasMatch();
}

bool shownExactly(const ScanFile &file)
{
    return QByteArrayView(file.nativePath).isValidUtf8();
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

struct Subfolder
{
    QByteArray name;
    ino_t listedIno; // as its parent's listing saw it
};

// A folder on the path from the root to the one being walked, with the subfolders still to walk.
struct Level
{
    QByteArray name;
    DirId id;
    int fd = -1; // open, or closed to keep the descriptors few; reopened from above when needed
    qsizetype pathLength = 0;
    QList<Subfolder> pending;
};

// The open descriptors the walk keeps along its path, beside the root's: a deep tree needs no more.
constexpr int OpenLevels = 32;

constexpr int FolderFlags = O_RDONLY | O_NOFOLLOW | O_DIRECTORY | O_CLOEXEC;

// A folder opened below its parent's open descriptor, and what it is; a link is not followed.
int openBelow(int parent, const QByteArray &name, DirId &id)
{
    const int fd = ::openat(parent, name.constData(), FolderFlags);
    if (fd < 0)
        return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    id = {st.st_dev, st.st_ino};
    return fd;
}

// Whether a folder opened (as fd) is the one its parent's listing named: a folder swapped for another
// since is refused. A mount point's listing names the folder beneath the mount, not the one mounted on it
// (a mount point cannot be moved, nor made without the right to).
bool isListedFolder(int fd, const DirId &opened, const DirId &parent, ino_t listedIno)
{
    if (opened.dev == parent.dev && opened.ino == listedIno)
        return true;
    struct statx sx;
    return ::statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS, &sx) == 0 && (sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT)
        && (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT);
}

// A folder opened again by name, if it is still the one the walk listed.
int reopenFolder(int parent, const QByteArray &name, const DirId &id)
{
    DirId now{};
    const int fd = openBelow(parent, name, now);
    if (fd >= 0 && !(now == id)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

class Walker
{
public:
    Walker(WalkResult &result, WalkProgress *progress)
        : m_result(result)
        , m_progress(progress)
    {
    }
    ~Walker()
    {
        for (const Level &level : m_levels)
            if (level.fd >= 0)
                ::close(level.fd);
    }

    // Walks the tree below the root folder open as rootFd (taken) at path; false: the root could not
    // be listed.
    bool walk(int rootFd, const QByteArray &path, const DirId &id)
    {
        m_seen.insert(id);
        QList<Subfolder> subfolders;
        int kept = -1;
        // The root of the file system: its entries' paths start with a single "/".
        m_path = path == "/" ? QByteArray() : path;
        if (!list(rootFd, subfolders, kept))
            return false;
        push({}, id, kept, std::move(subfolders));
        while (!m_levels.isEmpty()) {
            if (cancelled()) {
                m_result.cancelled = true;
                break;
            }
            Level &top = m_levels.last();
            if (top.pending.isEmpty()) {
                close(m_levels.size() - 1);
                m_levels.removeLast();
                continue;
            }
            const Subfolder next = top.pending.takeLast();
            m_path.truncate(top.pathLength);
            m_path += '/' + next.name;
            if (m_progress && m_progress->beforeOpeningFolder)
                m_progress->beforeOpeningFolder(m_path);
            const int parent = levelFd(m_levels.size() - 1);
            DirId id{};
            int fd = parent < 0 ? -1 : openBelow(parent, next.name, id);
            if (fd >= 0 && !isListedFolder(fd, id, top.id, next.listedIno)) {
                ::close(fd);
                fd = -1;
            }
            if (fd >= 0 && m_seen.contains(id)) { // reached before (a bind mount): walked once
                ::close(fd);
                continue;
            }
            subfolders.clear();
            kept = -1;
            if (fd < 0 || !list(fd, subfolders, kept)) {
                m_result.unreadable << QFile::decodeName(m_path);
                continue;
            }
            m_seen.insert(id);
            if (!subfolders.isEmpty())
                push(next.name, id, kept, std::move(subfolders));
        }
        if (cancelled())
            m_result.cancelled = true;
        m_result.nfoInfo = m_nfos.finish(m_result.cancelled);
        return true;
    }

private:
    bool cancelled() const { return m_progress && m_progress->cancel.load(std::memory_order_relaxed); }

    // Lists the folder at m_path, open as fd (taken): its video files, sorted by name, and the
    // subfolders not yet seen. When there are subfolders, kept is a descriptor of the folder to open
    // them from. Paths are kept as the file system's bytes: a name that is no valid text in the
    // locale's encoding still names its file, though it shows with a stand-in character.
    bool list(int fd, QList<Subfolder> &subfolders, int &kept)
    {
        FolderEntries entries(fd, m_entries);
        const QString shown = m_path.isEmpty() ? QStringLiteral("/") : QFile::decodeName(m_path);
        ScanFolder folder{shown, QFileInfo(shown).fileName(), {}, {}};
        qint64 &filesSeen = m_result.filesSeen;
        while (const dirent64 *entry = entries.next()) {
            const char *n = entry->d_name;
            if (n[0] == '.') { // ".", "..", and hidden entries
                if (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'))
                    continue;
                if (++m_result.hiddenCount <= HiddenNamed)
                    m_result.hidden << QFile::decodeName(m_path + '/' + n);
                continue;
            }
            if (cancelled())
                break;
            if (entry->d_type == DT_REG && !mayBeVideoOrNfo(n)) { // most entries: nothing more to know
                ++filesSeen;
                continue;
            }
            const QString name = QFile::decodeName(n);
            const bool video = isVideoFileName(name);
            if (entry->d_type == DT_REG && !video) {
                ++filesSeen;
                if (isNfoName(n)) {
                    const QByteArray file = m_path + '/' + n;
                    folder.nfos.append({QFile::decodeName(file), name, 0, {}, file});
                    m_nfos.add(file);
                }
                continue;
            }
            if (entry->d_type == DT_LNK)
                continue;
            if (entry->d_type == DT_DIR) { // the listing tells a folder: opening it tells the rest
                if (isExtraFolderName(name))
                    ++m_result.extrasCount;
                else
                    subfolders.append({QByteArray(n), entry->d_ino});
                continue;
            }
            struct stat st;
            if (::fstatat(fd, n, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            if (S_ISDIR(st.st_mode)) {
                if (isExtraFolderName(name))
                    ++m_result.extrasCount;
                else
                    subfolders.append({QByteArray(n), st.st_ino});
            } else if (S_ISREG(st.st_mode)) {
                ++filesSeen;
                if (video && isExtraFileName(name)) {
                    ++m_result.extrasCount;
                } else if (video) {
                    const QByteArray file = m_path + '/' + n;
                    folder.files.append({QFile::decodeName(file), name, quint64(st.st_size), {}, file});
                }
            }
            if (m_progress)
                m_progress->filesSeen.store(filesSeen, std::memory_order_relaxed);
        }
        if (m_progress)
            m_progress->filesSeen.store(filesSeen, std::memory_order_relaxed);
        if (entries.unread()) {
            ::close(fd);
            return false;
        }
        if (!subfolders.isEmpty())
            kept = fd;
        else
            ::close(fd);
        const auto byName = [](const ScanFile &a, const ScanFile &b) { return a.name < b.name; };
        std::sort(folder.files.begin(), folder.files.end(), byName);
        std::sort(folder.nfos.begin(), folder.nfos.end(), byName);
        if (!folder.files.isEmpty() || !folder.nfos.isEmpty())
            m_result.folders << folder;
        return true;
    }

    void push(const QByteArray &name, const DirId &id, int fd, QList<Subfolder> &&pending)
    {
        m_levels.append({name, id, fd, m_path.size(), std::move(pending)});
        if (fd >= 0)
            ++m_open;
        keepFew(m_levels.size() - 1);
    }

    void close(qsizetype level)
    {
        int &fd = m_levels[level].fd;
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
            --m_open;
        }
    }

    // Closes the descriptors nearest the root (but the root's) until few are open, keeping keep's.
    void keepFew(qsizetype keep)
    {
        for (qsizetype i = 1; m_open > OpenLevels && i < m_levels.size(); ++i)
            if (i != keep)
                close(i);
    }

    // The descriptor of a level, reopened by name from the nearest open level above it when it was
    // closed, each folder on the way checked to be the one the walk listed.
    int levelFd(qsizetype level)
    {
        qsizetype open = level;
        while (m_levels[open].fd < 0) {
            if (open == 0)
                return -1; // the root could not be kept open
            --open;
        }
        for (qsizetype k = open + 1; k <= level; ++k) {
            const int fd = reopenFolder(m_levels[k - 1].fd, m_levels[k].name, m_levels[k].id);
            if (fd < 0)
                return -1;
            m_levels[k].fd = fd;
            ++m_open;
            keepFew(k);
        }
        return m_levels[level].fd;
    }

    WalkResult &m_result;
    WalkProgress *m_progress;
    QSet<DirId> m_seen;
    QList<Level> m_levels; // from the root to the folder whose subfolders are walked
    QByteArray m_path;     // the folder being walked
    int m_open = 0;        // descriptors the levels hold
    NfoReader m_nfos;
    std::vector<char> m_entries = std::vector<char>(64 * 1024); // a folder's listing, read a part at a time
};

} // namespace

WalkResult walkTree(const QString &root, WalkProgress *progress)
{
    WalkResult result;
    char *resolved = ::realpath(encodeBytes(root).constData(), nullptr);
    if (!resolved)
        return result;
    const QByteArray path(resolved);
    ::free(resolved);
    result.root = QFile::decodeName(path);
    const int fd = ::open(path.constData(), FolderFlags);
    struct stat st;
    if (fd < 0)
        return result;
    if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode)) {
        ::close(fd);
        return result;
    }
    Walker walker(result, progress);
    if (!walker.walk(fd, path, {st.st_dev, st.st_ino}))
        return result;
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
    // A DVD's or a Blu-ray's own folders say nothing of the movie: the folder that holds them does.
    QString folder = path;
    for (const char *own : {"STREAM", "BDMV", "VIDEO_TS"}) {
        if (QFileInfo(folder).fileName().compare(QLatin1String(own), Qt::CaseInsensitive) == 0)
            folder = QFileInfo(folder).path();
    }
    const QString name = QFileInfo(folder).fileName();
    return name.isEmpty() ? path : name;
}

} // namespace cinemork
