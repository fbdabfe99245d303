#include "check/checkreport.h"
#include "check/checktexts.h"
#include "listfile/pagefile.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace cinemork;

namespace {

using test::makeFile;
using test::Sanitized;

constexpr qint64 MB = 1048576;

// The megabytes of a file's stretch the cache holds, counted whole.
int cachedMb(int fd, int fromMb, int mbs)
{
    void *map = ::mmap(nullptr, size_t(mbs * MB), PROT_READ, MAP_SHARED, fd, off_t(fromMb) * MB);
    std::vector<unsigned char> pages(size_t(mbs * MB / 4096));
    const bool known = map != MAP_FAILED && ::mincore(map, size_t(mbs * MB), pages.data()) == 0;
    if (map != MAP_FAILED)
        ::munmap(map, size_t(mbs * MB));
    if (!known)
        return -1;
    return int(std::count_if(pages.begin(), pages.end(), [](unsigned char p) { return p & 1; }) * 4096 / MB);
}

// A disc "DISC7" holding a movie of every status, and the list that catalogues it.
struct Disc
{
    QTemporaryDir dir;
    QString root = dir.filePath(QStringLiteral("DISC7"));
    QList<Movie> list;
    Disc()
    {
        makeFile(root + QStringLiteral("/Whole/whole.avi"), 3 * MB + 100);
        makeFile(root + QStringLiteral("/bad.avi"), 8 * MB);
        makeFile(root + QStringLiteral("/sized.avi"), 5 * MB);
        makeFile(root + QStringLiteral("/epic.cd1.avi"), MB);
        makeFile(root + QStringLiteral("/extra.mkv"), 2 * MB);
        makeFile(root + QStringLiteral("/notes.txt"), 10);
        makeFile(root + QStringLiteral("/Kill Bill/CD1/kb.avi"), 2 * MB); // parts of one name, a folder each
        makeFile(root + QStringLiteral("/Kill Bill/CD2/kb.avi"), MB);
        makeFile(root + QStringLiteral("/Kill Bill/Sample/kb-sample.avi"), MB); // passed over, as by a scan
        makeFile(root + QStringLiteral("/unsized.avi"), MB);
        makeFile(root + QStringLiteral("/split.cd1.avi"), MB); // its second part lost from this disc
        makeFile(root + QStringLiteral("/Casablanca (1942)/movie.avi"), MB); // names that say nothing
        makeFile(root + QStringLiteral("/Vertigo/movie.avi"), 2 * MB);
        ::rename(QFile::encodeName(makeFile(root + QStringLiteral("/amelie"), MB)).constData(),
                 (QFile::encodeName(root) + "/Am\xE9lie.avi").constData()); // a Latin-1 name from an old disc
        makeFile(dir.filePath(QStringLiteral("outside.avi")), MB);
        QFile::link(dir.filePath(QStringLiteral("outside.avi")), root + QStringLiteral("/linked.avi"));
        ::mkfifo(QFile::encodeName(root + QStringLiteral("/piped.avi")).constData(), 0600);
        list = {test::movie("Mirror", "2\\1", "DISC7", "movie.avi"), // its folder gone: not Vertigo's movie.avi
                test::movie("Casablanca (1942)", "1\\1", "DISC7", "movie.avi"),
                test::movie("Vertigo", "2\\1", "DISC7", "movie.avi"),
                test::movie("Split", "2\\2", "DISC7", "split.cd1.avi, split.cd2.avi"),
                test::movie("Whole", "3\\1", "DISC7", "WHOLE.avi"),
                test::movie("Bad", "8\\1", "DISC7", "bad.avi"),
                test::movie("Sized", "2\\1", "Box B", "sized.avi"),
                test::movie("Gone", "1\\1", "disc7", "gone.avi"),
                test::movie("Epic", "2\\2", "DISC7, DISC8", "epic.cd1.avi, epic.cd2.avi"),
                test::movie("Amelie", "1\\1", "DISC7", QStringLiteral("Am\u00E9lie.avi")),
                test::movie("Linked", "1\\1", "DISC7", "linked.avi"),
                test::movie("Piped", "0\\1", "DISC7", "piped.avi"),
                test::movie("Elsewhere", "1\\1", "DISC9", "far.avi"),
                test::movie("Kill Bill", "3\\2", "DISC7", "kb.avi, kb.avi"),
                test::movie("Unsized", "\\1", "DISC7", "unsized.avi")}; // no megabytes: nothing to compare
    }
    ~Disc()
    {
        // QTemporaryDir cannot name what is no UTF-8
        for (const QString &r : {root, root + QStringLiteral("-out")})
            ::unlink((QFile::encodeName(r) + "/Am\xE9lie.avi").constData());
    }
};

using test::Run;

Run companion(const QStringList &args, const QProcessEnvironment &env = {})
{
    return test::runProgram(test::builtCompanion(), args, {}, 30000, 0, env);
}

// "movie: status|detail" of each line of the report's CSV, in the order of the movies' names.
QStringList byMovie(const QString &csv)
{
    QStringList lines;
    for (const QString &line : csv.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).mid(1))
        lines << line.section(u',', 0, 0) + QStringLiteral(": ") + line.section(u',', 1, 1) + u'|'
                + line.section(u',', 2).remove(u'"');
    lines.sort();
    return lines;
}

} // namespace

