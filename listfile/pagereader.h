#pragma once

#include "movie.h"
#include "sizes.h"

#include <QByteArray>
#include <QIODevice>

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

// Reads the page from a device a piece of the given size at a time, holding no more of it than a
// movie's lines; expectedSize (the file's size, when known) only sizes the list in advance.
PageReadResult readPage(QIODevice *device, qsizetype piece = 1 << 20, qsizetype expectedSize = 0);

// Reads the file at path a piece of the given size at a time; a file that cannot be read gives the
// error of a page that ends at once.
PageReadResult readPageFile(const QString &path, qsizetype piece = 1 << 20);

} // namespace cinemork
