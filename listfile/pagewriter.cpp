#include "pagewriter.h"

#include "pagefile.h"
#include "platform/bytetext.h"
#include "pagetext.h"
#include "pagetexts.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace cinemork {

namespace {

constexpr char CrLf[] = "\r\n";

struct ColumnPieces
{
    std::string header; // the whole header line
    std::string open;   // cell open
    std::string close;  // cell close
};

std::array<ColumnPieces, 8> prepareColumns(const PageSettings &s)
{
    QStringList widths = s.widths.split(u'|');
    const bool haveWidths = widths.size() == 8;
    std::array<ColumnPieces, 8> cols;
    for (int n = 0; n < 8; ++n) {
        ColumnPieces &c = cols[size_t(n)];
        const bool shown = n < s.columns.size() && s.columns[n] == u'1';
        if (shown) {
            const QString width = haveWidths ? widths[n] : QString();
            if (width == QLatin1String("0"))
                c.header = Page::ThShown;
            else
                c.header = std::string(Page::ThWidthOpen) + pageText(width).toStdString() + "\">";
            c.header += Page::ColumnHeaders[size_t(n)];
            c.header += Page::ThClose;
            c.open = Page::TdShown;
            c.close = Page::TdClose;
        } else {
            c.header = std::string(Page::ThHidden) + Page::ColumnHeaders[size_t(n)] + Page::ThCloseHidden;
            c.open = Page::TdHidden;
            c.close = Page::TdCloseHidden;
        }
    }
    return cols;
}

inline void line(std::string &out, const char *text)
{
    out += text;
    out += CrLf;
}

// A line of the user's style sheet. The reader finds the table by the first line that begins with
// "<TABLE": such a line gets a leading blank, which the style sheet ignores. A line break inside
// the text starts a line of its own.
void styleSheetLine(std::string &out, QByteArrayView text)
{
    constexpr QByteArrayView tableStart("<TABLE");
    for (;;) {
        qsizetype end = 0;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        const QByteArrayView piece = text.first(end);
        if (piece.startsWith(tableStart))
            out += ' ';
        out.append(piece.data(), size_t(piece.size()));
        out += CrLf;
        if (end == text.size())
            return;
        if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            ++end;
        text = text.sliced(end + 1);
    }
}

void head(std::string &out, const QString &title, const PageSettings &s)
{
    out += Page::Doctype;
    out += Page::SystemIdentifier;
    out += "\">";
    out += CrLf;
    line(out, Page::HtmlHead);
    out += Page::TitleOpen;
    appendPageText(out, title);
    out += Page::TitleClose;
    out += CrLf;
    line(out, Page::Generator);
    line(out, Page::ContentType);
    line(out, Page::StyleType);
    out += CrLf;
    line(out, Page::StyleOpen);
    if (s.cssLines) {
        for (const QByteArray &l : *s.cssLines)
            styleSheetLine(out, l);
    } else {
        for (const char *l : Page::DefaultCss)
            line(out, l);
    }
    line(out, Page::StyleClose);
    out += CrLf;
    line(out, Page::BodyOpen);
    out += CrLf;
    line(out, Page::DoNotEdit);
    out += CrLf;
    line(out, Page::TableOpen);
    line(out, Page::RowOpen);
    out += Page::TitleRowOpen;
    appendPageText(out, title);
    out += Page::TitleRowClose;
    out += CrLf;
    if (s.createIndex) {
        line(out, Page::RowClose);
        line(out, Page::RowOpen);
        line(out, Page::IndexCellOpen);
        line(out, Page::IndexNum);
        for (char c = 'a'; c <= 'z'; ++c) {
            out += "  <A HREF=\"#";
            out += c;
            out += "\">";
            out += char(c - 'a' + 'A');
            out += c == 'z' ? "</A></CENTER>" : "</A>";
            out += CrLf;
        }
        line(out, Page::IndexCellClose);
    }
    line(out, Page::RowClose);
    line(out, Page::RowOpen);
}

} // namespace

QString IndexAnchors::GetIndexAnchor(const QString &title)
{
    if (title.isEmpty())
        return {};
    const QChar c = title[0].toLower();
    const bool digit = c >= u'0' && c <= u'9';
    const bool letter = c >= u'a' && c <= u'z';
    if (!digit && !letter)
        return {};
    if (m_next == u'#') {
        if (digit) {
            m_next = u'a';
            return QStringLiteral("<A NAME=\"num\"></A>");
        }
    } else if (c < m_next) {
        return {};
    }
    m_next = QChar(c.unicode() + 1);
    return QStringLiteral("<A NAME=\"") + c + QStringLiteral("\"></A>");
}

PageTotals totalsOf(const Movie &m)
{
    return {1, m[FSeenit] == QLatin1String("yes") ? 1 : 0, megabytesOf(m[FSize]), cdsOf(m[FSize])};
}

PageTotals &operator+=(PageTotals &t, const PageTotals &more)
{
    t.movies += more.movies;
    t.watched += more.watched;
    t.megabytes += more.megabytes;
    t.cds += more.cds;
    return t;
}

PageTotals totalsOf(const QList<Movie> &movies)
{
    PageTotals t;
    for (const Movie &m : movies)
        t += totalsOf(m);
    return t;
}

