#include "checkreport.h"

#include "checktexts.h"
#include "listfile/csv.h"
#include "listfile/sizes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

namespace cinemork {

ReportLine reportLine(const CheckedMovie &movie)
{
    return {movie.movie[FTitle], statusText(movie.status), movie.detail};
}

ReportLine unlistedLine(const DiscFile &file)
{
    return {file.name, CheckTexts::NotInList, CheckTexts::unlistedDetail(file.path, file.bytes)};
}

QList<ReportLine> reportLines(const CheckPlan &plan)
{
    QList<ReportLine> lines;
    for (const CheckedMovie &m : plan.movies)
        lines << reportLine(m);
    for (int i : plan.unlisted)
        lines << unlistedLine(plan.disc.files[i]);
    return lines;
}

QString reportSummary(const QList<CheckedMovie> &movies, qsizetype unlisted)
{
    qsizetype counts[5] = {};
    for (const CheckedMovie &m : movies)
        ++counts[m.status];
    return CheckTexts::summary(counts[CheckedMovie::Whole], counts[CheckedMovie::Unreadable],
                               counts[CheckedMovie::Missing], counts[CheckedMovie::SizeDiffers], unlisted);
}

QString reportSummary(const CheckPlan &plan)
{
    return reportSummary(plan.movies, plan.unlisted.size());
}

QByteArray reportCsv(const QList<ReportLine> &lines)
{
    QString text = csvRow(CheckTexts::CsvHeader);
    for (const ReportLine &l : lines)
        text += csvRow({l.movie, l.status, l.detail});
    return text.toUtf8();
}

QByteArray reportJson(const QList<ReportLine> &lines, const QString &summary)
{
    QJsonArray movies;
    for (const ReportLine &l : lines) {
        movies.append(QJsonObject{{CheckTexts::CsvHeader[0], l.movie},
                                  {CheckTexts::CsvHeader[1], l.status},
                                  {CheckTexts::CsvHeader[2], l.detail}});
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("movies"), movies}, {QStringLiteral("summary"), summary}})
        .toJson(QJsonDocument::Indented);
}

bool allWhole(const QList<CheckedMovie> &movies)
{
    return std::all_of(movies.begin(), movies.end(),
                       [](const CheckedMovie &m) { return m.status == CheckedMovie::Whole; });
}

QList<std::pair<int, Movie>> listUpdates(const CheckPlan &plan, const QList<Movie> &list)
{
    QList<std::pair<int, Movie>> updates;
    for (const CheckedMovie &m : plan.movies) {
        if (m.status == CheckedMovie::Pending || !m.foundHere())
            continue;
        Movie changed = m.movie;
        if (m.status == CheckedMovie::SizeDiffers) {
            const QString &size = m.movie[FSize];
            const qsizetype slash = size.indexOf(u'\\');
            changed[FSize] = QString::number(m.foundMegabytes) + (slash < 0 ? QStringLiteral("\\1") : size.mid(slash));
        }
        if (!m.locatedHere && !plan.label.trimmed().isEmpty()) {
            const QString &location = m.movie[FLocation];
            changed[FLocation] =
                location.trimmed().isEmpty() ? plan.label : location + QStringLiteral(", ") + plan.label;
        }
        int row = m.row;
        if (row >= list.size() || !(list[row] == m.movie))
            row = int(list.indexOf(m.movie)); // movies added meanwhile moved it
        if (row >= 0 && !(changed == m.movie))
            updates << std::pair{row, changed};
    }
    return updates;
}

QList<FoundMovie> unlistedMovies(const CheckPlan &plan)
{
    QMap<QString, ScanFolder> folders;
    for (int i : plan.unlisted) {
        const DiscFile &f = plan.disc.files[i];
        ScanFolder &folder = folders[f.folder];
        folder.path = f.folder;
        folder.name = f.folder.section(u'/', -1);
        folder.files << ScanFile{f.path, f.name, quint64(f.bytes), {}, f.raw};
    }
    WalkResult walk;
    walk.ok = true;
    walk.root = plan.disc.root;
    walk.folders = folders.values();
    return groupMovies(walk, plan.label);
}

} // namespace cinemork
