#include "listfile/csv.h"
#include "listfile/pagefile.h"
#include "listfile/pagereader.h"
#include "listfile/pagetext.h"
#include "listfile/pagetexts.h"
#include "listfile/pagewriter.h"
#include "listfile/sizes.h"
#include "testsupport.h"

#include <QBuffer>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace cinemork;

namespace {

Movie movie(const QString &title, const QString &size = QStringLiteral("700\\1"), const QString &imdb = {},
            const QString &seen = QStringLiteral("no"), const QString &type = QStringLiteral("DVD Rip"))
{
    return {{title, size, QStringLiteral("640x272"), QStringLiteral("DivX"), type, seen, QStringLiteral("Box 1"),
             title + QStringLiteral(".avi"), imdb},
            iconForTypeText(type)};
}

QByteArrayList pageLines(const QByteArray &page)
{
    return QByteArray(page).replace("\r\n", "\n").split('\n');
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
        QByteArray expected =
            test::readFile(QStringLiteral(CINEMORK_TESTDATA "/default-page.html")).replace("\n", "\r\n");
        if (*Page::HomeAddress) // the download line of a build given a home address
            expected.replace("\n<A>\r", "\n<A HREF=\"" + pageText(QString::fromUtf8(Page::HomeAddress)) + "\">\r");
        QCOMPARE(PageWriter::page(QStringLiteral("Films"), movies, PageSettings()), expected);
    }

    void columnsAndWidths_data()
    {
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("widths");
        QTest::addColumn<QStringList>("heads"); // the opening tag of each column's head
        const QString th = QStringLiteral("TH"), hidden = QStringLiteral("!--TH");
        QTest::newRow("seven characters hide the eighth")
            << "1111111"
            << "0|0|0|0|0|0|0|0" << QStringList(7, th) + QStringList{hidden};
        QTest::newRow("widths, a hidden column ignores its width")
            << "11111101"
            << "0|20%|0|0|0|0|90|150"
            << QStringList{th, "TH WIDTH=\"20%\"", th, th, th, th, hidden, "TH WIDTH=\"150\""};
        const QString unsplit = QStringLiteral("TH WIDTH=\"\"");
        QTest::newRow("widths that do not split into eight")
            << "1011111x"
            << "0|0|0" << QStringList{unsplit, hidden, unsplit, unsplit, unsplit, unsplit, unsplit, hidden};
    }
    void columnsAndWidths()
    {
        QFETCH(QString, columns);
        QFETCH(QString, widths);
        QFETCH(QStringList, heads);
        const QByteArrayList lines = pageLines(
            PageWriter::page(QStringLiteral("T"), {movie(QStringLiteral("x"))}, {columns, widths, false, {}}));
        const qsizetype t = lines.indexOf(Page::TableOpen);
        QVERIFY(t > 0);
        for (int n = 0; n < 8; ++n) {
            const bool shown = !heads[n].startsWith(u'!');
            QCOMPARE(QString::fromLatin1(lines[t + 5 + n]),
                     QStringLiteral("  <%1>%2</TH%3")
                         .arg(heads[n], QLatin1String(Page::ColumnHeaders[size_t(n)]),
                              shown ? QStringLiteral(">") : QStringLiteral("-->")));
            QCOMPARE(lines[t + 16 + n].startsWith("  <TD"), shown); // the movie's cell
            QVERIFY(lines[t + 16 + n].endsWith(shown ? "</TD>" : "</TD-->"));
        }
    }

