#include "editor/editorhost.h"
#include "editor/frmaddcd.h"
#include "scan/scanjob.h"
#include "scan/scanreview.h"
#include "windowsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace cinemork;
using namespace cinemork::test;
using namespace Qt::StringLiterals;

namespace {

// A tree of files of the given sizes under a temporary folder.
QString makeFile(const QString &path, qint64 bytes = 0)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || !f.resize(bytes))
        qFatal("cannot make %s", qPrintable(path));
    return path;
}

// "title|parts|first part|names" of each found movie.
QStringList described(const QList<FoundMovie> &movies)
{
    QStringList out;
    for (const FoundMovie &m : movies) {
        QStringList names;
        for (const ScanFile &f : m.files)
            names << f.name;
        out << QStringLiteral("%1|%2|%3|%4").arg(m.title).arg(m.parts).arg(m.firstPart).arg(names.join(u'/'));
    }
    return out;
}

struct Committed : EditorHost
{
    bool editMode() const override { return false; }
    bool commitMovie(const Movie &m) override
    {
        movies << m;
        return true;
    }
    QList<Movie> movies;
};

Movie listed(const QString &title, const QString &size, const QString &files, const QString &location)
{
    Movie m = movie(title, size);
    m[FFiles] = files;
    m[FLocation] = location;
    return m;
}

} // namespace

class TestScan : public WindowTest
{
    Q_OBJECT
private slots:

