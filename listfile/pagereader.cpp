#include "pagereader.h"

#include "pagefile.h"
#include "platform/bytetext.h"

#include "pagetext.h"
#include "pagetexts.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <string_view>
#include <unordered_map>
#include <vector>

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
    QString reason = {}; // the system's, when it has one
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

// The page's lines, from memory or read from a file a piece at a time. A line is a view into the
// buffer: it stays valid until the next line is asked for, or, after hold(n), until the n lines
// held have all been asked for.
class Lines
{
public:
    using Source = std::function<qsizetype(char *to, qsizetype most)>; // bytes read, 0 at the end

    explicit Lines(QByteArrayView d)
        : m_data(d)
        , m_end(true)
    {}
    Lines(Source source, qsizetype piece)
        : m_source(std::move(source))
        , m_piece(std::max<qsizetype>(piece, 1))
    {}

    bool atEnd()
    {
        if (m_pos >= m_data.size() && !m_end)
            fill();
        return m_pos >= m_data.size();
    }
    QByteArrayView next()
    {
        if (m_heldNext < m_held.size() && m_held[m_heldNext].start == m_pos) { // found by hold()
            const Held &h = m_held[m_heldNext++];
            m_pos = h.after;
            return QByteArrayView(m_data.data() + h.start, h.end - h.start);
        }
        if (atEnd())
            throw ReadError{ErrPastEnd, PastEndText};
        qsizetype after;
        while ((after = scan(m_pos)) < 0)
            fill();
        const char *begin = m_data.data() + m_pos;
        const QByteArrayView line(begin, lineEnd(begin, m_data.data() + m_data.size()) - begin);
        m_pos = after;
        return line;
    }
    QByteArrayView skip(int count)
    {
        QByteArrayView last;
        for (int k = 0; k < count; ++k)
            last = next();
        return last;
    }
    // Reads on until the next count lines, or the page's end, are in the buffer.
    void hold(int count)
    {
        for (;;) {
            m_held.clear();
            m_heldNext = 0;
            qsizetype at = m_pos;
            while (int(m_held.size()) < count && at < m_data.size()) {
                qsizetype contentEnd;
                const qsizetype after = scan(at, &contentEnd);
                if (after < 0)
                    break;
                m_held.push_back({at, contentEnd, after});
                at = after;
            }
            if (int(m_held.size()) == count || (at < m_data.size() && m_end) || (at >= m_data.size() && m_end))
                return;
            fill();
        }
    }
    // How many bytes of the page are still to come (an estimate while a file is read).
    qsizetype left() const { return m_data.size() - m_pos + m_expected; }
    void expect(qsizetype bytes) { m_expected = bytes; }

private:
    // Where the line at from ends, past its CR LF, CR or LF; -1 when the buffer does not tell yet.
    qsizetype scan(qsizetype from, qsizetype *contentEnd = nullptr) const
    {
        const char *begin = m_data.data(), *end = begin + m_data.size();
        const char *p = lineEnd(begin + from, end);
        if (contentEnd)
            *contentEnd = p - begin;
        if (p == end)
            return m_end ? m_data.size() + 1 : -1;
        if (*p == '\r' && p + 1 == end && !m_end)
            return -1; // an LF may follow in the next piece
        if (*p == '\r' && p + 1 < end && p[1] == '\n')
            ++p;
        return (p - begin) + 1;
    }
    // Moves what is left to the front of the buffer and reads the next piece after it.
    void fill()
    {
        if (m_end)
            return;
        const qsizetype kept = std::max<qsizetype>(0, m_data.size() - m_pos);
        const char *from = m_data.data() + std::min(m_pos, m_data.size());
        if (m_buffer.size() < kept + m_piece) {
            QByteArray bigger(std::max(kept + m_piece, m_buffer.size() * 2), Qt::Uninitialized);
            if (kept)
                std::memcpy(bigger.data(), from, size_t(kept));
            m_buffer.swap(bigger);
        } else if (kept) {
            std::memmove(m_buffer.data(), from, size_t(kept));
        }
        const qsizetype n = m_source(m_buffer.data() + kept, m_buffer.size() - kept);
        m_end = n <= 0;
        m_expected = std::max<qsizetype>(0, m_expected - std::max<qsizetype>(n, 0));
        m_data = QByteArrayView(m_buffer.data(), kept + std::max<qsizetype>(n, 0));
        m_pos = 0;
        m_held.clear();
    }