qint64 pageRowBytesAtLeast(const Movie &m)
{
    constexpr auto length = [](const char *text) { return qint64(std::char_traits<char>::length(text)); };
    constexpr qint64 crLf = 2;
    constexpr qint64 cell = std::min(length(Page::TdShown) + length(Page::TdClose),
                                     length(Page::TdHidden) + length(Page::TdCloseHidden))
        + 1 + crLf; // ">" and the line's end
    constexpr qint64 markup = crLf + length(Page::RowOpen) + crLf + 8 * cell + length(Page::RowClose) + crLf;
    qint64 n = markup;
    for (const QString &text : m.f)
        n += text.size();
    return n;
}

QByteArrayList splitLines(const QByteArray &data)
{
    QByteArrayList lines;
    qsizetype start = 0;
    const qsizetype n = data.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (data[i] == '\r' || data[i] == '\n') {
            lines << data.mid(start, i - start);
            if (data[i] == '\r' && i + 1 < n && data[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines << data.mid(start);
    return lines;
}

std::optional<QByteArrayList> readStyleSheet(const QString &path)
{
    return readStyleSheetFile(path).lines;
}

StyleSheetFile readStyleSheetFile(const QString &path)
{
    StyleSheetFile r;
    const int fd = ::open(encodeBytes(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        r.problem = QString::fromLocal8Bit(std::strerror(errno));
        return r;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        r.problem = QString::fromLocal8Bit(std::strerror(errno));
    } else if (r.problem = fileKindProblem(st.st_mode); r.problem.isEmpty()) {
        QFile file;
        if (file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
            const QByteArray data = file.readAll();
            if (file.error() == QFileDevice::NoError)
                r.lines = splitLines(data);
            else
                r.problem = file.errorString();
        } else {
            r.problem = file.errorString();
        }
    }
    ::close(fd);
    return r;
}

bool PageWriter::write(QIODevice *out, const QString &title, const QList<Movie> &movies, const PageSettings &settings,
                       const QString &decimalPoint, const Progress &progress)
{
    const auto cols = prepareColumns(settings);
    IndexAnchors anchors;
    std::string buf;
    buf.reserve((1 << 20) + 64 * 1024);
    bool ok = true;
    auto flush = [&] {
        if (ok && !buf.empty())
            ok = out->write(buf.data(), qint64(buf.size())) == qint64(buf.size());
        buf.clear(); // keeps its room for the next rows
    };

    head(buf, title, settings);
    for (const auto &c : cols) {
        buf += c.header;
        buf += CrLf;
    }
    line(buf, Page::RowClose);

    const qsizetype count = movies.size();
    const int step = progressStep(count);
    for (qsizetype i = 0; i < count; ++i) {
        const Movie &m = movies[i];
        buf += CrLf;
        line(buf, Page::RowOpen);
        // Title, a link to the film database page when there is one.
        buf += cols[0].open;
        buf += '>';
        if (settings.createIndex)
            buf += anchors.GetIndexAnchor(m[FTitle]).toStdString();
        if (!m[FImdb].isEmpty()) {
            buf += "<A HREF=\"";
            appendPageText(buf, m[FImdb]);
            buf += "\">";
            appendPageText(buf, m[FTitle]);
            buf += "</A>";
        } else {
            appendPageText(buf, m[FTitle]);
        }
        buf += cols[0].close;
        buf += CrLf;
        for (int n = 1; n < 8; ++n) {
            buf += cols[size_t(n)].open;
            buf += Page::Centred[size_t(n)] ? Page::AlignCentre : ">";
            if (n == FSeenit && m[FSeenit].isEmpty())
                buf += "no";
            else
                appendPageText(buf, m[n]);
            buf += cols[size_t(n)].close;
            buf += CrLf;
        }
        line(buf, Page::RowClose);

        if (buf.size() >= (1 << 20)) // hand the device large pieces
            flush();
        if ((i + 1) % step == 0) {
            if (progress)
                progress(int(float(i + 1) / float(count) * 100.0f));
        }
    }

    line(buf, Page::TableClose);
    line(buf, Page::FooterOpen);
    appendPageText(buf, title);
    buf += ":<BR>";
    const PageTotals totals = totalsOf(movies);
    buf += std::to_string(totals.movies) + " movies, " + std::to_string(totals.watched) + " watched, ";
    appendPageText(buf, gigabytesText(totals.megabytes, decimalPoint));
    buf += " GB total<BR><BR>";
    buf += CrLf;
    line(buf, Page::CreatedBy);
    buf += Page::CompliantOpen;
    buf += Page::StandardsHome;
    buf += Page::CompliantClose;
    buf += CrLf;
    if (Page::HomeAddress[0]) {
        buf += Page::DownloadOpen;
        appendPageText(buf, QString::fromUtf8(Page::HomeAddress));
        buf += Page::DownloadClose;
    } else {
        buf += Page::DownloadWithoutAddress;
    }
    buf += CrLf;
    line(buf, Page::DownloadText);
    line(buf, Page::PageClose);
    flush();
    return ok;
}

QByteArray PageWriter::page(const QString &title, const QList<Movie> &movies, const PageSettings &settings,
                            const QString &decimalPoint)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    write(&buffer, title, movies, settings, decimalPoint);
    return data;
}

} // namespace cinemork
