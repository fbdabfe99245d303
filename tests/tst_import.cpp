#include "import/collectionimport.h"
#include "moviefiles/moviefiles.h"
#include "import/importmatch.h"
#include "importsamples.h"
#include "scan/scanreview.h"
#include "testsupport.h"
#include "tools/companion.h"

#include <JlCompress.h>
#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <quazip.h>
#include <quazipfile.h>

using namespace cinemork;

namespace {

const QByteArray Header = "title,size,res,codec,type,seenit,location,files,imdb\r\n";
const QByteArray AlienLink = "https://www.imdb.com/title/tt0078748/";

struct Run
{
    int status;
    QByteArray out, err;
};

Run companion(const QStringList &args, const QByteArray &input = {})
{
    QByteArray outBytes, errBytes, in = input;
    QBuffer inBuffer(&in);
    inBuffer.open(QIODevice::ReadOnly);
    QTextStream out(&outBytes), err(&errBytes);
    const int status = runCompanion(args, out, err, &inBuffer);
    out.flush();
    err.flush();
    return {status, outBytes, errBytes};
}

// entries: name and content; the content's size may be claimed larger (a bomb's directory).
bool writeZip(const QString &path, const QList<std::pair<QString, QByteArray>> &entries, quint64 claimedSize = 0)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    for (const auto &[name, data] : entries) {
        QuaZipFile f(&zip);
        QuaZipNewInfo info(name);
        bool ok;
        if (claimedSize) { // packed bytes written as they are, under a directory that claims claimedSize
            info.uncompressedSize = ulong(claimedSize);
            ok = f.open(QIODevice::WriteOnly, info, nullptr, 0, Z_DEFLATED, Z_DEFAULT_COMPRESSION, true);
        } else {
            ok = f.open(QIODevice::WriteOnly, info);
        }
        if (!ok || f.write(data) != data.size())
            return false;
        f.close();
    }
    zip.close();
    return zip.getZipError() == 0;
}

const QByteArray TellicoXml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE tellico SYSTEM \"tellico.dtd\">\n"
    "<tellico xmlns=\"http://periapsis.org/tellico/\" syntaxVersion=\"11\">\n"
    " <collection title=\"Videos\" type=\"3\">\n"
    "  <fields><field name=\"title\" title=\"Title\" type=\"1\"/></fields>\n"
    "  <entry id=\"1\"><title>Alien</title><year>1979</year><medium>DVD Rip</medium><format>PAL</format>\n"
    "   <imdb>https://www.imdb.com/title/tt0078748/</imdb><seen>true</seen><location>Box 1</location>\n"
    "   <plot>A crew meets a creature.</plot><casts><cast><column>Sigourney Weaver</column></cast></casts></entry>\n"
    "  <entry id=\"2\"><title>Brazil (1985)</title><year>1985</year><format>VHS</format><location>Shelf</location></entry>\n"
    " </collection>\n</tellico>\n";

QString writeGriffithDb(const QString &path)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("make"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        for (const char *sql :
             {"CREATE TABLE vcodecs (vcodec_id INTEGER PRIMARY KEY, name TEXT)",
              "CREATE TABLE volumes (volume_id INTEGER PRIMARY KEY, name TEXT)",
              "CREATE TABLE movies (movie_id INTEGER PRIMARY KEY, title TEXT, o_title TEXT, year INTEGER, imdb_code TEXT,"
              " site TEXT, seen INTEGER, media_num INTEGER, width INTEGER, height INTEGER, vcodec_id INTEGER,"
              " volume_id INTEGER, plot TEXT)",
              "INSERT INTO vcodecs VALUES (1, 'DivX')", "INSERT INTO volumes VALUES (1, 'Box 1'), (2, 'Shelf')",
              "INSERT INTO movies VALUES (1, 'Alien', 'Alien', 1979, '0078748', '', 1, 1, 640, 272, 1, 1, 'a plot')",
              "INSERT INTO movies VALUES (2, 'Brazil (1985)', '', 1985, '', 'http://example.org/brazil', 0, 2,"
              " NULL, NULL, NULL, 2, '')"})
            q.exec(QString::fromLatin1(sql));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("make"));
    return path;
}

