#include "listfile/csv.h"
#include "listfile/pagewriter.h"
#include "settings/modregistry.h"
#include "testsupport.h"
#include "tools/companion.h"
#include "videofiles.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace cinemork;

namespace {

struct Run
{
    int status;
    QString out, err;
};

Run run(const QStringList &args, const QByteArray &input = {})
{
    QString out, err;
    QTextStream o(&out), e(&err);
    QByteArray in = input;
    QBuffer buffer(&in);
    buffer.open(QIODevice::ReadOnly);
    const int status = runCompanion(args, o, e, &buffer);
    return {status, out, err};
}

QString program()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/cinemork-list");
}

// Runs cinemork-list as its own process with a bounded address space, so that a fault that makes it
// grow without end ends it instead of the machine; one that runs longer than the time given is killed.
Run runProgram(const QStringList &args, const QByteArray &input = {}, int timeLimitMs = 30000)
{
    QProcess p;
#if !defined(__SANITIZE_ADDRESS__) && !(defined(__has_feature) && __has_feature(address_sanitizer))
    p.setChildProcessModifier([] {
        const rlimit limit{rlim_t(4) << 30, rlim_t(4) << 30};
        setrlimit(RLIMIT_AS, &limit);
    });
#endif
    p.start(program(), args);
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(timeLimitMs)) {
        p.kill();
        p.waitForFinished();
        return {-1, {}, QStringLiteral("still running after %1 ms").arg(timeLimitMs)};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

bool isFifo(const QString &path)
{
    struct stat st;
    return lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}

Movie movie(const QString &title, const QString &location)
{
    Movie m;
    m[FTitle] = title;
    m[FSize] = QStringLiteral("700\\1");
    m[FSeenit] = QStringLiteral("yes");
    m[FLocation] = location;
    m[FType] = QStringLiteral("VCD");
    m.icon = 2;
    return m;
}

} // namespace

class tst_companion : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const char *n) const { return m_dir.filePath(QString::fromLatin1(n)); }

