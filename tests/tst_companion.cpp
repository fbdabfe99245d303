#include "listfile/csv.h"
#include "tools/companiontexts.h"
#include "listfile/pagetexts.h"
#include "listfile/pagewriter.h"
#include "probe/videoprobe.h"
#include "settings/modregistry.h"
#include "testsupport.h"
#include "tools/companion.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

using namespace cinemork;
using namespace Qt::StringLiterals;
using test::readFile;
using test::writeFile;

namespace {

using test::Run;
using test::Sanitized;

Run companion(const QStringList &args, const QByteArray &input = {}, int timeLimitMs = 30000)
{
    return test::runProgram(test::builtCompanion(), args, input, timeLimitMs);
}

// The companion at the end of a shell pipeline: script's "$0" is the companion, "$1" and on the arguments.
Run companionIn(const QString &script, const QStringList &args, quint64 dataLimit = 0)
{
    return test::runProgram(QStringLiteral("/bin/sh"), QStringList{"-c", script, test::builtCompanion()} + args, {},
                            120000, dataLimit);
}

const QString Data = QStringLiteral(CINEMORK_TESTDATA "/");

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
        // the store's settings, each option given taking the place of its own
        saveSetting(Reg::BrowserColumnsFixedWidth, QStringLiteral("33%|0|0|0|0|0|0|0"));
        const QStringList options{"--title", "Mine", "--index", "1", "--columns", "11111111"};
        QList<Movie> movies{test::movie(QStringLiteral("Zelig \"the\" film")), test::movie(QStringLiteral("Alien"))};
        movies[0][FLocation] = QStringLiteral("a, b</b & あ");
        movies[1][FLocation] = QStringLiteral("line\r\nbreak\nand\rmore");
        const QByteArray csv = moviesToCsv(movies).toUtf8();
        QCOMPARE(companion(QStringList{"write", path("out.html")} + options, csv).status, 0);
        const QByteArray page =
            PageWriter::page(QStringLiteral("Mine"), movies, {"11111111", "33%|0|0|0|0|0|0|0", true, {}});
        QCOMPARE(readFile(path("out.html")), page);

