#include "listfile/csv.h"
#include "listfile/pagefile.h"
#include "listfile/pagereader.h"
#include "listfile/pagetext.h"
#include "listfile/pagetexts.h"
#include "listfile/pagewriter.h"
#include "listfile/sizes.h"

#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace cinemork;

namespace {

Movie movie(const QString &title, const QString &size = QStringLiteral("700\\1"), const QString &imdb = {},
            const QString &seen = QStringLiteral("no"), const QString &type = QStringLiteral("DVD Rip"))
{
    Movie m;
    m[FTitle] = title;
    m[FSize] = size;
    m[FRes] = QStringLiteral("640x272");
    m[FCodec] = QStringLiteral("DivX");
    m[FType] = type;
    m[FSeenit] = seen;
    m[FLocation] = QStringLiteral("Box 1");
    m[FFiles] = title + QStringLiteral(".avi");
    m[FImdb] = imdb;
    m.icon = iconForTypeText(type);
    return m;
}

QByteArray crlf(const char *text)
{
    QByteArray b(text);
    b.replace("\n", "\r\n");
    return b;
}

QList<QByteArray> pageLines(const QByteArray &page)
{
    QList<QByteArray> lines = page.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &l : lines) {
        if (!l.endsWith('\r'))
            return {}; // every line must end in CR LF
        l.chop(1);
    }
    return lines;
}

qsizetype tableLine(const QList<QByteArray> &lines)
{
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i].startsWith("<TABLE"))
            return i;
    return -1;
}

// The footer's download line: a link to the home address the build was given, or an anchor without one.
QByteArray downloadLine()
{
    return *Page::HomeAddress ? "<A HREF=\"" + pageText(QString::fromUtf8(Page::HomeAddress)) + "\">"
                              : QByteArray("<A>");
}

