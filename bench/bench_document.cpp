// Times the list commands on 100,000 movies: a header click, a delete and its undo, and what the
// undo stack holds after 1,000 edits. Run: build/bin/bench_document

#include "document/listdocument.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <malloc.h>

using namespace cinemork;

namespace {

QList<Movie> makeMovies(int n)
{
    QList<Movie> movies;
    movies.reserve(n);
    for (int i = 0; i < n; ++i) {
        Movie m;
        m[FTitle] = QStringLiteral("Movie number %1 & friends").arg((i * 7919) % n);
        m[FSize] = QStringLiteral("%1\\%2").arg(600 + i % 800).arg(1 + i % 3);
        m[FRes] = QStringLiteral("640x272");
        m[FType] = QStringLiteral("DVD Rip");
        m[FSeenit] = QStringLiteral("no");
        m[FLocation] = QStringLiteral("Box %1").arg(i / 50);
        m[FFiles] = QStringLiteral("movie%1-cd1.avi, movie%1-cd2.avi").arg(i);
        movies << m;
    }
    return movies;
}

double milliseconds(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    ListDocument doc;
    doc.model()->setMovies(makeMovies(100000));
    QElapsedTimer t;

    double worstClick = 0;
    for (int column : {1, 2, 2, 7, 1}) {
        t.start();
        doc.model()->headerClicked(column);
        worstClick = std::max(worstClick, milliseconds(t));
    }
    std::printf("100000 movies: slowest of 5 header clicks %.1f ms\n", worstClick);

    double worstUndo = 0;
    for (int row : {0, 50000, 99998}) {
        doc.deleteMovie(row);
        t.start();
        doc.undo();
        worstUndo = std::max(worstUndo, milliseconds(t));
    }
    std::printf("undo of a delete: slowest of 3 %.2f ms\n", worstUndo);

    const size_t before = mallinfo2().uordblks;
    t.start();
    for (int i = 0; i < 1000; ++i) {
        Movie m = doc.movies()[i * 97];
        m[FLocation] = QStringLiteral("Shelf %1").arg(i);
        doc.editMovie(i * 97, m);
    }
    const double editing = milliseconds(t);
    std::printf("1000 edits: %.0f ms; the undo stack holds %zu commands in %.2f MB\n", editing,
                size_t(doc.undoStack()->count()), (mallinfo2().uordblks - before) / 1048576.0);
    return 0;
}