private slots:
    void initTestCase() { test::isolateConfig(); }
    void init()
    {
        test::clearStore();
        InitSettings();
    }

    void writeThenDump()
    {
        const QList<Movie> movies{movie(QStringLiteral("Zelig, \"the\" film"), QStringLiteral("a</b & あ")),
                                  movie(QStringLiteral("Alien"), QStringLiteral("line\nbreak")),
                                  movie(QStringLiteral("Movie, The"), QStringLiteral("Shelf"))};
        const QString csv = moviesToCsv(movies);
        Run r =
            run({"write", path("out.html"), "--title", "Mine", "--index", "1", "--columns", "11111111"}, csv.toUtf8());
        QCOMPARE(r.status, 0);
        QFile f(path("out.html"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        PageSettings s;
        s.columns = QStringLiteral("11111111");
        s.createIndex = true;
        QCOMPARE(f.readAll(), PageWriter::page(QStringLiteral("Mine"), movies, s)); // what Save writes

        r = run({"dump", path("out.html")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, csv); // file order, every value as written
        QVERIFY(r.out.endsWith(QStringLiteral("\r\n\"Movie, The\",700\\1,,,VCD,yes,Shelf,,\r\n")));
        QCOMPARE(moviesFromCsv(r.out).movies, movies);
        r = run({"dump", path("out.html"), "--format", "json"});
        QCOMPARE(r.status, 0);
        const QJsonObject doc = QJsonDocument::fromJson(r.out.toUtf8()).object();
        QCOMPARE(doc.value("title").toString(), QStringLiteral("Mine"));
        const QJsonArray list = doc.value("movies").toArray();
        QCOMPARE(list.size(), 3);
        QCOMPARE(list[0].toObject().value("location").toString(), QStringLiteral("a</b & あ"));
        QCOMPARE(list[1].toObject().value("seenit").toString(), QStringLiteral("yes"));
    }

    void writeTakesTheStoredSettings()
    {
        saveSetting(Reg::BrowserColumns, QStringLiteral("10000000"));
        saveSetting(Reg::BrowserColumnsFixedWidth, QStringLiteral("33%|0|0|0|0|0|0|0"));
        const QString csvFile = path("in.csv");
        QFile in(csvFile);
        QVERIFY(in.open(QIODevice::WriteOnly));
        in.write(moviesToCsv({movie("One", "x")}).toUtf8());
        in.close();
        QCOMPARE(run({"write", path("stored.html"), "--title", "T", "--from", csvFile}).status, 0);
        QFile f(path("stored.html"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray page = f.readAll();
        QVERIFY(page.contains("  <TH WIDTH=\"33%\">Movie&nbsp;title</TH>\r\n  <!--TH>Size</TH-->"));
        QVERIFY(!page.contains("CLASS=\"index\""));
    }

    void failuresAndUsage()
    {
        QCOMPARE(run({}).status, 2);
        QCOMPARE(run({"frobnicate"}).status, 2);
        QCOMPARE(run({"dump"}).status, 2);
        QCOMPARE(run({"dump", "x", "--format", "xml"}).status, 2);
        QCOMPARE(run({"write", path("a.html")}).status, 2); // no title
        QCOMPARE(run({"write", path("a.html"), "--title", "T", "--index", "2"}).status, 2);
        QVERIFY(run({"write", path("a.html"), "--title"}).err.startsWith(QStringLiteral("Usage:")));
        QCOMPARE(run({"--help"}).status, 0);

        Run r = run({"dump", path("missing.html")});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains(QStringLiteral("missing.html")));
        QFile broken(path("broken.html"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("<HTML>\r\n");
        broken.close();
        r = run({"dump", path("broken.html")});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.startsWith(
            QStringLiteral("An unexpected error occurred. Possibly the list is invalid or contains an error.")));
        QCOMPARE(run({"write", path("x.html"), "--title", "T"}, "not,the,header\r\n").status, 1);
        QVERIFY(!QFile::exists(path("x.html")));
        QCOMPARE(run({"write", m_dir.path(), "--title", "T"}, moviesToCsv({}).toUtf8()).status, 1);
        // output that cannot be written is no success
        QVERIFY(run({"write", path("full.html"), "--title", "T"}, moviesToCsv({movie("One", "x")}).toUtf8()).status
                == 0);
        QProcess full;
        full.setStandardOutputFile(QStringLiteral("/dev/full"));
        full.start(program(), {QStringLiteral("dump"), path("full.html")});
        QVERIFY(full.waitForFinished(30000));
        QCOMPARE(full.exitCode(), 1);
        QVERIFY(full.readAllStandardError().contains("the output could not be written"));

        // a target that is not a regular file is left as it is
        const QString fifo = path("fifo");
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        r = run({"write", fifo, "--title", "T"}, moviesToCsv({}).toUtf8());
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(fifo + QStringLiteral(" is not a regular file")), qPrintable(r.err));
        QVERIFY(isFifo(fifo));
        // so is the input when it is also the output, however the path is spelt
        const QString same = path("same.csv");
        const QByteArray csv = moviesToCsv({movie("One", "x")}).toUtf8();
        QFile in(same);
        QVERIFY(in.open(QIODevice::WriteOnly));
        in.write(csv);
        in.close();
        r = run({"write", m_dir.path() + QStringLiteral("/./same.csv"), "--title", "T", "--from", same});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QStringLiteral("same.csv")), qPrintable(r.err));
        QVERIFY(in.open(QIODevice::ReadOnly));
        QCOMPARE(in.readAll(), csv);
    }

    void csvInputThatWouldChangeIsAnError_data()
    {
        QTest::addColumn<QStringList>("from"); // empty: the input below on standard input
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("line");
        const QByteArray header = "title,size,res,codec,type,seenit,location,files,imdb\r\n";
        const QByteArray row = "A,700\\1,,,VCD,yes,,,\r\n";
        QTest::newRow("invalid UTF-8") << QStringList() << header + row + "B\xE9,1\\1,,,,no,,,\r\n" << 3;
        QTest::newRow("UTF-16 surrogate in UTF-8") << QStringList() << header + "\xED\xA0\x80,,,,,,,,\r\n" << 2;
        QTest::newRow("more fields than the header")
            << QStringList() << header + row + row + "C,1\\1,,,,no,,,,extra\r\n"
            << 4;
        QTest::newRow("fewer fields than the header") << QStringList() << header + "\"A\r\nB\",700\\1\r\n" << 2;
        QTest::newRow("a quoted field that never ends") << QStringList() << header + row + "\"A,\r\n\r\n" << 3;
        QTest::newRow("text after a closing quote") << QStringList() << header + "\"A\"B,,,,,,,,\r\n" << 2;
        QByteArray huge = header + row + '"' + QByteArray(65 << 20, 'x') + "\",,,,,,,,\r\n";
        QTest::newRow("a record larger than 64 MB") << QStringList() << huge << 3;
        QTest::newRow("input without end") << QStringList{"--from", "/dev/zero"} << QByteArray() << 1;
    }
    void csvInputThatWouldChangeIsAnError()
    {
        QFETCH(QStringList, from);
        QFETCH(QByteArray, input);
        QFETCH(int, line);
        const Run r = runProgram(QStringList{"write", path("csv.html"), "--title", "T"} + from, input);
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QStringLiteral("line %1: ").arg(line)), qPrintable(r.err));
        QVERIFY(!QFile::exists(path("csv.html")));
    }

    void probeCommand()
    {
        const QString clip = path("clip.avi");
        QVERIFY(test::makeVideo(clip, "avi", 320, 176));
        Run r = runProgram({QStringLiteral("probe"), clip});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("320x176\n"));
        r = runProgram({QStringLiteral("probe"), clip, path("none.avi")});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, clip + QStringLiteral(": 320x176\n") + path("none.avi") + QStringLiteral(": not-found\n"));
    }

    void probeReadsOnlyTheFileItself_data()
    {
        QTest::addColumn<QByteArray>("content"); // NAME stands for the file it names
        QTest::addColumn<QString>("named");
        const QByteArray playlist = "#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10,\nNAME\n#EXT-X-ENDLIST\n";
        QTest::newRow("playlist naming a clip") << playlist << "clip.avi";
        QTest::newRow("playlist naming itself") << playlist << "list.avi";
        QTest::newRow("playlist naming a pipe") << playlist << "pipe.avi";
        QTest::newRow("list of files to join") << QByteArray("ffconcat version 1.0\nfile NAME\n") << "clip.avi";
    }
    void probeReadsOnlyTheFileItself()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, named);
        QVERIFY(test::makeVideo(path("clip.avi"), "avi", 320, 176));
        if (!QFileInfo::exists(path("pipe.avi")))
            QCOMPARE(mkfifo(QFile::encodeName(path("pipe.avi")).constData(), 0600), 0);
        QFile list(path("list.avi"));
        QVERIFY(list.open(QIODevice::WriteOnly | QIODevice::Truncate));
        list.write(content.replace("NAME", named.toUtf8()));
        list.close();
        // the probe's own time limit is 15 s: a file that is not followed is done long before
        const Run r = runProgram({QStringLiteral("probe"), list.fileName()}, {}, 10000);
        QCOMPARE(r.out, QStringLiteral("open-failed\n"));
        QCOMPARE(r.status, 1);
    }
};

QTEST_GUILESS_MAIN(tst_companion)
#include "tst_companion.moc"
