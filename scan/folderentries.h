#pragma once

#include <vector>

#include <dirent.h>
#include <sys/types.h>

namespace cinemork {

// The entries of a folder open as fd, read straight from the kernel into a buffer the walk keeps
// (no directory stream of the C library to allocate, check and close for each folder).
class FolderEntries
{
public:
    FolderEntries(int fd, std::vector<char> &buffer)
        : m_fd(fd)
        , m_buffer(buffer)
    {
    }
    const dirent64 *next();
    bool unread() const { return m_unread; } // the folder could not be listed at all

private:
    int m_fd;
    bool m_read = false, m_unread = false;
    std::vector<char> &m_buffer;
    ssize_t m_size = 0, m_at = 0;
};

} // namespace cinemork
