#include "main/frmmain.h"
#include "main/mainlayout.h"
#include "main/windowtexts.h"
#include "testsupport.h"

#include <QProcess>
#include <QtTest>

using namespace cinemork;

// An installation into a fresh prefix runs and finds its help page.
class tst_install : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { test::isolateConfig(); }

    void installedProgramFindsItsHelpPage()
    {
        QTemporaryDir prefix;
        const test::Run install = test::runProgram(QStringLiteral("cmake"),
                                                   {QStringLiteral("--install"), QStringLiteral(CINEMORK_BUILD_DIR),
                                                    QStringLiteral("--prefix"), prefix.path()},
                                                   {}, 120000);
        QVERIFY2(install.status == 0, qPrintable(install.err));
        // which files go where, the package's test says; here the installed programs find their page and start
        const QString help = helpPagePathFor(prefix.filePath(QStringLiteral("bin")), QStringLiteral("/nonexistent"));
        QCOMPARE(help, prefix.filePath(QStringLiteral("share/cinemork/help.html")));
        QCOMPARE(helpPagePathFor(QStringLiteral("/"), QStringLiteral("/nonexistent")), QStringLiteral("/help.html"));

        // the installed programs start
        QCOMPARE(
            test::runProgram(prefix.filePath(QStringLiteral("bin/cinemork-list")), {QStringLiteral("--help")}).status,
            0);
        QProcessEnvironment bare = QProcessEnvironment::systemEnvironment(); // --version needs no display
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            bare.remove(QString::fromLatin1(name));
        const test::Run version = test::runProgram(prefix.filePath(QStringLiteral("bin/cinemork")),
                                                   {QStringLiteral("--version")}, {}, 30000, 0, bare);
        QCOMPARE(version.out.trimmed(), QStringLiteral("Cinemork ") + Texts::VersionText);
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        program.start(prefix.filePath(QStringLiteral("bin/cinemork")), {});
        QVERIFY(program.waitForStarted(30000));
        QVERIFY(!program.waitForFinished(1500)); // still running: it came up
        program.kill();
        program.waitForFinished(5000);
    }
};

QTEST_MAIN(tst_install)
#include "tst_install.moc"