    void indexAnchors_data()
    {
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("anchors");
        const auto row = [](const char *name, const char *titles, const char *anchors) { // each split at ';'
            QTest::newRow(name) << QString::fromUtf8(titles).split(u';') << QString::fromLatin1(anchors).split(u';');
        };
        row("a digit first", "2001;Alien;Aliens;21 Grams;casablanca;Zelig;Zz", "num;a;;;c;z;");
        row("a letter first", "(500) Days;Brazil;Alien;'Burbs;;Éclair;1941;Dune", ";b;;;;;;d");
    }
    void indexAnchors()
    {
        QFETCH(QStringList, titles);
        QFETCH(QStringList, anchors);
        QList<Movie> movies;
        for (const QString &t : titles)
            movies << movie(t);
        const QByteArrayList lines = pageLines(PageWriter::page(QStringLiteral("I"), movies, {"1", "0", true, {}}));
        const qsizetype t = lines.indexOf(Page::TableOpen);
        QCOMPARE(lines.mid(t + 3, 5),
                 (QByteArrayList{" </TR>", " <TR>", "  <TD CLASS=\"index\" COLSPAN=7><CENTER>",
                                 "  <A HREF=\"#num\">#</A>", "  <A HREF=\"#a\">A</A>"}));
        QCOMPARE(lines.mid(t + 31, 4),
                 (QByteArrayList{"  <A HREF=\"#y\">Y</A>", "  <A HREF=\"#z\">Z</A></CENTER>", "</TD>", " </TR>"}));
        for (int i = 0; i < titles.size(); ++i) {
            const QByteArray anchor = anchors[i].isEmpty() ? "" : "<A NAME=\"" + anchors[i].toLatin1() + "\"></A>";
            QCOMPARE(lines[t + 47 + 11 * i], "  <TD>" + anchor + pageText(titles[i]) + "</TD>");
        }
    }

    void styleSheetLines_data()
    {
        QTest::addColumn<QByteArrayList>("css");
        QTest::addColumn<QByteArrayList>("written");
        QTest::newRow("a file's lines, any line end")
            << splitLines("a {x}\r\nb {y}\rc {z}\nd") << QByteArrayList{"a {x}", "b {y}", "c {z}", "d"};
        QTest::newRow("an empty file") << splitLines({}) << QByteArrayList{};
        // a line that begins like the table gets a leading blank, so the reader cannot take it for the table
        QTest::newRow("lines like the table")
            << QByteArrayList{"<TABLE {x}", " <TABLE", "TABLE<TABLE", "a\r\n<TABLE\nb"}
            << QByteArrayList{" <TABLE {x}", " <TABLE", "TABLE<TABLE", "a", " <TABLE", "b"};
    }
    void styleSheetLines()
    {
        QFETCH(QByteArrayList, css);
        QFETCH(QByteArrayList, written);
        written << "--></STYLE>";
        const QByteArrayList lines = pageLines(PageWriter::page(QStringLiteral("T"), {}, {"1", "0", false, css}));
        QCOMPARE(lines[7], QByteArray("<STYLE TYPE=\"text/css\"><!--"));
        QCOMPARE(lines.mid(8, written.size()), written);
    }

