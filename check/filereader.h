#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace cinemork {

// What reading a file back to its end found.
struct FileRead
{
    bool opened = false;     // false: reason says why nothing was read
    QString reason;          // the system's reason for the first failure
    qint64 sizeAtStart = 0;
    qint64 sizeAtEnd = 0;
    qint64 bytes = 0;        // the file's length as read: what was read and what was skipped
    qint64 unreadable = 0;   // bytes that could not be read
    qint64 firstFailure = -1; // byte offset
    bool cancelled = false;

    bool changed() const { return opened && !cancelled && (sizeAtEnd != sizeAtStart || bytes != sizeAtStart); }
};

// Reads a file to its end in big sequential reads, telling the kernel it is read once (read-ahead on,
// each stretch dropped from the cache once read). A read that fails is tried once more; a block that
// still fails is read in small pieces, and what cannot be read is counted and skipped. A device that is
// gone (a disc taken out) ends the read at once with the rest counted unreadable. The path is never
// followed if it is a link, and nothing but a regular file is read (a FIFO is never waited on). What
// the cache held before the read stays there.
// step is called after every block with the bytes done; false cancels.
struct FileReader
{
    static constexpr qint64 BlockBytes = 1 << 20;
    static constexpr qint64 PieceBytes = 64 << 10;
    static FileRead read(const QByteArray &path, const std::function<bool(qint64 done)> &step = {});
};

} // namespace cinemork
