#include "csv.h"

#include "pagewriter.h"
#include "sizes.h"

#include <QBuffer>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <functional>
#include <utility>

namespace cinemork {

QString csvRow(const QStringList &fields)
{
    QString out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i)
            out += u',';
        const QString &f = fields[i];
        if (f.contains(u',') || f.contains(u'"') || f.contains(u'\r') || f.contains(u'\n')) {
            QString q = f;
            q.replace(u'"', QLatin1String("\"\""));
            out += u'"' + q + u'"';
        } else {
            out += f;
        }
    }
    return out + QLatin1String("\r\n");
}

QString moviesToCsv(const QList<Movie> &movies)
{
    QString out = csvRow(QStringList(FieldKeys.begin(), FieldKeys.end()));
    for (const Movie &m : movies)
        out += csvRow(QStringList(m.f.begin(), m.f.end()));
    return out;
}

namespace {

QString atLine(qint64 line, const QString &what)
{
    return QStringLiteral("line ") + QString::number(line) + QStringLiteral(": ") + what;
}

// Splits bytes into records of fields. The separators are ASCII, which UTF-8 never uses inside
// a character, so the fields are cut as bytes and decoded whole. Lines end at CR LF, CR or LF.
class RecordSplitter
{
public:
    // Called with every record and the line it begins on; returns false with error set to stop.
    using Sink = std::function<bool(const QByteArrayList &fields, qint64 line, QString &error)>;
    explicit RecordSplitter(Sink sink)
        : m_sink(std::move(sink))
    {}

    bool feed(QByteArrayView data)
    {
        if (m_atStart) {
            // a byte order mark may be cut over pieces: keep what could still be one
            m_bom.append(data);
            if (m_bom.size() < 3 && QByteArrayView("\xEF\xBB\xBF").startsWith(m_bom))
                return true;
            m_atStart = false;
            const QByteArray held = std::exchange(m_bom, {});
            return feedBytes(QByteArrayView(held).sliced(held.startsWith("\xEF\xBB\xBF") ? 3 : 0));
        }
        return feedBytes(data);
    }

    bool finish()
    {
        if (m_atStart) {
            m_atStart = false;
            if (!feedBytes(std::exchange(m_bom, {})))
                return false;
        }
        if (m_state == Quoted)
            return fail(atLine(m_fieldLine, QStringLiteral("a quoted field that never ends")));
        return !m_inRecord || endRecord();
    }

    const QString &error() const { return m_error; }

private:
    enum State { FieldStart, Unquoted, Quoted, QuoteInQuoted };

    bool fail(const QString &error)
    {
        m_error = error;
        return false;
    }

    void startRecord()
    {
        if (!m_inRecord) {
            m_inRecord = true;
            m_recordLine = m_line;
            m_recordBytes = 0;
        }
    }

    void endField()
    {
        m_fields << m_field;
        m_field.clear();
        m_state = FieldStart;
    }

    bool endRecord()
    {
        endField();
        m_inRecord = false;
        const bool ok = m_sink(m_fields, m_recordLine, m_error);
        m_fields.clear();
        return ok;
    }

    // A line break; the LF of a CR LF pair is the same break.
    void countBreak(char c)
    {
        if (c == '\r' || !m_afterCr)
            ++m_line;
        m_afterCr = c == '\r';
    }

    bool feedBytes(QByteArrayView data)
    {
        const char *p = data.data(), *end = p + data.size();
        while (p < end) {
            const char c = *p;
            if (m_afterCr && c == '\n' && m_state != Quoted) {
                m_afterCr = false; // the rest of the break that ended the record
                ++p;
                continue;
            }
            if (c == '\r' || c == '\n') {
                countBreak(c);
                if (m_state == Quoted) {
                    if (!take(p, 1))
                        return false;
                    ++p;
                    continue;
                }
                ++p;
                if (m_inRecord && !endRecord())
                    return false;
                m_state = FieldStart;
                continue;
            }
            m_afterCr = false;
            startRecord();
            switch (m_state) {
            case FieldStart:
                if (c == '"') {
                    m_state = Quoted;
                    m_fieldLine = m_line;
                    if (!take(p, 0, 1))
                        return false;
                    ++p;
                    continue;
                }
                m_state = Unquoted;
                [[fallthrough]];
            case Unquoted: {
                if (c == ',') {
                    endField();
                    if (!take(p, 0, 1))
                        return false;
                    ++p;
                    continue;
                }
                const char *q = p;
                while (q < end && *q != ',' && *q != '\r' && *q != '\n')
                    ++q;
                if (!take(p, q - p))
                    return false;
                p = q;
                continue;
            }
            case Quoted: {
                if (c == '"') {
                    m_state = QuoteInQuoted;
                    if (!take(p, 0, 1))
                        return false;
                    ++p;
                    continue;
                }
                const char *q = p;
                while (q < end && *q != '"' && *q != '\r' && *q != '\n')
                    ++q;
                if (!take(p, q - p))
                    return false;
                p = q;
                continue;
            }
            case QuoteInQuoted:
                if (c == '"') {
                    m_state = Quoted;
                    if (!take(p, 1))
                        return false;
                } else if (c == ',') {
                    endField();
                    if (!take(p, 0, 1))
                        return false;
                } else {
                    return fail(atLine(m_line, QStringLiteral("text after the closing quote of a field")));
                }
                ++p;
                continue;
            }
        }
        return true;
    }