    void progressSteps_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("percents");
        QTest::newRow("9 movies") << 9 << QList<int>{};
        QTest::newRow("25 movies, every 10") << 25 << QList<int>{40, 80};
        QTest::newRow("150 movies, every 50") << 150 << QList<int>{33, 66, 100};
    }
    void progressSteps()
    {
        QFETCH(int, count);
        QList<int> seen;
        QByteArray data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(PageWriter::write(&buffer, QStringLiteral("P"), QList<Movie>(count, movie(QStringLiteral("m"))),
                                  PageSettings(), QStringLiteral("."), [&](int percent) { seen << percent; }));
        QTEST(seen, "percents");
    }

    void pageFileTargets_data()
    {
        // "file": a list; "fifo" with a page waiting in it; "folder"; "full": a list that cannot grow; or a path
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("readError"); // empty: read
        QTest::addColumn<QString>("saveError"); // empty: saved
        const QString notRegular = QStringLiteral("TARGET is not a regular file");
        QTest::newRow("a list") << "file" << QString() << QString();
        QTest::newRow("a pipe with a page in it") << "fifo" << notRegular << notRegular;
        QTest::newRow("a folder") << "folder" << QStringLiteral("TARGET is a folder") << notRegular;
        QTest::newRow("a device") << "/dev/null" << notRegular << notRegular;
        QTest::newRow("a write cut short") << "full" << QString() << QString::fromLocal8Bit(strerror(EFBIG));
    }
    void pageFileTargets()
    {
        QFETCH(QString, target);
        QFETCH(QString, readError);
        QFETCH(QString, saveError);
        QTemporaryDir dir;
        const bool given = target.startsWith(u'/');
        const QString path = given ? target : dir.filePath(QStringLiteral("list.html"));
        if (target == QLatin1String("fifo"))
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (target == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(path));
        else if (!given)
            QVERIFY(test::writeFile(path, PageWriter::page(QStringLiteral("Old"), {movie("Old")}, PageSettings())));
        int writer = -1;
        if (target == QLatin1String("fifo")) { // held open for writing, so a read would find the page
            writer = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NONBLOCK);
            const QByteArray page = PageWriter::page(QStringLiteral("P"), {movie("Piped")}, PageSettings());
            QCOMPARE(::write(writer, page.constData(), size_t(page.size())), ssize_t(page.size()));
        }
        const PageReadResult read = readPageFile(path);
        if (writer >= 0)
            ::close(writer);
        QCOMPARE(read.errorDescription, QString(readError).replace(QStringLiteral("TARGET"), path));
        QCOMPARE(read.movies.size(), readError.isEmpty() ? 1 : 0);

        const QList<Movie> movies(2000, movie("New"));
        PageFileResult r;
        const auto save = [&] {
            r = cinemork::savePageFile(path, QStringLiteral("New"), movies, PageSettings(), QStringLiteral("."));
        };
        if (target == QLatin1String("full"))
            test::withFileSizeLimit(100000, save); // the page takes several times that
        else
            save();
        QCOMPARE(r.error, QString(saveError).replace(QStringLiteral("TARGET"), path));
        QCOMPARE(r.ok, saveError.isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
                 given ? QStringList() : QStringList{QStringLiteral("list.html")}); // no new file left behind
        const bool regular = readError.isEmpty();
        QCOMPARE(QFileInfo(path).isFile(), regular); // nothing else is ever replaced
        if (regular)
            QCOMPARE(readPageFile(path).movies.size(), r.ok ? movies.size() : 1);
    }

    void sizesAndTotals()
    {
        QCOMPARE(megabytesOf(u" 700 \\1"), 700u);
        QCOMPARE(megabytesOf(u"18446744073709551615\\1"), 18446744073709551615u);
        for (const char16_t *size :
             {u"\\1", u"abc\\1", u"1.5\\1", u"-5\\1", u"700", u"18446744073709551616\\1", u"18446744073709551617\\1"})
            QCOMPARE(megabytesOf(size), 0u);
        QCOMPARE(gigabytesText(8770, u"."), QStringLiteral("8.56"));
        QCOMPARE(gigabytesText(2160, u","), QStringLiteral("2,1"));
        QCOMPARE(gigabytesText(10, u"."), QStringLiteral("0"));
        // far beyond 32-bit and single-precision sums, still exact
        QCOMPARE(gigabytesText(MegabyteTotal(18446744073709551615u) * 2, u"."), QStringLiteral("36028797018963967.99"));

        // only "yes" is watched; a size that is no number counts nothing and is kept as it is
        const QList<Movie> movies{movie("a", "700\\1", {}, "yes"), movie("b", "1400\\2", {}, "Yes"), movie("c", ""),
                                  movie("d", "abc\\1")};
        const QByteArray page = PageWriter::page(QStringLiteral("S"), movies, PageSettings());
        QVERIFY(pageLines(page).contains("S:<BR>4 movies, 1 watched, 2.05 GB total<BR><BR>"));
        QCOMPARE(readPage(page).movies, movies);
    }

    void textOnThePage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("markup") << "Tom & <\"Jerry\">" << QByteArray("Tom &amp; &lt;&quot;Jerry&quot;&gt;");
        QTest::newRow("line ends") << "a\r\nb\rc" << QByteArray("a&#13;&#10;b&#13;c");
        QTest::newRow("control characters")
            << "\u0080\u0085x\u009F\u00A0é" << QByteArray("&#128;&#133;x&#159;\xA0\xE9");
        QTest::newRow("beyond ISO-8859-1") << "あ 😀 Ω" << QByteArray("&#12354; &#128512; &#937;");
    }
    void textOnThePage()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(pageText(text), bytes); // read back by roundTrip, where the hostile row holds these texts
    }

    void decodeLeavesUnknownReferences()
    {
        QCOMPARE(decodePageText("&nbsp;&amp;&#65;&#x42;&#X43;&#;&#xZ;&#1114112;&#55296;&unknown; &"),
                 QStringLiteral("&nbsp;&ABC&#;&#xZ;&#1114112;&#55296;&unknown; &"));
    }

    void roundTrip_data()
    {
        QTest::addColumn<PageSettings>("settings");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QList<Movie>>("movies");
        QTest::addColumn<QByteArray>("lineEnd");
        const QList<Movie> four{movie("Alien", "700\\1", "http://www.imdb.com/title/tt0078748/", "yes"),
                                movie("Brazil", "1400\\2", {}, "", "Cam"), movie("", "", "http://x/", "no", "VHS Rip"),
                                movie("2001", "1\\1", "", "no", "")};
        const QString zeros = QStringLiteral("0|0|0|0|0|0|0|0");
        const QByteArray css = "<TABLE WIDTH=\"100%\" BORDER CELLSPACING=0 CELLPADDING=2>\r\n <TR>\r\n"
                               "  <TH STYLE=\"background-color: #FF8000\" COLSPAN=7>Movie list: Other</TH>\r\n"
                               " <TR>\n<TABLE\n";
        QTest::newRow("a style sheet with lines like the table")
            << PageSettings{"11111110", zeros, true, splitLines(css)} << "Round" << four << QByteArray("\r\n");
        const Movie m{{"Tom & Jerry <\"the\"> movie", "700\\1", "\u0080\u0085x\u009F\u00A0", "あ 😀 Ω", "</TD>", "no",
                       "a</b</TD></TR></TABLE>\r\n", "line\r\nbreak\rand\nmore &amp; &#65; &nbsp; é",
                       "http://x/?a=\"1\"&b=<2>\"><script>"},
                      5};
        QTest::newRow("hostile text, widths, index")
            << PageSettings{"11111111", "10%|0|0|0|0|0|0|150", true, {}} << "映画 & <list> \"x\""
            << QList<Movie>{m, movie("plain")} << QByteArray("\r\n");
        QTest::newRow("lines ending in LF, widths that do not split")
            << PageSettings{"1", "x", false, {}} << "Round" << four << QByteArray("\n");
        QTest::newRow("lines ending in CR, every column hidden, index")
            << PageSettings{"00000000", zeros, true, {}} << "Round" << four << QByteArray("\r");
        QTest::newRow("no movies") << PageSettings() << "Nothing" << QList<Movie>() << QByteArray("\r\n");
    }
    void roundTrip()
    {
        QFETCH(PageSettings, settings);
        QFETCH(QString, title);
        QFETCH(QList<Movie>, movies);
        QFETCH(QByteArray, lineEnd);
        const QByteArray page = PageWriter::page(title, movies, settings).replace("\r\n", lineEnd);
        QVERIFY(std::none_of(page.begin(), page.end(), [](char c) { return uchar(c) >= 0x80 && uchar(c) < 0xA0; }));
        const PageReadResult r = readPage(page);
        QVERIFY2(r.ok, qPrintable(r.errorDescription));
        QCOMPARE(r.title, title);
        for (Movie &m : movies)
            if (m[FSeenit].isEmpty())
                m[FSeenit] = QStringLiteral("no"); // an empty watched value comes back as "no"
        QCOMPARE(r.movies, movies);
        for (const qsizetype piece : {1, 2, 3, 7}) { // as a file is read, a few bytes at a time
            QBuffer device(const_cast<QByteArray *>(&page));
            QVERIFY(device.open(QIODevice::ReadOnly));
            QCOMPARE(readPage(&device, piece).movies, movies);
        }

        const QString tidy = QStandardPaths::findExecutable(QStringLiteral("tidy"));
        if (tidy.isEmpty())
            QSKIP("tidy is not installed: the page's markup is not checked");
        QTemporaryDir dir;
        QVERIFY(test::writeFile(dir.filePath(QStringLiteral("page.html")), page));
        const test::Run p = test::runProgram(tidy, {"-q", "-e", dir.filePath(QStringLiteral("page.html"))});
        QVERIFY2(p.status == 0 || p.status == 1, qPrintable(p.err)); // warnings, no errors
    }

    void sevenColumnPage()
    {
        // the layout before the watched column: this program's page without that column's lines
        QList<Movie> movies{movie("Zelig", "650\\1", "http://z/", "yes", "VCD"),
                            movie("Alien", "1\\1", {}, "yes", "TV Grab")};
        QByteArray page = PageWriter::page(QStringLiteral("Old list"), movies, PageSettings());
        page.replace("  <TH>Watched</TH>\r\n", "").replace("  <TD ALIGN=CENTER>yes</TD>\r\n", "");
        page.replace("Box 1</TD>", "a</b</TD>"); // text as it stood, cut at "</"
        for (Movie &m : movies) {
            m[FSeenit] = QStringLiteral("no");
            m[FLocation] = QStringLiteral("a");
        }
        const PageReadResult r = readPage(page);
        QVERIFY2(r.ok, qPrintable(r.errorDescription));
        QVERIFY(r.sevenColumns);
        QCOMPARE(r.title, QStringLiteral("Old list"));
        QCOMPARE(r.movies, movies);
    }

    void aPageCutWhileItIsReadIsAnError()
    {
        // Another program cuts the file while it is read, here once the first movie is in: the result is
        // an error, never a shorter list, and the program goes on (a mapped file would end it).
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cut.html"));
        const QByteArray page = PageWriter::page(QStringLiteral("C"), QList<Movie>(1000, movie("m")), PageSettings());
        QVERIFY(test::writeFile(path, page));
        const qsizetype cut = page.indexOf(" <TR>\r\n", page.size() / 3); // a third in, between movies
        QVERIFY(cut > 0);
        int handed = 0;
        const PageReadResult r = readPageFile(
            path,
            [&](Movie &&) {
                if (handed++ == 0)
                    QCOMPARE(::truncate(QFile::encodeName(path).constData(), cut), 0);
            },
            4096);
        QVERIFY(!r.ok);
        QCOMPARE(r.errorNumber, 62);
        QVERIFY(handed > 1); // the read went on after the cut
    }

    void csvStopsBeforeAPageTooLarge()
    {
        PageSettings settings; // every column shown: a hidden one's cell takes more
        settings.columns = QStringLiteral("11111111");
        const Movie m = movie(QStringLiteral("Brazil"), QStringLiteral("700\\1"), QStringLiteral("https://imdb/x"));
        const qint64 row = pageRowBytesAtLeast(m);
        // what a row adds to a page is never less than it is said to take at least
        const qint64 added = PageWriter::page(QStringLiteral("T"), {m, m}, settings).size()
            - PageWriter::page(QStringLiteral("T"), {m}, settings).size();
        QVERIFY2(added >= row, qPrintable(QStringLiteral("%1 < %2").arg(added).arg(row)));
        // the row (line 4) that takes the page past the limit stops the read
        QByteArray csv = moviesToCsv({m, m, m}).toUtf8();
        QBuffer in(&csv);
        in.open(QIODevice::ReadOnly);
        const CsvParse past = moviesFromCsv(&in, 3 * row - 1);
        QVERIFY(!past.ok);
        QVERIFY(past.movies.isEmpty());
        QVERIFY2(past.error.startsWith(QStringLiteral("line 4: the movies up to here would make a list page larger")),
                 qPrintable(past.error));
        in.seek(0);
        QCOMPARE(moviesFromCsv(&in, 3 * row).movies.size(), 3);
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
        const std::pair<QByteArray, QByteArray> faults[] = {
            {"  <TD>DivX</TD>", "  <TD>DivX"},                   // a cell that never closes
            {"  <TD>One</TD>", "  <TD><A HREF=x>One</A></TD>"},  // a link without quotes
            {"  <TD>One</TD>", "  <TD><A HREF\">One</A></TD>"}}; // found by fuzzing: the first quote is the pair's own
        for (const auto &[from, to] : faults) {
            const PageReadResult r = readPage(QByteArray(page).replace(from, to));
            QVERIFY(!r.ok && r.movies.isEmpty());
            QCOMPARE(r.errorNumber, 5);
            QCOMPARE(r.errorDescription, QStringLiteral("Invalid procedure call or argument"));
        }
    }
};

QTEST_GUILESS_MAIN(tst_listfile)
#include "tst_listfile.moc"
