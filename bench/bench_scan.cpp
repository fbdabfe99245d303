// Times the walk, grouping and .nfo reading of a tree of 10,000 files in 1,000 folders against
// `find DIR -type f | wc -l` and a plain QDirIterator walk of the same tree (goal: at most twice find's
// time), then the same for 100,000 files in 10,000 folders with an .nfo in every folder (goal: 1.5 s,
// 150 MB at the peak), then runs the window's scan on the small tree (walk, grouping and one probe
// child for every video file) and reports the longest the event loop waited and how long Cancel takes.
// Run: QT_QPA_PLATFORM=offscreen build/bin/bench_scan [DIR]

#include "commands/listcommands.h"
#include "main/discscan.h"
#include "scan/discmovies.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

using namespace cinemork;

namespace {

// Folders of ten files: a scene release in two parts with its .nfo (text with the film's address),
// a lone movie, and six files that are no movie.
void makeTree(const QString &root, int folders)
{
    const char *others[] = {"cover.jpg", "subs.srt", "readme.txt", "sample.txt", "x.sfv", "y.md5"};
    for (int d = 0; d < folders; ++d) {
        const QString folder = root + QStringLiteral("/shelf%1/Film.%2.1999.DVDRip.XviD-GRP").arg(d / 50).arg(d);
        QDir().mkpath(folder);
        QStringList names{QStringLiteral("Film.%1.1999.DVDRip.XviD-GRP.CD1.avi").arg(d),
                          QStringLiteral("Film.%1.1999.DVDRip.XviD-GRP.CD2.avi").arg(d),
                          QStringLiteral("Other %1 (2001).mkv").arg(d)};
        for (const char *o : others)
            names << QString::fromLatin1(o);
        for (const QString &name : names) {
            QFile f(folder + u'/' + name);
            if (!f.open(QIODevice::WriteOnly))
                qFatal("cannot write %s", qPrintable(f.fileName()));
        }
        QFile nfo(folder + QStringLiteral("/Film.%1.1999.DVDRip.XviD-GRP.nfo").arg(d));
        if (!nfo.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(nfo.fileName()));
        nfo.write(QByteArray(2000, ' ') + "\xBA http://www.imdb.com/title/tt0113277/ \xBA\r\n" + QByteArray(2000, '\xCD'));
    }
}

// `find DIR -type f | wc -l`, as the shell runs it.
double findTime(const QString &dir, qint64 &files)
{
    QProcess find;
    QElapsedTimer t;
    t.start();
    find.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("find \"$1\" -type f | wc -l"), QStringLiteral("sh"), dir});
    find.waitForFinished(-1);
    const double ms = t.nsecsElapsed() / 1e6;
    files = find.readAllStandardOutput().trimmed().toLongLong();
    return ms;
}

qsizetype imdbLinks(const QList<FoundMovie> &movies)
{
    return std::count_if(movies.begin(), movies.end(), [](const FoundMovie &m) { return !m.imdb.isEmpty(); });
}

