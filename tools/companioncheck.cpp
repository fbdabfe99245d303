#include "companiontexts.h"
#include "companion.h"

#include "check/checkreport.h"
#include "check/checktexts.h"
#include "listfile/pagefile.h"
#include "listfile/pagefiletexts.h"
#include "listfile/pagereader.h"

#include <QFileInfo>
#include <QFile>

namespace cinemork {

// The report of a check of each folder against a list, as CSV (the summary on err) or JSON. Exit status
// 0 when every movie found is whole, 1 when one is not or a folder or the list cannot be read, 2 for
// usage.
int checkCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const CommandLine line = readCommandLine(args.mid(1), {QStringLiteral("--list"), QStringLiteral("--format")});
    QString problem = wordsProblem(line, {QStringLiteral("DIR")}, true);
    if (problem.isEmpty() && !line.has(QStringLiteral("--list")))
        problem = CompanionTexts::missing(QStringLiteral("--list"));
    if (problem.isEmpty())
        problem = formatProblem(line);
    if (!problem.isEmpty())
        return usageError(err, problem);
    const QStringList &folders = line.words;
    const QString list = line.value(QStringLiteral("--list")), format = line.value(QStringLiteral("--format"), QStringLiteral("csv"));
    if (const QString problem = regularFileProblem(list); !problem.isEmpty()) {
        err << "cinemork-list: " << list << ": " << problem << "\n";
        return 1;
    }
    const PageReadResult page = readPageFile(list);
    if (!page.ok) {
        err << CompanionTexts::notAList(list, page.errorNumber, page.errorDescription) << "\n";
        return 1;
    }
    int status = 0;
    QList<ReportLine> lines;
    QList<CheckedMovie> checked;
    qsizetype unlisted = 0;
    bool anyListed = false;
    for (const QString &folder : folders) {
        DiscListing disc = listDisc(folder);
        if (!disc.ok) {
            err << "cinemork-list: " << folder
                << (QFileInfo::exists(folder) ? CompanionTexts::FolderUnreadable : CompanionTexts::FolderMissing) << "\n";
            status = 1;
            continue;
        }
        for (const QString &unreadable : disc.unreadable) {
            err << "cinemork-list: " << unreadable << ": could not be read\n";
            status = 1;
        }
        anyListed = true;
        const QString label = locationOf(disc.root);
        CheckPlan plan = planCheck(std::move(disc), page.movies, label);
        for (CheckedMovie &m : plan.movies) {
            checkMovie(m, plan.disc);
            lines << reportLine(m);
        }
        for (int i : plan.unlisted)
            lines << unlistedLine(plan.disc.files[i]);
        checked << plan.movies;
        unlisted += plan.unlisted.size();
    }
    if (!anyListed)
        return status; // no folder to report on: the reasons are said
    const QString summary = reportSummary(checked, unlisted);
    if (format == QLatin1String("json")) {
        out << QString::fromUtf8(reportJson(lines, summary));
    } else {
        out << QString::fromUtf8(reportCsv(lines));
        err << "cinemork-list: " << summary << "\n";
    }
    return allWhole(checked) ? status : 1;
}

} // namespace cinemork
