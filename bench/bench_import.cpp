// Imports a 100,000-entry GCstar collection and a Tellico .tc of the same movies, each with 1 KB of
// synopsis and actors an entry, and reports the time and the peak memory of each (goal: 3 s, 250 MB).
// Each import runs in a process of its own, so its peak is its own.

#include "import/collectionimport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <quazip.h>
#include <quazipfile.h>

#include <cstdio>
#include <sys/resource.h>

using namespace cinemork;

namespace {

constexpr int Entries = 100000;

QByteArray words(QRandomGenerator &random, int bytes)
{
    static const char *vocabulary[] = {"ship", "crew", "night", "city", "the", "escape", "a", "secret", "of",
                                       "river", "war", "love", "detective", "heist", "under", "storm", "family",
                                       "robot", "desert", "old", "young", "betrayal", "and", "train", "island"};
    QByteArray text;
    while (text.size() < bytes) {
        text += vocabulary[random.bounded(int(std::size(vocabulary)))];
        text += random.bounded(10) == 0 ? ". " : " ";
    }
    return text.left(bytes);
}

// Written a piece at a time, as a real collection file would be read: the generator holds one entry.
template<typename Write>
void generate(Write write, bool tellico)
{
    QRandomGenerator random(7);
    write(tellico ? "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tellico xmlns=\"http://periapsis.org/tellico/\">"
                    "<collection title=\"Videos\" type=\"3\">\n"
                  : "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<collection type=\"GCfilms\">\n");
    for (int i = 0; i < Entries; ++i) {
        const QByteArray n = QByteArray::number(i), year = QByteArray::number(1950 + i % 70);
        const QByteArray synopsis = words(random, 700), actors = words(random, 324);
        if (tellico)
            write("<entry id=\"" + n + "\"><title>Movie " + n + "</title><year>" + year + "</year><medium>DVD</medium>"
                  "<imdb>https://www.imdb.com/title/tt" + QByteArray::number(1000000 + i) + "/</imdb><seen>true</seen>"
                  "<location>Box " + QByteArray::number(i / 100) + "</location><plot>" + synopsis
                  + "</plot><casts><cast><column>" + actors + "</column></cast></casts></entry>\n");
        else
            write("<item id=\"" + n + "\" title=\"Movie " + n + "\" date=\"" + year + "\" webPage=\"http://www.imdb.com/"
                  "title/tt" + QByteArray::number(1000000 + i) + "/##IMDb\" seen=\"1\" format=\"DVD\" number=\"1\" "
                  "place=\"Box " + QByteArray::number(i / 100) + "\" video=\"DivX\" trailer=\"\"><synopsis>" + synopsis
                  + "</synopsis><actors>" + actors + "</actors></item>\n");
    }
    write(tellico ? "</collection></tellico>\n" : "</collection>\n");
}

int readOne(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    const ImportResult r = importCollection(path);
    const qint64 ms = timer.elapsed();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    // The processor time too: on a busy machine the time that passes says little.
    const long cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
    std::printf("%-12s %6lld movies  %5lld ms (%5ld ms processor)  peak %4ld MB  %s\n",
                qPrintable(path.section(u'/', -1)), qint64(r.movies.size()), ms, cpuMs, usage.ru_maxrss / 1024,
                r.ok ? "" : qPrintable(r.error));
    return r.ok && r.movies.size() == Entries ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--read")
        return readOne(QString::fromLocal8Bit(argv[2]));
    QTemporaryDir dir;
    const QString gcs = dir.filePath(QStringLiteral("films.gcs")), tc = dir.filePath(QStringLiteral("videos.tc"));
    QFile plain(gcs);
    plain.open(QIODevice::WriteOnly);
    generate([&](const QByteArray &b) { plain.write(b); }, false);
    plain.close();
    QuaZip zip(tc);
    zip.open(QuaZip::mdCreate);
    QuaZipFile entry(&zip);
    entry.open(QIODevice::WriteOnly, QuaZipNewInfo(QStringLiteral("tellico.xml")));
    generate([&](const QByteArray &b) { entry.write(b); }, true);
    entry.close();
    zip.close();
    std::printf("files: %lld MB GCstar, %lld MB Tellico (zipped)\n", QFile(gcs).size() >> 20, QFile(tc).size() >> 20);
    std::fflush(stdout);
    int status = 0;
    for (const QString &file : {gcs, tc}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--read"), file});
        child.waitForFinished(-1);
        status |= child.exitCode();
    }
    return status;
}
