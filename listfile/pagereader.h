#pragma once

#include "movie.h"
#include "sizes.h"

#include <QByteArray>
#include <QIODevice>
#include <functional>

namespace cinemork {

struct PageReadResult
{
    bool ok = false;
    int errorNumber = 0;
    QString errorDescription;
    QString title;
    QList<Movie> movies; // in file order
    bool sevenColumns = false;
};

// Reads a list page by its line positions: the title on the third line, the table from the first line
// that begins with "<TABLE", then a fixed number of lines for the head and for every movie.
// Lines end at CR LF, CR or LF.
PageReadResult readPage(QByteArrayView data);

// Takes each movie as soon as it is read, in place of the result's list.
using MovieSink = std::function<void(Movie &&movie)>;

// Reads the page from a device a piece of the given size at a time, holding no more of it than a
// movie's lines; expectedSize (the file's size, when known) only sizes the list in advance.
PageReadResult readPage(QIODevice *device, qsizetype piece = 1 << 20, qsizetype expectedSize = 0);
// The same, each movie handed to sink instead of kept (the result's movies stay empty).
PageReadResult readPage(QIODevice *device, qsizetype piece, qsizetype expectedSize, const MovieSink &sink);

// Reads the file at path a piece of the given size at a time; a file that cannot be read gives the
// error of a page that ends at once.
PageReadResult readPageFile(const QString &path, qsizetype piece = 1 << 20);

// As readPageFile, but hands each movie to sink as soon as it is read instead of keeping it (the result's
// movies stay empty), so a list of any size passes through in the memory of one movie. When the read
// fails, the movies before the fault have been handed over already.
PageReadResult readPageFile(const QString &path, const MovieSink &sink, qsizetype piece = 1 << 20);

} // namespace cinemork
