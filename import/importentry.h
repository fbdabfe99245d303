#pragma once

#include "listfile/movie.h"

#include <QStringList>
#include <atomic>
#include <functional>

namespace cinemork {

// What a reader takes from one entry of another program's collection: only the fields that map,
// as the format gives them. movieOf() turns it into a row by one set of rules for every format.
struct ImportEntry
{
    QString title;
    QString year;      // any text holding a four-digit year ("1979", "12/05/1979")
    QString imdb;      // an IMDb id, a number or an address; other addresses are kept as the link
    QString seen;      // "1", "true", "yes", "seen" or a play count above 0: watched; empty: unknown
    QString medium;    // the type, matched to the type list
    QString codec;
    QString location;
    QStringList files; // names or paths; only the names are kept
    qint64 bytes = -1; // -1: unknown
    int cds = 0;       // 0: unknown
    int width = 0, height = 0;
};

Movie movieOf(const ImportEntry &entry);

// The parts of the mapping, for the readers that need one alone.
QString titleWithYear(const QString &title, const QString &year);
QString fileNameOf(const QString &path); // after the last '/' or '\'

// Shared with a reader on another thread: a cancel ends it at its next entry; read counts entries.
struct ImportControl
{
    std::atomic<bool> cancel{false};
    std::atomic<qint64> read{0};
};

// Every reader hands its movies, in file order, to a sink.
using MovieSink = std::function<void(Movie &&)>;

struct ImportStatus
{
    bool ok = true;
    QString error; // "FILE: where: what"
};

} // namespace cinemork
