#include "editor/probesession.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include <cerrno>
#include <csignal>

using namespace cinemork;

namespace {

const QString Data = QStringLiteral(CINEMORK_TESTDATA "/");

// A stand-in for the companion: answers "LENGTHx1" for every path, and misbehaves on the paths that
// say how. It notes its process id in the file given, so a test can see that no child is left.
const QString StandIn = QStringLiteral(R"(echo $$ >> "$1"
while IFS= read -r -d '' p; do
  case "$p" in
    *hang*) exec sleep 30 ;;
    *die*) kill -9 $$ ;;
    *quit*) exit 0 ;;
    *garble*) echo 'what?' ;;
    *endless*) exec tr -d '\n' < /dev/zero ;;
    *) echo "${#p}x1" ;;
  esac
done)");

struct Run
{
    QList<int> indexes;
    QStringList texts;
    QList<bool> finishes; // the cancelled flag of every finished()
};

// Collects what a session says; the session may be deleted before the run.
struct Recorder
{
    explicit Recorder(ProbeSession *s)
    {
        QObject::connect(s, &ProbeSession::result, s, [this](int i, const ProbeResult &r) {
            run.indexes << i;
            run.texts << r.text();
        });
        QObject::connect(s, &ProbeSession::finished, s, [this](bool cancelled) { run.finishes << cancelled; });
    }
    Run run;
};

QString probeAlone(const QString &path)
{
    QProcess p;
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/cinemork-list"), {QStringLiteral("probe"), path});
    if (!p.waitForFinished(30000))
        return QStringLiteral("(still running)");
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QList<int> upTo(int n)
{
    QList<int> list;
    for (int i = 0; i < n; ++i)
        list << i;
    return list;
}

} // namespace

class tst_probesession : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString pidFile() const { return m_dir.filePath(QStringLiteral("pids")); }

    void useStandIn(ProbeSession &s, int limitMs)
    {
        s.program = QStringLiteral("/bin/bash");
        s.arguments = {QStringLiteral("-c"), StandIn, QStringLiteral("stand-in"), pidFile()};
        s.timeLimitMs = limitMs;
    }

    // The children the stand-in started, and of those the ones that still exist, zombies included.
    QList<qint64> children() const
    {
        QFile f(pidFile());
        QList<qint64> pids;
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray &line : f.readAll().split('\n'))
                if (!line.isEmpty())
                    pids << line.toLongLong();
        return pids;
    }
    QList<qint64> childrenLeft() const
    {
        QList<qint64> left;
        for (qint64 pid : children())
            if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
                left << pid;
        return left;
    }

