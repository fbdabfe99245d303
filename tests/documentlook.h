#pragma once

#include "document/listdocument.h"

#include <QStringList>
#include <cstring>

namespace cinemork::test {

// What the user sees of a document.
struct Look
{
    QList<Movie> rows;
    QString caption, status;
    bool modified;
    bool operator==(const Look &) const = default;
};
inline Look look(const ListDocument &d)
{
    return {d.movies(), d.caption(), d.statusText(), d.isModified()};
}
inline char *toString(const Look &l)
{
    QStringList t;
    for (const Movie &m : l.rows)
        t << m[FTitle] + u'/' + m[FSize];
    return qstrdup(
        qPrintable(QStringLiteral("[%1] %2 | %3 | %4").arg(t.join(u','), l.caption, l.status).arg(l.modified)));
}

} // namespace cinemork::test
