#include "editor/editorhost.h"
#include "editor/frmaddcd.h"
#include "moviefiles/moviefiles.h"
#include "moviefiles/releasename.h"
#include "scan/nfo.h"
#include "scan/partmarker.h"
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

// Text .nfo files as release groups write them, in CP437 with box-drawing art, and XML as media
// managers write it.
const QByteArray Cp437Nfo = "\xC9\xCD\xCD\xCD\xCD\xBB\r\n\xBA \xB0\xB1\xB2 Heat \xB2\xB1\xB0 \xBA\r\n"
                            "\xBA http://www.imdb.com/title/tt0113277/ \xBA\r\n\xC8\xCD\xCD\xCD\xCD\xBC\r\n";
const QByteArray XmlNfo = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<movie><title>Heat</title><year>1995</year>"
                          "<uniqueid type=\"tmdb\">949</uniqueid><uniqueid type=\"imdb\" default=\"true\">tt0113277</uniqueid>"
                          "</movie>";

// "title|parts|first part|names" of each found movie.
QStringList described(const QList<FoundMovie> &movies)
{
    QStringList out;
    for (const FoundMovie &m : movies) {
        QStringList names;
        for (const ScanFile &f : m.files)
            names << f.name;
        out << QStringLiteral("%1|%2|%3|%4").arg(m.title).arg(m.parts).arg(m.firstPart).arg(names.join(u'/'))
                + (m.imdb.isEmpty() ? QString() : u'|' + m.imdb) + (m.twoIdsNfo.isEmpty() ? QString() : QStringLiteral("|two ids"));
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

// A movie found in "HEAT2" of the files named, each mb megabytes, its first part the one its first name marks.
FoundMovie foundOf(const QString &title, const QStringList &names, quint64 mb = 700)
{
    FoundMovie f;
    f.title = title;
    for (const QString &name : names)
        f.files << ScanFile{QStringLiteral("/d/") + name, name, mb * 1048576, {}, {}};
    f.parts = int(names.size());
    if (const auto marker = partMarker(names.first()))
        f.firstPart = marker->number;
    f.location = QStringLiteral("HEAT2");
    return f;
}

// What the companion's scan of root says on standard error when run by a user the folder's
// permissions keep out: the superuser runs it as nobody, from a copy that nobody may run.
QString scanAsSomeoneElse(const QString &tmp, const QString &root)
{
    QString program = builtCompanion();
    QStringList arguments{QStringLiteral("scan"), root};
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), tmp + QStringLiteral("/config"));
    if (::geteuid() == 0) {
        const QString copy = tmp + QStringLiteral("/cinemork-list");
        if (!(QFile::exists(copy) || QFile::copy(program, copy)) || ::chmod(QFile::encodeName(tmp).constData(), 0755) != 0)
            return QStringLiteral("no copy to run");
        arguments = QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                QStringLiteral("--clear-groups"), QStringLiteral("--"), copy} + arguments;
        program = QStringLiteral("setpriv");
    }
    const Run scan = runProgram(program, arguments, {}, 30000, 0, env);
    return scan.status == 1 ? scan.err : QStringLiteral("exit %1 %2").arg(scan.status).arg(scan.err);
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
        const auto row = [](const char *name, const QString &folder, const QStringList &files,
                            const QStringList &movies) { QTest::newRow(name) << folder << files << movies; };
        row("cd", "", {"Heat.CD1.avi", "Heat.CD2.avi"}, {"Heat|2|1|Heat.CD1.avi/Heat.CD2.avi"});
        row("part, spaced", "", {"Heat - Part 2.avi", "Heat - Part 1.avi"},
            {"Heat|2|1|Heat - Part 1.avi/Heat - Part 2.avi"});
        row("disc letters", "", {"Heat_disc_a.mkv", "Heat_disc_b.mkv"}, {"Heat|2|1|Heat_disc_a.mkv/Heat_disc_b.mkv"});
        row("a later part alone", "", {"C-disk3.avi"}, {"C|1|3|C-disk3.avi"});
        row("1of2 and 1 of 2", "", {"X 1of2.avi", "X 2of2.avi", "Y 1 of 2.avi", "Y 2 of 2.avi"},
            {"X|2|1|X 1of2.avi/X 2of2.avi", "Y|2|1|Y 1 of 2.avi/Y 2 of 2.avi"});
        row("trailing a and b", "", {"Boa.avi", "Bob.avi", "Plan a.avi", "Rocky a.avi", "Rocky b.avi"},
            {"Boa|1|0|Boa.avi", "Bob|1|0|Bob.avi", "Plan a|1|0|Plan a.avi", "Rocky|2|1|Rocky a.avi/Rocky b.avi"});
        row("sequels", "", {"Saga Part 1 (2010).avi", "Saga Part 2 (2011).avi"},
            {"Saga Part 1 (2010)|1|0|Saga Part 1 (2010).avi", "Saga Part 2 (2011)|1|0|Saga Part 2 (2011).avi"});
        row("720p and 1080p", "", {"Heat 1080p.mkv", "Heat 720p.mkv"},
            {"Heat|1|0|Heat 1080p.mkv", "Heat|1|0|Heat 720p.mkv"});
        row("other ending", "", {"M.CD1.avi", "M.CD2.mkv"}, {"M|1|1|M.CD1.avi", "M|1|2|M.CD2.mkv"});
        row("part twice", "", {"M.CD1.avi", "M.cd1.avi"}, {"M|1|1|M.CD1.avi", "M|1|1|M.cd1.avi"});
        row("3 of 2 is no part", "", {"Z 3 of 2.avi"}, {"Z 3 of 2|1|0|Z 3 of 2.avi"});
        row("parts only: the folder", "Heat (1995)", {"heat.cd1.avi", "heat.cd2.avi"},
            {"Heat (1995)|2|1|heat.cd1.avi/heat.cd2.avi"});
        row("a marker among the release's tags", "",
            {"Ran.1985.CD2.DVDRip.XviD-GRP.avi", "Ran.1985.CD1.DVDRip.XviD-GRP.avi",
             "ran.1985.dvdrip.xvid-grp.nfo=imdb.com/title/tt0089881", "Other.avi"},
            {"Other|1|0|Other.avi",
             "Ran (1985)|2|1|Ran.1985.CD1.DVDRip.XviD-GRP.avi/Ran.1985.CD2.DVDRip.XviD-GRP.avi|tt0089881"});
        row("a marker before the group", "", {"Ran.1985.DVDRip.XviD.CD1-GRP.avi", "Ran.1985.DVDRip.XviD.CD2-GRP.avi"},
            {"Ran (1985)|2|1|Ran.1985.DVDRip.XviD.CD1-GRP.avi/Ran.1985.DVDRip.XviD.CD2-GRP.avi"});
        row("a sequel's part is no marker", "", {"Saga.Part1.Rising.2010.avi", "Saga.Part2.Fall.2012.avi"},
            {"Saga Part1 Rising (2010)|1|0|Saga.Part1.Rising.2010.avi",
             "Saga Part2 Fall (2012)|1|0|Saga.Part2.Fall.2012.avi"});
        row("a release's folder, a plain name", "The.Matrix.1999.DVDRip.XviD-GRP", {"grp-mtx.avi"},
            {"The Matrix (1999)|1|0|grp-mtx.avi"});
        row("a release's folder, the release's name", "Heat (1995)", {"Heat.Directors.Cut.1995.720p.mkv"},
            {"Heat Directors Cut (1995)|1|0|Heat.Directors.Cut.1995.720p.mkv"});
        row("a plain folder, a plain name", "Films", {"grp-mtx.avi"}, {"grp-mtx|1|0|grp-mtx.avi"});
        row("generic at the root: the disc", "", {"video.mpg"}, {"DISC|1|0|video.mpg"});
        row("a DVD", "Film/VIDEO_TS", {"VIDEO_TS.VOB", "VTS_01_1.VOB", "VTS_01_2.VOB"},
            {"Film|1|0|VTS_01_1.VOB/VTS_01_2.VOB/VIDEO_TS.VOB"});
        row("a DVD disc", "VIDEO_TS", {"VTS_01_1.VOB"}, {"DISC|1|0|VTS_01_1.VOB"});
        // Part layouts people use
        row("[CD1]", "", {"Yojimbo [CD1].avi", "Yojimbo [CD2].avi"},
            {"Yojimbo|2|1|Yojimbo [CD1].avi/Yojimbo [CD2].avi"});
        row("{Disc 1}", "", {"Rashomon {Disc 1}.mkv", "Rashomon {Disc 2}.mkv"},
            {"Rashomon|2|1|Rashomon {Disc 1}.mkv/Rashomon {Disc 2}.mkv"});
        row("letter case", "", {"THE THING CD1.AVI", "the thing cd2.avi"},
            {"THE THING|2|1|THE THING CD1.AVI/the thing cd2.avi"});
        row("E.T.", "", {"E.T. CD1.avi", "E.T. CD2.avi"}, {"E.T.|2|1|E.T. CD1.avi/E.T. CD2.avi"});
        row("Dr. No", "", {"Dr. No.CD1.avi", "Dr. No.CD2.avi"}, {"Dr. No|2|1|Dr. No.CD1.avi/Dr. No.CD2.avi"});
        row("a folder a part: CD1", "Kill Bill", {"CD2/kb.avi", "CD1/kb.avi"}, {"Kill Bill|2|1|kb.avi/kb.avi"});
        row("a folder a part: Disc1, DVD1", "",
            {"Ran/Disc1/a.avi", "Ran/Disc2/b.avi", "Brazil/DVD1/x.mkv", "Brazil/DVD2/y.mkv"},
            {"Brazil|2|1|x.mkv/y.mkv", "Ran|2|1|a.avi/b.avi"});
        row("a later part's folder alone", "Stalker", {"CD2/stalker.avi"}, {"Stalker|1|2|stalker.avi"});
        row("a DVD a disc", "Mirror", {"Disc 1/VIDEO_TS/VTS_01_1.VOB"}, {"Mirror|1|0|VTS_01_1.VOB"});
        row("a Blu-ray", "Amelie (2001)", {"BDMV/STREAM/00001.m2ts", "BDMV/STREAM/00000.m2ts", "BDMV/index.bdmv"},
            {"Amelie (2001)|1|0|00000.m2ts/00001.m2ts"});
        // Samples, trailers and extras
        row("scene sample folder", "Heat.1995.DVDRip.XviD-GRP",
            {"grp-heat.cd1.avi", "grp-heat.cd2.avi", "Sample/grp-heat-sample.avi"},
            {"Heat (1995)|2|1|grp-heat.cd1.avi/grp-heat.cd2.avi"});
        row("sample files", "", {"Alien.avi", "Alien-sample.avi", "alien.sample.mkv", "sample-alien.mkv"},
            {"Alien|1|0|Alien.avi"});
        row("a library's extras", "Vertigo (1958)",
            {"Vertigo (1958).mkv", "Vertigo (1958)-trailer.mp4", "Extras/Making of.mkv", "Featurettes/f.mkv",
             "Behind The Scenes/b.mkv", "Deleted Scenes/d.mkv", "Trailers/t.mkv"},
            {"Vertigo (1958)|1|0|Vertigo (1958).mkv"});
        row("hidden", "", {".Trash-1000/old.avi", "._Heat.avi", "Heat.avi"}, {"Heat|1|0|Heat.avi"});
        // Scene and personal naming
        row("scene parts", "", {"Amelie_2001_DVDSCR_DivX.CD1.avi", "Amelie_2001_DVDSCR_DivX.CD2.avi"},
            {"Amelie (2001)|2|1|Amelie_2001_DVDSCR_DivX.CD1.avi/Amelie_2001_DVDSCR_DivX.CD2.avi"});
        row("scene folder, generic files", "Stalker.1979.DVDRip.XviD-KG", {"cd1.avi", "cd2.avi"},
            {"Stalker (1979)|2|1|cd1.avi/cd2.avi"});
        row("personal, spaced", "Films",
            {"Heat 1995 720p BluRay x264.mkv", "Casablanca (1942).avi", "9.avi", "1917.mkv"},
            {"1917|1|0|1917.mkv", "9|1|0|9.avi", "Casablanca (1942)|1|0|Casablanca (1942).avi",
             "Heat (1995)|1|0|Heat 1995 720p BluRay x264.mkv"});
        row("a shelf of folders", "", {"Alien (1979)/movie.avi", "Brazil/film.mkv", "Ran/video.avi"},
            {"Alien (1979)|1|0|movie.avi", "Brazil|1|0|film.mkv", "Ran|1|0|video.avi"});
        // .nfo files
        row("nfo: text, CP437 art, by the name without marker", "Heat",
            {"Heat.CD1.avi", "Heat.CD2.avi", "Heat.nfo=" + QString::fromLatin1(Cp437Nfo)},
            {"Heat|2|1|Heat.CD1.avi/Heat.CD2.avi|tt0113277"});
        row("nfo: XML title and year win", "x", {"h.avi", "movie.nfo=" + QString::fromLatin1(XmlNfo)},
            {"Heat (1995)|1|0|h.avi|tt0113277"});
        row("nfo: named as the file", "", {"Ran.avi", "Ran.nfo=imdb.com/title/tt0089881", "Zorro.avi"},
            {"Ran|1|0|Ran.avi|tt0089881", "Zorro|1|0|Zorro.avi"});
        row("nfo: the only one of two movies' folder", "",
            {"Ran.avi", "info.nfo=imdb.com/title/tt0089881", "Zorro.avi"}, {"Ran|1|0|Ran.avi", "Zorro|1|0|Zorro.avi"});
        row("nfo: 8 digits, a DVD's folder", "Dune",
            {"VIDEO_TS/VTS_01_1.VOB", "dune.nfo=https://m.imdb.com/title/tt15239678/?ref_=x"},
            {"Dune|1|0|VTS_01_1.VOB|tt15239678"});
        row("nfo: two films", "", {"Heat.avi", "Heat.nfo=imdb.com/title/tt0113277 imdb.com/title/tt0113278"},
            {"Heat|1|0|Heat.avi|two ids"});
        row("nfo: a folder a part", "Kill Bill",
            {"CD1/kb.avi", "CD2/kb.avi", "kb.nfo=http://akas.imdb.com/Title?0266697"},
            {"Kill Bill|2|1|kb.avi/kb.avi|tt0266697"});
    }

    void grouping()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, files);
        QFETCH(QStringList, movies);
        QTemporaryDir tmp;
        const QString root = tmp.filePath(QStringLiteral("disc"));
        QDir().mkpath(root);
        for (const QString &file : files) { // "name" or "name=content"
            const QString name = file.section(u'=', 0, 0);
            makeFile(root + u'/' + (folder.isEmpty() ? name : folder + u'/' + name), 0, file.section(u'=', 1).toLatin1());
        }
        QCOMPARE(described(groupMovies(walkTree(root), QStringLiteral("DISC"))), movies);
    }

    void releaseNames_data()
    {
        QTest::addColumn<QString>("title"); // of the name that tags the row
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("codec");
        const auto row = [](const char *name, const char *title, const char *type, const char *codec) {
            QTest::newRow(name) << QString::fromUtf8(title) << QString::fromUtf8(type) << QString::fromUtf8(codec);
        };
        row("The.Matrix.1999.DVDRip.XviD-GROUP", "The Matrix (1999)", "DVD Rip", "XviD");
        row("Amelie_2001_DVDSCR_DivX", "Amelie (2001)", "DVD Screener Rip", "DivX");
        row("Heat 1995 720p BluRay x264", "Heat (1995)", "BluRay", "x264");
        row("Heat (1995)", "Heat (1995)", "", "");
        row("1917", "1917", "", "");
        row("2012 (2009)", "2012 (2009)", "", "");
        row("9", "9", "", "");
        row("Blade Runner 2049 (2017)", "Blade Runner 2049 (2017)", "", "");
        row("Blade.Runner.2049.2017.1080p.BluRay.x264-SPARKS", "Blade Runner 2049 (2017)", "BluRay", "x264");
        row("2001.A.Space.Odyssey.1968.1080p.BluRay.x264", "2001 A Space Odyssey (1968)", "BluRay", "x264");
        row("2046.2004.DVDRip.XviD-FRAGMENT", "2046 (2004)", "DVD Rip", "XviD");
        row("E.T.the.Extra-Terrestrial.1982.DVDRip.XviD-DoNE", "E.T. the Extra-Terrestrial (1982)", "DVD Rip", "XviD");
        row("L.A.Confidential.1997.DVDRip.DivX", "L.A. Confidential (1997)", "DVD Rip", "DivX");
        row("Dr.No.1962.720p.BluRay.x264", "Dr. No (1962)", "BluRay", "x264");
        row("S.W.A.T.2003.DVDRip.XviD", "S.W.A.T. (2003)", "DVD Rip", "XviD");
        row("M.1931.DVDRip.XviD", "M (1931)", "DVD Rip", "XviD");
        row("A.Beautiful.Mind.2001.DVDRip.XviD", "A Beautiful Mind (2001)", "DVD Rip", "XviD");
        row("Kill_Bill_Vol_1_2003_DVDRip_XviD", "Kill Bill Vol. 1 (2003)", "DVD Rip", "XviD");
        row("Alien.1979.Directors.Cut.DVDRip.XviD", "Alien (1979)", "DVD Rip", "XviD");
        row("Shrek.2.2004.DVDSCR.XviD", "Shrek 2 (2004)", "DVD Screener Rip", "XviD");
        row("The.Ring.2002.TS.XviD-GRP", "The Ring (2002)", "Cam", "XviD");
        row("Spider-Man.2002.CAM.XviD", "Spider-Man (2002)", "Cam", "XviD");
        row("Twin.Peaks.Fire.Walk.With.Me.1992.TVRip.XviD", "Twin Peaks Fire Walk With Me (1992)", "TV Grab", "XviD");
        row("Titanic.1997.VCD-GRP", "Titanic (1997)", "VCD", "");
        row("Inception.2010.1080p.WEB-DL.H.264-GRP", "Inception (2010)", "WEB-DL", "H.264");
        row("Dune.2021.2160p.WEBRip.x265.HEVC", "Dune (2021)", "WEBRip", "x265");
        row("Casablanca.DVDRip.XviD-FoV", "Casablanca", "DVD Rip", "XviD");
        row("Jaws (1975) [1080p]", "Jaws (1975)", "", "");
        row("Ocean's.Eleven.2001.DVDRip.XviD", "Ocean's Eleven (2001)", "DVD Rip", "XviD");
        row("Up.2009.DvDrip.DivX", "Up (2009)", "DVD Rip", "DivX");
        row("Amélie, le | film", "Amélie, le | film", "", "");
        row("Heat.1995.H.264", "Heat (1995)", "", "H.264");
        row("Movie 1080p", "Movie", "", "");
    }
    void releaseNames()
    {
        QFETCH(QString, title);
        QFETCH(QString, type);
        QFETCH(QString, codec);
        const ReleaseName r = parseReleaseName(QString::fromUtf8(QTest::currentDataTag()));
        QCOMPARE(r.title + u'|' + r.type + u'|' + r.codec, title + u'|' + type + u'|' + codec);
    }

    void nfoFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("found"); // "id|title", "two ids" or ""
        QTest::newRow("CP437 art around the address") << Cp437Nfo << "tt0113277|";
        QTest::newRow("XML: the default uniqueid, title (year)") << XmlNfo << "tt0113277|Heat (1995)";
        QTest::newRow("XML: the first imdb uniqueid") << QByteArray("<movie><title>Ran</title><uniqueid type=\"imdb\">tt0089881</uniqueid><uniqueid type=\"imdb\">tt0000001</uniqueid></movie>") << "tt0089881|Ran";
        QTest::newRow("XML: id") << QByteArray("  \n<movie><title>Ran</title><year>1985</year><id>tt0089881</id></movie>") << "tt0089881|Ran (1985)";
        QTest::newRow("XML: imdb") << QByteArray("<?xml version=\"1.0\"?><movie><imdb>tt0089881</imdb></movie>") << "tt0089881|";
        QTest::newRow("XML: imdbid, 8 digits") << QByteArray("<movie><imdbid>tt15239678</imdbid></movie>") << "tt15239678|";
        QTest::newRow("XML: an id that is no IMDb id") << QByteArray("<movie><id>949</id><imdb>tt</imdb></movie>") << "|";
        QTest::newRow("XML: an actor's id is not the film's") << QByteArray("<movie><actor><imdbid>tt0000123</imdbid></actor></movie>") << "|";
        QTest::newRow("XML that does not parse") << QByteArray("<movie><title>Heat</title><id>tt0113277</id>") << "|";
        QTest::newRow("text: m., query") << QByteArray("link ... m.imdb.com/title/tt0113277/?ref_=fn") << "tt0113277|";
        QTest::newRow("text: akas., old Title?") << QByteArray("http://akas.imdb.com/Title?0113277\r\n") << "tt0113277|";
        QTest::newRow("text: us., language part") << QByteArray("http://us.imdb.com/de/title/tt0113277 http://imdb.com/title/tt0113277") << "tt0113277|";
        QTest::newRow("text: Latin-1 around") << QByteArray("Pr\xe9sent\xe9 par \xabGRP\xbb imdb.com/title/tt0113277") << "tt0113277|";
        QTest::newRow("text: two films") << QByteArray("imdb.com/title/tt0113277\nimdb.com/title/tt0113278") << "two ids";
        QTest::newRow("text: tt without digits") << QByteArray("www.imdb.com/title/tt/") << "|";
        QTest::newRow("text: 9 digits is no id") << QByteArray("www.imdb.com/title/tt123456789") << "|";
        QTest::newRow("text: no imdb") << QByteArray("Release notes\n") << "|";
    }
    void nfoFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, found);
        const NfoInfo info = parseNfo(content);
        QCOMPARE(info.twoIds ? QStringLiteral("two ids") : info.imdbId + u'|' + info.title, found);
    }

    // An .nfo over 1 MB, or swapped after the walk saw it for a FIFO nobody writes or for a link, is not read.
    void anNfoThatIsNoFileIsNotRead()
    {
        QTemporaryDir tmp;
        const QString real = makeFile(tmp.filePath(QStringLiteral("real.nfo")), 0, XmlNfo);
        QCOMPARE(readNfo(QFile::encodeName(real)).title, QStringLiteral("Heat (1995)"));
        const QString big = makeFile(tmp.filePath(QStringLiteral("big.nfo")), 0, XmlNfo + QByteArray(NfoSizeLimit, ' '));
        QVERIFY(readNfo(QFile::encodeName(big)).imdbId.isEmpty());
        QVERIFY(readNfo(QFile::encodeName(tmp.filePath(QStringLiteral("none.nfo")))).imdbId.isEmpty());
        const QByteArray fifo = QFile::encodeName(tmp.filePath(QStringLiteral("fifo.nfo")));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        QVERIFY(readNfo(fifo).imdbId.isEmpty());
        QVERIFY(QFile::link(real, tmp.filePath(QStringLiteral("link.nfo"))));
        QVERIFY(readNfo(QFile::encodeName(tmp.filePath(QStringLiteral("link.nfo")))).imdbId.isEmpty());
    }

    void walkEndsAndStaysInTheTree()
    {
        QTemporaryDir tmp, outside;
        const QString root = tmp.filePath(QStringLiteral("disc"));
        makeFile(root + QStringLiteral("/a/Movie.CD1.avi"), 3000);
        makeFile(root + QStringLiteral("/a/notes.txt"));
        makeFile(root + QStringLiteral("/.hidden/x.avi"));
        makeFile(root + QStringLiteral("/a/Sample/m-sample.avi"));
        makeFile(root + QStringLiteral("/a/Movie.CD1-trailer.avi"));
        makeFile(outside.filePath(QStringLiteral("far.avi")));
        QVERIFY(QFile::link(root, root + QStringLiteral("/a/loop")));        // a circle
        QVERIFY(QFile::link(outside.path(), root + QStringLiteral("/out"))); // out of the tree
        QVERIFY(QFile::link(root + QStringLiteral("/a/Movie.CD1.avi"), root + QStringLiteral("/link.avi")));
        QDir().mkpath(root + QStringLiteral("/locked/in"));
        QFile::setPermissions(root + QStringLiteral("/locked"), QFileDevice::Permissions());
        const WalkResult walk = walkTree(root + QStringLiteral("/a/loop/")); // a link to the tree itself is the tree
        const QString lockedOut = scanAsSomeoneElse(tmp.path(), root);
        QFile::setPermissions(root + QStringLiteral("/locked"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY(walk.ok);
        QCOMPARE(walk.root, QFileInfo(root).canonicalFilePath());
        QCOMPARE(walk.folders.size(), 1);
        QCOMPARE(walk.folders[0].files.size(), 1);
        QCOMPARE(walk.folders[0].files[0].bytes, 3000u);
        QCOMPARE(walk.filesSeen, 3);
        QCOMPARE(walk.extrasCount, 2); // the Sample folder and the trailer
        QCOMPARE(walk.hidden, QStringList{walk.root + QStringLiteral("/.hidden")});
        QCOMPARE(walk.hiddenCount, 1);
        if (::geteuid() != 0) // permissions do not stop the superuser
            QCOMPARE(walk.unreadable, QStringList{walk.root + QStringLiteral("/locked")});
        QCOMPARE(lockedOut, QStringLiteral("cinemork-list: ") + walk.root + QStringLiteral("/locked: could not be read\n"));
        QCOMPARE(scanAsSomeoneElse(tmp.path(), root + QStringLiteral("/none")),
                 QStringLiteral("cinemork-list: ") + root + QStringLiteral("/none: does not exist\n"));

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
        const QList<Movie> list{movie("Heat", "700\\1", "HEAT1", "Heat.CD1.avi"),
                                movie("Alien", "1400\\2", "X", "a.avi, b.avi")};
        ScanReview review({foundOf("Heat", {"HEAT.cd1.AVI"}, 700), foundOf("Heat", {"Heat.CD1.avi"}, 701),
                           foundOf("heat", {"Heat.CD2.avi"}, 650), foundOf("Alien", {"Alien.CD2.avi"}, 1)},
                          list);
        const auto &rows = review.rows();
        QVERIFY(rows[0].catalogued && !rows[0].ticked); // same names, case ignored, same size
        QVERIFY(!rows[1].catalogued && rows[1].ticked); // another size
        QCOMPARE(rows[2].partOf, 0);                    // Heat has one CD, this is the second
        QCOMPARE(rows[3].partOf, -1);                   // Alien has two already
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
        QCOMPARE(review.rows()[2].partOf, 0); // the offer stays while the title is edited
        review.setTitle(2, QStringLiteral("Heat"));
        review.setAddToListed(2, true);
        review.setTicked(1, false);
        QCOMPARE(review.additions().added.size(), 1);

        // Both discs scanned again once the second part went in: nothing is new.
        const QList<Movie> after{withLaterPart(list[0], review.rows()[2].movie)};
        ScanReview again({foundOf("Heat", {"heat.cd1.avi"}, 700), foundOf("Heat", {"Heat.CD2.avi"}, 650)}, after);
        QVERIFY(again.rows()[0].catalogued && again.rows()[1].catalogued && again.tickedCount() == 0);

        QVERIFY(!review.merge({1}));
        QVERIFY(review.merge({1, 0})); // one movie of both, at the first one's place
        QCOMPARE(review.rows().size(), 3);
        QCOMPARE(review.rows()[0].movie[FSize], QStringLiteral("1401\\2"));
        QCOMPARE(review.rows()[0].movie[FFiles], QStringLiteral("HEAT.cd1.AVI, Heat.CD1.avi"));
        QVERIFY(review.split(0) && !review.split(0));
        QCOMPARE(described({review.rows()[0].found, review.rows()[1].found}),
                 (QStringList{"Heat|1|1|HEAT.cd1.AVI", "Heat|1|1|Heat.CD1.avi"}));
    }

    void catalogued_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("files"); // 700 MB each
        QTest::addColumn<QString>("status");
        QTest::newRow("generic name, another title") << "Stalker" << QStringList{"movie.avi"} << "new";
        QTest::newRow("generic name, the title")
            << "casablanca" << QStringList{"MOVIE.avi"} << "catalogued as Casablanca";
        QTest::newRow("generic parts, another title") << "Stalker" << QStringList{"CD1.avi", "CD2.avi"} << "new";
        QTest::newRow("generic parts, the title")
            << "Vertigo" << QStringList{"cd1.avi", "cd2.avi"} << "catalogued as Vertigo";
        QTest::newRow("DVD files, another title") << "Amelie" << QStringList{"VTS_01_1.VOB"} << "new";
        QTest::newRow("a name of its own, another title")
            << "Heat 2" << QStringList{"Heat.CD1.avi"} << "catalogued as Heat";
        QTest::newRow("an earlier part") << "Lonely" << QStringList{"Lonely CD1.avi"}
                                         << "part 1 of Lonely: Lonely CD1.avi, Lonely CD2.avi";
        QTest::newRow("a later part, as listed") << "gladiator" << QStringList{"gladiator cd2.avi"}
                                                 << "part 2 of Gladiator: Gladiator CD1.avi, gladiator cd2.avi";
    }
    void catalogued()
    {
        QFETCH(QString, title);
        QFETCH(QStringList, files);
        QFETCH(QString, status);
        const QList<Movie> list{
            movie("Casablanca", "700\\1", "A", "movie.avi"),  movie("Vertigo", "1400\\2", "B", "cd1.avi, cd2.avi"),
            movie("Mirror", "700\\1", "C", "VTS_01_1.VOB"),   movie("Heat", "700\\1", "D", "Heat.CD1.avi"),
            movie("Lonely", "700\\1", "E", "Lonely CD2.avi"), movie("Gladiator", "700\\1", "F", "Gladiator CD1.avi")};
        const FoundMovie f = foundOf(title, files);
        ScanReview review({f}, list);
        const ScanReview::Row &row = review.rows()[0];
        QString got = QStringLiteral("new");
        if (row.catalogued)
            got = QStringLiteral("catalogued as ") + review.listedTitle(row.cataloguedAs);
        else if (row.partOf >= 0)
            got = QStringLiteral("part %1 of %2: %3")
                      .arg(f.firstPart)
                      .arg(review.listedTitle(row.partOf), review.additions().extended.value(0).second[FFiles]);
        QCOMPARE(got, status);
        QCOMPARE(row.ticked, !row.catalogued);
    }

    void splitRestoresTheFoundState()
    {
        const QList<Movie> list{movie("Ran", "700\\1", "A", "Ran.cd1.avi"),
                                movie("Three", "2100\\3", "B", "Three CD1.avi, Three CD2.avi, Three CD3.avi")};
        const QList<FoundMovie> found{
            foundOf("Ran", {"Ran.cd1.avi"}), foundOf("Three", {"Three CD4.avi"}),
            mergedMovies({foundOf("Heat", {"Heat.CD1.avi"}), foundOf("Heat", {"Heat.CD2.avi"})})};
        ScanReview review(found, list);
        const auto state = [&review] {
            QStringList out;
            for (const ScanReview::Row &r : review.rows())
                out << QStringLiteral("%1|%2|%3|%4|%5")
                           .arg(r.movie[FTitle])
                           .arg(r.ticked)
                           .arg(r.catalogued)
                           .arg(r.partOf)
                           .arg(r.movie[FSize]);
            return out;
        };
        const QStringList asFound = state();
        QCOMPARE(asFound, (QStringList{"Ran|0|1|-1|700\\1", "Three|1|0|1|700\\1", "Heat|1|0|-1|1400\\2"}));
        review.setTitle(0, QStringLiteral("edited"));
        QVERIFY(review.merge({0, 1}));
        QVERIFY(review.split(0));
        QCOMPARE(state(), asFound);
        QVERIFY(review.split(2)); // Heat's halves, each titled without its marker, and Heat again
        QCOMPARE(state().mid(2), (QStringList{"Heat|1|0|-1|700\\1", "Heat|1|0|-1|700\\1"}));
        QVERIFY(review.merge({2, 3}));
        QCOMPARE(state(), asFound);
        QCOMPARE(review.tickedCount(), 2);
        QCOMPARE(review.tickedParts(), 1);
        QVERIFY(review.merge({0, 2})); // Ran and the whole of Heat, found as two rows of their own
        QVERIFY(review.split(0));
        QCOMPARE(state(), (QStringList{asFound[0], asFound[2], asFound[1]}));
    }

    // A title from a release's folder brings the folder's tags where the file's name has none; a DVD's
    // own folder scanned is titled and located by the folder that holds it.
    void aFolderTitleBringsItsTags()
    {
        QTemporaryDir tmp;
        makeFile(tmp.filePath(QStringLiteral("The.Matrix.1999.DVDRip.XviD-GRP/grp-mtx.avi")));
        makeFile(tmp.filePath(QStringLiteral("The.Matrix.1999.DVDRip.XviD-GRP/grp.nfo")), 0, "imdb.com/title/tt0133093");
        makeFile(tmp.filePath(QStringLiteral("Inception.2010.1080p.BluRay/BDMV/STREAM/00001.m2ts")));
        makeFile(tmp.filePath(QStringLiteral("Heat.1995.DVDRip.XviD/Heat.1995.DVDScr.x264.mkv")));
        QStringList got;
        for (const FoundMovie &f : groupMovies(walkTree(tmp.path()), QStringLiteral("D"))) {
            const Movie m = movieOf(f);
            got << QStringList{m[FTitle], m[FType], m[FCodec], m[FImdb]}.join(u'|');
        }
        QCOMPARE(got, (QStringList{"Heat (1995)|DVD Screener Rip|x264|", "Inception (2010)|BluRay|DivX|",
                                   "The Matrix (1999)|DVD Rip|XviD|https://www.imdb.com/title/tt0133093/"}));
        makeFile(tmp.filePath(QStringLiteral("Stalker/VIDEO_TS/VTS_01_1.VOB")));
        const WalkResult dvd = walkTree(tmp.filePath(QStringLiteral("Stalker/VIDEO_TS")));
        QCOMPARE(locationOf(dvd.root), QStringLiteral("Stalker"));
        QCOMPARE(described(groupMovies(dvd, locationOf(dvd.root))), QStringList{"Stalker|1|0|VTS_01_1.VOB"});
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
};

QTEST_MAIN(TestScan)
#include "tst_scan.moc"
