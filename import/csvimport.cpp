#include "csvimport.h"

#include "importtexts.h"
#include "listfile/csv.h"

#include <QIODevice>
#include <QStringDecoder>

namespace cinemork {

QString CsvColumns::text() const
{
    return QStringLiteral("title=%1;year=%2;location=%3;files=%4;watched=%5;imdb=%6")
        .arg(title).arg(year).arg(location).arg(files).arg(watched).arg(imdb);
}

CsvColumns CsvColumns::fromText(const QString &text)
{
    CsvColumns c;
    const std::pair<const char *, int *> keys[] = {{"title", &c.title},     {"year", &c.year},
                                                   {"location", &c.location}, {"files", &c.files},
                                                   {"watched", &c.watched}, {"imdb", &c.imdb}};
    for (const QString &pair : text.split(u';')) {
        const QString key = pair.section(u'=', 0, 0);
        bool ok = false;
        const int column = pair.section(u'=', 1).toInt(&ok);
        for (const auto &[name, field] : keys) {
            if (ok && key == QLatin1String(name))
                *field = column;
        }
    }
    return c;
}

CsvKind csvKind(const QStringList &header)
{
    auto has = [&](std::initializer_list<const char *> names) {
        return std::all_of(names.begin(), names.end(),
                           [&](const char *n) { return header.contains(QLatin1String(n)); });
    };
    if (has({"title", "size", "res", "codec", "type", "seenit", "location", "files", "imdb"}))
        return CsvKind::Cinemork;
    if (has({"Const", "Title", "Year", "URL"}))
        return CsvKind::Imdb;
    if (has({"Name", "Year", "Letterboxd URI"}))
        return CsvKind::Letterboxd;
    return CsvKind::Other;
}

CsvColumns columnsOf(CsvKind kind, const QStringList &header)
{
    CsvColumns c;
    auto at = [&](const char *name) { return int(header.indexOf(QLatin1String(name))); };
    if (kind == CsvKind::Imdb) {
        c.title = at("Title");
        c.year = at("Year");
        c.imdb = at("Const");
        c.watched = at("Your Rating"); // a film rated has been seen
    } else if (kind == CsvKind::Letterboxd) {
        c.title = at("Name");
        c.year = at("Year");
        c.imdb = at("Letterboxd URI");
    }
    return c;
}

namespace {

// RFC 4180 records a line at a time, a quoted field across lines.
class CsvRecords
{
public:
    CsvRecords(QIODevice *in, const QString &fileName)
        : m_in(in)
        , m_file(fileName)
    {
    }

    // False at the end or on an error.
    bool next(QStringList &fields)
    {
        fields.clear();
        QByteArray record;
        qint64 firstLine = m_line + 1;
        bool quoted = false;
        do {
            if (m_in->atEnd()) {
                if (quoted)
                    return fail(firstLine, ImportTexts::CsvOpenQuote);
                if (record.isEmpty())
                    return false;
                break;
            }
            QByteArray line = m_in->readLine(MaxCsvRecordBytes + 1);
            ++m_line;
            if (m_line == 1 && line.startsWith("\xEF\xBB\xBF"))
                line.remove(0, 3);
            record += line;
            if (record.size() > MaxCsvRecordBytes)
                return fail(firstLine, ImportTexts::CsvTooLong);
            quoted = record.count('"') % 2 == 1;
            if (!quoted && record.trimmed().isEmpty()) { // an empty line
                record.clear();
                firstLine = m_line + 1;
            }
        } while (quoted || record.isEmpty());
        while (record.endsWith('\n') || record.endsWith('\r'))
            record.chop(1);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8.decode(record);
        if (utf8.hasError())
            return fail(firstLine, ImportTexts::CsvNotUtf8);
        return split(text, fields, firstLine);
    }

    ImportStatus status() const { return m_status; }
    qint64 line() const { return m_line; }

private:
    bool split(const QString &text, QStringList &fields, qint64 line)
    {
        QString field;
        bool inQuotes = false, wasQuoted = false;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (inQuotes) {
                if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                    field += c, ++i;
                else if (c == u'"')
                    inQuotes = false;
                else
                    field += c;
            } else if (c == u',') {
                fields << field;
                field.clear();
                wasQuoted = false;
            } else if (c == u'"' && field.isEmpty() && !wasQuoted) {
                inQuotes = wasQuoted = true;
            } else if (wasQuoted) {
                return fail(line, ImportTexts::CsvAfterQuote);
            } else {
                field += c;
            }
        }
        fields << field;
        return true;
    }

    bool fail(qint64 line, const QString &what)
    {
        m_status = {false, m_file + QStringLiteral(": ") + ImportTexts::atLine(line, what)};
        return false;
    }

    QIODevice *m_in;
    QString m_file;
    qint64 m_line = 0;
    ImportStatus m_status;
};

} // namespace

QStringList csvHeader(QIODevice *in, const QString &fileName, QString *error)
{
    CsvRecords records(in, fileName);
    QStringList header;
    if (!records.next(header) && error)
        *error = records.status().ok ? fileName + QStringLiteral(": ") + ImportTexts::CsvNoHeader
                                     : records.status().error;
    return header;
}

ImportStatus readCsv(QIODevice *in, const QString &fileName, const CsvColumns *chosen, const MovieSink &sink,
                     ImportControl *control)
{
    CsvRecords records(in, fileName);
    QStringList header;
    if (!records.next(header))
        return records.status().ok ? ImportStatus{false, fileName + QStringLiteral(": ") + ImportTexts::CsvNoHeader}
                                   : records.status();
    const CsvKind kind = csvKind(header);
    if (kind == CsvKind::Cinemork) {
        if (!in->seek(0))
            return {false, fileName + QStringLiteral(": ") + in->errorString()};
        CsvParse parsed = moviesFromCsv(in);
        if (!parsed.ok)
            return {false, fileName + QStringLiteral(": ") + parsed.error};
        for (Movie &m : parsed.movies)
            sink(std::move(m));
        return {};
    }
    const CsvColumns columns = kind != CsvKind::Other ? columnsOf(kind, header) : chosen ? *chosen : CsvColumns{};
    if (kind == CsvKind::Other && !chosen)
        return {false, fileName + QStringLiteral(": ") + ImportTexts::atLine(1, ImportTexts::CsvUnknownHeader)};
    if (columns.title < 0 || columns.title >= header.size())
        return {false, fileName + QStringLiteral(": ") + ImportTexts::atLine(1, ImportTexts::CsvNoTitleColumn)};
    QStringList row;
    while (records.next(row)) {
        if (row.size() != header.size())
            return {false, fileName + QStringLiteral(": ")
                               + ImportTexts::atLine(records.line(), ImportTexts::csvFieldCount(row.size(), header.size()))};
        auto at = [&](int column) { return column >= 0 && column < row.size() ? row[column] : QString(); };
        ImportEntry e;
        e.title = at(columns.title);
        e.year = at(columns.year);
        e.location = at(columns.location);
        if (const QString files = at(columns.files); !files.isEmpty())
            e.files = files.split(u',', Qt::SkipEmptyParts);
        e.imdb = at(columns.imdb);
        e.seen = at(columns.watched);
        if (kind == CsvKind::Imdb && !e.seen.isEmpty())
            e.seen = ImportTexts::Seen;
        sink(movieOf(e));
        if (control) {
            ++control->read;
            if (control->cancel)
                return {false, fileName + QStringLiteral(": ") + ImportTexts::Cancelled};
        }
    }
    return records.status();
}

} // namespace cinemork