    // Adds count bytes at p to the field; uncounted bytes (quotes, commas) count towards the record's size too.
    bool take(const char *p, qsizetype count, qsizetype uncounted = 0)
    {
        m_recordBytes += count + uncounted;
        if (m_recordBytes > MaxCsvRecordBytes)
            return fail(
                atLine(m_recordLine, QStringLiteral("a record larger than %1 MB").arg(MaxCsvRecordBytes >> 20)));
        m_field.append(p, count);
        return true;
    }

    Sink m_sink;
    State m_state = FieldStart;
    QByteArray m_field;
    QByteArrayList m_fields;
    QByteArray m_bom;
    bool m_atStart = true;
    bool m_inRecord = false;
    bool m_afterCr = false;
    qint64 m_line = 1;
    qint64 m_recordLine = 1;
    qint64 m_fieldLine = 1;
    qsizetype m_recordBytes = 0;
    QString m_error;
};

} // namespace

CsvParse moviesFromCsv(QIODevice *in, qint64 maxPageBytes)
{
    CsvParse r;
    qint64 pageBytes = 0;
    QStringList header;
    std::array<qsizetype, FieldCount> columnOf{};
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QStringList fields;
    RecordSplitter splitter([&](const QByteArrayList &bytes, qint64 line, QString &error) {
        fields.clear();
        for (const QByteArray &b : bytes) {
            fields << decoder.decode(b);
            if (decoder.hasError()) {
                error = atLine(line, QStringLiteral("the text is not valid UTF-8"));
                return false;
            }
        }
        if (header.isEmpty()) {
            header = fields;
            for (int f = 0; f < FieldCount; ++f) {
                columnOf[size_t(f)] = header.indexOf(FieldKeys[size_t(f)]);
                if (columnOf[size_t(f)] < 0) {
                    error = QStringLiteral("the header row lacks the column ") + FieldKeys[size_t(f)];
                    return false;
                }
                // Either of two columns could be meant: neither is taken.
                if (header.indexOf(FieldKeys[size_t(f)], columnOf[size_t(f)] + 1) >= 0) {
                    error = QStringLiteral("the header row names the column ") + FieldKeys[size_t(f)]
                        + QStringLiteral(" twice");
                    return false;
                }
            }
            return true;
        }
        if (fields.size() != header.size()) {
            error =
                atLine(line, QStringLiteral("%1 fields where the header has %2").arg(fields.size()).arg(header.size()));
            return false;
        }
        Movie m;
        for (int f = 0; f < FieldCount; ++f)
            m[f] = fields[columnOf[size_t(f)]];
        m.icon = iconForTypeText(m[FType]);
        pageBytes += pageRowBytesAtLeast(m);
        if (pageBytes > maxPageBytes) {
            error = atLine(line, QStringLiteral("the movies up to here would make a list page larger than %1 MB")
                                     .arg(maxPageBytes >> 20));
            return false;
        }
        r.movies << m;
        r.lines << line;
        return true;
    });

    // Read in pieces: a record is bounded, the input as a whole need not fit in memory at once.
    QByteArray piece(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in->read(piece.data(), piece.size());
        if (n < 0) {
            r.error = QStringLiteral("the input could not be read: ") + in->errorString();
            r.movies.clear();
            r.lines.clear();
            return r;
        }
        if (n == 0) {
            if (in->waitForReadyRead(-1))
                continue;
            break;
        }
        if (!splitter.feed(QByteArrayView(piece.constData(), n))) {
            r.error = splitter.error();
            r.movies.clear();
            r.lines.clear();
            return r;
        }
    }
    if (!splitter.finish()) {
        r.error = splitter.error();
        r.movies.clear();
        r.lines.clear();
        return r;
    }
    if (header.isEmpty()) {
        r.error = QStringLiteral("no header row");
        return r;
    }
    r.ok = true;
    return r;
}

QList<qint64> uncountedLines(const CsvParse &parsed)
{
    const auto digits = [](QStringView t) {
        return std::all_of(t.begin(), t.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    QList<qint64> lines;
    for (qsizetype i = 0; i < parsed.movies.size(); ++i) {
        const Movie &m = parsed.movies[i];
        const QStringView size = m[FSize];
        const qsizetype slash = size.indexOf(u'\\');
        // Both numbers digits, and no larger than the totals count: megabytes within 64 bits, CDs as cdsOf reads them.
        bool megabytesFit = slash <= 0;
        if (slash > 0)
            (void)size.left(slash).toULongLong(&megabytesFit);
        const bool sizeCounts = size.isEmpty()
            || (slash >= 0 && digits(size.left(slash)) && megabytesFit && digits(size.sliced(slash + 1))
                && size.size() - slash - 1 <= CdDigitsCounted);
        const bool watchedCounts = m[FSeenit] == QLatin1String("yes") || m[FSeenit] == QLatin1String("no");
        if (!sizeCounts || !watchedCounts)
            lines << parsed.lines.value(i);
    }
    return lines;
}

CsvParse moviesFromCsv(const QString &text)
{
    QByteArray data = text.toUtf8();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return moviesFromCsv(&buffer);
}

} // namespace cinemork
