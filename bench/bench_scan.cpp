// Times the walk and grouping of a tree of 10,000 files in 1,000 folders against a plain QDirIterator
// walk of the same tree, then runs the window's scan on it (walk, grouping and one probe child for
// every video file) and reports the longest the event loop waited and how long Cancel takes.
// Run: QT_QPA_PLATFORM=offscreen build/bin/bench_scan

#include "commands/listcommands.h"
#include "main/discscan.h"
#include "scan/discmovies.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>

using namespace cinemork;

namespace {

// 1,000 folders of ten files: a movie in two parts, a lone movie, and seven files that are no movie.
void makeTree(const QString &root)
{
    const char *others[] = {"info.nfo", "cover.jpg", "subs.srt", "readme.txt", "sample.txt", "x.sfv", "y.md5"};
    for (int d = 0; d < 1000; ++d) {
        const QString folder = root + QStringLiteral("/shelf%1/Film %2").arg(d / 50).arg(d);
        QDir().mkpath(folder);
        QStringList names{QStringLiteral("Film %1.CD1.avi").arg(d), QStringLiteral("Film %1.CD2.avi").arg(d),
                          QStringLiteral("Other %1 (2001).mkv").arg(d)};
        for (const char *o : others)
            names << QString::fromLatin1(o);
        for (const QString &name : names) {
            QFile f(folder + u'/' + name);
            if (!f.open(QIODevice::WriteOnly))
                qFatal("cannot write %s", qPrintable(f.fileName()));
        }
    }
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
    QTemporaryDir tmp;
    makeTree(tmp.path());

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
        movies = groupMovies(walk, QStringLiteral("Disc")).size();
    });
    std::printf("10,000 files in 1,000 folders: QDirIterator %.1f ms (%lld files); walk and grouping %.1f ms "
                "(%lld movies), %.2fx\n",
                plain, qlonglong(plainFiles), scan, qlonglong(movies), scan / plain);

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
