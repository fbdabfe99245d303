#pragma once

#include "movie.h"

#include <QIODevice>
#include <QString>
#include <QStringList>

namespace cinemork {

// RFC 4180 text: fields with a comma, a double quote, CR or LF are quoted, quotes doubled; rows end in CR LF.
QString csvRow(const QStringList &fields);
QString moviesToCsv(const QList<Movie> &movies);

struct CsvParse
{
    bool ok = false;
    QString error; // names the line where the input went wrong
    QList<Movie> movies;
    QList<qint64> lines; // the line each movie starts on
};

// The lines of movies the list cannot count as they are: a size that is neither empty nor megabytes
// and CDs in digits ("700\\1"), or a watched mark other than "yes" or "no".
QList<qint64> uncountedLines(const CsvParse &parsed);

// The longest record the reader takes, in bytes: input without end is an error, not a program without memory.
inline constexpr qsizetype MaxCsvRecordBytes = 64 << 20;
// The largest page the movies read may make: input without end stops here, not when memory runs out.
inline constexpr qint64 MaxPageBytes = qint64(2) << 30;

// Reads UTF-8 rows under the header "title,size,res,codec,type,seenit,location,files,imdb" (in any column
// order), a piece at a time. Nothing is changed silently: text that is not UTF-8, a row with more or fewer
// fields than the header, a quote that never closes or text after a closing quote are errors; empty lines
// are skipped. A UTF-8 byte order mark before the header is skipped. A header that names a column twice is an
// error, and so is the row whose movie would take the page past maxPageBytes.
CsvParse moviesFromCsv(QIODevice *in, qint64 maxPageBytes = MaxPageBytes);
CsvParse moviesFromCsv(const QString &text);

} // namespace cinemork
