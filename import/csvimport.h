#pragma once

#include "importentry.h"

class QIODevice;

namespace cinemork {

// Which column of a CSV file holds what; -1: none.
struct CsvColumns
{
    int title = -1, year = -1, location = -1, files = -1, watched = -1, imdb = -1;
    bool operator==(const CsvColumns &) const = default;

    // "title=0;year=2;...", as it is remembered for a header.
    QString text() const;
    static CsvColumns fromText(const QString &text);
};

enum class CsvKind { Cinemork, Imdb, Letterboxd, Other };

// What a header is: ours, the IMDb export's (Const, Title, Year, URL...), Letterboxd's (Name, Year,
// Letterboxd URI...) or another; for the exports, the columns they map.
CsvKind csvKind(const QStringList &header);
CsvColumns columnsOf(CsvKind kind, const QStringList &header);

// The header of a CSV file, or empty with the reason in error.
QStringList csvHeader(QIODevice *in, const QString &fileName, QString *error);

// Any CSV file: ours through the list's own CSV reader, the exports by their headers, any other header
// by the columns given (without them an error that names the header as unknown). UTF-8 only: other
// bytes are an error naming the line, as is a row with another number of fields than the header.
ImportStatus readCsv(QIODevice *in, const QString &fileName, const CsvColumns *columns, const MovieSink &sink,
                     ImportControl *control);

} // namespace cinemork