// A page as the test data holds it, its download line as this build writes it.
QByteArray expectedPage(const char *name)
{
    QFile f(QStringLiteral(CINEMORK_TESTDATA "/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray page = crlf(f.readAll().constData());
    const QByteArray before = "compliant HTML4.0 code.<BR>\r\n";
    const qsizetype from = page.indexOf(before) + before.size();
    const qsizetype to = page.indexOf("\r\n", from);
    if (from < before.size() || to < 0)
        return {};
    return page.replace(from, to - from, downloadLine());
}

} // namespace

class tst_listfile : public QObject
{
    Q_OBJECT

private slots:
    void defaultPageByteForByte()
    {
        const QList<Movie> movies{movie(QStringLiteral("Alien"), QStringLiteral("700\\1"),
                                        QStringLiteral("http://www.imdb.com/title/tt0078748/"), QStringLiteral("yes")),
                                  movie(QStringLiteral("Brazil"), QStringLiteral("1400\\2"), {}, QString())};
        QCOMPARE(PageWriter::page(QStringLiteral("Films"), movies, PageSettings()), expectedPage("default-page.html"));
    }

    void columnsAndWidths_data()
    {
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("widths");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QString>("filesCell");
        const QStringList hidden8{"  <TH>Movie&nbsp;title</TH>",
                                  "  <TH>Size</TH>",
                                  "  <TH>Res</TH>",
                                  "  <TH>Codec</TH>",
                                  "  <TH>Type</TH>",
                                  "  <TH>Watched</TH>",
                                  "  <TH>Location</TH>",
                                  "  <!--TH>Filenames</TH-->"};
        QStringList all8 = hidden8;
        all8[7] = "  <TH>Filenames</TH>";
        QTest::newRow("all eight shown") << "11111111"
                                         << "0|0|0|0|0|0|0|0" << all8 << "  <TD>x.avi</TD>";
        QTest::newRow("seven characters hide the eighth") << "1111111"
                                                          << "0|0|0|0|0|0|0|0" << hidden8 << "  <!--TD>x.avi</TD-->";
        QStringList widths = all8;
        widths[1] = "  <TH WIDTH=\"20%\">Size</TH>";
        widths[6] = "  <!--TH>Location</TH-->";
        widths[7] = "  <TH WIDTH=\"150\">Filenames</TH>";
        QTest::newRow("widths, hidden column ignores its width")
            << "11111101"
            << "0|20%|0|0|0|0|90|150" << widths << "  <TD>x.avi</TD>";
        QStringList unsplit{"  <TH WIDTH=\"\">Movie&nbsp;title</TH>",
                            "  <!--TH>Size</TH-->",
                            "  <TH WIDTH=\"\">Res</TH>",
                            "  <TH WIDTH=\"\">Codec</TH>",
                            "  <TH WIDTH=\"\">Type</TH>",
                            "  <TH WIDTH=\"\">Watched</TH>",
                            "  <TH WIDTH=\"\">Location</TH>",
                            "  <!--TH>Filenames</TH-->"};
        QTest::newRow("widths that do not split into eight") << "1011111x"
                                                             << "0|0|0" << unsplit << "  <!--TD>x.avi</TD-->";
        QStringList none(8);
        for (int i = 0; i < 8; ++i)
            none[i] = QString("  <!--TH>%1</TH-->").arg(all8[i].mid(6, all8[i].size() - 11));
        QTest::newRow("every column hidden") << "00000000"
                                             << "0|0|0|0|0|0|0|0" << none << "  <!--TD>x.avi</TD-->";
    }
    void columnsAndWidths()
    {
        QFETCH(QString, columns);
        QFETCH(QString, widths);
        QFETCH(QStringList, headers);
        QFETCH(QString, filesCell);
        PageSettings s;
        s.columns = columns;
        s.widths = widths;
        const QList<QByteArray> lines =
            pageLines(PageWriter::page(QStringLiteral("T"), {movie(QStringLiteral("x"))}, s));
        const qsizetype t = tableLine(lines);
        QVERIFY(t > 0);
        QCOMPARE(lines[t + 2], QByteArray("  <TH STYLE=\"background-color: #FF8000\" COLSPAN=7>Movie list: T</TH>"));
        for (int i = 0; i < 8; ++i)
            QCOMPARE(QString::fromLatin1(lines[t + 5 + i]), headers[i]);
        QCOMPARE(QString::fromLatin1(lines[t + 23]), filesCell);
    }

    void indexBlockAndAnchors()
    {
        PageSettings s;
        s.createIndex = true;
        QList<Movie> movies;
        for (const char *t : {"2001", "Alien", "Aliens", "Brazil", "casablanca", "Zelig"})
            movies << movie(QString::fromLatin1(t), "1\\1", t == QByteArray("Brazil") ? "http://x/b" : "");
        const QList<QByteArray> lines = pageLines(PageWriter::page(QStringLiteral("I"), movies, s));
        const qsizetype t = tableLine(lines);
        QCOMPARE(lines[t + 3], QByteArray(" </TR>"));
        QCOMPARE(lines[t + 5], QByteArray("  <TD CLASS=\"index\" COLSPAN=7><CENTER>"));
        QCOMPARE(lines[t + 6], QByteArray("  <A HREF=\"#num\">#</A>"));
        QCOMPARE(lines[t + 7], QByteArray("  <A HREF=\"#a\">A</A>"));
        QCOMPARE(lines[t + 31], QByteArray("  <A HREF=\"#y\">Y</A>"));
        QCOMPARE(lines[t + 32], QByteArray("  <A HREF=\"#z\">Z</A></CENTER>"));
        QCOMPARE(lines[t + 33], QByteArray("</TD>"));
        QCOMPARE(lines[t + 34], QByteArray(" </TR>"));
        QCOMPARE(lines[t + 44], QByteArray(" </TR>"));
        const QByteArray expected[] = {"  <TD><A NAME=\"num\"></A>2001</TD>",
                                       "  <TD><A NAME=\"a\"></A>Alien</TD>",
                                       "  <TD>Aliens</TD>",
                                       "  <TD><A NAME=\"b\"></A><A HREF=\"http://x/b\">Brazil</A></TD>",
                                       "  <TD><A NAME=\"c\"></A>casablanca</TD>",
                                       "  <TD><A NAME=\"z\"></A>Zelig</TD>"};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(lines[t + 47 + 11 * i], expected[i]);
    }

    void anchorsFollowTheOrder()
    {
        IndexAnchors a;
        QCOMPARE(a.GetIndexAnchor(QStringLiteral("Brazil")), QStringLiteral("<A NAME=\"b\"></A>"));
        QCOMPARE(a.GetIndexAnchor(QStringLiteral("Alien")), QString());
        QCOMPARE(a.GetIndexAnchor(QStringLiteral("(500) Days")), QString());
        QCOMPARE(a.GetIndexAnchor(QStringLiteral("'Burbs")), QString());
        QCOMPARE(a.next(), QChar(u'c'));
        QCOMPARE(a.GetIndexAnchor(QStringLiteral("21 Grams")), QString()); // a digit after the first anchor
        QCOMPARE(a.GetIndexAnchor(QStringLiteral("Zulu")), QStringLiteral("<A NAME=\"z\"></A>"));
        QCOMPARE(a.GetIndexAnchor(QStringLiteral("Zz")), QString()); // after z nothing more
        IndexAnchors b;
        QCOMPARE(b.GetIndexAnchor(QStringLiteral("(x")), QString());
        QCOMPARE(b.next(), QChar(u'#'));
        QCOMPARE(b.GetIndexAnchor(QString()), QString());
        QCOMPARE(b.GetIndexAnchor(QStringLiteral("Éclair")), QString());
    }

    void styleSheetLines()
    {
        PageSettings s;
        s.cssLines = splitLines("a {x}\r\nb {y}\rc {z}\nd");
        QList<QByteArray> lines = pageLines(PageWriter::page(QStringLiteral("T"), {}, s));
        QCOMPARE(lines[7], QByteArray("<STYLE TYPE=\"text/css\"><!--"));
        QCOMPARE(lines.mid(8, 5), (QList<QByteArray>{"a {x}", "b {y}", "c {z}", "d", "--></STYLE>"}));
        s.cssLines = splitLines(QByteArray());
        lines = pageLines(PageWriter::page(QStringLiteral("T"), {}, s));
        QCOMPARE(lines[8], QByteArray("--></STYLE>"));
        // a line that begins like the table gets a leading blank, so the reader cannot take it for the table
        s.cssLines = QByteArrayList{"<TABLE {x}", " <TABLE", "TABLE<TABLE", "a\r\n<TABLE\nb"};
        lines = pageLines(PageWriter::page(QStringLiteral("T"), {}, s));
        QCOMPARE(lines.mid(8, 7),
                 (QList<QByteArray>{" <TABLE {x}", " <TABLE", "TABLE<TABLE", "a", " <TABLE", "b", "--></STYLE>"}));
    }

    void emptyList()
    {
        const QList<QByteArray> lines = pageLines(PageWriter::page(QStringLiteral("Nothing"), {}, PageSettings()));
        const qsizetype t = tableLine(lines);
        QCOMPARE(lines[t + 13], QByteArray(" </TR>"));
        QCOMPARE(lines[t + 14], QByteArray("</TABLE>"));
        QCOMPARE(lines[t + 16], QByteArray("Nothing:<BR>0 movies, 0 watched, 0 GB total<BR><BR>"));
        QCOMPARE(lines.mid(t + 19),
                 (QList<QByteArray>{downloadLine(), "Download Cinemork</A>.", "</FONT></CENTER></BODY></HTML>"}));
        const PageReadResult r = readPage(PageWriter::page(QStringLiteral("Nothing"), {}, PageSettings()));
        QVERIFY(r.ok);
        QCOMPARE(r.title, QStringLiteral("Nothing"));
        QVERIFY(r.movies.isEmpty());
    }

    void progressSteps_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("percents");
        QTest::newRow("9 movies") << 9 << QList<int>{};
        QTest::newRow("25 movies, every 10") << 25 << QList<int>{40, 80};
        QTest::newRow("150 movies, every 50") << 150 << QList<int>{33, 66, 100};
        QTest::newRow("1000 movies, every 100") << 1000 << QList<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100};
    }
    void progressSteps()
    {
        QFETCH(int, count);
        QList<Movie> movies(count, movie(QStringLiteral("m")));
        QList<int> seen;
        QByteArray data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(PageWriter::write(&buffer, QStringLiteral("P"), movies, PageSettings(), QStringLiteral("."),
                                  [&](int percent) { seen << percent; }));
        QTEST(seen, "percents");
    }

    void aRefusedWriteIsReported()
    {
        QBuffer readOnly;
        readOnly.open(QIODevice::ReadOnly);
        QVERIFY(!PageWriter::write(&readOnly, QStringLiteral("P"), {movie("m")}, PageSettings(), QStringLiteral(".")));
    }

    void savePageFile_data()
    {
        QTest::addColumn<QString>("target"); // "file", "fifo", "folder" or "full": a file that cannot grow
        QTest::addColumn<QString>("error");  // empty: saved
        QTest::newRow("over a list") << "file" << QString();
        QTest::newRow("a pipe") << "fifo"
                                << "TARGET is not a regular file";
        QTest::newRow("a folder") << "folder"
                                  << "TARGET is not a regular file";
        QTest::newRow("a write cut short") << "full" << QString::fromLocal8Bit(strerror(EFBIG));
    }
    void savePageFile()
    {
        QFETCH(QString, target);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.html"));
        const QByteArray old = PageWriter::page(QStringLiteral("Old"), {movie("Old")}, PageSettings());
        if (target == QLatin1String("fifo")) {
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (target == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(path));
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(old);
        }
        const QList<Movie> movies(2000, movie("New"));
        rlimit fileSize;
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &fileSize), 0);
        auto *const oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        if (target == QLatin1String("full")) {
            rlimit small = fileSize;
            small.rlim_cur = 100000; // the page takes several times that
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        const PageFileResult r =
            cinemork::savePageFile(path, QStringLiteral("New"), movies, PageSettings(), QStringLiteral("."));
        setrlimit(RLIMIT_FSIZE, &fileSize);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(r.error, QString(error).replace(QStringLiteral("TARGET"), path));
        QCOMPARE(r.ok, error.isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
                 QStringList{QStringLiteral("list.html")}); // no new file left behind
        struct stat st;
        QCOMPARE(lstat(QFile::encodeName(path).constData(), &st), 0);
        if (target == QLatin1String("fifo"))
            QVERIFY(S_ISFIFO(st.st_mode));
        else if (target == QLatin1String("folder"))
            QVERIFY(S_ISDIR(st.st_mode));
        else
            QCOMPARE(readPageFile(path).movies.size(), r.ok ? movies.size() : 1);
    }

    void sizesAndTotals()
    {
        QCOMPARE(megabytesOf(u"700\\1"), 700u);
        QCOMPARE(megabytesOf(u" 700 \\1"), 700u);
        QCOMPARE(megabytesOf(u"\\1"), 0u);
        QCOMPARE(megabytesOf(u"abc\\1"), 0u);
        QCOMPARE(megabytesOf(u"1.5\\1"), 0u);
        QCOMPARE(megabytesOf(u"700"), 0u);
        QCOMPARE(megabytesOf(u""), 0u);
        QCOMPARE(megabytesOf(u"18446744073709551615\\1"), 18446744073709551615u);
        QCOMPARE(megabytesOf(u"18446744073709551616\\1"), 0u);
        QCOMPARE(megabytesOf(u"-5\\1"), 0u);
        QCOMPARE(gigabytesText(2100, u"."), QStringLiteral("2.05"));
        QCOMPARE(gigabytesText(8770, u"."), QStringLiteral("8.56"));
        QCOMPARE(gigabytesText(0, u"."), QStringLiteral("0"));
        QCOMPARE(gigabytesText(2160, u","), QStringLiteral("2,1"));
        QCOMPARE(gigabytesText(1024, u"."), QStringLiteral("1"));
        QCOMPARE(gigabytesText(10, u"."), QStringLiteral("0"));
        // far beyond 32-bit and single-precision sums, still exact
        QCOMPARE(gigabytesText(MegabyteTotal(18446744073709551615u) * 2, u"."), QStringLiteral("36028797018963967.99"));

        const QList<Movie> movies{movie("a", "700\\1", {}, "yes"), movie("b", "1400\\2", {}, "Yes"), movie("c", ""),
                                  movie("d", "\\1"), movie("e", "abc\\1")};
        const QList<QByteArray> lines = pageLines(PageWriter::page(QStringLiteral("S"), movies, PageSettings()));
        QVERIFY(lines.contains("S:<BR>5 movies, 1 watched, 2.05 GB total<BR><BR>"));
        const PageReadResult r = readPage(PageWriter::page(QStringLiteral("S"), movies, PageSettings()));
        QVERIFY(r.ok);
        QCOMPARE(gigabytesText(totalsOf(r.movies).megabytes, u"."), QStringLiteral("2.05"));
        QCOMPARE(r.movies[4][FSize], QStringLiteral("abc\\1"));
    }

    void roundTripOfEveryLayout_data()
    {
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("widths");
        QTest::addColumn<bool>("index");
        QTest::addColumn<QByteArray>("css"); // null: the default style sheet
        QTest::newRow("defaults") << "11111110"
                                  << "0|0|0|0|0|0|0|0" << false << QByteArray();
        QTest::newRow("all hidden, index") << "00000000"
                                           << "0|0|0|0|0|0|0|0" << true << QByteArray();
        QTest::newRow("widths, index") << "11111111"
                                       << "10%|0|0|0|0|0|0|150" << true << QByteArray();
        QTest::newRow("bad widths") << "1"
                                    << "x" << false << QByteArray();
        QTest::newRow("user's style sheet") << "11111110"
                                            << "0|0|0|0|0|0|0|0" << false << QByteArray("body {x}\r\n");
        QTest::newRow("user's style sheet with a line like the table")
            << "11111110"
            << "0|0|0|0|0|0|0|0" << true
            << QByteArray(
                   "<TABLE WIDTH=\"100%\" BORDER CELLSPACING=0 CELLPADDING=2>\r\n <TR>\r\n"
                   "  <TH STYLE=\"background-color: #FF8000\" COLSPAN=7>Movie list: Other</TH>\r\n <TR>\n<TABLE\n");
    }
    void roundTripOfEveryLayout()
    {
        QFETCH(QString, columns);
        QFETCH(QString, widths);
        QFETCH(bool, index);
        QFETCH(QByteArray, css);
        PageSettings s{columns, widths, index, std::nullopt};
        if (!css.isNull())
            s.cssLines = splitLines(css);
        QList<Movie> movies{movie("Alien", "700\\1", "http://www.imdb.com/title/tt0078748/", "yes"),
                            movie("Brazil", "1400\\2", {}, "", "Cam"), movie("", "", "http://x/", "no", "VHS Rip"),
                            movie("2001", "1\\1", "", "no", "")};
        const PageReadResult r = readPage(PageWriter::page(QStringLiteral("Round"), movies, s));
        QVERIFY2(r.ok, qPrintable(r.errorDescription));
        QCOMPARE(r.title, QStringLiteral("Round"));
        movies[1][FSeenit] = QStringLiteral("no"); // an empty watched value comes back as "no"
        QCOMPARE(r.movies.size(), movies.size());
        for (int i = 0; i < movies.size(); ++i)
            QCOMPARE(r.movies[i].f, movies[i].f);
        QCOMPARE(r.movies[1].icon, 2); // Cam
        QCOMPARE(r.movies[2].icon, 3); // VHS Rip
        QCOMPARE(r.movies[3].icon, 5);
    }

    void hostileTextComesBackExactly()
    {
        Movie m = movie(QStringLiteral("Tom & Jerry <\"the\"> movie"));
        m[FLocation] = QStringLiteral("a</b");
        m[FImdb] = QStringLiteral("http://x/?a=\"1\"&b=<2>");
        m[FFiles] = QStringLiteral("line\r\nbreak\rand\nmore &amp; &#65; &nbsp; é");
        m[FCodec] = QStringLiteral("あ 😀 Ω");
        m[FType] = QStringLiteral("</TD>");
        m[FRes] = QStringLiteral("\u0080\u0085x\u009F\u00A0");
        const QString title = QStringLiteral("映画 & <list> \"x\"");
        PageSettings s;
        s.columns = QStringLiteral("11111111");
        s.createIndex = true;
        const QByteArray page = PageWriter::page(title, {m}, s);
        QVERIFY(page.contains("&#12354; &#128512; &#937;"));
        QVERIFY(page.contains("&#128;&#133;x&#159;\xA0"));
        QVERIFY(!std::any_of(page.begin(), page.end(), [](char c) { return uchar(c) >= 0x80 && uchar(c) < 0xA0; }));
        QVERIFY(page.contains("<TITLE>&#26144;&#30011; &amp; &lt;list&gt; &quot;x&quot;</TITLE>"));
        const PageReadResult r = readPage(page);
        QVERIFY(r.ok);
        QCOMPARE(r.title, title);
        QCOMPARE(r.movies.size(), 1);
        QCOMPARE(r.movies[0].f, m.f);
    }

    void hostilePagePassesTidy()
    {
        const QString tidy = QStandardPaths::findExecutable(QStringLiteral("tidy"));
        if (tidy.isEmpty())
            QSKIP("tidy is not installed");
        Movie m = movie(QStringLiteral("a<b>&\"c\" ü あ"));
        m[FImdb] = QStringLiteral("http://x/\"><script>");
        m[FLocation] = QStringLiteral("</TD></TR></TABLE>\r\n");
        PageSettings s;
        s.createIndex = true;
        QTemporaryDir dir;
        QFile f(dir.filePath(QStringLiteral("hostile.html")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(PageWriter::page(QStringLiteral("<x> & \"y\""), {m, movie("plain")}, s));
        f.close();
        QProcess p;
        p.start(tidy, {QStringLiteral("-q"), QStringLiteral("-e"), f.fileName()});
        QVERIFY(p.waitForFinished(30000));
        QVERIFY2(p.exitCode() < 2, p.readAllStandardError().constData());
    }

    void sevenColumnPage()
    {
        const char page[] =
            "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n"
            "<HTML><HEAD>\r\n<TITLE>Old list</TITLE>\r\n<STYLE></STYLE>\r\n"
            "<TABLE WIDTH=\"100%\" BORDER CELLSPACING=0 CELLPADDING=2>\r\n <TR>\r\n"
            "  <TH STYLE=\"background-color: #FF8000\" COLSPAN=7>Movie list: Old list</TH>\r\n"
            " </TR>\r\n <TR>\r\n  <TH>Movie&nbsp;title</TH>\r\n  <TH>Size</TH>\r\n  <TH>Res</TH>\r\n"
            "  <TH>Codec</TH>\r\n  <TH>Type</TH>\r\n  <TH>Location</TH>\r\n  <!--TH>Filenames</TH-->\r\n"
            " </TR>\r\n\r\n <TR>\r\n  <TD><A HREF=\"http://z/\">Zelig</A></TD>\r\n"
            "  <TD ALIGN=CENTER>650\\1</TD>\r\n  <TD ALIGN=CENTER></TD>\r\n  <TD>MPEG</TD>\r\n"
            "  <TD>VCD</TD>\r\n  <TD>Shelf</TD>\r\n  <!--TD>z.mpg</TD-->\r\n </TR>\r\n\r\n <TR>\r\n"
            "  <TD>Alien</TD>\r\n  <TD ALIGN=CENTER>700\\1</TD>\r\n  <TD ALIGN=CENTER>640x480</TD>\r\n"
            "  <TD>DivX</TD>\r\n  <TD>TV Grab</TD>\r\n  <TD>a</b</TD>\r\n  <!--TD>a.avi</TD-->\r\n"
            " </TR>\r\n</TABLE>\r\n";
        const PageReadResult r = readPage(QByteArray(page));
        QVERIFY2(r.ok, qPrintable(r.errorDescription));
        QVERIFY(r.sevenColumns);
        QCOMPARE(r.title, QStringLiteral("Old list"));
        QCOMPARE(r.movies.size(), 2);
        QCOMPARE(r.movies[0].f,
                 (std::array<QString, 9>{"Zelig", "650\\1", "", "MPEG", "VCD", "no", "Shelf", "z.mpg", "http://z/"}));
        QCOMPARE(r.movies[1][FLocation], QStringLiteral("a")); // cut at "</"
        QCOMPARE(r.movies[1].icon, 4);
        QCOMPARE(gigabytesText(totalsOf(r.movies).megabytes, u"."), QStringLiteral("1.31"));
    }

    void aPageCutWhileItIsReadIsAnError()
    {
        // Another program cuts the file during the read: the result is the whole list or an error.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cut.html"));
        const QByteArray name = QFile::encodeName(path);
        const QByteArray page = PageWriter::page(QStringLiteral("C"), QList<Movie>(10000, movie("m")), PageSettings());
        for (int delay = 0; delay < 4000; delay += 200) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QCOMPARE(f.write(page), page.size());
            f.close();
            int cut = -1;
            std::thread cutter([&] {
                std::this_thread::sleep_for(std::chrono::microseconds(delay));
                cut = ::truncate(name.constData(), page.size() / 3);
            });
            const PageReadResult r = readPageFile(path);
            cutter.join();
            QCOMPARE(cut, 0);
            QVERIFY(r.ok ? r.movies.size() == 10000
                         : (r.errorNumber == 62 || r.errorNumber == 5) && r.movies.isEmpty());
        }
    }

    void otherLineEndings()
    {
        const QList<Movie> movies{movie("One"), movie("Two")};
        const QByteArray page = PageWriter::page(QStringLiteral("E"), movies, PageSettings());
        for (const char *ending : {"\n", "\r"}) {
            QByteArray other = page;
            other.replace("\r\n", ending);
            const PageReadResult r = readPage(other);
            QVERIFY(r.ok);
            QCOMPARE(r.movies.size(), 2);
            QCOMPARE(r.movies[1].f, movies[1].f);
        }
    }

    void anchorWithoutLink()
    {
        const PageReadResult r = readPage(PageWriter::page("A", {movie("Alien"), movie("Blade", "1\\1", "http://b/")},
                                                           PageSettings{"11111110", "0|0|0|0|0|0|0|0", true, {}}));
        QVERIFY(r.ok);
        QCOMPARE(r.movies[0][FTitle], QStringLiteral("Alien"));
        QCOMPARE(r.movies[0][FImdb], QString());
        QCOMPARE(r.movies[1][FTitle], QStringLiteral("Blade"));
        QCOMPARE(r.movies[1][FImdb], QStringLiteral("http://b/"));
    }

    void brokenPagesGiveTheDesignedError()
    {
        const QByteArray page = PageWriter::page(QStringLiteral("B"), {movie("One"), movie("Two")}, PageSettings());
        // A page cut anywhere before the end of its "</TABLE>" line is an error, never a shorter list;
        // cut at the start of a line, it is the error of input past the end.
        const qsizetype tableEnd = page.indexOf("\r\n</TABLE>\r\n") + 10;
        QVERIFY(tableEnd > 10);
        for (qsizetype cut = 0; cut <= page.size(); ++cut) {
            const PageReadResult r = readPage(page.first(cut));
            if (cut >= tableEnd) {
                QVERIFY2(r.ok && r.movies.size() == 2, qPrintable(QString::number(cut)));
                continue;
            }
            QVERIFY2(!r.ok && r.movies.isEmpty(), qPrintable(QString::number(cut)));
            if (cut == 0 || page[cut - 1] == '\n')
                QCOMPARE(r.errorNumber, 62);
            else
                QVERIFY(r.errorNumber == 62 || r.errorNumber == 5);
        }
        QCOMPARE(readPage("a\r\nb\r\n<TITLE>x\r\n").errorNumber, 5); // third line too short
        QByteArray noClose = page;
        noClose.replace("  <TD>DivX</TD>", "  <TD>DivX");
        const PageReadResult r = readPage(noClose);
        QVERIFY(!r.ok);
        QCOMPARE(r.errorNumber, 5);
        QCOMPARE(r.errorDescription, QStringLiteral("Invalid procedure call or argument"));
        QByteArray badLink = page;
        badLink.replace("  <TD>One</TD>", "  <TD><A HREF=x>One</A></TD>");
        QCOMPARE(readPage(badLink).errorNumber, 5);
        // found by fuzzing: a link whose first quote is the closing pair's own
        badLink = page;
        badLink.replace("  <TD>One</TD>", "  <TD><A HREF\">One</A></TD>");
        QCOMPARE(readPage(badLink).errorNumber, 5);
    }

    void decodeLeavesUnknownReferences()
    {
        QCOMPARE(decodePageText("&nbsp;&amp;&#65;&#x42;&#X43;&#;&#xZ;&#1114112;&#55296;&unknown; &"),
                 QStringLiteral("&nbsp;&ABC&#;&#xZ;&#1114112;&#55296;&unknown; &"));
        QCOMPARE(pageText(u"\U0001F600"), QByteArray("&#128512;"));
    }

    void csvRoundTrip()
    {
        Movie m = movie(QStringLiteral("A, \"quoted\"\r\nline"));
        m[FLocation] = QStringLiteral("ü あ");
        const QString csv = moviesToCsv({m, movie("plain")});
        QVERIFY(csv.startsWith(QStringLiteral("title,size,res,codec,type,seenit,location,files,imdb\r\n")));
        const CsvParse back = moviesFromCsv(csv);
        QVERIFY(back.ok);
        QCOMPARE(back.movies.size(), 2);
        QCOMPARE(back.movies[0].f, m.f);
        QVERIFY(!moviesFromCsv(QStringLiteral("title,size\r\nx,1\r\n")).ok);
        QVERIFY(!moviesFromCsv(QStringLiteral("title,\"open")).ok);
    }
};

QTEST_GUILESS_MAIN(tst_listfile)
#include "tst_listfile.moc"