class tst_Check : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::isolateConfig(); }

    // Every status of the report, through the companion, with read errors made by the preloaded library.
    void companionReport_data()
    {
        QTest::addColumn<QString>("errno_");
        QTest::addColumn<QString>("bad");
        QTest::newRow("no read error") << QString() << "whole|8 MB in 1 file read";
        QTest::newRow("a bad stretch is skipped and the rest read")
            << "5" << "unreadable|/DISC7/bad.avi: 3 MB unreadable from byte 2,097,152 (Input/output error)";
        QTest::newRow("the disc taken out: the rest of the file is lost at once")
            << "123" << "unreadable|/DISC7/bad.avi: 6 MB unreadable from byte 2,097,152 (No medium found)";
    }
    void companionReport()
    {
        QFETCH(QString, errno_);
        QFETCH(QString, bad);
        if (!errno_.isEmpty() && Sanitized)
            QSKIP("the preloaded library cannot come before the sanitizer's runtime in a sanitized companion");
        Disc disc;
        const QString list = disc.dir.filePath(QStringLiteral("list.html"));
        QVERIFY(savePageFile(list, QStringLiteral("t"), disc.list, {}, QStringLiteral(".")).ok);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!errno_.isEmpty()) {
            env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(CINEMORK_FAILREAD));
            env.insert(QStringLiteral("CINEMORK_FAIL_FILE"), QFileInfo(disc.root + QStringLiteral("/bad.avi")).canonicalFilePath());
            env.insert(QStringLiteral("CINEMORK_FAIL_FROM"), QString::number(2 * MB));
            env.insert(QStringLiteral("CINEMORK_FAIL_TO"), QString::number(5 * MB));
            env.insert(QStringLiteral("CINEMORK_FAIL_ERRNO"), errno_);
        }
        Run r = companion({QStringLiteral("check"), disc.root, QStringLiteral("--list"), list}, env);
        QCOMPARE(r.status, 1);
        const auto lines = byMovie(r.out.replace(QFileInfo(disc.dir.path()).canonicalFilePath(), QString()));
        // no line for another disc's movie, a sample, nor for what is no video
        QCOMPARE(lines, (QStringList{"Amelie: whole|1 MB in 1 file read",
                                     "Bad: " + bad,
                                     "Casablanca (1942): whole|1 MB in 1 file read",
                                     "Epic: whole|1 of 2 files here, the others on another disc; 1 MB in 1 file read",
                                     "Gone: missing|not found: gone.avi",
                                     "Kill Bill: whole|3 MB in 2 files read",
                                     "Linked: unreadable|/DISC7/linked.avi: a link, not followed",
                                     "Mirror: missing|not found: movie.avi",
                                     "Piped: unreadable|/DISC7/piped.avi: not a regular file",
                                     "Sized: size differs|listed 2 MB, found 5 MB",
                                     "Split: missing|not found: split.cd2.avi",
                                     "Unsized: whole|1 MB in 1 file read",
                                     "Vertigo: whole|2 MB in 1 file read",
                                     "Whole: whole|3 MB in 1 file read",
                                     "extra.mkv: not in the list|/DISC7/extra.mkv (2 MB)"}));
        const int unreadable = errno_.isEmpty() ? 2 : 3;
        QCOMPARE(r.err.trimmed(), QStringLiteral("cinemork-list: %1 movies whole, %2 unreadable, 3 missing, 1 with a size that differs, 1 file not in the list")
                                      .arg(errno_.isEmpty() ? 8 : 7).arg(unreadable));
    }

    void companionStatusAndFormats()
    {
        QTemporaryDir dir;
        const QString root = dir.filePath(QStringLiteral("D"));
        makeFile(root + QStringLiteral("/a.avi"), 2 * MB);
        const QString list = dir.filePath(QStringLiteral("list.html"));
        QVERIFY(savePageFile(list, QStringLiteral("t"), {test::movie("A \"quoted\"", "2\\1", "D", "a.avi")}, {},
                             QStringLiteral(".")).ok);
        Run r = companion({"check", root, "--list", list, "--format", "json"});
        QCOMPARE(r.status, 0);
        const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
        QCOMPARE(o.value(QStringLiteral("summary")).toString(), QStringLiteral("1 movie whole"));
        QCOMPARE(o.value(QStringLiteral("movies")).toArray().at(0).toObject().value(QStringLiteral("movie")).toString(),
                 QStringLiteral("A \"quoted\""));
        r = companion({"check", root, "--list", list});
        QCOMPARE(r.out, QStringLiteral("movie,status,detail\r\n\"A \"\"quoted\"\"\",whole,2 MB in 1 file read\r\n"));
        r = companion({"check", dir.filePath(QStringLiteral("none")), "--list", list});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out + r.err.section(u':', 2), QStringLiteral(" does not exist\n")); // no report of nothing
        // usage; a check without its list is among tst_companion's failures
        for (const QStringList &args :
             {QStringList{"check", "--list", list}, QStringList{"check", root, "--list", list, "--format", "xml"}})
            QCOMPARE(companion(args).status, 2);
    }

    // What happens to the file while it is read. One that is no regular file is among the report's above.
    void readerFaults_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<bool>("changed");
        QTest::newRow("none") << "" << true << "" << 4 * MB << false;
        QTest::newRow("shrinks while read") << "shrink" << true << "" << 3 * MB / 2 << true;
        QTest::newRow("grows while read") << "grow" << true << "" << 5 * MB << true;
        QTest::newRow("a link out of the disc") << "link" << false << "a link, not followed" << 0LL << false;
    }
    void readerFaults()
    {
        QFETCH(QString, fault);
        QFETCH(bool, opened);
        QFETCH(QString, reason);
        QFETCH(qint64, bytes);
        QFETCH(bool, changed);
        QTemporaryDir dir;
        const QString path = makeFile(dir.filePath(QStringLiteral("f.avi")), 4 * MB);
        if (fault == QLatin1String("link")) {
            QFile::remove(path);
            QFile::link(makeFile(dir.filePath(QStringLiteral("elsewhere")), MB), path);
        }
        bool once = false;
        const FileRead r = FileReader::read(QFile::encodeName(path), [&](qint64) {
            if (!once && fault == QLatin1String("shrink"))
                QFile::resize(path, 3 * MB / 2);
            if (!once && fault == QLatin1String("grow"))
                QFile::resize(path, 5 * MB);
            once = true;
            return true;
        });
        QCOMPARE(r.opened, opened);
        QCOMPARE(r.reason, reason);
        QCOMPARE(r.bytes, bytes);
        QCOMPARE(r.unreadable, 0);
        QCOMPARE(r.changed(), changed);
    }

    // The check leaves the cache as it found it: what another program had cached stays, what only the
    // check read goes. Three stretches of the reader's: held whole, held in half, not held.
    void theCacheKeepsOnlyWhatWasThere()
    {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tst_check-XXXXXX"));
        const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("film.avi")));
        {
            QFile f(QFile::decodeName(path));
            QVERIFY(f.open(QIODevice::WriteOnly));
            const QByteArray block(MB, 'x');
            for (int i = 0; i < 72; ++i)
                f.write(block);
        }
        const int fd = ::open(path.constData(), O_RDONLY);
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        if (cachedMb(fd, 0, 72) != 0)
            QSKIP("this file system keeps its pages whatever it is told");
        QByteArray buffer(MB, Qt::Uninitialized);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_RANDOM); // no read-ahead still in flight when the cache is looked at
        for (int mb = 0; mb < 48; ++mb) // another program read the first 48 MB
            QCOMPARE(::pread(fd, buffer.data(), size_t(MB), off_t(mb) * MB), ssize_t(MB));
        QList<int> before, after;
        for (int mb = 0; mb < 72; ++mb)
            before << cachedMb(fd, mb, 1);
        if (before.count(1) < 48 || before.count(0) < 8) // memory short: nothing to tell the reader's work by
            QSKIP("the cache did not keep the pages read as arranged");
        QCOMPARE(FileReader::read(path).bytes, 72 * MB);
        for (int mb = 0; mb < 72; ++mb)
            after << cachedMb(fd, mb, 1);
        QCOMPARE(after, before);
        ::close(fd);
    }

    // The disc taken out between two movies: the rest is reported unreadable.
    void discGoneMidCheck()
    {
        Disc disc;
        CheckPlan plan = planCheck(listDisc(disc.root), disc.list, QStringLiteral("DISC7"));
        const auto first = std::find_if(plan.movies.begin(), plan.movies.end(), [](const CheckedMovie &m) { return m.foundHere(); });
        QVERIFY(plan.movies.end() - first > 3);
        QVERIFY(checkMovie(first[0], plan.disc, [&](qint64) {
            QDir().rename(disc.root, disc.root + QStringLiteral("-out"));
            return true;
        }));
        QVERIFY(checkMovie(first[1], plan.disc));
        QCOMPARE(first[1].status, CheckedMovie::Unreadable);
        QVERIFY2(first[1].detail.endsWith(QStringLiteral(": No such file or directory")), qPrintable(first[1].detail));
    }

    // A count of none is left out, but for the movies whole; the report above shows the singulars.
    void summaryCounts()
    {
        QCOMPARE(CheckTexts::summary(0, 1, 2, 0, 3),
                 QStringLiteral("0 movies whole, 1 unreadable, 2 missing, 3 files not in the list"));
    }

    // Sizes of movies whose size differs, the disc added to where movies found here are; nothing else.
    void listUpdates()
    {
        Disc disc;
        CheckPlan plan = planCheck(listDisc(disc.root), disc.list, QStringLiteral("DISC7"));
        for (CheckedMovie &m : plan.movies)
            checkMovie(m, plan.disc);
        QList<Movie> list = disc.list;
        list.prepend(test::movie(QStringLiteral("Added meanwhile"))); // the rows moved
        const auto updates = cinemork::listUpdates(plan, list);
        QCOMPARE(updates.size(), 1);
        QCOMPARE(updates[0].first, 7);
        QCOMPARE(updates[0].second[FSize], QStringLiteral("5\\1"));
        QCOMPARE(updates[0].second[FLocation], QStringLiteral("Box B, DISC7"));
    }
};

QTEST_GUILESS_MAIN(tst_Check)
#include "tst_check.moc"