    void grouping_data()
    {
        QTest::addColumn<QString>("folder"); // below the scanned root "/disc"; "" is the root
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("movies");
        QTest::newRow("cd") << "" << QStringList{"Heat.CD1.avi", "Heat.CD2.avi"}
                            << QStringList{"Heat|2|1|Heat.CD1.avi/Heat.CD2.avi"};
        QTest::newRow("part, spaced") << "" << QStringList{"Heat - Part 2.avi", "Heat - Part 1.avi"}
                                      << QStringList{"Heat|2|1|Heat - Part 1.avi/Heat - Part 2.avi"};
        QTest::newRow("disc letters") << "" << QStringList{"Heat_disc_a.mkv", "Heat_disc_b.mkv"}
                                      << QStringList{"Heat|2|1|Heat_disc_a.mkv/Heat_disc_b.mkv"};
        QTest::newRow("pt, dvd, disk") << ""
                                       << QStringList{"A.pt1.avi", "A.pt2.avi", "B dvd1.vob", "B dvd2.vob",
                                                      "C-disk3.avi"}
                                       << QStringList{"A|2|1|A.pt1.avi/A.pt2.avi", "B|2|1|B dvd1.vob/B dvd2.vob",
                                                      "C|1|3|C-disk3.avi"};
        QTest::newRow("1of2 and 1 of 2") << ""
                                         << QStringList{"X 1of2.avi", "X 2of2.avi", "Y 1 of 2.avi", "Y 2 of 2.avi"}
                                         << QStringList{"X|2|1|X 1of2.avi/X 2of2.avi",
                                                        "Y|2|1|Y 1 of 2.avi/Y 2 of 2.avi"};
        QTest::newRow("mixed case") << "" << QStringList{"Heat.cd1.AVI", "Heat.CD2.avi"}
                                    << QStringList{"Heat|2|1|Heat.cd1.AVI/Heat.CD2.avi"};
        QTest::newRow("trailing a and b")
            << "" << QStringList{"Boa.avi", "Bob.avi", "Plan a.avi", "Rocky a.avi", "Rocky b.avi"}
            << QStringList{"Boa|1|0|Boa.avi", "Bob|1|0|Bob.avi", "Plan a|1|0|Plan a.avi",
                           "Rocky|2|1|Rocky a.avi/Rocky b.avi"};
        QTest::newRow("sequels") << "" << QStringList{"Saga Part 1 (2010).avi", "Saga Part 2 (2011).avi"}
                                 << QStringList{"Saga Part 1 (2010)|1|0|Saga Part 1 (2010).avi",
                                                "Saga Part 2 (2011)|1|0|Saga Part 2 (2011).avi"};
        QTest::newRow("720p and 1080p") << "" << QStringList{"Film 1080p.mkv", "Film 720p.mkv"}
                                        << QStringList{"Film 1080p|1|0|Film 1080p.mkv", "Film 720p|1|0|Film 720p.mkv"};
        QTest::newRow("other ending") << "" << QStringList{"M.CD1.avi", "M.CD2.mkv"}
                                      << QStringList{"M|1|1|M.CD1.avi", "M|1|2|M.CD2.mkv"};
        QTest::newRow("part twice") << "" << QStringList{"M.CD1.avi", "M.cd1.avi"}
                                    << QStringList{"M.CD1|1|1|M.CD1.avi", "M.cd1|1|1|M.cd1.avi"};
        QTest::newRow("3 of 2 is no part")
            << "" << QStringList{"Z 3 of 2.avi"} << QStringList{"Z 3 of 2|1|0|Z 3 of 2.avi"};
        QTest::newRow("commas, bar, Unicode")
            << "" << QStringList{"Amélie, le | film.CD1.avi", "Amélie, le | film.CD2.avi"}
            << QStringList{"Amélie, le | film|2|1|Amélie, le | film.CD1.avi/Amélie, le | film.CD2.avi"};
        QTest::newRow("parts only: the folder") << "Heat (1995)" << QStringList{"heat.cd1.avi", "heat.cd2.avi"}
                                                << QStringList{"Heat (1995)|2|1|heat.cd1.avi/heat.cd2.avi"};
        QTest::newRow("generic names") << "Alien" << QStringList{"movie.avi"} << QStringList{"Alien|1|0|movie.avi"};
        QTest::newRow("generic parts") << "Brazil" << QStringList{"CD1.avi", "cd2.avi"}
                                       << QStringList{"Brazil|2|1|CD1.avi/cd2.avi"};
        QTest::newRow("generic at the root: the disc")
            << "" << QStringList{"video.mpg"} << QStringList{"DISC|1|0|video.mpg"};
        QTest::newRow("a DVD") << "Film/VIDEO_TS" << QStringList{"VIDEO_TS.VOB", "VTS_01_1.VOB", "VTS_01_2.VOB"}
                               << QStringList{"Film|1|0|VTS_01_1.VOB/VTS_01_2.VOB/VIDEO_TS.VOB"};
        QTest::newRow("a DVD disc") << "VIDEO_TS" << QStringList{"VTS_01_1.VOB"}
                                    << QStringList{"DISC|1|0|VTS_01_1.VOB"};
    }