        Run r = companion({"dump", path("out.html")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out.toUtf8(), csv); // file order, every value as written
        QVERIFY(writeFile(path("dumped.csv"), r.out.toUtf8()));
        QCOMPARE(companion(QStringList{"write", path("again.html"), "--from", path("dumped.csv")} + options).status, 0);
        QCOMPARE(readFile(path("again.html")), page);
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("args"); // DIR stands for a folder holding in.csv, broken.html and fifo
        QTest::addColumn<QByteArray>("input"); // none: the movies of in.csv
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error"); // found after "cinemork-list: " in the error output, DIR as above
        const auto row = [](const char *name, const QStringList &args, int status, const QString &error,
                            const QByteArray &input = {}) { QTest::newRow(name) << args << input << status << error; };
        row("no command", {}, 2, "a command is missing\nUsage:");
        row("an unknown command", {"frobnicate"}, 2, "\"frobnicate\" is no command\nUsage:");
        row("dump without a list", {"dump"}, 2, "LIST is missing\nUsage:");
        row("an option given twice", {"dump", "DIR/x", "--format", "csv", "--format", "json"}, 2,
            "--format is given twice\nUsage:");
        row("a word too many", {"stats", "DIR/x", "DIR/y"}, 2, "\"DIR/y\" is one argument too many\nUsage:");
        row("an unknown option", {"scan", "DIR", "--prob"}, 2, "unknown option --prob\n");
        row("check without its list", {"check", "DIR"}, 2, "--list is missing\n");
        row("a one-letter option", {"scan", "-x", "DIR"}, 2, "unknown option -x\n");
        row("an option for a value", {"scan", "DIR", "--location", "--probe"}, 2, "--location needs a value\n");
        row("help among the words", {"dump", "DIR/x", "-h"}, 0, ""); // and nothing on the error output
        row("a word after --", {"dump", "--", "--x.html"}, 1, "--x.html: No such file");
        row("probe --stdin with a file too", {"probe", "--stdin", "DIR/in.csv"}, 2,
            "\"DIR/in.csv\" is one argument too many\n");
        row("an unknown format", {"dump", "DIR/x", "--format", "xml"}, 2, "--format takes csv or json, not \"xml\"\n");
        row("write without a title", {"write", "DIR/new.html"}, 2, "--title is missing\n");
        row("an option without its value", {"write", "DIR/new.html", "--title"}, 2, "--title needs a value\n");
        row("an index neither 0 nor 1", {"write", "DIR/new.html", "--title", "T", "--index", "2"}, 2,
            "--index takes 0 or 1, not \"2\"\n");
        row("a folder as the list", {"dump", "DIR", "--format", "json"}, 1, "DIR: is a folder\n");
        row("a list that is no list", {"dump", "DIR/broken.html"}, 1,
            "DIR/broken.html: not a list page (Error#62: Input past end of file)");
        // a target that is not a regular file is left as it is; so is the input, however the path is spelt
        row("a pipe as the list to write", {"write", "DIR/fifo", "--title", "T"}, 1, "DIR/fifo is not a regular file");
        row("the input as the list", {"write", "DIR/./in.csv", "--title", "T", "--from", "DIR/in.csv"}, 1,
            "DIR/./in.csv: the list would be written over its own input");
        // input that would change on its way into the list
        const QStringList write{"write", "DIR/new.html", "--title", "T"};
        const QByteArray header = "title,size,res,codec,type,seenit,location,files,imdb\r\n";
        const QByteArray movie = "A,700\\1,,,VCD,yes,,,\r\n";
        const QString unread = QStringLiteral("the movies could not be read: "), utf8 = "the text is not valid UTF-8";
        row("a column named twice", write, 1, unread + "the header row names the column size twice",
            "title,size,res,codec,type,seenit,location,files,imdb,size\r\nA,1\\1,,,,no,,,,2\\1\r\n");
        row("CSV without its header", write, 1, unread + "the header row lacks", "not,the,header\r\n");
        row("invalid UTF-8", write, 1, unread + "line 3: " + utf8, header + movie + "B\xE9,1\\1,,,,no,,,\r\n");
        row("UTF-16 surrogate in UTF-8", write, 1, unread + "line 2: " + utf8, header + "\xED\xA0\x80,,,,,,,,\r\n");
        row("more fields than the header", write, 1, unread + "line 4: 10 fields where the header has 9",
            header + movie + movie + "C,1\\1,,,,no,,,,extra\r\n");
        row("fewer fields than the header", write, 1, unread + "line 2: 2 fields where the header has 9",
            header + "\"A\r\nB\",700\\1\r\n");
        row("a quoted field that never ends", write, 1, unread + "line 3: a quoted field that never ends",
            header + movie + "\"A,\r\n\r\n");
        row("text after a closing quote", write, 1, unread + "line 2: text after the closing quote of a field",
            header + "\"A\"B,,,,,,,,\r\n");
        const QString huge = unread + "line %1: a record larger than 64 MB";
        row("a record larger than 64 MB", write, 1, huge.arg(3),
            header + movie + '"' + QByteArray(65 << 20, 'x') + "\",,,,,,,,\r\n");
        row("input without end", write + QStringList{"--from", "/dev/zero"}, 1, huge.arg(1));
    }
    void failures()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QByteArray csv = moviesToCsv({test::movie(QStringLiteral("One"))}).toUtf8();
        QVERIFY(writeFile(dir.filePath(QStringLiteral("in.csv")), csv));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("broken.html")), "<HTML>\r\n"));
        const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("fifo")));
        QCOMPARE(mkfifo(fifo.constData(), 0600), 0);
        const Run r =
            companion(args.replaceInStrings(QStringLiteral("DIR"), dir.path()), input.isEmpty() ? csv : input);
        QTEST(r.status, "status");
        error.replace(QStringLiteral("DIR"), dir.path());
        QVERIFY2(error.isEmpty() ? r.err.isEmpty() : r.err.contains("cinemork-list: " + error), qPrintable(r.err));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
                 (QStringList{"broken.html", "fifo", "in.csv"})); // nothing written
        struct stat st;
        QVERIFY(lstat(fifo.constData(), &st) == 0 && S_ISFIFO(st.st_mode)); // still the pipe
        QCOMPARE(readFile(dir.filePath(QStringLiteral("in.csv"))), csv);
    }

    void outputThatCannotBeWrittenIsAFailure_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("error");
        QTest::newRow("a full disk") << R"(exec "$0" dump "$1" >/dev/full)" << "the output could not be written";
        QTest::newRow("closed") << R"(exec "$0" dump "$1" >&-)"
                                << "cinemork-list: standard output is closed: Bad file descriptor\n";
    }
    void outputThatCannotBeWrittenIsAFailure()
    {
        QFETCH(QString, script);
        QFETCH(QString, error);
        QVERIFY(writeFile(path("out.html"), PageWriter::page(QStringLiteral("T"), {}, PageSettings())));
        const Run r = companionIn(script, {path("out.html")});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(error), qPrintable(r.err));
    }

    void aStyleSheetThatCannotBeReadIsNamed_data()
    {
        QTest::addColumn<QString>("css"); // DIR: the test's folder
        QTest::addColumn<QString>("reason");
        QTest::newRow("a pipe") << "DIR/fifo" << "is not a regular file";
        QTest::newRow("not there") << "DIR/none.css" << "No such file or directory";
    }
    void aStyleSheetThatCannotBeReadIsNamed()
    {
        QFETCH(QString, css);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        css.replace(QStringLiteral("DIR"), dir.path());
        const QByteArray csv = moviesToCsv({test::movie(QStringLiteral("One"))}).toUtf8();
        const QString out = dir.filePath(QStringLiteral("out.html"));
        const Run r = companion({"write", out, "--title", "T", "--css", css}, csv, 10000); // a pipe is never waited for
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, "cinemork-list: " + css + ": " + reason + "; the default style sheet is used\n");
        QVERIFY(readFile(out).contains(Page::DefaultCss[0]));
    }

    void aLargeListIsDumpedInLittleMemory_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("csv") << "csv";
        QTest::newRow("json") << "json";
    }
    void aLargeListIsDumpedInLittleMemory()
    {
        // 200,000 movies make a page of about 60 MB; kept whole, with their output, they took ten times that
        QFETCH(QString, format);
        const QString page = path("large.html");
        if (!QFileInfo::exists(page)) {
            QList<Movie> movies(200000, test::movie(QString()));
            for (qsizetype i = 0; i < movies.size(); ++i) {
                movies[i][FTitle] = QStringLiteral("Movie number %1 of the large list").arg(i);
                movies[i][FFiles] = QStringLiteral("movie-%1.cd1.avi, movie-%1.cd2.avi").arg(i);
                movies[i][FImdb] = QStringLiteral("https://www.imdb.com/title/tt%1/").arg(i, 7, 10, QChar(u'0'));
            }
            test::writePage(page, movies, QStringLiteral("Large"));
        }
        const Run r = companionIn(QStringLiteral("exec \"$0\" dump \"$1\" --format \"$2\" | tail -c 400"),
                                  {page, format}, quint64(160) << 20);
        QCOMPARE(r.status, 0);
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        QVERIFY2(r.out.contains(QStringLiteral("tt0199999/")), qPrintable(r.out)); // the last movie, and its end
    }

    void jsonIsWrittenAsADocumentWouldBe_data()
    {
        QTest::addColumn<int>("count");
        for (const int count : {0, 1, 3})
            QTest::addRow("%d movies", count) << count;
    }
    void jsonIsWrittenAsADocumentWouldBe()
    {
        // written a movie at a time, the output keeps the bytes that callers have been reading
        QFETCH(int, count);
        QList<Movie> movies;
        for (int i = 0; i < count; ++i) {
            movies << test::movie(QStringLiteral("\"Quoted\" \\ and \t tabbed ") + QString::number(i));
            movies.last()[FLocation] = QStringLiteral("line\r\nbreak あ");
        }
        const QString title = QStringLiteral("Mine \"quoted\"");
        test::writePage(path("json.html"), movies, title);
        QJsonArray array;
        for (const Movie &m : movies) {
            QJsonObject o;
            for (int f = 0; f < FieldCount; ++f)
                o.insert(FieldKeys[size_t(f)], m[f]);
            array.append(o);
        }
        const QJsonObject doc{{QStringLiteral("title"), title}, {QStringLiteral("movies"), array}};
        const Run r = companion({"dump", path("json.html"), "--format", "json"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out.toUtf8(), QJsonDocument(doc).toJson(QJsonDocument::Indented));
    }

    void probeCommand()
    {
        // with more than one file, each line names its file; one failure fails the command
        const QString sound = Data + QStringLiteral("sound-only.avi");
        const Run r = companion({QStringLiteral("probe"), sound, path("none.avi")});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, sound + QStringLiteral(": no-video\n") + path("none.avi") + QStringLiteral(": not-found\n"));
    }

    void probeAnswersEachPathAsItComes()
    {
        // names are bytes ended by NUL: a newline, a comma or a bar is part of the name
        const QString odd = path("one\nclip, a|b.avi");
        QVERIFY(QFile::copy(Data + QStringLiteral("clip-640x272.avi"), odd));
        const std::pair<QString, QByteArray> answers[] = {
            {Data + "clip-352x240.mpg", "352x240"}, {odd, "640x272"},
            {path("none.avi"), "not-found"},        {Data + "sound-only.avi", "no-video"},
            {Data + "README", "open-failed"},       {QString(), "not-found"}};
        QProcess p;
        p.start(test::builtCompanion(), {QStringLiteral("probe"), QStringLiteral("--stdin")});
        for (const auto &[file, answer] : answers) {
            p.write(QFile::encodeName(file) + '\0');
            QElapsedTimer clock;
            clock.start();
            while (!p.canReadLine() && clock.elapsed() < 10000)
                p.waitForReadyRead(10000 - int(clock.elapsed()));
            QCOMPARE(p.readLine(), answer + '\n'); // while the input stays open
        }
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 0);
        // a last path without its NUL is a path too; no input, no answer
        Run r = companion({QStringLiteral("probe"), QStringLiteral("--stdin")}, QFile::encodeName(odd));
        QCOMPARE(r.out, QStringLiteral("640x272\n"));
        r = companion({QStringLiteral("probe"), QStringLiteral("--stdin")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString());
    }

    void aPathLongerThanTheSystemTakesIsNotKept()
    {
        // 300 MB of path, then a clip: the long path names no file, and is never held whole
        const Run r = companionIn(
            QStringLiteral("{ head -c 300000000 /dev/zero | tr '\\0' a; printf '\\0%s\\0' \"$1\"; } | exec \"$0\" probe --stdin"),
            {Data + QStringLiteral("clip-640x272.avi")}, quint64(128) << 20);
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("not-found\n640x272\n"));
    }

    void aFileSwappedForAFifoDoesNotHangTheProbe()
    {
        const QByteArray file = QFile::encodeName(path("swapped.avi"));
        QVERIFY(QFile::copy(Data + QStringLiteral("clip-640x272.avi"), path("swapped.avi")));
        auto probed = std::async(std::launch::async, [&] {
            return probeVideoFile(file, 15000, [&] { // after the file was found, before it is opened
                ::unlink(file.constData());
                ::mkfifo(file.constData(), 0600);
            });
        });
        if (probed.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            ::close(::open(file.constData(), O_WRONLY | O_NONBLOCK)); // lets the stuck probe go on
            probed.wait();
            QFAIL("the probe waits for a writer of the FIFO");
        }
        QCOMPARE(probed.get().text(), QStringLiteral("not-found"));
    }

    void aNameThatIsNoUtf8KeepsItsBytes_data()
    {
        QTest::addColumn<QString>("script"); // "$1": the folder holding the clip as "Am\xe9lie.avi"
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("probe FILE") << R"sh(exec "$0" probe "$1/$(printf 'Am\351lie.avi')")sh" << "640x272\n" << "";
        QTest::newRow("probe --stdin") << R"sh(printf '%s/Am\351lie.avi\0' "$1" | exec "$0" probe --stdin)sh"
                                       << "640x272\n" << "";
        const QString shown = u"Am\ufffdlie"_s;
        QTest::newRow("scan --probe") << R"(exec "$0" scan "$1" --probe --location Box)"
                                      << "title,size,res,codec,type,seenit,location,files,imdb\r\n" + shown
                + ",0\\1,640x272,DivX,DVD Rip,no,Box," + shown + ".avi,\r\n"
                                      << "cinemork-list: DIR/" + shown + ".avi: " + CompanionTexts::NotShownExactly + "\n";
    }
    void aNameThatIsNoUtf8KeepsItsBytes()
    {
        QFETCH(QString, script);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QTemporaryDir dir;
        QVERIFY(QFile::copy(Data + QStringLiteral("clip-640x272.avi"), dir.filePath(QStringLiteral("clip"))));
        QVERIFY(::rename(QFile::encodeName(dir.filePath(QStringLiteral("clip"))).constData(),
                         QFile::encodeName(dir.path()).append("/Am\xe9lie.avi").constData()) == 0);
        const Run r = companionIn(script, {dir.path()});
        QCOMPARE(r.out, out);
        QCOMPARE(r.err, QString(err).replace(QStringLiteral("DIR"), dir.path()));
        QCOMPARE(r.status, 0);
    }

    void probeReadsOnlyTheFileItself_data()
    {
        QTest::addColumn<QByteArray>("content"); // NAME stands for the file it names
        QTest::addColumn<QString>("named");
        const QByteArray playlist = "#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10,\nNAME\n#EXT-X-ENDLIST\n";
        QTest::newRow("playlist naming a clip") << playlist << "clip.avi";
        QTest::newRow("list of files to join") << QByteArray("ffconcat version 1.0\nfile NAME\n") << "clip.avi";
    }
    void probeReadsOnlyTheFileItself()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, named);
        if (!QFileInfo::exists(path("clip.avi")))
            QVERIFY(QFile::copy(Data + QStringLiteral("clip-640x272.avi"), path("clip.avi")));
        QVERIFY(writeFile(path("list.avi"), content.replace("NAME", named.toUtf8())));
        // the probe's own time limit is 15 s: a file that is not followed is done long before
        const Run r = companion({QStringLiteral("probe"), path("list.avi")}, {}, 10000);
        QCOMPARE(r.out, QStringLiteral("open-failed\n"));
        QCOMPARE(r.status, 1);
    }
};

QTEST_GUILESS_MAIN(tst_companion)
#include "tst_companion.moc"
