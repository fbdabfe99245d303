#include "findcommands.h"

#include "companion.h"
#include "companiontexts.h"

#include "document/listdocument.h"
#include "find/duplicates.h"
#include "find/statistics.h"
#include "listfile/csv.h"
#include "listfile/pagefile.h"
#include "listfile/pagefiletexts.h"
#include "listfile/sizes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <optional>

namespace cinemork {

namespace {

struct ListArgs
{
    QString path;
    bool json = false;
};

// "LIST [--format csv|json]"; what is wrong with anything else.
QString listArgs(const QStringList &args, ListArgs &a)
{
    const CommandLine line = readCommandLine(args.mid(1), {QStringLiteral("--format")});
    if (QString problem = wordsProblem(line, {QStringLiteral("LIST")}); !problem.isEmpty() || !(problem = formatProblem(line)).isEmpty())
        return problem;
    a.path = line.words[0];
    a.json = line.value(QStringLiteral("--format")) == QLatin1String("json");
    return {};
}

// The list's movies in the window's order after it opens the page: sorted by title.
std::optional<QList<Movie>> readList(const QString &path, QTextStream &err)
{
    if (const QString problem = regularFileProblem(path); !problem.isEmpty()) {
        err << "cinemork-list: " << path << ": " << problem << "\n";
        return std::nullopt;
    }
    PageReadResult page = readPageFile(path);
    if (!page.ok) {
        err << CompanionTexts::notAList(path, page.errorNumber, page.errorDescription) << "\n";
        return std::nullopt;
    }
    MovieModel model;
    model.setMovies(ListDocument::rowsOfPage(std::move(page.movies)));
    model.setSorted(true);
    return model.movies();
}

QJsonObject totalsObject(const PageTotals &t)
{
    return {{QStringLiteral("movies"), qint64(t.movies)},
            {QStringLiteral("watched"), qint64(t.watched)},
            {QStringLiteral("gb"), gigabytesText(t.megabytes, u".")},
            {QStringLiteral("cds"), qint64(t.cds)}};
}

QStringList totalsFields(const PageTotals &t)
{
    return {QString::number(t.movies), QString::number(t.watched), gigabytesText(t.megabytes, u"."),
            QString::number(t.cds)};
}

// The list a command's line names, read: nothing when the line or the list is wrong (status says
// which: 2 or 1).
std::optional<QList<Movie>> listOfCommand(const QStringList &args, QTextStream &err, ListArgs &a, int &status)
{
    if (const QString problem = listArgs(args, a); !problem.isEmpty()) {
        status = usageError(err, problem);
        return std::nullopt;
    }
    status = 1;
    return readList(a.path, err);
}

} // namespace

int duplicatesCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    ListArgs a;
    int status = 0;
    const std::optional<QList<Movie>> movies = listOfCommand(args, err, a, status);
    if (!movies)
        return status;
    const Duplicates found = findDuplicates(*movies);
    if (a.json) {
        QJsonArray groups, group;
        for (size_t k = 0; k < found.rows.size(); ++k) {
            QJsonObject o;
            for (int f = 0; f < FieldCount; ++f)
                o.insert(FieldKeys[size_t(f)], (*movies)[found.rows[k]][f]);
            group.append(o);
            if (k + 1 == found.rows.size() || found.group[k + 1] != found.group[k]) {
                groups.append(group);
                group = QJsonArray();
            }
        }
        out << QJsonDocument(QJsonObject{{QStringLiteral("groups"), groups}}).toJson(QJsonDocument::Indented);
        return 0;
    }
    QStringList header{CompanionTexts::GroupColumn};
    header.append(QStringList(FieldKeys.begin(), FieldKeys.end()));
    out << csvRow(header);
    for (size_t k = 0; k < found.rows.size(); ++k) {
        const Movie &m = (*movies)[found.rows[k]];
        QStringList row{QString::number(found.group[k] + 1)};
        row.append(QStringList(m.f.begin(), m.f.end()));
        out << csvRow(row);
    }
    return 0;
}

int statsCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    ListArgs a;
    int status = 0;
    const std::optional<QList<Movie>> movies = listOfCommand(args, err, a, status);
    if (!movies)
        return status;
    const ListStatistics s = statisticsOf(*movies);
    const std::pair<const char *, const std::vector<StatisticsRow> *> tables[] = {
        {"type", &s.byType}, {"codec", &s.byCodec}, {"location", &s.byLocation}, {"resolution", &s.byResolution}};
    if (a.json) {
        QJsonObject o{{QStringLiteral("totals"), totalsObject(s.totals)}};
        for (const auto &[name, rows] : tables) {
            QJsonArray list;
            for (const StatisticsRow &row : *rows) {
                QJsonObject r = totalsObject(row.totals);
                r.insert(QStringLiteral("key"), row.key);
                list.append(r);
            }
            o.insert(QLatin1String(name), list);
        }
        out << QJsonDocument(o).toJson(QJsonDocument::Indented);
        return 0;
    }
    out << csvRow(CompanionTexts::StatsHeader);
    out << csvRow(QStringList{QStringLiteral("totals"), QString()} + totalsFields(s.totals));
    for (const auto &[name, rows] : tables)
        for (const StatisticsRow &row : *rows)
            out << csvRow(QStringList{QLatin1String(name), row.key} + totalsFields(row.totals));
    return 0;
}

} // namespace cinemork