private slots:
    void init() { QFile::remove(pidFile()); }

    void resultsInOrderAsOneAtATime()
    {
        const QString odd = m_dir.filePath(QStringLiteral("one\nclip, a|b.avi"));
        QVERIFY(QFile::copy(Data + QStringLiteral("clip-640x272.avi"), odd));
        const QStringList paths{Data + QStringLiteral("clip-352x240.mpg"),
                                odd,
                                m_dir.filePath(QStringLiteral("none.avi")),
                                Data + QStringLiteral("sound-only.avi"),
                                Data + QStringLiteral("README"),
                                QString(),
                                Data + QStringLiteral("clip-352x240.mpg")};
        ProbeSession session;
        Recorder rec(&session);
        session.start(paths);
        QTRY_VERIFY_WITH_TIMEOUT(!rec.run.finishes.isEmpty(), 30000);
        QCOMPARE(rec.run.finishes, QList<bool>{false});
        QCOMPARE(rec.run.indexes, upTo(int(paths.size())));
        QStringList alone;
        for (const QString &p : paths)
            alone << probeAlone(p);
        QCOMPARE(rec.run.texts, alone);
        QCOMPARE(alone.first(), QStringLiteral("352x240"));
        QCOMPARE(alone[1], QStringLiteral("640x272"));

        // no list, no child: finished at once, from the event loop
        rec.run = {};
        session.start({});
        QVERIFY(session.running());
        QTRY_VERIFY_WITH_TIMEOUT(!rec.run.finishes.isEmpty(), 30000);
        QVERIFY(!session.running());
        QCOMPARE(rec.run.finishes, QList<bool>{false});
        QVERIFY(rec.run.indexes.isEmpty());
    }

    void aBadFileCostsOnlyItself_data()
    {
        QTest::addColumn<QString>("bad"); // the path between two good ones
        QTest::addColumn<int>("limitMs");
        QTest::addColumn<QString>("answer");
        QTest::newRow("runs past the limit") << "hang" << 1000 << "open-failed";
        QTest::newRow("the child dies") << "die" << 60000 << "open-failed";
        QTest::newRow("the child ends before the rest") << "quit" << 60000 << "open-failed";
        QTest::newRow("an answer that is none") << "garble" << 60000 << "open-failed";
        QTest::newRow("a line without end") << "endless" << 60000 << "open-failed";
        // never sent: the child reads paths ended by NUL
        QTest::newRow("a NUL in the path") << QStringLiteral("die%1quit").arg(QChar(0)) << 60000 << "not-found";
    }
    void aBadFileCostsOnlyItself()
    {
        QFETCH(QString, bad);
        QFETCH(int, limitMs);
        ProbeSession session;
        useStandIn(session, limitMs);
        Recorder rec(&session);
        QElapsedTimer clock;
        clock.start();
        session.start({QStringLiteral("/a"), bad, QStringLiteral("/bbb"), bad, QStringLiteral("/cc")});
        QTRY_VERIFY_WITH_TIMEOUT(!rec.run.finishes.isEmpty(), 20000);
        QVERIFY2(clock.elapsed() < 15000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(rec.run.finishes, QList<bool>{false});
        QCOMPARE(rec.run.indexes, upTo(5));
        QFETCH(QString, answer);
        QCOMPARE(rec.run.texts, (QStringList{"2x1", answer, "4x1", answer, "3x1"}));
        QVERIFY(!children().isEmpty());
        QCOMPARE(childrenLeft(), QList<qint64>());
    }

    void cancelEndsAtOnce()
    {
        // while the child works on a file that does not answer
        auto session = std::make_unique<ProbeSession>();
        useStandIn(*session, 60000);
        Recorder rec(session.get());
        session->start({QStringLiteral("/a"), QStringLiteral("/hang"), QStringLiteral("/b")});
        QTRY_COMPARE(rec.run.texts, QStringList{"2x1"});
        QTRY_COMPARE(children().size(), 1);
        session->cancel();
        QCOMPARE(rec.run.finishes, QList<bool>{true});
        QVERIFY(!session->running());
        QCOMPARE(childrenLeft(), QList<qint64>());
        QTest::qWait(300);
        QCOMPARE(rec.run.texts.size(), 1);
        QCOMPARE(rec.run.finishes.size(), 1);

        // from a slot, while answers already read wait for their turn
        rec.run = {};
        QObject::connect(session.get(), &ProbeSession::result, session.get(), [&](int index) {
            if (index == 1)
                session->cancel();
        });
        session->start({QStringLiteral("/a"), QStringLiteral("/b"), QStringLiteral("/c"), QStringLiteral("/d")});
        QTRY_VERIFY_WITH_TIMEOUT(!rec.run.finishes.isEmpty(), 30000);
        QTest::qWait(300);
        QCOMPARE(rec.run.indexes, (QList<int>{0, 1}));
        QCOMPARE(rec.run.finishes, QList<bool>{true});

        // a session that goes takes its child with it
        QFile::remove(pidFile());
        session->start({QStringLiteral("/hang")});
        QTRY_COMPARE(children().size(), 1);
        session.reset();
        QCOMPARE(childrenLeft(), QList<qint64>());
    }

    void aCompanionThatCannotStartFailsEveryFile_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("missing") << QStringLiteral("/nonexistent/cinemork-list");
        QTest::newRow("a folder") << Data;
        QTest::newRow("not executable") << Data + QStringLiteral("README");
        QTest::newRow("none") << QString();
    }
    void aCompanionThatCannotStartFailsEveryFile()
    {
        QFETCH(QString, program);
        ProbeSession session;
        session.program = program;
        Recorder rec(&session);
        session.start({Data + QStringLiteral("clip-640x272.avi"), QStringLiteral("/x"), QStringLiteral("/y")});
        QCOMPARE(rec.run.indexes.size() + rec.run.finishes.size(), 0); // nothing before start() returns
        QTRY_VERIFY_WITH_TIMEOUT(!rec.run.finishes.isEmpty(), 10000);
        QCOMPARE(rec.run.indexes, upTo(3));
        QCOMPARE(rec.run.texts, QStringList(3, QStringLiteral("open-failed")));
        QCOMPARE(rec.run.finishes, QList<bool>{false});
    }
};

QTEST_GUILESS_MAIN(tst_probesession)
#include "tst_probesession.moc"