    QByteArrayView m_data;
    qsizetype m_pos = 0;
    bool m_end = false;
    Source m_source;
    qsizetype m_piece = 0;
    QByteArray m_buffer;
    qsizetype m_expected = 0;
    struct Held
    {
        qsizetype start, end, after; // where the line starts and ends, and where the next one starts
    };
    std::vector<Held> m_held; // the lines hold() found, valid until the buffer is filled again
    size_t m_heldNext = 0;
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
            seen.emplace(std::string(key), value);
        return value;
    }

private:
    // Keys of their own: the buffer they were read from moves on while a file is read.
    struct Hash
    {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };
    std::array<std::unordered_map<std::string, QString, Hash, std::equal_to<>>, FieldCount> m_seen;
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

} // namespace

namespace {

PageReadResult readLines(Lines &lines, const MovieSink &sink = {})
{
    PageReadResult r;
    try {
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
            // A movie takes at least a hundred bytes: room for all of them at once, of which the
            // part never used costs no memory.
            if (!sink)
                r.movies.reserve(lines.left() / 100 + 1);
            Interner interner;
            QByteArrayView cells[8];
            for (;;) {
                lines.hold(r.sevenColumns ? 10 : 11); // the movie's lines stay valid together
                lines.next();                         // " <TR>"
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
                if (sink)
                    sink(std::move(m));
                else
                    r.movies.append(std::move(m));
                if (following == QByteArrayView(Page::TableClose))
                    break;
                const bool another = following.isEmpty();
                // A page that ends before its table's closing line was cut short: it is no shorter list.
                if (lines.atEnd())
                    throw ReadError{ErrPastEnd, PastEndText};
                if (!another)
                    break; // any other line with more after it ends the table, as it always has
            }
        }
        r.ok = true;
    } catch (const ReadError &e) {
        r.ok = false;
        r.errorNumber = e.number;
        r.errorDescription = e.reason.isEmpty() ? QString::fromLatin1(e.description) : e.reason;
        r.movies.clear();
    }
    return r;
}

} // namespace

PageReadResult readPage(QByteArrayView data)
{
    Lines lines(data);
    return readLines(lines);
}

PageReadResult readPageFile(const QString &path, qsizetype piece)
{
    return readPageFile(path, MovieSink(), piece);
}

PageReadResult readPageFile(const QString &path, const MovieSink &sink, qsizetype piece)
{
    auto failed = [](const QString &reason) {
        PageReadResult r;
        r.errorNumber = ErrPastEnd;
        r.errorDescription = reason;
        return r;
    };
    // Opened without waiting, so that a pipe is found out rather than waited for: only a regular file
    // is read, never a pipe or a device that could keep the read waiting or growing without end.
    const int fd = ::open(encodeBytes(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return failed(systemReason(errno));
    const FileDescriptor file{fd};
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return failed(systemReason(errno));
    if (const QString kind = fileKindProblem(st.st_mode); !kind.isEmpty())
        return failed(path + u' ' + kind);
    // The page is read a piece at a time, not mapped: another program that cuts the file during the
    // read makes a shorter page, which the reader reports, where a mapping would end the program;
    // and only the piece being read is held besides the movies.
    QFile device;
    if (!device.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered))
        return failed(device.errorString());
    return readPage(&device, piece, qsizetype(st.st_size), sink);
}

PageReadResult readPage(QIODevice *device, qsizetype piece, qsizetype expectedSize)
{
    return readPage(device, piece, expectedSize, MovieSink());
}

PageReadResult readPage(QIODevice *device, qsizetype piece, qsizetype expectedSize, const MovieSink &sink)
{
    Lines lines(
        [device](char *to, qsizetype most) {
            const qint64 n = device->read(to, most);
            if (n < 0)
                throw ReadError{ErrPastEnd, PastEndText, device->errorString()};
            return qsizetype(n);
        },
        piece);
    lines.expect(expectedSize);
    return readLines(lines, sink);
}

} // namespace cinemork