QByteArray checksum(const QString &path)
{
    return QCryptographicHash::hash(test::readFile(path), QCryptographicHash::Sha256);
}

} // namespace

class tst_import : public QObject
{
    Q_OBJECT
    QTemporaryDir m_tmp;
    QString path(const QString &name) { return m_tmp.filePath(name); }
    QString sample(const QString &name, const QByteArray &data)
    {
        test::writeFile(path(name), data);
        return path(name);
    }

private slots:
    void initTestCase() { test::isolateConfig(); }

    // Each sample through `import | write | dump`, found from its content and named by --format.
    void formats_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("rows");
        const QByteArray brazil = "Brazil (1985),\\2,,,VHS,no,Shelf,,\r\n";
        QTest::newRow("gcs") << sample("films.gcs", test::GcstarSample) << "gcs"
                             << "Alien (1979),\\1,,DivX,DVD Rip,yes,Box 1,alien.avi," + AlienLink + "\r\n" + brazil;
        const QByteArray tellicoRows =
            "Alien (1979),,,,DVD Rip,yes,Box 1,," + AlienLink + "\r\nBrazil (1985),,,,VHS,no,Shelf,,\r\n";
        QString tc = path("videos.tc");
        writeZip(tc, {{"images/cover.png", "png"}, {"tellico.xml", TellicoXml}});
        QTest::newRow("tc") << tc << "tc" << tellicoRows;
        QString bookcase = path("old.tc");
        writeZip(bookcase, {{"bookcase.xml", QByteArray(TellicoXml).replace("tellico", "bookcase")}});
        QTest::newRow("tc bookcase.xml") << bookcase << "tc" << tellicoRows;
        QTest::newRow("tellico.xml") << sample("tellico.xml", TellicoXml) << "tc" << tellicoRows;
        QTest::newRow("griffith xml")
            << sample("griffith.xml",
                      "<?xml version=\"1.0\"?>\n<root>\n <movie>\n  <title>  Alien  </title>\n  <o_title>Alien</o_title>\n"
                      "  <year> 1979 </year>\n  <site> http://www.imdb.com/title/tt0078748 </site>\n  <seen>True</seen>\n"
                      "  <media_name>DVD Rip</media_name>\n  <volumes_name> Box 1 </volumes_name>\n </movie>\n"
                      " <movie><title></title><o_title>Brazil (1985)</o_title><year>1985</year><seen>False</seen>"
                      "<media_name>VHS</media_name><volumes_name>Shelf</volumes_name></movie>\n</root>\n")
            << "griffith"
            << "Alien (1979),,,,DVD Rip,yes,Box 1,," + AlienLink + "\r\nBrazil (1985),,,,VHS,no,Shelf,,\r\n";
        QTest::newRow("griffith.db") << writeGriffithDb(path("griffith.db")) << "griffith"
                                     << "Alien (1979),\\1,640x272,DivX,,yes,Box 1,," + AlienLink
                                            + "\r\nBrazil (1985),\\2,,,,no,Shelf,,http://example.org/brazil\r\n";
        const QByteArray crowMovie =
            "<movie><title>Alien</title><year>1979</year><filename>C:\\Movies\\alien.avi</filename>"
            "<filesize>734003200</filesize><width>640</width><height>272</height><video-codec>DivX</video-codec>"
            "<storage-medium><storage-medium><name>DVD Rip</name></storage-medium></storage-medium>"
            "<container>Box 1</container><state>Seen</state><webpage>http://www.imdb.com/title/tt0078748/</webpage>"
            "<description>long</description></movie>\n";
        const QByteArray crowRow = "Alien (1979),700\\1,640x272,DivX,DVD Rip,yes,Box 1,alien.avi," + AlienLink + "\r\n";
        QTest::newRow("datacrow")
            << sample("crow.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<data-crow-objects>\n" + crowMovie
                                      + "</data-crow-objects>\n")
            << "datacrow" << crowRow;
        QTest::newRow("datacrow 5")
            << sample("crow5.xml", "<data-crow-objects><movie-items>\n" + crowMovie + "</movie-items></data-crow-objects>")
            << "datacrow" << crowRow;
        const QByteArray ours = "Heat,1400\\2,640x272,DivX,DVD Rip,no,Box 2,\"heat1.avi, heat2.avi\",\r\n";
        QTest::newRow("csv ours") << sample("ours.csv", Header + ours) << "csv" << ours;
        QTest::newRow("csv imdb")
            << sample("ratings.csv", "Const,Your Rating,Date Rated,Title,URL,Title Type,IMDb Rating,Runtime (mins),"
                                     "Year,Genres,Num Votes,Release Date,Directors\r\ntt0078748,9,2020-01-01,Alien,"
                                     "https://www.imdb.com/title/tt0078748/,movie,8.5,117,1979,Horror,900000,"
                                     "1979-05-25,Someone\r\n")
            << "csv" << "Alien (1979),,,,,yes,,," + AlienLink + "\r\n";
        QTest::newRow("csv letterboxd")
            << sample("watched.csv", "\xEF\xBB\xBF" "Date,Name,Year,Letterboxd URI\n2021-02-03,\"Brazil\",1985,"
                                     "https://boxd.it/2a9q\n")
            << "csv" << QByteArray("Brazil (1985),,,,,no,,,https://boxd.it/2a9q\r\n"); // a page says "no" for unknown

