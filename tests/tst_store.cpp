#include "platform/inistore.h"
#include "settings/modregistry.h"
#include "settings/recentfiles.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace cinemork;

class tst_store : public QObject
{
    Q_OBJECT

    static QByteArray machineFile()
    {
        QFile f(storeFile(HKEY_LOCAL_MACHINE));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void oldValue(const QString &name, const QString &v)
    {
        SaveRegString(HKEY_CURRENT_USER, OldSettingsKey, name, v);
    }

private slots:
    void initTestCase() { test::isolateConfig(); }
    void init() { test::clearStore(); }

    void firstStartCreatesTheKeyAndWritesNoValue()
    {
        QCOMPARE(setting(Reg::WinPos, Reg::DefaultWinPos), Reg::DefaultWinPos);
        QVERIFY(!RegKeyExists(HKEY_LOCAL_MACHINE, ProgramKey));
        InitSettings();
        QVERIFY(RegKeyExists(HKEY_LOCAL_MACHINE, ProgramKey));
        QVERIFY(RegKeyExists(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Brisvane")));
        QVERIFY(!machineFile().contains('='));
        QVERIFY(!QFile::exists(storeFile(HKEY_CURRENT_USER)));
    }

    void writeToMissingKeyCreatesNothing()
    {
        saveSetting(Reg::WinPos, QStringLiteral("1|2|3|4"));
        QCOMPARE(setting(Reg::WinPos, QStringLiteral("dflt")), QStringLiteral("dflt"));
        QVERIFY(!RegKeyExists(HKEY_LOCAL_MACHINE, ProgramKey));
    }

    void valueNamesIgnoreCaseAndKeepTheirFirstSpelling()
    {
        CreateRegKey(HKEY_LOCAL_MACHINE, ProgramKey);
        saveSetting(Reg::AutosaveAsWritten, QStringLiteral("1"));
        QCOMPARE(setting(Reg::AutoSave, QStringLiteral("0")), QStringLiteral("1"));
        saveSetting(Reg::AutoSave, QStringLiteral("0"));
        QCOMPARE(setting(QStringLiteral("AUTOSAVE"), QStringLiteral("x")), QStringLiteral("0"));
        const QByteArray file = machineFile();
        QCOMPARE(file.count("utosave="), 1);
        QVERIFY(file.contains("Autosave=0"));
        // key paths too
        QCOMPARE(
            GetRegString(HKEY_LOCAL_MACHINE, QStringLiteral("software\\brisvane\\cinemork"), Reg::AutoSave, QString()),
            QStringLiteral("0"));
    }

    void aLargeStoreReadsAndWritesInLinearTime()
    {
        // 100,000 values; a second spelling of each later in the file, which wins but keeps the first spelling
        QByteArray file = "[Software\\Brisvane\\Cinemork]\n";
        for (int i = 0; i < 100000; ++i)
            file += "Name" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\n";
        file += "[Other]\nx=1\n[software\\brisvane\\CINEMORK]\n";
        for (int i = 0; i < 100000; i += 1000)
            file += "NAME" + QByteArray::number(i) + "=again\n";
        // Linear: a fraction of a second, a few seconds in a sanitizer's debug build; a search of the
        // values read so far for every value takes minutes.
        QElapsedTimer clock;
        clock.start();
        const QList<IniStore::Group> groups = IniStore::parse(file);
        const QByteArray written = IniStore::serialize(groups);
        QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(groups.size(), 2);
        QCOMPARE(groups[0].key, QStringLiteral("Software\\Brisvane\\Cinemork"));
        QCOMPARE(groups[0].entries.size(), 100000);
        QCOMPARE(groups[0].entries[1000].name, QStringLiteral("Name1000"));
        QCOMPARE(groups[0].entries[1000].text, QStringLiteral("again"));
        QCOMPARE(groups[0].entries[1001].text, QStringLiteral("1001"));
        QCOMPARE(groups[1].entries.size(), 1); // the values under the repeated key went to that key
        QCOMPARE(IniStore::parse(written).size(), 2);
        QCOMPARE(IniStore::serialize(IniStore::parse(written)), written);
    }

    void regBoolReadsMigratedValues_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("def");
        QTest::addColumn<bool>("result");
        QTest::newRow("True") << "True" << false << true;
        QTest::newRow("FALSE") << "FALSE" << true << false;
        QTest::newRow("-1") << "-1" << false << true;
        QTest::newRow("0") << "0" << true << false;
        QTest::newRow("1") << "1" << false << true;
        QTest::newRow("blanks around") << " 0 " << true << false;
        QTest::newRow("0.0") << "0.0" << true << false;
        QTest::newRow("empty, default false") << "" << false << false;
        QTest::newRow("empty, default true") << "" << true << true;
        QTest::newRow("yes") << "yes" << false << false;
        QTest::newRow("Truely") << "Truely" << true << true;
        for (const char *notFinite : {"nan", "inf", "-inf", "1e999"})
            for (const bool def : {false, true})
                QTest::addRow("%s, default %d", notFinite, def) << QString::fromLatin1(notFinite) << def << def;
    }
    void regBoolReadsMigratedValues()
    {
        QFETCH(QString, text);
        QFETCH(bool, def);
        QTEST(regBool(text, def), "result");
    }

    void textsSurviveTheFileAndStopAtAZero()
    {
        CreateRegKey(HKEY_LOCAL_MACHINE, ProgramKey);
        const QString hostile = QStringLiteral("a=b\\c\nd\r[e] ;f あ ");
        saveSetting(Reg::UserCSS, hostile);
        QCOMPARE(setting(Reg::UserCSS, QString()), hostile);
        saveSetting(Reg::mru(1), QStringLiteral("abc") + QChar(0) + QStringLiteral("def"));
        QCOMPARE(setting(Reg::mru(1), QString()), QStringLiteral("abc"));
        saveSetting(Reg::mru(2), QString());
        QCOMPARE(setting(Reg::mru(2), QStringLiteral("dflt")), QString()); // present but empty
    }

    void deleteValueAndKey()
    {
        CreateRegKey(HKEY_LOCAL_MACHINE, ProgramKey);
        saveSetting(Reg::UserCSS, QStringLiteral("/x.css"));
        DeleteRegValue(HKEY_LOCAL_MACHINE, ProgramKey, QStringLiteral("usercss"));
        QCOMPARE(setting(Reg::UserCSS, QStringLiteral("none")), QStringLiteral("none"));
        QVERIFY(RegKeyExists(HKEY_LOCAL_MACHINE, ProgramKey));
        saveSetting(Reg::WinPos, QStringLiteral("1|2|3|4"));
        DeleteRegKey(HKEY_LOCAL_MACHINE, ProgramKey);
        QVERIFY(!RegKeyExists(HKEY_LOCAL_MACHINE, ProgramKey));
        QVERIFY(RegKeyExists(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Brisvane")));
        QCOMPARE(setting(Reg::WinPos, QStringLiteral("d")), QStringLiteral("d"));
    }

    void aWriteCutShortLeavesTheFileAsItWas()
    {
        CreateRegKey(HKEY_LOCAL_MACHINE, ProgramKey);
        saveSetting(Reg::WinPos, QStringLiteral("1|2|3|4"));
        const QByteArray before = machineFile();
        rlimit fileSize;
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &fileSize), 0);
        auto *const oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = fileSize;
        small.rlim_cur = 50000;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool written =
            IniStore(storeFile(HKEY_LOCAL_MACHINE)).setValue(ProgramKey, Reg::UserCSS, QString(100000, u'x'));
        setrlimit(RLIMIT_FSIZE, &fileSize);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!written);
        QCOMPARE(machineFile(), before);
    }

    void twoCopiesKeepEachOthersValues()
    {
        // Two running programs: each reads the file afresh, so neither loses the other's values.
        IniStore first(storeFile(HKEY_LOCAL_MACHINE)), second(storeFile(HKEY_LOCAL_MACHINE));
        first.createKey(ProgramKey);
        QVERIFY(first.setValue(ProgramKey, Reg::mru(1), QStringLiteral("/a.html")));
        QVERIFY(second.setValue(ProgramKey, Reg::WinPos, QStringLiteral("1|2|3|4")));
        QVERIFY(first.setValue(ProgramKey, Reg::WinPos, QStringLiteral("5|6|7|8")));
        QCOMPARE(second.value(ProgramKey, Reg::mru(1)).value_or(QString()), QStringLiteral("/a.html"));
        QCOMPARE(second.value(ProgramKey, Reg::WinPos).value_or(QString()), QStringLiteral("5|6|7|8"));
        QVERIFY(!QFile::exists(storeFile(HKEY_LOCAL_MACHINE) + QStringLiteral(".lock")));
    }

    void repairOfColumnsAndWidths_data()
    {
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("widths");
        QTest::addColumn<QString>("columnsAfter");
        QTest::addColumn<QString>("widthsAfter");
        QTest::newRow("four characters, three fields") << "1111"
                                                       << "0|0|0"
                                                       << "11111110"
                                                       << "0|0|0|0|0|0|0|0";
        QTest::newRow("eight zeros and a percentage kept") << "00000000"
                                                           << "20%|0|0|0|0|0|0|0"
                                                           << "00000000"
                                                           << "20%|0|0|0|0|0|0|0";
        QTest::newRow("empty widths") << "11111111"
                                      << ""
                                      << "11111111"
                                      << "0|0|0|0|0|0|0|0";
        QTest::newRow("nine widths") << "111111101"
                                     << "1|2|3|4|5|6|7|8|9"
                                     << "11111110"
                                     << "0|0|0|0|0|0|0|0";
    }
    void repairOfColumnsAndWidths()
    {
        QFETCH(QString, columns);
        QFETCH(QString, widths);
        CreateRegKey(HKEY_LOCAL_MACHINE, ProgramKey);
        saveSetting(Reg::BrowserColumns, columns);
        saveSetting(Reg::BrowserColumnsFixedWidth, widths);
        InitSettings();
        QTEST(setting(Reg::BrowserColumns, QString()), "columnsAfter");
        QTEST(setting(Reg::BrowserColumnsFixedWidth, QString()), "widthsAfter");
    }

    void migrationRunsExactlyOnce()
    {
        CreateRegKey(HKEY_CURRENT_USER, OldSettingsKey);
        oldValue(Reg::WinPos, QStringLiteral("100|200|7000|6000"));
        oldValue(Reg::mru(1), QStringLiteral("/films.html"));
        oldValue(Reg::UserCSS, QString());
        oldValue(QStringLiteral("BrowserColumnsFixedWidths"), QStringLiteral("9|9|9|9|9|9|9|9"));
        InitSettings();
        QCOMPARE(setting(Reg::WinPos, QString()), QStringLiteral("100|200|7000|6000"));
        QCOMPARE(setting(Reg::mru(1), QString()), QStringLiteral("/films.html"));
        QCOMPARE(setting(Reg::UserCSS, QStringLiteral("absent")), QStringLiteral("absent"));
        QVERIFY(!RegKeyExists(HKEY_CURRENT_USER, OldSettingsKey));
        QVERIFY(RegKeyExists(HKEY_CURRENT_USER, QStringLiteral("Software\\VB and VBA Program Settings\\Brisvane")));

        saveSetting(Reg::WinPos, QStringLiteral("1|1|6960|5460"));
        InitSettings();
        QCOMPARE(setting(Reg::WinPos, QString()), QStringLiteral("1|1|6960|5460"));
    }

    void noMigrationWithoutOldWinPos_data()
    {
        QTest::addColumn<QString>("winPos");
        QTest::newRow("absent") << QString();
        QTest::newRow("blah") << QStringLiteral("blah");
    }
    void noMigrationWithoutOldWinPos()
    {
        QFETCH(QString, winPos);
        CreateRegKey(HKEY_CURRENT_USER, OldSettingsKey);
        oldValue(Reg::mru(1), QStringLiteral("/old.html"));
        if (!winPos.isNull())
            oldValue(Reg::WinPos, winPos);
        InitSettings();
        QCOMPARE(setting(Reg::mru(1), QStringLiteral("none")), QStringLiteral("none"));
        QVERIFY(RegKeyExists(HKEY_CURRENT_USER, OldSettingsKey));
    }

    // ---- recent files ----

    void recentFilesKeepTheLastFourMostRecentFirst()
    {
        InitSettings();
        RecentFiles r;
        r.UpdateRecentFiles(RecentLoad, QString());
        QCOMPARE(r.entry(1).caption, QStringLiteral("(no recent files)"));
        QVERIFY(!r.entry(1).enabled);
        QVERIFY(!r.entry(2).visible);
        r.UpdateRecentFiles(RecentAdd, QStringLiteral("/m/a.html"));
        QCOMPARE(r.entry(1).caption, QStringLiteral("&1 a.html"));
        QVERIFY(r.entry(1).enabled && r.entry(1).visible && !r.entry(2).visible);
        for (const char *p : {"/m/b.html", "/m/c.html", "/m/d.html", "/m/e.html"})
            r.UpdateRecentFiles(RecentAdd, QString::fromLatin1(p));
        const QStringList expected{"/m/e.html", "/m/d.html", "/m/c.html", "/m/b.html"};
        for (int n = 1; n <= 4; ++n) {
            QCOMPARE(r.entry(n).tag, expected[n - 1]);
            QCOMPARE(setting(Reg::mru(n), QString()), expected[n - 1]);
        }
        QCOMPARE(r.entry(3).caption, QStringLiteral("&3 c.html"));

        // a path differing only in letter case is another file
        r.UpdateRecentFiles(RecentAdd, QStringLiteral("/m/E.html"));
        QCOMPARE(r.entry(1).tag, QStringLiteral("/m/E.html"));
        QCOMPARE(r.entry(2).tag, QStringLiteral("/m/e.html"));
    }

    void reopeningMovesAnEntryUpAndWritesAllFour()
    {
        InitSettings();
        for (int n = 1; n <= 4; ++n)
            saveSetting(Reg::mru(n), QStringLiteral("/m/%1.html").arg(n));
        RecentFiles r;
        r.UpdateRecentFiles(RecentLoad, QString());
        saveSetting(Reg::mru(4), QStringLiteral("sentinel"));
        r.UpdateRecentFiles(RecentAdd, QStringLiteral("/m/1.html")); // already first: nothing written
        QCOMPARE(setting(Reg::mru(4), QString()), QStringLiteral("sentinel"));
        r.UpdateRecentFiles(RecentAdd, QStringLiteral("/m/3.html"));
        const QStringList expected{"/m/3.html", "/m/1.html", "/m/2.html", "/m/4.html"};
        for (int n = 1; n <= 4; ++n) {
            QCOMPARE(r.entry(n).tag, expected[n - 1]);
            QCOMPARE(setting(Reg::mru(n), QString()), expected[n - 1]);
            QCOMPARE(r.entry(n).caption, QStringLiteral("&%1 %2.html").arg(n).arg(expected[n - 1].mid(3, 1)));
        }
    }

    void removingEntries()
    {
        InitSettings();
        for (int n = 1; n <= 4; ++n)
            saveSetting(Reg::mru(n), QStringLiteral("/m/%1.html").arg(n));
        RecentFiles r;
        r.UpdateRecentFiles(RecentLoad, QString());
        r.UpdateRecentFiles(RecentRemove, QStringLiteral("/m/2.html"));
        QCOMPARE(r.entry(2).tag, QStringLiteral("/m/3.html"));
        QCOMPARE(r.entry(2).caption, QStringLiteral("&2 3.html"));
        QCOMPARE(r.entry(3).tag, QStringLiteral("/m/4.html"));
        QVERIFY(!r.entry(4).visible);
        QCOMPARE(setting(Reg::mru(4), QStringLiteral("gone")), QStringLiteral("gone"));
        QCOMPARE(setting(Reg::mru(2), QString()), QStringLiteral("/m/3.html"));

        test::clearStore();
        InitSettings();
        saveSetting(Reg::mru(1), QStringLiteral("/m/only.html"));
        RecentFiles single;
        single.UpdateRecentFiles(RecentLoad, QString());
        single.UpdateRecentFiles(RecentRemove, QStringLiteral("/m/only.html"));
        QCOMPARE(single.entry(1).caption, QStringLiteral("(no recent files)"));
        QVERIFY(single.entry(1).visible && !single.entry(1).enabled);
        QCOMPARE(setting(Reg::mru(1), QStringLiteral("gone")), QStringLiteral("gone"));
    }

    void aGapInTheStoreEndsTheList()
    {
        InitSettings();
        saveSetting(Reg::mru(1), QStringLiteral("/m/one.html"));
        saveSetting(Reg::mru(3), QStringLiteral("/m/three.html"));
        RecentFiles r;
        r.UpdateRecentFiles(RecentLoad, QString());
        QVERIFY(r.entry(1).visible);
        QVERIFY(!r.entry(2).visible);
        QVERIFY(!r.entry(3).visible);
    }

    void ampersandInTitleIsShownAsItself()
    {
        InitSettings();
        RecentFiles r;
        r.UpdateRecentFiles(RecentLoad, QString());
        r.UpdateRecentFiles(RecentAdd, QStringLiteral("/m/Tom & Jerry.html"));
        QCOMPARE(r.entry(1).caption, QStringLiteral("&1 Tom & Jerry.html"));
        QCOMPARE(r.menuText(1), QStringLiteral("&1 Tom && Jerry.html"));
    }
};

QTEST_GUILESS_MAIN(tst_store)
#include "tst_store.moc"
