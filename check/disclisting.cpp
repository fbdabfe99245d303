#include "disclisting.h"

#include "platform/bytetext.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace cinemork {

DiscListing listDisc(const QString &root, const std::atomic<bool> *cancel)
{
    DiscListing listing;
    listing.root = QFileInfo(root).canonicalFilePath();
    struct stat st;
    if (listing.root.isEmpty() || ::stat(QFile::encodeName(listing.root).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return listing;
    QSet<std::pair<quint64, quint64>> seen{{quint64(st.st_dev), quint64(st.st_ino)}};
    QList<QByteArray> pending{QFile::encodeName(listing.root)};
    bool atRoot = true;
    while (!pending.isEmpty()) {
        if (cancel && cancel->load(std::memory_order_relaxed))
            return listing;
        const QByteArray path = pending.takeLast();
        DIR *dir = ::opendir(path.constData());
        if (!dir) {
            if (atRoot)
                return listing;
            listing.unreadable << decodeBytes(path);
            continue;
        }
        atRoot = false;
        const QByteArray prefix = path == "/" ? QByteArray() : path;
        const QString folder = decodeBytes(path);
        while (const dirent *entry = ::readdir(dir)) {
            if (entry->d_name[0] == '.')
                continue;
            const QByteArray raw = prefix + '/' + entry->d_name;
            if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            if (S_ISDIR(st.st_mode)) {
                if (!seen.contains({quint64(st.st_dev), quint64(st.st_ino)})) {
                    seen.insert({quint64(st.st_dev), quint64(st.st_ino)});
                    pending << raw;
                }
                continue;
            }
            const DiscFile::Kind kind =
                S_ISREG(st.st_mode) ? DiscFile::Regular : S_ISLNK(st.st_mode) ? DiscFile::Link : DiscFile::Other;
            listing.files.append({decodeBytes(raw), raw, decodeBytes(entry->d_name), folder,
                                  kind == DiscFile::Regular ? qint64(st.st_size) : 0, kind});
        }
        ::closedir(dir);
    }
    std::sort(listing.files.begin(), listing.files.end(),
              [](const DiscFile &a, const DiscFile &b) { return a.raw < b.raw; });
    listing.unreadable.sort();
    listing.ok = true;
    return listing;
}

} // namespace cinemork
