#include "pagereader.h"

#include "pagetext.h"
#include "pagetexts.h"

#include <QFile>

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
        const qsizetype start = m_pos;
        const qsizetype n = m_data.size();
        qsizetype i = start;
        while (i < n && m_data[i] != '\r' && m_data[i] != '\n')
            ++i;
        const QByteArrayView line = m_data.sliced(start, i - start);
        if (i < n && m_data[i] == '\r' && i + 1 < n && m_data[i + 1] == '\n')
            ++i;
        m_pos = i + 1;
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

qsizetype indexOf(QByteArrayView hay, QByteArrayView needle, qsizetype from = 0)
{
    return QByteArrayView(hay).indexOf(needle, from);
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
    const bool hasAnchor = cell.contains("<A NAME=");
    if (cell.contains("<A HREF")) {
        if (hasAnchor) {
            const qsizetype pair = indexOf(cell, closing);
            if (pair < 0)
                throw ReadError{ErrInvalidCall, InvalidCallText};
            cell = after(cell, pair + 2 + 4);
        }
        const qsizetype quote = cell.indexOf('"');
        const qsizetype pair = indexOf(cell, closing);
        if (quote < 0 || pair < 0 || pair < quote)
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
        if (last.contains(Page::IndexMarker)) {
            last = lines.skip(40);
        } else {
            last = lines.skip(5);
            if (last.contains(Page::WatchedMarker)) {
                last = lines.skip(4);
            } else {
                r.sevenColumns = true;
                last = lines.skip(3);
            }
        }
        if (last != QByteArrayView(Page::TableClose)) {
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
                    m[c] = decodePageText(cellValue(cells[c]));
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
    const QByteArray data = f.readAll();
    return readPage(data);
}

} // namespace cinemork