        const QString lib = path("library");
        QDir().mkpath(lib + "/Alien (1979)");
        QDir().mkpath(lib + "/Brazil");
        test::writeFile(lib + "/Alien (1979)/Alien.avi", QByteArray(3 << 20, 'v'));
        test::writeFile(lib + "/Alien (1979)/Alien.nfo",
                        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<movie><title>Alien</title><year>1979</year>"
                        "<uniqueid type=\"tmdb\">348</uniqueid><uniqueid type=\"imdb\">tt0078748</uniqueid>"
                        "<playcount>2</playcount><actor><name>Someone</name></actor><fileinfo><streamdetails>"
                        "<video><codec>h264</codec><width>1920</width><height>800</height></video>"
                        "<audio><codec>aac</codec></audio></streamdetails></fileinfo></movie>\n");
        test::writeFile(lib + "/Brazil/Brazil.mkv", QByteArray(1 << 20, 'v'));
        QTest::newRow("nfo") << lib << "nfo"
                             << "Alien (1979),3\\1,1920x800,h264,DVD Rip,yes,library,Alien.avi," + AlienLink
                                    + "\r\nBrazil,1\\1,,DivX,DVD Rip,no,library,Brazil.mkv,\r\n";
    }
    void formats()
    {
        QFETCH(QString, file);
        QFETCH(QString, format);
        QFETCH(QByteArray, rows);
        for (const QStringList &extra : {QStringList{}, QStringList{"--format", format}}) {
            const Run imported = companion(QStringList{"import", file} + extra);
            QCOMPARE(imported.err, QByteArray());
            QCOMPARE(imported.status, 0);
            const QString page = path("page.html");
            const Run written = companion({"write", page, "--title", "Films"}, imported.out);
            QCOMPARE(written.err, QByteArray());
            const Run dumped = companion({"dump", page});
            QCOMPARE(dumped.out, Header + rows);
        }
    }

    // Every bad input: status 1, an error naming the file and the place, nothing on standard output.
    void badInput_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("error");
        QTest::newRow("xml broken") << sample("broken.gcs", "<collection type=\"GCfilms\">\n<item title=\"A\">\n</collection>")
                                    << "" << "broken.gcs: line 3, column 13:";
        QTest::newRow("gcs of books") << sample("books.gcs", "<collection type=\"GCbooks\"><item title=\"A\"/></collection>")
                                      << "" << "books.gcs: line 1, column 27: a GCstar collection of type \"GCbooks\"";
        QTest::newRow("tellico of books")
            << sample("books.xml", QByteArray(TellicoXml).replace("type=\"3\"", "type=\"2\"")) << ""
            << "of type \"2\", not of movies";
        QTest::newRow("claimed gcs") << sample("t.xml", TellicoXml) << "gcs" << "line 3, column 66: not the expected";
        QTest::newRow("not the declared encoding")
            << sample("latin1.gcs", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<collection type=\"GCfilms\">\n"
                                    "<item title=\"Caf\xe9\"/></collection>")
            << "" << "latin1.gcs: line 1, column 38: Encountered incorrectly encoded content"; // where the reader's piece began
        const QString secret = sample("secret.txt", "SECRET");
        QTest::newRow("external entity")
            << sample("ext.gcs", "<?xml version=\"1.0\"?>\n<!DOCTYPE collection [<!ENTITY e SYSTEM \"file://" + secret.toUtf8()
                                     + "\">]>\n<collection type=\"GCfilms\"><item title=\"&e;\"/></collection>")
            << "" << "ext.gcs: line 2, column";
        QByteArray laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE c [<!ENTITY a \"aaaaaaaaaa\">";
        for (char e = 'b'; e <= 'g'; ++e)
            laughs += "<!ENTITY " + QByteArray(1, e) + " \"" + QByteArray("&" + QByteArray(1, e - 1) + ";").repeated(10) + "\">";
        QTest::newRow("entity expansion")
            << sample("laughs.gcs", laughs + "]>\n<collection type=\"GCfilms\"><item title=\"&g;\"/></collection>") << ""
            << "entity expansion limit";
        QTest::newRow("datacrow cut off") << sample("cut.xml", "<data-crow-objects><movie><title>A") << ""
                                          << "cut.xml: line 1, column 34: Premature end";
        auto zip = [this](const char *name, QList<std::pair<QString, QByteArray>> entries, quint64 claimed = 0) {
            writeZip(path(name), entries, claimed);
            return path(name);
        };
        QTest::newRow("tc with two") << zip("two.tc", {{"tellico.xml", TellicoXml}, {"tellico.xml", TellicoXml}}) << ""
                                     << "two.tc: the archive holds more than one tellico.xml";
        QTest::newRow("tc with none") << zip("none.tc", {{"other.xml", TellicoXml}}) << ""
                                      << "none.tc: the archive holds no tellico.xml";
        QTest::newRow("tc ratio") << zip("ratio.tc", {{"tellico.xml", TellicoXml + QByteArray(4 << 20, ' ')}}) << ""
                                  << "ratio.tc: tellico.xml would unpack to";
        QTest::newRow("tc too big") << zip("big.tc", {{"tellico.xml", QByteArray(4096, 'x')}}, quint64(600) << 20) << ""
                                    << "big.tc: tellico.xml would unpack to 600 MB";
        QTest::newRow("tc not a zip") << sample("bad.tc", "PK\x03\x04 not really") << "" << "bad.tc: not a zip";
        QTest::newRow("damaged db") << sample("damaged.db", QByteArray("SQLite format 3\0", 16) + QByteArray(3000, '\x7f'))
                                    << "" << "damaged.db: the database could not be read";
        QTest::newRow("csv not utf-8") << sample("latin1.csv", Header + "Alien,,,,,,,,\r\nCaf\xe9,,,,,,,,\r\n") << ""
                                       << "latin1.csv: line 3";
        QTest::newRow("csv fields") << sample("fields.csv", "Name,Year,Letterboxd URI\nAlien,1979\n") << ""
                                    << "fields.csv: line 2: 2 fields where the header has 3";
        QTest::newRow("csv quote") << sample("quote.csv", "Name,Year,Letterboxd URI\n\"Alien,1979,x\n") << ""
                                   << "quote.csv: line 2: a quoted field never ends";
        QTest::newRow("csv unknown header") << sample("other.csv", "Film,Jahr\nAlien,1979\n") << ""
                                            << "other.csv: line 1: a header that names no known columns";
        const QString lib = path("badlib");
        QDir().mkpath(lib);
        test::writeFile(lib + "/Heat.avi", "v");
        test::writeFile(lib + "/Heat.nfo", "<movie><title>Heat</title>\n<year>1995</movie>");
        QTest::newRow("nfo broken") << lib << "" << "Heat.nfo: line 2, column";
        QTest::newRow("missing") << path("nothing.gcs") << "gcs" << "nothing.gcs:";
    }
    void badInput()
    {
        QFETCH(QString, file);
        QFETCH(QString, format);
        QFETCH(QString, error);
        QStringList args{"import", file};
        if (!format.isEmpty())
            args << "--format" << format;
        const Run r = companion(args);
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, QByteArray());
        QVERIFY2(r.err.contains(error.toUtf8()), r.err.constData());
        QVERIFY(!r.err.contains("SECRET"));
    }

    // Opened read-only: the file is byte for byte as it was, also when another program holds a lock,
    // which is an error, not a wait without end.
    void griffithDbUntouched()
    {
        const QString db = writeGriffithDb(path("untouched.db"));
        const QByteArray before = checksum(db);
        QCOMPARE(importCollection(db).movies.size(), 2);
        QCOMPARE(checksum(db), before);
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
            other.setDatabaseName(db);
            QVERIFY(other.open());
            QSqlQuery lock(other);
            QVERIFY(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
            const ImportResult locked = importCollection(db);
            QVERIFY(!locked.ok);
            QVERIFY2(locked.error.contains(QStringLiteral("locked")), qPrintable(locked.error));
            lock.exec(QStringLiteral("ROLLBACK"));
            other.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
        QCOMPARE(checksum(db), before);
    }

    // Another header: the columns chosen say what each holds.
    void csvChosenColumns()
    {
        const QString file = sample("mine.csv", "Jahr,Film,Ort,Gesehen,Datei\n1979,Alien,Box 1,1,alien.avi\n");
        QCOMPARE(importCollection(file).csvHeader, (QStringList{"Jahr", "Film", "Ort", "Gesehen", "Datei"}));
        const CsvColumns columns = CsvColumns::fromText(QStringLiteral("title=1;year=0;location=2;files=4;watched=3;imdb=-1"));
        QCOMPARE(CsvColumns::fromText(columns.text()), columns);
        const ImportResult r = importCollection(file, ImportFormat::Csv, nullptr, &columns);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(QStringList(r.movies.first().f.begin(), r.movies.first().f.end()),
                 (QStringList{"Alien (1979)", "", "", "", "", "yes", "Box 1", "alien.avi", ""}));
    }

    void imdbLinks_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("link");
        const QString alien = QString::fromLatin1(AlienLink);
        QTest::newRow("number") << "78748" << alien;
        QTest::newRow("mobile address") << "https://m.imdb.com/title/tt0078748/?ref_=x" << alien;
        QTest::newRow("other site kept") << "https://example.org/tt0078748" << "https://example.org/tt0078748";
        QTest::newRow("none") << "  " << "";
    }
    void imdbLinks()
    {
        QFETCH(QString, given);
        QFETCH(QString, link);
        QCOMPARE(imdbLink(given), link);
    }

    // The review of imported movies: "already catalogued" by IMDb id or by title and year; a merge joins
    // two rows as parts of one movie.
    void review()
    {
        QList<Movie> list{test::movie(QStringLiteral("Alien (1979)")), test::movie(QStringLiteral("Heat"))};
        list[1][FImdb] = QStringLiteral("http://www.imdb.com/title/tt0113277/");
        Movie heat = test::movie(QStringLiteral("Heat (1995)")), brazil = test::movie(QStringLiteral("Brazil (1985)"));
        heat[FImdb] = imdbLink(QStringLiteral("tt0113277"));
        Movie brazil2 = brazil;
        brazil2[FLocation] = QStringLiteral("Box 2");
        const ImportMatch match(list);
        ScanReview review({test::movie(QStringLiteral("alien  (1979)")), heat, brazil, brazil2}, list,
                          [&](const Movie &m) { return match.catalogued(m); });
        QCOMPARE(review.rows()[0].catalogued, true);
        QCOMPARE(review.rows()[1].catalogued, true);
        QCOMPARE(review.tickedCount(), 2);
        QVERIFY(review.merge({2, 3}));
        QCOMPARE(review.rows().size(), 3);
        QCOMPARE(review.rows()[2].movie[FSize], QStringLiteral("1400\\2"));
        QCOMPARE(review.rows()[2].found.parts, 2);
        const ScanReview::Additions a = review.additions();
        QCOMPARE(a.added.size(), 1);
        QVERIFY(a.extended.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_import)
#include "tst_import.moc"
