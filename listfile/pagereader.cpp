#include "pagereader.h"

#include "pagetext.h"
#include "pagetexts.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <string_view>
#include <unordered_map>

namespace cinemork {

namespace {

constexpr int ErrPastEnd = 62;
constexpr int ErrInvalidCall = 5;
const char *const PastEndText = "Input past end of file";
const char *const InvalidCallText = "Invalid procedure call or argument";

struct ReadError
{
    int number;
    const char *description;
};

// The first CR or LF from p on, or end. Lines are short: an inline search sixteen bytes at a time
// where the processor has it, a plain loop otherwise, beats a library call.
inline const char *lineEnd(const char *p, const char *end)
{
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    while (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const int found = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
        if (found)
            return p + __builtin_ctz(unsigned(found));
        p += 16;
    }
#endif
    while (p < end && *p != '\r' && *p != '\n')
        ++p;
    return p;
}

class Lines
{
public:
    explicit Lines(QByteArrayView d)
        : m_data(d)
    {}
    bool atEnd() const { return m_pos >= m_data.size(); }
    QByteArrayView next()
    {
        if (atEnd())
            throw ReadError{ErrPastEnd, PastEndText};
        // A line ends at CR LF, CR or LF.
        const char *begin = m_data.data();
        const char *start = begin + m_pos, *end = begin + m_data.size();
        const char *p = lineEnd(start, end);
        const QByteArrayView line(start, p - start);
        if (p < end && *p == '\r' && p + 1 < end && p[1] == '\n')
            ++p;
        m_pos = (p - begin) + 1;
        return line;
    }
    QByteArrayView skip(int count)
    {
        QByteArrayView last;
        for (int k = 0; k < count; ++k)
            last = next();
        return last;
    }

private:
    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

// Cells are short: a plain loop beats a general search.
qsizetype indexOf(QByteArrayView hay, QByteArrayView needle, qsizetype from = 0)
{
    const char *h = hay.data(), *nd = needle.data();
    const qsizetype n = hay.size(), m = needle.size();
    for (qsizetype at = from; at + m <= n; ++at) {
        if (h[at] != nd[0])
            continue;
        qsizetype k = 1;
        while (k < m && h[at + k] == nd[k])
            ++k;
        if (k == m)
            return at;
    }
    return -1;
}

bool contains(QByteArrayView hay, QByteArrayView needle)
{
    return indexOf(hay, needle) >= 0;
}

// The text after the cell's first ">" and before the first "</" after it.
QByteArrayView cellValue(QByteArrayView cell)
{
    const qsizetype gt = cell.indexOf('>');
    if (gt < 0)
        throw ReadError{ErrInvalidCall, InvalidCallText};
    const qsizetype end = indexOf(cell, "</", gt + 1);
    if (end < 0)
        throw ReadError{ErrInvalidCall, InvalidCallText};
    return cell.sliced(gt + 1, end - gt - 1);
}

QByteArrayView upToClose(QByteArrayView text)
{
    const qsizetype end = indexOf(text, "</");
    if (end < 0)
        throw ReadError{ErrInvalidCall, InvalidCallText};
    return text.first(end);
}

QByteArrayView after(QByteArrayView text, qsizetype from)
{
    if (from > text.size())
        throw ReadError{ErrInvalidCall, InvalidCallText};
    return text.sliced(from);
}

// Title and link from the title cell, which may hold an index anchor and a link.
void titleCell(QByteArrayView cell, QString &title, QString &link)
{
    constexpr QByteArrayView closing("\">");
    const bool hasAnchor = contains(cell, "<A NAME=");
    if (contains(cell, "<A HREF")) {
        if (hasAnchor) {
            const qsizetype pair = indexOf(cell, closing);
            if (pair < 0)
                throw ReadError{ErrInvalidCall, InvalidCallText};
            cell = after(cell, pair + 2 + 4);
        }
        const qsizetype quote = cell.indexOf('"');
        const qsizetype pair = indexOf(cell, closing);
        if (quote < 0 || pair < 0 || pair <= quote)
            throw ReadError{ErrInvalidCall, InvalidCallText};
        link = decodePageText(cell.sliced(quote + 1, pair - quote - 1));
        title = decodePageText(upToClose(cell.sliced(pair + 2)));
        return;
    }
    link.clear();
    if (hasAnchor) {
        const qsizetype pair = indexOf(cell, closing);
        if (pair < 0)
            throw ReadError{ErrInvalidCall, InvalidCallText};
        title = decodePageText(upToClose(after(cell, pair + 2 + 4)));
    } else {
        title = decodePageText(cellValue(cell));
    }
}

qsizetype countByte(QByteArrayView data, char c)
{
    const char *p = data.data(), *end = p + data.size();
    qsizetype count = 0;
#if defined(__SSE2__)
    // sixteen byte counters at a time, summed before any of them can overflow
    const __m128i needle = _mm_set1_epi8(c), zero = _mm_setzero_si128();
    while (end - p >= 16) {
        __m128i counters = zero;
        for (int round = 0; round < 255 && end - p >= 16; ++round, p += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            counters = _mm_sub_epi8(counters, _mm_cmpeq_epi8(v, needle));
        }
        const __m128i sums = _mm_sad_epu8(counters, zero);
        count += _mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4);
    }
#endif
    for (; p < end; ++p)
        count += *p == c;
    return count;
}

// Sizes, resolutions, codecs, types, the watched mark and locations repeat from movie to movie:
// equal texts share one string, which keeps a large list small in memory.
class Interner
{
public:
    QString text(int column, QByteArrayView bytes)
    {
        auto &seen = m_seen[size_t(column)];
        const std::string_view key(bytes.data(), size_t(bytes.size()));
        if (const auto it = seen.find(key); it != seen.end())
            return it->second;
        QString value = decodePageText(bytes);
        if (seen.size() < 4096) // unique texts are not worth keeping
            seen.emplace(key, value);
        return value;
    }

private:
    std::array<std::unordered_map<std::string_view, QString>, FieldCount> m_seen;
};

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

struct FileDescriptor
{
    int fd;
    ~FileDescriptor() { ::close(fd); }
};

// Room for a whole page. Fresh memory costs the system a fault for every small page it hands out;
// a large page comes in huge pages where the system offers them, which spares most of that cost.
class PageBuffer
{
public:
    explicit PageBuffer(size_t size)
    {
        if (size == 0)
            return;
        constexpr size_t Huge = size_t(2) << 20;
        m_length = (size + Huge - 1) & ~(Huge - 1);
        void *p = ::mmap(nullptr, m_length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            return;
        m_data = static_cast<char *>(p);
        ::madvise(p, m_length, MADV_HUGEPAGE); // a hint: without huge pages the memory works all the same
    }
    ~PageBuffer()
    {
        if (m_data)
            ::munmap(m_data, m_length);
    }
    PageBuffer(const PageBuffer &) = delete;
    PageBuffer &operator=(const PageBuffer &) = delete;
    char *data() const { return m_data; }

private:
    char *m_data = nullptr;
    size_t m_length = 0;
};

} // namespace

PageReadResult readPage(QByteArrayView data)
{
    PageReadResult r;
    try {
        Lines lines(data);
        const QByteArrayView third = lines.skip(3);
        if (third.size() < 15)
            throw ReadError{ErrInvalidCall, InvalidCallText};
        r.title = decodePageText(third.sliced(7, third.size() - 15));

        while (!lines.next().startsWith("<TABLE")) {}
        QByteArrayView last = lines.skip(5);
        if (contains(last, Page::IndexMarker)) {
            last = lines.skip(40);
        } else {
            last = lines.skip(5);
            if (contains(last, Page::WatchedMarker)) {
                last = lines.skip(4);
            } else {
                r.sevenColumns = true;
                last = lines.skip(3);
            }
        }
        if (last != QByteArrayView(Page::TableClose)) {
            // Every movie takes eleven or ten lines: room for all of them at once.
            qsizetype lineEnds = countByte(data, '\n');
            if (lineEnds == 0)
                lineEnds = countByte(data, '\r');
            r.movies.reserve(lineEnds / 10 + 1);
            Interner interner;
            QByteArrayView cells[8];
            for (;;) {
                lines.next(); // " <TR>"
                for (int c = 0; c < 5; ++c)
                    cells[c] = lines.next();
                if (r.sevenColumns) {
                    cells[5] = Page::SevenColumnWatchedCell;
                } else {
                    cells[5] = lines.next();
                }
                cells[6] = lines.next();
                cells[7] = lines.next();
                lines.next();                                  // " </TR>"
                const QByteArrayView following = lines.next(); // an empty line before the next movie

                Movie m;
                titleCell(cells[0], m[FTitle], m[FImdb]);
                for (int c = 1; c < 8; ++c)
                    m[c] = c == FFiles ? decodePageText(cellValue(cells[c])) : interner.text(c, cellValue(cells[c]));
                m.icon = iconForTypeText(m[FType]);
                r.movies.append(std::move(m));
                if (following == QByteArrayView(Page::TableClose))
                    break;
                // A page that ends before its table's closing line was cut short: it is no shorter list.
                if (lines.atEnd())
                    throw ReadError{ErrPastEnd, PastEndText};
                if (!following.isEmpty())
                    break; // any other line with more after it ends the table, as it always has
            }
        }
        r.ok = true;
    } catch (const ReadError &e) {
        r.ok = false;
        r.errorNumber = e.number;
        r.errorDescription = QString::fromLatin1(e.description);
        r.movies.clear();
    }
    return r;
}

PageReadResult readPageFile(const QString &path)
{
    auto failed = [](const QString &reason) {
        PageReadResult r;
        r.errorNumber = ErrPastEnd;
        r.errorDescription = reason;
        return r;
    };
    // Opened without waiting, so that a pipe is found out rather than waited for: only a regular file
    // is read, never a pipe or a device that could keep the read waiting or growing without end.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return failed(systemReason(errno));
    const FileDescriptor file{fd};
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return failed(systemReason(errno));
    if (!S_ISREG(st.st_mode))
        return failed(path + QStringLiteral(" is not a regular file"));
    // The page is read into memory, not mapped: another program that cuts the file during the read
    // makes a shorter page, which the reader reports, where a mapping would end the program.
    const size_t size = size_t(st.st_size);
    PageBuffer buffer(size);
    if (size && !buffer.data())
        return failed(systemReason(ENOMEM));
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, buffer.data() + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failed(systemReason(errno));
        if (n == 0)
            break; // cut since it was measured
        done += size_t(n);
    }
    return readPage(QByteArrayView(buffer.data(), qsizetype(done)));
}

} // namespace cinemork