    void grouping()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, files);
        QFETCH(QStringList, movies);
        WalkResult walk;
        walk.root = QStringLiteral("/disc");
        ScanFolder f{folder.isEmpty() ? walk.root : walk.root + u'/' + folder, QFileInfo(folder).fileName(), {}};
        for (const QString &name : files)
            f.files << ScanFile{f.path + u'/' + name, name, 1, {}, {}};
        walk.folders << f;
        QCOMPARE(described(groupMovies(walk, QStringLiteral("DISC"))), movies);
    }

    void walkEndsAndStaysInTheTree()
    {
        QTemporaryDir tmp, outside;
        const QString root = tmp.filePath(QStringLiteral("disc"));
        makeFile(root + QStringLiteral("/a/Movie.CD1.avi"), 3000);
        makeFile(root + QStringLiteral("/a/notes.txt"));
        makeFile(root + QStringLiteral("/.hidden/x.avi"));
        makeFile(outside.filePath(QStringLiteral("far.avi")));
        QVERIFY(QFile::link(root, root + QStringLiteral("/a/loop")));        // a circle
        QVERIFY(QFile::link(outside.path(), root + QStringLiteral("/out"))); // out of the tree
        QVERIFY(QFile::link(root + QStringLiteral("/a/Movie.CD1.avi"), root + QStringLiteral("/link.avi")));
        QDir().mkpath(root + QStringLiteral("/locked/in"));
        QFile::setPermissions(root + QStringLiteral("/locked"), QFileDevice::Permissions());
        const WalkResult walk = walkTree(root + QStringLiteral("/a/loop/")); // a link to the tree itself is the tree
        QFile::setPermissions(root + QStringLiteral("/locked"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY(walk.ok);
        QCOMPARE(walk.root, QFileInfo(root).canonicalFilePath());
        QCOMPARE(walk.folders.size(), 1);
        QCOMPARE(walk.folders[0].files.size(), 1);
        QCOMPARE(walk.folders[0].files[0].bytes, 3000u);
        QCOMPARE(walk.filesSeen, 2);
        if (::geteuid() != 0) // permissions do not stop the superuser
            QCOMPARE(walk.unreadable, QStringList{walk.root + QStringLiteral("/locked")});

        // Names that are no valid UTF-8 still name their files: each is found once, its folder read.
        const QByteArray odd = QFile::encodeName(root) + "/odd\xff";
        QVERIFY(::mkdir(odd.constData(), 0700) == 0);
        for (const char *name : {"/Bad\xfe.avi", "/Bad\xff.avi"})
            QVERIFY(::close(::creat((odd + name).constData(), 0600)) == 0);
        const WalkResult oddWalk = walkTree(root + QStringLiteral("/a/loop/"));
        QCOMPARE(oddWalk.unreadable, walk.unreadable);
        QCOMPARE(groupMovies(oddWalk, QStringLiteral("D")).size(), 3);

        WalkProgress cancelled;
        cancelled.cancel = true;
        QVERIFY(walkTree(root, &cancelled).cancelled);
        QVERIFY(!walkTree(root + QStringLiteral("/a/Movie.CD1.avi")).ok);
    }

    void aFolderThatChangesDuringTheWalkIsNotFollowed_data()
    {
        QTest::addColumn<bool>("link"); // swapped for a link out of the tree, else for a folder from outside
        QTest::newRow("swapped for a link") << true;
        QTest::newRow("swapped for another folder") << false;
    }
    void aFolderThatChangesDuringTheWalkIsNotFollowed()
    {
        QFETCH(bool, link);
        QTemporaryDir tmp;
        const QString root = tmp.filePath(QStringLiteral("disc"));
        makeFile(root + QStringLiteral("/a/In.avi"));
        makeFile(root + QStringLiteral("/Top.avi"));
        const QString outside = tmp.filePath(QStringLiteral("outside"));
        makeFile(outside + QStringLiteral("/Far.avi"));
        const QByteArray a = QFile::encodeName(root) + "/a";
        WalkProgress progress;
        progress.beforeOpeningFolder = [&](const QByteArray &path) {
            if (path != a)
                return;
            QVERIFY(::rename(a.constData(), (a + ".old").constData()) == 0);
            const QByteArray far = QFile::encodeName(outside);
            QVERIFY((link ? ::symlink(far.constData(), a.constData()) : ::rename(far.constData(), a.constData())) == 0);
        };
        const WalkResult walk = walkTree(root, &progress);
        QVERIFY(walk.ok);
        QCOMPARE(described(groupMovies(walk, QStringLiteral("D"))), QStringList{"Top|1|0|Top.avi"});
        QCOMPARE(walk.unreadable, QStringList{root + QStringLiteral("/a")});
    }

    void aDeepTreeIsWalkedToItsBottom()
    {
        // 2,000 folders deep, far past the longest path the system opens; beside each one on the way
        // down, a folder with a movie before it and one after it.
        QTemporaryDir tmp;
        constexpr int Depth = 2000;
        int fd = ::open(QFile::encodeName(tmp.path()).constData(), O_RDONLY | O_DIRECTORY);
        for (int level = 0; level < Depth && fd >= 0; ++level) {
            for (const char *leaf : {"a", "z"}) {
                QVERIFY(::mkdirat(fd, leaf, 0700) == 0);
                const int dir = ::openat(fd, leaf, O_RDONLY | O_DIRECTORY);
                QVERIFY(::close(::openat(dir, "Movie.avi", O_WRONLY | O_CREAT, 0600)) == 0);
                ::close(dir);
                if (*leaf == 'a')
                    QVERIFY(::mkdirat(fd, "deeper", 0700) == 0);
            }
            const int next = ::openat(fd, "deeper", O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = next;
        }
        QVERIFY(fd >= 0);
        QVERIFY(::close(::openat(fd, "Bottom.avi", O_WRONLY | O_CREAT, 0600)) == 0);
        ::close(fd);
        const WalkResult walk = walkTree(tmp.path());
        QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), tmp.path()}); // deeper than Qt removes
        QVERIFY(walk.ok);
        QCOMPARE(walk.unreadable, QStringList());
        QCOMPARE(walk.folders.size(), 2 * Depth + 1);
        const auto bottom = std::find_if(walk.folders.begin(), walk.folders.end(),
                                         [](const ScanFolder &f) { return f.files[0].name == QStringLiteral("Bottom.avi"); });
        QVERIFY(bottom != walk.folders.end());
        QCOMPARE(bottom->path.count(QStringLiteral("/deeper")), Depth);
    }

    void fillsAsTheEditor()
    {
        // The same files chosen with ".." in the editor, with the parts typed as CDs, give the same movie.
        QTemporaryDir tmp;
        const QList<QStringList> sets{
            {"Heat.CD1.avi", "Heat.CD2.avi"}, {"x.mpg"}, {"A, b | c.asf"}, {"Real.rm"}, {"Big.mkv"}};
        qint64 bytes = 1048576 * 3 / 2;
        for (const QStringList &names : sets) {
            QTemporaryDir dir(tmp.filePath(QStringLiteral("XXXXXX")));
            QStringList paths;
            for (const QString &name : names)
                paths << makeFile(dir.filePath(name), bytes += 1048576 * 7 / 3);
            const QList<FoundMovie> found = groupMovies(walkTree(dir.path()), QStringLiteral("DISC"));
            QCOMPARE(found.size(), 1);

            Committed host;
            frmAddCD editor(&host);
            editor.chooseFiles(paths);
            child<QLineEdit>(&editor, "txtSize1")->setText(QString::number(found[0].parts));
            child<QLineEdit>(&editor, "txtLocation")->setText(QStringLiteral("DISC"));
            if (found[0].title != QFileInfo(paths[0]).completeBaseName()) // the editor titles by the whole first name
                child<QLineEdit>(&editor, "txtTitle")->setText(found[0].title);
            editor.cmdOK_Click();
            QCOMPARE(host.movies.size(), 1);
            QCOMPARE(movieOf(found[0]).f, host.movies[0].f);
            QCOMPARE(movieOf(found[0]).icon, host.movies[0].icon);
        }
    }

    void reviewKnowsTheList()
    {
        const QList<Movie> list{listed("Heat", "700\\1", "Heat.CD1.avi", "HEAT1"),
                                listed("Alien", "1400\\2", "a.avi, b.avi", "X")};
        auto found = [](const QString &title, const QString &name, quint64 mb, int firstPart) {
            FoundMovie f;
            f.title = title;
            f.files = {ScanFile{QStringLiteral("/d/") + name, name, mb * 1048576, QStringLiteral("640x272"), {}}};
            f.firstPart = firstPart;
            f.location = QStringLiteral("HEAT2");
            return f;
        };
        ScanReview review({found("Heat", "HEAT.cd1.AVI", 700, 1), found("Heat", "Heat.CD1.avi", 701, 1),
                           found("heat", "Heat.CD2.avi", 650, 2), found("Alien", "Alien.CD2.avi", 1, 2)},
                          list);
        const auto &rows = review.rows();
        QVERIFY(rows[0].catalogued && !rows[0].ticked); // same names, case ignored, same size
        QVERIFY(!rows[1].catalogued && rows[1].ticked); // another size
        QCOMPARE(rows[2].laterPartOf, 0);               // Heat has one CD, this is the second
        QCOMPARE(rows[3].laterPartOf, -1);              // Alien has two already
        QCOMPARE(review.tickedCount(), 3);

        ScanReview::Additions a = review.additions();
        QCOMPARE(a.added.size(), 2);
        QCOMPARE(a.extended.size(), 1);
        const Movie &heat = a.extended[0].second; // sizes and CDs added, files and location appended
        QCOMPARE(QStringList({heat[FTitle], heat[FSize], heat[FFiles], heat[FLocation]}).join(u'|'),
                 QStringLiteral("Heat|1350\\2|Heat.CD1.avi, Heat.CD2.avi|HEAT1, HEAT2"));

        review.setAddToListed(2, false); // as a movie of its own
        QCOMPARE(review.additions().added.size(), 3);
        review.setTitle(2, QStringLiteral("Heat II"));
        QCOMPARE(review.rows()[2].laterPartOf, -1);
        review.setTitle(2, QStringLiteral("Heat"));
        review.setAddToListed(2, true);
        review.setTicked(1, false);
        QCOMPARE(review.additions().added.size(), 1);

        // Both discs scanned again once the second part went in: nothing is new.
        const QList<Movie> after{withLaterPart(list[0], review.rows()[2].movie)};
        ScanReview again({found("Heat", "heat.cd1.avi", 700, 1), found("Heat", "Heat.CD2.avi", 650, 2)}, after);
        QVERIFY(again.rows()[0].catalogued && again.rows()[1].catalogued && again.tickedCount() == 0);

        QVERIFY(!review.merge({1}));
        QVERIFY(review.merge({1, 0})); // one movie of both, at the first one's place
        QCOMPARE(review.rows().size(), 3);
        QCOMPARE(review.rows()[0].movie[FSize], QStringLiteral("1401\\2"));
        QCOMPARE(review.rows()[0].movie[FFiles], QStringLiteral("HEAT.cd1.AVI, Heat.CD1.avi"));
        QVERIFY(review.split(0) && !review.split(0));
        QCOMPARE(described({review.rows()[0].found, review.rows()[1].found}),
                 (QStringList{"HEAT.cd1|1|1|HEAT.cd1.AVI", "Heat.CD1|1|1|Heat.CD1.avi"}));
    }

    void cancelEndsTheJobAtOnce_data()
    {
        QTest::addColumn<int>("when"); // 0: while walking, 1: while reading sizes, 2: destroyed while walking
        QTest::newRow("while walking") << 0;
        QTest::newRow("while reading sizes") << 1;
        QTest::newRow("destroyed while walking") << 2;
    }
    void cancelEndsTheJobAtOnce()
    {
        QFETCH(int, when);
        QTemporaryDir tmp;
        for (int i = 0; i < 200; ++i)
            makeFile(tmp.filePath(QStringLiteral("disc/%1/Movie.avi").arg(i)), 10);
        auto job = std::make_unique<ScanJob>();
        job->probeProgram = QStringLiteral("/bin/sh");
        job->probeArguments = {QStringLiteral("-c"), QStringLiteral("sleep 60")}; // never answers
        QList<ScanJob::Outcome> outcomes;
        connect(job.get(), &ScanJob::finished, this, [&](ScanJob::Outcome o) { outcomes << o; });
        if (when == 1)
            connect(job.get(), &ScanJob::probeStarted, this, [&] { QTimer::singleShot(0, job.get(), &ScanJob::cancel); });
        QElapsedTimer clock;
        clock.start();
        job->start(tmp.filePath(QStringLiteral("disc")));
        QVERIFY(job->running());
        if (when == 0)
            job->cancel();
        if (when == 2) {
            job.reset(); // cancel, then quit: the walk's thread ends with nothing left behind
            QVERIFY(outcomes == QList{ScanJob::Outcome::Cancelled});
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(!outcomes.isEmpty(), 10000);
        QVERIFY(clock.elapsed() < 10000);
        QVERIFY(outcomes == QList{ScanJob::Outcome::Cancelled});
        QVERIFY(!job->running() && job->movies().isEmpty());
        QTest::qWait(50); // a walk cancelled before its end reports nothing later
        QCOMPARE(outcomes.size(), 1);
    }

    void aJobFindsAndReadsTheSizes()
    {
        QTemporaryDir tmp;
        const QString disc = tmp.filePath(QStringLiteral("disc"));
        QDir().mkpath(disc + QStringLiteral("/Heat"));
        for (const char *name : {"Heat/Heat.CD1.avi", "Heat/Heat.CD2.avi", "Brazil.avi"})
            QVERIFY(QFile::copy(QStringLiteral(CINEMORK_TESTDATA "/clip-640x272.avi"), disc + u'/' + QLatin1String(name)));
        // a Latin-1 name from an old disc reaches its file
        QVERIFY(::rename(QFile::encodeName(disc + QStringLiteral("/Brazil.avi")).constData(),
                         QFile::encodeName(disc).append("/Br\xe9sil.avi").constData()) == 0);
        ScanJob job;
        QSignalSpy finished(&job, &ScanJob::finished);
        QSignalSpy probing(&job, &ScanJob::probing);
        job.start(disc);
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished[0][0].value<ScanJob::Outcome>(), ScanJob::Outcome::Found);
        QCOMPARE(described(job.movies()),
                 (QStringList{u"Br\ufffdsil|1|0|Br\ufffdsil.avi"_s, "Heat|2|1|Heat.CD1.avi/Heat.CD2.avi"}));
        for (const FoundMovie &m : job.movies())
            QCOMPARE(m.files[0].resolution, QStringLiteral("640x272"));
        QCOMPARE(probing.first()[1].value<qsizetype>(), 3); // told how many files there are to read

        job.start(tmp.filePath(QStringLiteral("none")));
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished[1][0].value<ScanJob::Outcome>(), ScanJob::Outcome::Unreadable);
    }

    void commandLineScan()
    {
        // The companion finds what the window finds, as CSV that "write" takes.
        QTemporaryDir tmp;
        QDir().mkpath(tmp.filePath(QStringLiteral("d/Heat")));
        for (const char *name : {"d/Heat/Heat.CD1.avi", "d/Heat/Heat.CD2.avi", "d/A, b | c.avi"})
            QVERIFY(
                QFile::copy(QStringLiteral(CINEMORK_TESTDATA "/clip-640x272.avi"), tmp.filePath(QLatin1String(name))));
        QProcess scan;
        scan.start(QCoreApplication::applicationDirPath() + QStringLiteral("/cinemork-list"),
                   {QStringLiteral("scan"), tmp.filePath(QStringLiteral("d")), QStringLiteral("--probe"),
                    QStringLiteral("--location"), QStringLiteral("Box 3")});
        QVERIFY(scan.waitForFinished());
        QCOMPARE(scan.exitCode(), 0);
        QCOMPARE(scan.readAllStandardOutput(),
                 QByteArray("title,size,res,codec,type,seenit,location,files,imdb\r\n"
                            "\"A, b | c\",0\\1,640x272,DivX,DVD Rip,no,Box 3,\"A, b | c.avi\",\r\n"
                            "Heat,0\\2,640x272,DivX,DVD Rip,no,Box 3,\"Heat.CD1.avi, Heat.CD2.avi\",\r\n"));
        scan.start(scan.program(), {QStringLiteral("scan"), tmp.filePath(QStringLiteral("none"))});
        QVERIFY(scan.waitForFinished());
        QCOMPARE(scan.exitCode(), 1);
    }
};

QTEST_MAIN(TestScan)
#include "tst_scan.moc"
