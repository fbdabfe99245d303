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
        QProcess install;
        install.start(QStringLiteral("cmake"),
                      {QStringLiteral("--install"), QStringLiteral(CINEMORK_BUILD_DIR), QStringLiteral("--prefix"),
                       prefix.path()});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
        // which files go where, the package's test says; here the installed programs find their page and start
        const QString help = helpPagePathFor(prefix.filePath(QStringLiteral("bin")), QStringLiteral("/nonexistent"));
        QCOMPARE(help, prefix.filePath(QStringLiteral("share/cinemork/help.html")));
        QCOMPARE(helpPagePathFor(QStringLiteral("/"), QStringLiteral("/nonexistent")), QStringLiteral("/help.html"));

        // the installed programs start
        QProcess companion;
        companion.start(prefix.filePath(QStringLiteral("bin/cinemork-list")), {QStringLiteral("--help")});
        QVERIFY(companion.waitForFinished(30000));
        QCOMPARE(companion.exitCode(), 0);
        QProcess version; // needs no display
        QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            bare.remove(QString::fromLatin1(name));
        version.setProcessEnvironment(bare);
        version.start(prefix.filePath(QStringLiteral("bin/cinemork")), {QStringLiteral("--version")});
        QVERIFY(version.waitForFinished(30000));
        QCOMPARE(version.readAllStandardOutput().trimmed(),
                 (QStringLiteral("Cinemork ") + Texts::VersionText).toUtf8());
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
