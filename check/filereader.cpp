#include "filereader.h"

#include "checktexts.h"

#include <QFile>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace cinemork {

namespace {

// Errors after which no other byte of the device will read: the medium or device is gone.
bool deviceGone(int error)
{
    return error == ENOMEDIUM || error == ENODEV || error == ENXIO || error == ESTALE || error == EBADF;
}

QString reasonOf(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

ssize_t readAt(int fd, char *buffer, qint64 length, qint64 offset)
{
    ssize_t n;
    do
        n = ::pread(fd, buffer, size_t(length), off_t(offset));
    while (n < 0 && errno == EINTR);
    return n;
}

// The cache holds a stretch once read for no one: it is dropped every few blocks, so checking a whole
// disc leaves what else was cached in place.
constexpr qint64 DropEvery = 32 * FileReader::BlockBytes;
constexpr qint64 Page = 4096;

#ifndef __NR_cachestat
#define __NR_cachestat 451 // its number in the kernel's common table; headers before Linux 6.5 lack it
#endif

// How many pages of a range the cache holds (Linux 6.5 on); -1 when the kernel cannot tell.
qint64 cachedPages(int fd, qint64 from, qint64 length)
{
    struct
    {
        quint64 off, len;
    } range{quint64(from), quint64(length)};
    struct
    {
        quint64 cache, dirty, writeback, evicted, recentlyEvicted;
    } stat{};
    return ::syscall(__NR_cachestat, fd, &range, &stat, 0) == 0 ? qint64(stat.cache) : -1;
}

// Which pages of a stretch the cache holds now; empty when that cannot be known. A stretch held whole
// or not at all, as most are, is told by counting (cheap) instead of page by page.
std::vector<unsigned char> heldPages(int fd, qint64 from, qint64 fileSize)
{
    const qint64 pagesInFile = (std::min(DropEvery, fileSize - from) + Page - 1) / Page;
    if (pagesInFile > 0) {
        const qint64 cached = cachedPages(fd, from, pagesInFile * Page);
        if (cached == 0)
            return std::vector<unsigned char>(size_t(DropEvery / Page), 0);
        if (cached == pagesInFile)
            return std::vector<unsigned char>(size_t(DropEvery / Page), 1);
    }
    std::vector<unsigned char> pages;
    void *map = ::mmap(nullptr, size_t(DropEvery), PROT_READ, MAP_SHARED, fd, off_t(from));
    if (map == MAP_FAILED)
        return pages;
    pages.resize(size_t(DropEvery / Page));
    if (::mincore(map, size_t(DropEvery), pages.data()) != 0)
        pages.clear();
    ::munmap(map, size_t(DropEvery));
    return pages;
}

// Drops the pages of the stretch at from that the cache did not hold before the check read them:
// what another program had cached stays.
void dropRead(int fd, qint64 from, const std::vector<unsigned char> &held)
{
    qint64 start = -1;
    for (qint64 i = 0; i <= DropEvery / Page; ++i) {
        const bool keep = i < qint64(held.size()) && (held[size_t(i)] & 1);
        const bool end = i == DropEvery / Page;
        if (!keep && !end && start < 0)
            start = i;
        if ((keep || end) && start >= 0) {
            ::posix_fadvise(fd, off_t(from + start * Page), off_t((i - start) * Page), POSIX_FADV_DONTNEED);
            start = -1;
        }
    }
}

} // namespace

FileRead FileReader::read(const QByteArray &path, const std::function<bool(qint64)> &step)
{
    FileRead r;
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        r.reason = errno == ELOOP ? CheckTexts::LinkNotFollowed : reasonOf(errno);
        return r;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        r.reason = CheckTexts::NotARegularFile;
        ::close(fd);
        return r;
    }
    r.opened = true;
    r.sizeAtStart = st.st_size;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_NOREUSE);
    // Page-aligned: the kernel copies into an unaligned buffer at a fraction of the speed.
    const std::unique_ptr<char, decltype(&std::free)> buffer(
        static_cast<char *>(std::aligned_alloc(4096, size_t(BlockBytes))), &std::free);
    if (!buffer) {
        r.opened = false;
        r.reason = reasonOf(ENOMEM);
        ::close(fd);
        return r;
    }
    qint64 offset = 0;
    // What the cache held of the stretch being read and of the next, looked at before the reading (and
    // the kernel's read-ahead) reached them.
    qint64 stretch = 0;
    std::vector<unsigned char> held = heldPages(fd, 0, r.sizeAtStart), heldNext = heldPages(fd, DropEvery, r.sizeAtStart);
    qint64 slowUntil = 0; // a block that failed twice is read in pieces up to here
    auto fail = [&r](qint64 at, qint64 length, int error) {
        if (r.firstFailure < 0) {
            r.firstFailure = at;
            r.reason = reasonOf(error);
        }
        r.unreadable += length;
    };
    auto currentSize = [&] { return ::fstat(fd, &st) == 0 ? qint64(st.st_size) : r.sizeAtStart; };
    for (;;) {
        const bool piece = offset < slowUntil;
        const qint64 length = piece ? PieceBytes : BlockBytes;
        ssize_t n = readAt(fd, buffer.get(), length, offset);
        if (n < 0 && !piece && !deviceGone(errno))
            n = readAt(fd, buffer.get(), length, offset); // once more: a drive often reads it the second time
        if (n == 0)
            break;
        if (n > 0) {
            offset += n;
        } else {
            const int error = errno;
            const qint64 size = currentSize();
            if (deviceGone(error)) {
                fail(offset, std::max<qint64>(size - offset, 0), error);
                offset = std::max(size, offset);
                break;
            }
            if (!piece) {
                slowUntil = offset + BlockBytes;
                continue;
            }
            const qint64 lost = std::min(PieceBytes, size - offset);
            if (lost <= 0)
                break; // past the end of a file that shrank
            fail(offset, lost, error);
            offset += lost;
        }
        while (offset >= stretch + DropEvery) {
            dropRead(fd, stretch, held);
            stretch += DropEvery;
            held = std::move(heldNext);
            heldNext = heldPages(fd, stretch + DropEvery, r.sizeAtStart);
        }
        if (step && !step(offset)) {
            r.cancelled = true;
            break;
        }
    }
    dropRead(fd, stretch, held);
    dropRead(fd, stretch + DropEvery, heldNext);
    r.bytes = offset;
    r.sizeAtEnd = currentSize();
    ::close(fd);
    return r;
}

} // namespace cinemork
