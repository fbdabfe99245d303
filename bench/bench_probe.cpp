// Times the picture size of 200 short clips read two ways, side by side: one companion child per
// file, as the movie editor's ".." does, and one ProbeSession that hands every path to one child.
// Run: build/bin/bench_probe

#include "editor/proberunner.h"
#include "probe/probesession.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <cstdio>

using namespace cinemork;

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // ProbeRunner sets the busy cursor, so it needs a GUI
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QStringList clips{QStringLiteral("clip-640x272.avi"), QStringLiteral("clip-352x240.mpg"),
                            QStringLiteral("sound-only.avi")};
    QStringList paths;
    for (int i = 0; i < 200; ++i) {
        const QString clip = clips[i % clips.size()];
        const QString path = dir.filePath(QStringLiteral("movie %1 - ").arg(i, 3, 10, QLatin1Char('0')) + clip);
        if (!QFile::copy(QStringLiteral(CINEMORK_TESTDATA "/") + clip, path)) {
            std::fprintf(stderr, "cannot copy %s into %s\n", qPrintable(clip), qPrintable(dir.path()));
            return 1;
        }
        paths << path;
    }

    QElapsedTimer t;
    ProbeRunner runner;
    QStringList alone;
    t.start();
    for (const QString &path : paths)
        alone << runner.run(path, nullptr).text();
    const double oneByOne = t.nsecsElapsed() / 1e6;

    ProbeSession session;
    QStringList together(paths.size());
    QEventLoop loop;
    QObject::connect(&session, &ProbeSession::result, [&](int i, const ProbeResult &r) { together[i] = r.text(); });
    QObject::connect(&session, &ProbeSession::finished, &loop, &QEventLoop::quit);
    t.restart();
    session.start(paths);
    loop.exec();
    const double inOneChild = t.nsecsElapsed() / 1e6;

    const qsizetype sizes = alone.count(QStringLiteral("640x272")) + alone.count(QStringLiteral("352x240"));
    std::printf("%lld clips (%lld with a picture size): one child per file %.0f ms, one session %.0f ms, %.1fx "
                "faster; the answers %s\n",
                qlonglong(paths.size()), qlonglong(sizes), oneByOne, inOneChild, oneByOne / inOneChild,
                alone == together ? "agree" : "DIFFER");
    return alone == together ? 0 : 1;
}
