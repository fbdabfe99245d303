#include "probe/probesession.h"
#include "testsupport.h"

#include <QtTest>

#include <cerrno>
#include <csignal>

using namespace cinemork;

namespace {

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

} // namespace

// The real companion behind a session is tried by tst_scan's scanReviewAndAdd and, on its own, by
// tst_companion; here a stand-in plays it.
class tst_probesession : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    std::unique_ptr<ProbeSession> m_session;
    QList<int> m_indexes;
    QStringList m_texts;
    QList<bool> m_finishes; // the cancelled flag of every finished()

    QString pidFile() const { return m_dir.filePath(QStringLiteral("pids")); }
    // A session running the stand-in (or the program given), what it says recorded.
    ProbeSession &session(int limitMs = 60000, const QString &program = QStringLiteral("/bin/bash"))
    {
        m_session = std::make_unique<ProbeSession>();
        m_session->program = program;
        m_session->arguments = {QStringLiteral("-c"), StandIn, QStringLiteral("stand-in"), pidFile()};
        m_session->timeLimitMs = limitMs;
        connect(m_session.get(), &ProbeSession::result, this, [this](int i, const ProbeResult &r) {
            m_indexes << i;
            m_texts << r.text();
        });
        connect(m_session.get(), &ProbeSession::finished, this, [this](bool cancelled) { m_finishes << cancelled; });
        return *m_session;
    }
    // The children the stand-in started, or only those that still exist, zombies included.
    QList<qint64> children(bool onlyLeft = false) const
    {
        QList<qint64> pids;
        for (const QByteArray &pid : test::readFile(pidFile()).split('\n'))
            if (!pid.isEmpty() && (!onlyLeft || ::kill(pid_t(pid.toLongLong()), 0) == 0 || errno != ESRCH))
                pids << pid.toLongLong();
        return pids;
    }

private slots:
    void init()
    {
        QFile::remove(pidFile());
        m_indexes.clear();
        m_finishes.clear();
        m_texts.clear();
    }
    void cleanup() { m_session.reset(); }

    void aBadFileCostsOnlyItself_data()
    {
        QTest::addColumn<QString>("bad"); // twice, the second the first path of a fresh child
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
        QFETCH(QString, answer);
        session(limitMs).start({QStringLiteral("/a"), bad, bad, QStringLiteral("/b\nb"), QStringLiteral("/cc")});
        QTRY_VERIFY_WITH_TIMEOUT(!m_finishes.isEmpty(), 15000);
        QCOMPARE(m_finishes, QList<bool>{false});
        QCOMPARE(m_indexes, (QList<int>{0, 1, 2, 3, 4}));
        QCOMPARE(m_texts, (QStringList{"2x1", answer, answer, "4x1", "3x1"}));
        QVERIFY(!children().isEmpty());
        QCOMPARE(children(true), QList<qint64>());
    }

    void cancelEndsAtOnce()
    {
        // while the child works on a file that does not answer
        ProbeSession &s = session();
        s.start({QStringLiteral("/a"), QStringLiteral("/hang"), QStringLiteral("/b")});
        QTRY_COMPARE(m_texts, QStringList{"2x1"});
        QTRY_COMPARE(children().size(), 1);
        s.cancel();
        QCOMPARE(m_finishes, QList<bool>{true});
        QVERIFY(!s.running());
        QCOMPARE(children(true), QList<qint64>());

        // from a slot, while answers already read wait for their turn
        m_indexes.clear();
        m_finishes.clear();
        connect(&s, &ProbeSession::result, this, [&s](int index) {
            if (index == 1)
                s.cancel();
        });
        s.start({QStringLiteral("/a"), QStringLiteral("/b"), QStringLiteral("/c"), QStringLiteral("/d")});
        QTRY_VERIFY(!m_finishes.isEmpty());

        // a session that goes takes its child with it; nothing of a cancelled run came meanwhile
        QFile::remove(pidFile());
        s.start({QStringLiteral("/hang")});
        QTRY_COMPARE(children().size(), 1);
        m_session.reset();
        QCOMPARE(children(true), QList<qint64>());
        QCOMPARE(m_indexes, (QList<int>{0, 1}));
        QCOMPARE(m_finishes, QList<bool>{true});
    }

    void aCompanionThatCannotStartFailsEveryFile()
    {
        session(60000, QStringLiteral("/nonexistent/cinemork-list"))
            .start({QStringLiteral("/x"), QStringLiteral("/y")});
        QVERIFY(m_indexes.isEmpty() && m_finishes.isEmpty()); // nothing before start() returns
        QTRY_COMPARE(m_finishes, QList<bool>{false});
        QCOMPARE(m_texts, QStringList(2, QStringLiteral("open-failed")));
        // no list: finished from the event loop too
        m_finishes.clear();
        m_session->start({});
        QVERIFY(m_session->running());
        QTRY_COMPARE(m_finishes, QList<bool>{false});
        QCOMPARE(m_indexes, (QList<int>{0, 1}));
    }
};

QTEST_GUILESS_MAIN(tst_probesession)
#include "tst_probesession.moc"
