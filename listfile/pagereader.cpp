#include "pagereader.h"

#include "pagetext.h"
#include "pagetexts.h"

#include <QFile>

#include <algorithm>
#include <cstring>
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

class Lines
{
public:
    explicit Lines(QByteArrayView d) : m_data(d) {}
    bool atEnd() const { return m_pos >= m_data.size(); }
    QByteArrayView next()
    {
        if (atEnd())
            throw ReadError{ErrPastEnd, PastEndText};
        // A line ends at CR LF, CR or LF. Lines are short: a plain loop beats a library search.
        const char *begin = m_data.data();
        const char *p = begin + m_pos, *end = begin + m_data.size();
        const char *start = p;
        while (p < end && *p != '\r' && *p != '\n')
            ++p;
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
    qsizetype count = 0;
    const char *p = data.data(), *end = p + data.size();
    while ((p = static_cast<const char *>(memchr(p, c, size_t(end - p))))) {
        ++count;
        ++p;
    }
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

        while (!lines.next().startsWith("<TABLE")) {
        }
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
                lines.next(); // " </TR>"
                const QByteArrayView following = lines.next();

                Movie m;
                titleCell(cells[0], m[FTitle], m[FImdb]);
                for (int c = 1; c < 8; ++c)
                    m[c] = c == FFiles ? decodePageText(cellValue(cells[c])) : interner.text(c, cellValue(cells[c]));
                m.icon = iconForTypeText(m[FType]);
                r.megabytes += megabytesOf(m[FSize]);
                r.movies.append(std::move(m));
                if (!following.isEmpty() || lines.atEnd())
                    break;
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
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        PageReadResult r;
        r.errorNumber = ErrPastEnd;
        r.errorDescription = f.errorString();
        return r;
    }
    // Mapping the page spares a copy of a large file; a file that cannot be mapped is read.
    const qint64 size = f.size();
    if (size > 0) {
        if (const uchar *mapped = f.map(0, size)) {
            PageReadResult r = readPage(QByteArrayView(reinterpret_cast<const char *>(mapped), size));
            f.unmap(const_cast<uchar *>(mapped));
            return r;
        }
    }
    const QByteArray data = f.readAll();
    return readPage(data);
}

} // namespace cinemork
