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
                                  movie(QStringLiteral("Alien"), QStringLiteral("line\nbreak"))};
        const QString csv = moviesToCsv(movies);
        Run r = run({"write", path("out.html"), "--title", "Mine", "--index", "1", "--columns", "11111111"}, csv.toUtf8());
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
        r = run({"dump", path("out.html"), "--format", "json"});
        QCOMPARE(r.status, 0);
        const QJsonObject doc = QJsonDocument::fromJson(r.out.toUtf8()).object();
        QCOMPARE(doc.value("title").toString(), QStringLiteral("Mine"));
        const QJsonArray list = doc.value("movies").toArray();
        QCOMPARE(list.size(), 2);
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
        QVERIFY(r.err.startsWith(QStringLiteral("An unexpected error occurred. Possibly the list is invalid or contains an error.")));
        QCOMPARE(run({"write", path("x.html"), "--title", "T"}, "not,the,header\r\n").status, 1);
        QVERIFY(!QFile::exists(path("x.html")));
        QCOMPARE(run({"write", m_dir.path(), "--title", "T"}, moviesToCsv({}).toUtf8()).status, 1);
    }

    void probeCommand()
    {
        const QString clip = path("clip.avi");
        QVERIFY(test::makeVideo(clip, "avi", 320, 176));
        const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/cinemork-list");
        QProcess p;
        p.start(program, {QStringLiteral("probe"), clip});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(p.readAllStandardOutput(), QByteArray("320x176\n"));
        p.start(program, {QStringLiteral("probe"), clip, path("none.avi")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()),
                 clip + QStringLiteral(": 320x176\n") + path("none.avi") + QStringLiteral(": not-found\n"));
    }
};

QTEST_GUILESS_MAIN(tst_companion)
#include "tst_companion.moc"
