#include "csv.h"

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

QList<QStringList> parseCsv(const QString &text, QString *error)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    const qsizetype n = text.size();
    qsizetype i = text.startsWith(QChar(0xFEFF)) ? 1 : 0;
    auto endField = [&] {
        row << field;
        field.clear();
        fieldStarted = false;
    };
    auto endRow = [&] {
        endField();
        rows << row;
        row.clear();
    };
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < n && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == u'"' && !fieldStarted && field.isEmpty()) {
            quoted = true;
            fieldStarted = true;
        } else if (c == u',') {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            endRow();
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted) {
        if (error)
            *error = QStringLiteral("unterminated quoted field");
        return {};
    }
    if (fieldStarted || !field.isEmpty() || !row.isEmpty())
        endRow();
    return rows;
}

CsvParse moviesFromCsv(const QString &text)
{
    CsvParse r;
    QList<QStringList> rows = parseCsv(text, &r.error);
    if (!r.error.isEmpty())
        return r;
    if (rows.isEmpty()) {
        r.error = QStringLiteral("no header row");
        return r;
    }
    const QStringList header = rows.takeFirst();
    int columnOf[FieldCount];
    for (int f = 0; f < FieldCount; ++f) {
        columnOf[f] = int(header.indexOf(FieldKeys[size_t(f)]));
        if (columnOf[f] < 0) {
            r.error = QStringLiteral("the header row lacks the column ") + FieldKeys[size_t(f)];
            return r;
        }
    }
    for (const QStringList &row : rows) {
        if (row.size() == 1 && row[0].isEmpty())
            continue; // a blank line
        Movie m;
        for (int f = 0; f < FieldCount; ++f)
            m[f] = row.value(columnOf[f]);
        m.icon = iconForTypeText(m[FType]);
        r.movies << m;
    }
    r.ok = true;
    return r;
}

} // namespace cinemork
