#include "folderentries.h"

namespace cinemork {

const dirent64 *FolderEntries::next()
{
    if (m_at >= m_size) {
        const ssize_t n = ::getdents64(m_fd, m_buffer.data(), m_buffer.size());
        m_unread = n < 0 && !m_read;
        if (n <= 0)
            return nullptr; // the end, or a listing that broke off: what was read stands
        m_read = true;
        m_size = n;
        m_at = 0;
    }
    const auto *entry = reinterpret_cast<const dirent64 *>(m_buffer.data() + m_at);
    m_at += entry->d_reclen;
    return entry;
}

} // namespace cinemork
