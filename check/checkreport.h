#pragma once

#include "checkplan.h"
#include "scan/discmovies.h"

namespace cinemork {

// A line of the report: a listed movie with its status, or a file of the disc the list does not know.
struct ReportLine
{
    QString movie;
    QString status;
    QString detail;
};

QList<ReportLine> reportLines(const CheckPlan &plan);
ReportLine reportLine(const CheckedMovie &movie);
ReportLine unlistedLine(const DiscFile &file);
// "14 movies whole, 1 unreadable, 2 missing, 3 files not in the list"
QString reportSummary(const CheckPlan &plan);
QString reportSummary(const QList<CheckedMovie> &movies, qsizetype unlisted);
// The movie, status and detail columns under a header, UTF-8 with CRLF line ends as the list's CSV.
QByteArray reportCsv(const QList<ReportLine> &lines);
// {"movies": [{"movie", "status", "detail"}...], "summary": "..."}
QByteArray reportJson(const QList<ReportLine> &lines, const QString &summary);
// True when every movie checked is whole.
bool allWhole(const QList<CheckedMovie> &movies);

// What "Update the list" changes, by the list's row: the megabytes of movies whose size differs (every
// file read, none missing), and the disc's label added to the location of movies found here but located
// elsewhere. Rows are those of list: a movie no longer at the row it had is looked for.
QList<std::pair<int, Movie>> listUpdates(const CheckPlan &plan, const QList<Movie> &list);

// The files no listed movie names, grouped as a scan groups them, for the scan's review.
QList<FoundMovie> unlistedMovies(const CheckPlan &plan);

} // namespace cinemork
