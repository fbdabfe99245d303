#pragma once

#include "movie.h"

#include <QString>
#include <QStringList>

namespace cinemork {

// RFC 4180 text: fields with a comma, a double quote, CR or LF are quoted, quotes doubled; rows end in CR LF.
QString csvRow(const QStringList &fields);
QString moviesToCsv(const QList<Movie> &movies);

struct CsvParse
{
    bool ok = false;
    QString error;
    QList<Movie> movies;
};
// Reads rows under the header "title,size,res,codec,type,seenit,location,files,imdb" (in any column order).
CsvParse moviesFromCsv(const QString &text);

QList<QStringList> parseCsv(const QString &text, QString *error);

} // namespace cinemork