double best(const std::function<void()> &f)
{
    double fastest = 1e9;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        fastest = std::min(fastest, t.nsecsElapsed() / 1e6);
    }
    return fastest;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // bench_scan DIR: only the walk, grouping and .nfo reading of that tree, 50 times, for a profiler.
    if (argc > 1) {
        qsizetype movies = 0;
        const double each = best([&] {
            for (int i = 0; i < 10; ++i)
                movies = groupMovies(walkTree(QString::fromLocal8Bit(argv[1])), QStringLiteral("Disc")).size();
        });
        const WalkResult walk = walkTree(QString::fromLocal8Bit(argv[1]));
        const double walkOnly = best([&] { walkTree(QString::fromLocal8Bit(argv[1])); });
        const double groupOnly = best([&] { groupMovies(walk, QStringLiteral("Disc")); });
        std::printf("%s: %.1f ms a scan (the walk %.1f ms, the grouping and .nfo reading %.1f ms), %lld movies\n",
                    argv[1], each / 10, walkOnly, groupOnly, qlonglong(movies));
        return 0;
    }
    QTemporaryDir tmp;
    makeTree(tmp.path(), 1000);

    qint64 findFiles = 0;
    const double find = best([&] { findTime(tmp.path(), findFiles); });
    qsizetype links = 0;

    qint64 plainFiles = 0;
    const double plain = best([&] {
        plainFiles = 0;
        QDirIterator it(tmp.path(), QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            ++plainFiles;
        }
    });
    qsizetype movies = 0;
    const double scan = best([&] {
        const WalkResult walk = walkTree(tmp.path());
        const QList<FoundMovie> found = groupMovies(walk, QStringLiteral("Disc"));
        movies = found.size();
        links = imdbLinks(found);
    });
    std::printf("10,000 files in 1,000 folders: find | wc -l %.1f ms (%lld files); QDirIterator %.1f ms; walk, grouping "
                "and .nfo reading %.1f ms (%lld movies, %lld links), %.2fx find's time (goal: 2x)\n",
                find, qlonglong(findFiles), plain, scan, qlonglong(movies), qlonglong(links), scan / find);

    {
        QTemporaryDir big;
        makeTree(big.path(), 10000);
        double bigFind = best([&] { findTime(big.path(), findFiles); });
        const double bigScan = best([&] {
            const QList<FoundMovie> found = groupMovies(walkTree(big.path()), QStringLiteral("Disc"));
            movies = found.size();
            links = imdbLinks(found);
        });
        struct rusage usage;
        ::getrusage(RUSAGE_SELF, &usage);
        std::printf("100,000 files in 10,000 folders, an .nfo in each: find | wc -l %.1f ms (%lld files); walk, grouping "
                    "and .nfo reading %.1f ms (%lld movies, %lld links; goal: 1500 ms); peak memory %.1f MB (goal: 150 MB)\n",
                    bigFind, qlonglong(findFiles), bigScan, qlonglong(movies), qlonglong(links), usage.ru_maxrss / 1024.0);
    }

    // The window's scan: the longest the event loop waits, and how long Cancel takes to end it.
    QWidget window;
    ListDocument doc;
    ListCommands commands(&doc);
    DiscScan discScan(&window, &commands);
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer tick;
    tick.setInterval(5);
    QElapsedTimer runClock;
    // BENCH_GAPS=1 says when each wait of more than 30 ms ended.
    const bool tellGaps = qEnvironmentVariableIsSet("BENCH_GAPS");
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 gap = sinceTick.restart();
        if (gap > 30 && tellGaps)
            std::printf("  a wait of %lld ms ended %lld ms into the run\n", qlonglong(gap), qlonglong(runClock.elapsed()));
        longestGap = std::max(longestGap, gap);
    });
    QObject::connect(&discScan, &DiscScan::probeStarted, [&] {
        if (tellGaps)
            std::printf("  the probe started %lld ms into the run\n", qlonglong(runClock.elapsed()));
    });
    for (const int cancelAfterMs : {-1, 20, 120}) {
        longestGap = 0;
        sinceTick.start();
        tick.start();
        QElapsedTimer total, cancelled;
        total.start();
        runClock.start();
        if (cancelAfterMs >= 0)
            QTimer::singleShot(cancelAfterMs, [&] {
                cancelled.start();
                discScan.cancel();
            });
        const auto found = discScan.find(tmp.path());
        tick.stop();
        if (cancelAfterMs < 0)
            std::printf("whole scan with sizes read: %lld ms, %lld movies, longest event-loop wait %lld ms\n",
                        qlonglong(total.elapsed()), qlonglong(found ? found->size() : -1), qlonglong(longestGap));
        else
            std::printf("cancelled after %d ms: ended %lld ms after Cancel, nothing found: %s, longest wait %lld ms\n",
                        cancelAfterMs, qlonglong(cancelled.isValid() ? cancelled.elapsed() : -1), found ? "no" : "yes",
                        qlonglong(longestGap));
    }
    return 0;
}
