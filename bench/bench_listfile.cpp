// Times the list page writer and reader on 10,000 and 100,000 movies against a plain line-splitting
// loop over the same file, then reads 100,000 movies into the main window and reports peak memory.
// Run: QT_QPA_PLATFORM=offscreen build/bin/bench_listfile

#include "defaultanswers.h"
#include "listfile/pagereader.h"
#include "listfile/pagewriter.h"
#include "main/frmmain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using namespace cinemork;

namespace {

QList<Movie> makeMovies(int n)
{
    QList<Movie> movies;
    movies.reserve(n);
    const char *types[] = {"DVD Rip", "SVCD", "VCD", "Cam", "TV Grab"};
    for (int i = 0; i < n; ++i) {
        Movie m;
        m[FTitle] = QStringLiteral("Movie number %1 & friends").arg((i * 7919) % n);
        m[FSize] = QStringLiteral("%1\\%2").arg(600 + i % 800).arg(1 + i % 3);
        m[FRes] = QStringLiteral("640x272");
        m[FCodec] = QStringLiteral("DivX");
        m[FType] = QString::fromLatin1(types[i % 5]);
        m[FSeenit] = i % 2 ? QStringLiteral("yes") : QStringLiteral("no");
        m[FLocation] = QStringLiteral("Box %1").arg(i / 50);
        m[FFiles] = QStringLiteral("movie%1-cd1.avi, movie%1-cd2.avi").arg(i);
        m[FImdb] = QStringLiteral("http://www.imdb.com/title/tt%1/").arg(1000000 + i);
        m.icon = iconForTypeText(m[FType]);
        movies << m;
    }
    return movies;
}

// The best of several runs of f. What f returns is freed after the clock stops.
template<typename F>
double bestOf(int runs, F f)
{
    double best = 1e30;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        [[maybe_unused]] auto kept = f();
        best = std::min(best, t.nsecsElapsed() / 1e9);
    }
    return best;
}

struct Figures
{
    double write, read, baseline, scan;
};

Figures measure(int n, const QString &file)
{
    const QList<Movie> movies = makeMovies(n);
    PageSettings s;
    s.createIndex = true;
    Figures f{};
    f.write = bestOf(5, [&] {
        QSaveFile out(file);
        out.open(QIODevice::WriteOnly);
        PageWriter::write(&out, QStringLiteral("Bench"), movies, s, QStringLiteral("."));
        return out.commit();
    });
    f.read = bestOf(5, [&] {
        PageReadResult r = readPageFile(file);
        if (!r.ok || r.movies.size() != n)
            std::fprintf(stderr, "read failed\n");
        return r;
    });
    // The plain loop: read the file and split it into lines, each line its own string.
    f.baseline = bestOf(5, [&] {
        std::ifstream in(file.toStdString(), std::ios::binary);
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(in, line))
            lines.push_back(line);
        if (lines.empty())
            std::fprintf(stderr, "baseline read nothing\n");
        return lines;
    });
    // The same loop keeping nothing: only finding the line ends.
    f.scan = bestOf(5, [&] {
        std::ifstream in(file.toStdString(), std::ios::binary);
        std::string line;
        size_t lines = 0;
        while (std::getline(in, line))
            ++lines;
        if (lines == 0)
            std::fprintf(stderr, "scan read nothing\n");
        return lines;
    });
    std::printf("%7d movies: write %.3f s, read %.3f s; plain loop splitting into lines %.3f s "
                "(write %.1fx, read %.1fx); loop only finding line ends %.3f s\n",
                n, f.write, f.read, f.baseline, f.write / f.baseline, f.read / f.baseline, f.scan);
    return f;
}

// The process's own high-water mark (VmHWM starts afresh at exec, unlike getrusage's maximum).
double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    DefaultAnswers prompts;
    setPrompter(&prompts);

    if (app.arguments().size() > 2 && app.arguments()[1] == QLatin1String("--window")) {
        frmMain window;
        window.show();
        QElapsedTimer t;
        t.start();
        window.commands().read(app.arguments()[2]);
        QApplication::processEvents();
        const double shown = t.nsecsElapsed() / 1e9;
        std::printf("%d movies into the main window, sorted by title and shown: %.3f s; peak memory %.0f MB\n",
                    window.list().count(), shown, peakMegabytes());
        return 0;
    }
    const QString small = dir.filePath(QStringLiteral("10k.html")), large = dir.filePath(QStringLiteral("100k.html"));
    const Figures f10 = measure(10000, small);
    const Figures f100 = measure(100000, large);
    std::printf("scaling 100k/10k: write %.1fx, read %.1fx\n", f100.write / f10.write, f100.read / f10.read);
    std::printf("page size for 100k movies: %.1f MB\n", QFile(large).size() / 1048576.0);

    std::fflush(stdout);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--window"), large});
    child.waitForFinished(-1);
    return 0;
}
