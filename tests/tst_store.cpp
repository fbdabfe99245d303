#include "platform/bytetext.h"
#include "platform/inistore.h"
#include "settings/modregistry.h"
#include "settings/recentfiles.h"
#include "testsupport.h"

#include <QFile>
#include <QtTest>

using namespace cinemork;

class tst_store : public QObject
{
    Q_OBJECT

    static QByteArray machineFile() { return test::readFile(storeFile(HKEY_LOCAL_MACHINE)); }

private slots:
    void initTestCase() { test::isolateConfig(); }
    void init()
    {
        test::clearStore();
        InitSettings(); // a store as the program leaves it at start
    }

    void aFreshStoreGetsItsKeyAtStartAndNoValue()
    {
        test::clearStore();
        QCOMPARE(setting(Reg::WinPos, Reg::DefaultWinPos), Reg::DefaultWinPos);
        saveSetting(Reg::WinPos, QStringLiteral("1|2|3|4")); // no key yet: nothing is written
        QVERIFY(!RegKeyExists(HKEY_LOCAL_MACHINE, ProgramKey));
        InitSettings();
        QVERIFY(RegKeyExists(HKEY_LOCAL_MACHINE, ProgramKey));
        QVERIFY(!machineFile().contains('='));
        QVERIFY(!QFile::exists(storeFile(HKEY_CURRENT_USER)));
    }

    void valuesAndKeys()
    {
        // a text comes back as it was written, up to a zero character
        const QString hostile = QStringLiteral("a=b\\c\nd\r[e] ;f あ ");
        saveSetting(Reg::UserCSS, hostile);
        QCOMPARE(setting(Reg::UserCSS, QString()), hostile);
        saveSetting(Reg::mru(1), QStringLiteral("abc") + QChar(0) + QStringLiteral("def"));
        QCOMPARE(setting(Reg::mru(1), QString()), QStringLiteral("abc"));
        saveSetting(Reg::mru(2), QString());
        QCOMPARE(setting(Reg::mru(2), QStringLiteral("dflt")), QString()); // present but empty
        // a value goes, then the key with its values; the key's parent stays
        DeleteRegValue(HKEY_LOCAL_MACHINE, ProgramKey, QStringLiteral("usercss"));
        QCOMPARE(setting(Reg::UserCSS, QStringLiteral("none")), QStringLiteral("none"));
        QVERIFY(RegKeyExists(HKEY_LOCAL_MACHINE, ProgramKey));
        DeleteRegKey(HKEY_LOCAL_MACHINE, ProgramKey);
        QVERIFY(!RegKeyExists(HKEY_LOCAL_MACHINE, ProgramKey));
        QVERIFY(RegKeyExists(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Brisvane")));
        QCOMPARE(setting(Reg::mru(1), QStringLiteral("d")), QStringLiteral("d"));
    }

    void aLaterSpellingOfANameWinsAndKeepsTheFirst()
    {
        // (how a large store reads and writes is timed by bench_store)
        const QByteArray file = "[Software\\Brisvane\\Cinemork]\nName1000=1000\nName1001=1001\n[Other]\nx=1\n"
                                "[software\\brisvane\\CINEMORK]\nNAME1000=again\n";
        IniDocument d(file);
        QVERIFY(d.setValue(ProgramKey, QStringLiteral("name1001"), QStringLiteral("changed")));
        QCOMPARE(d.value(ProgramKey, QStringLiteral("Name1000")), QStringLiteral("again"));
        QCOMPARE(d.value(ProgramKey, QStringLiteral("Name1001")), QStringLiteral("changed"));
        QCOMPARE(d.value(QStringLiteral("other"), QStringLiteral("X")), QStringLiteral("1"));
        QCOMPARE(d.data(), QByteArray(file).replace("Name1001=1001\n", "Name1001=changed\n"));
    }

    void linesAreKeptAsTheyWere_data()
    {
        QTest::addColumn<QByteArray>("end"); // of every line read
        QTest::newRow("CR") << QByteArray("\r");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("CR LF") << QByteArray("\r\n");
    }
    void linesAreKeptAsTheyWere()
    {
        // comments, lines that are no value and bytes that are no UTF-8 survive a write of another value
        QFETCH(QByteArray, end);
        const QByteArray before = "; made by hand \xFF" + end + "[Software\\Brisvane\\Cinemork]" + end
            + "UserCSS=/home/Ren\xE9/styl\xE9.css" + end + "no value here" + end + "WinPos=1|2|3|4" + end + "# the end"
            + end + "[Other]" + end + "x=\xE9";
        QVERIFY(test::writeFile(storeFile(HKEY_LOCAL_MACHINE), before));
        QCOMPARE(setting(Reg::WinPos, {}), QStringLiteral("1|2|3|4"));
        const QString css = setting(Reg::UserCSS, {});
        saveSetting(Reg::UserCSS, css); // the same bytes: nothing to write
        QCOMPARE(machineFile(), before);
        saveSetting(Reg::WinPos, QStringLiteral("5|6|7|8"));
        saveSetting(Reg::mru(1), QStringLiteral("/m/1.html"));
        QByteArray after = before;
        after.replace("WinPos=1|2|3|4" + end, "WinPos=5|6|7|8" + end + "MRU1=/m/1.html" + end);
        QCOMPARE(machineFile(), after);
        DeleteRegKey(HKEY_LOCAL_MACHINE, QStringLiteral("other"));
        QCOMPARE(machineFile(), after.left(after.indexOf("[Other]")));
        // the path reaches the file system as the bytes it was stored as
        QCOMPARE(encodeBytes(css), QByteArray("/home/Ren\xE9/styl\xE9.css"));
    }

    void bytesThatAreNoUtf8ComeBackAsTheyWere_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("a cut sequence") << QByteArray("ab\xE2\x82");
        QTest::newRow("an overlong slash") << QByteArray("\xC0\xAF");
        QTest::newRow("an encoded surrogate") << QByteArray("\xED\xA0\x80x");
        QTest::newRow("UTF-8 and not") << QByteArray("\xE3\x81\x82\xFF\xF0\x9F\x98\x80");
    }
    void bytesThatAreNoUtf8ComeBackAsTheyWere()
    {
        QFETCH(QByteArray, bytes);
        QCOMPARE(encodeBytes(decodeBytes(bytes)), bytes);
        QCOMPARE(decodeBytes("x" + bytes).size() > 1, true);
    }

    void theFileIsReadAgainOnlyWhenItChanged()
    {
        saveSetting(Reg::WinPos, QStringLiteral("1|2|3|4"));
        const quint64 reads = IniStore::fileReads();
        for (int i = 0; i < 50; ++i)
            QCOMPARE(setting(Reg::WinPos, {}), QStringLiteral("1|2|3|4"));
        QCOMPARE(IniStore::fileReads(), reads); // what it wrote itself is not read again
        // another copy's write, replacing the file or in place, is seen at the next read
        QVERIFY(test::writeFile(storeFile(HKEY_LOCAL_MACHINE), "[Software\\Brisvane\\Cinemork]\nWinPos=5|6|7|8\n"));
        QCOMPARE(setting(Reg::WinPos, {}), QStringLiteral("5|6|7|8"));
        QFile f(storeFile(HKEY_LOCAL_MACHINE));
        QVERIFY(f.open(QIODevice::Append));
        f.write("MRU1=/m/1.html\n");
        f.close();
        QCOMPARE(setting(Reg::mru(1), {}), QStringLiteral("/m/1.html"));
        QCOMPARE(IniStore::fileReads(), reads + 2);
    }

    void twoCopiesKeepEachOthersRecentFiles()
    {
        // both started with one recent file; each adds its own: the second keeps the first's
        saveSetting(Reg::mru(1), QStringLiteral("/m/old.html"));
        RecentFiles first, second;
        first.UpdateRecentFiles(RecentLoad, QString());
        second.UpdateRecentFiles(RecentLoad, QString());
        first.UpdateRecentFiles(RecentAdd, QStringLiteral("/m/first.html"));
        second.UpdateRecentFiles(RecentAdd, QStringLiteral("/m/second.html"));
        second.UpdateRecentFiles(RecentRemove, QStringLiteral("/m/old.html"));
        const QStringList stored{setting(Reg::mru(1), {}), setting(Reg::mru(2), {}), setting(Reg::mru(3), {})};
        QCOMPARE(stored, (QStringList{"/m/second.html", "/m/first.html", QString()}));
        QCOMPARE(second.entry(2).tag, QStringLiteral("/m/first.html"));
        QVERIFY(!second.entry(3).visible);
    }

    void aWriteThatCannotBeMadeIsToldOnce()
    {
        QStringList told;
        setSettingsNotSavedHandler([&](const QString &message) { told << message; });
        const QString lock = storeFile(HKEY_LOCAL_MACHINE) + QStringLiteral(".lock");
        QVERIFY(QDir().mkdir(lock)); // a lock that can never be taken
        saveSetting(Reg::WinPos, QStringLiteral("1|2|3|4"));
        saveSetting(Reg::mru(1), QStringLiteral("/m/1.html"));
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].contains(lock + QStringLiteral(" is a folder")), qPrintable(told[0]));
        QCOMPARE(setting(Reg::WinPos, QStringLiteral("none")), QStringLiteral("none"));
        QVERIFY(QDir().rmdir(lock));
        saveSetting(Reg::WinPos, QStringLiteral("1|2|3|4"));
        QCOMPARE(setting(Reg::WinPos, QString()), QStringLiteral("1|2|3|4"));
        QVERIFY(QDir().mkdir(lock)); // after a write that was made, the next failure is told again
        DeleteRegValue(HKEY_LOCAL_MACHINE, ProgramKey, Reg::WinPos);
        setSettingsNotSavedHandler(nullptr);
        QVERIFY(QDir().rmdir(lock));
        QCOMPARE(told.size(), 2);
    }

    void regBoolReadsMigratedValues_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("def");
        QTest::addColumn<bool>("result");
        const std::tuple<const char *, bool, bool> rows[] = {
            // text, default, result
            {"True", false, true}, {"FALSE", true, false}, {"-1", false, true},   {"0", true, false},
            {"1", false, true},    {" 0 ", true, false},   {"0.0", true, false},  {"", false, false},
            {"", true, true},      {"yes", false, false},  {"Truely", true, true}};
        for (const auto &[text, def, result] : rows)
            QTest::addRow("\"%s\", default %d", text, def) << QString::fromLatin1(text) << def << result;
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

    void aWriteCutShortLeavesTheFileAsItWas()
    {
        saveSetting(Reg::WinPos, QStringLiteral("1|2|3|4"));
        const QByteArray before = machineFile();
        bool written = true;
        test::withFileSizeLimit(50000, [&] {
            written = IniStore(storeFile(HKEY_LOCAL_MACHINE)).setValue(ProgramKey, Reg::UserCSS, QString(100000, u'x'));
        });
        QVERIFY(!written);
        QCOMPARE(machineFile(), before);
    }

    void repairOfColumnsAndWidths_data()
    {
        QTest::addColumn<QStringList>("stored"); // columns and widths
        QTest::addColumn<QStringList>("after");
        const QStringList defaults{Reg::DefaultColumns, Reg::DefaultWidths}, kept{"00000000", "20%|0|0|0|0|0|0|0"};
        QTest::newRow("four characters, three fields") << QStringList{"1111", "0|0|0"} << defaults;
        QTest::newRow("eight zeros and a percentage kept") << kept << kept;
        QTest::newRow("empty widths") << QStringList{"11111111", ""} << QStringList{"11111111", Reg::DefaultWidths};
        QTest::newRow("nine widths") << QStringList{"111111101", "1|2|3|4|5|6|7|8|9"} << defaults;
    }
    void repairOfColumnsAndWidths()
    {
        QFETCH(QStringList, stored);
        saveSetting(Reg::BrowserColumns, stored[0]);
        saveSetting(Reg::BrowserColumnsFixedWidth, stored[1]);
        InitSettings();
        QTEST((QStringList{setting(Reg::BrowserColumns, {}), setting(Reg::BrowserColumnsFixedWidth, {})}), "after");
    }

    void migration_data()
    {
        QTest::addColumn<QString>("winPos"); // the old installation's, null: none
        QTest::addColumn<bool>("migrates");
        QTest::newRow("an old installation") << "100|200|7000|6000" << true;
        QTest::newRow("no old window place") << QString() << false;
        QTest::newRow("an old window place \"blah\"") << "blah" << false;
    }
    void migration()
    {
        QFETCH(QString, winPos);
        QFETCH(bool, migrates);
        CreateRegKey(HKEY_CURRENT_USER, OldSettingsKey);
        SaveRegString(HKEY_CURRENT_USER, OldSettingsKey, Reg::mru(1), QStringLiteral("/films.html"));
        SaveRegString(HKEY_CURRENT_USER, OldSettingsKey, Reg::UserCSS, QString());
        if (!winPos.isNull())
            SaveRegString(HKEY_CURRENT_USER, OldSettingsKey, Reg::WinPos, winPos);
        InitSettings();
        const QString none = QStringLiteral("none");
        QCOMPARE(setting(Reg::WinPos, none), migrates ? winPos : none);
        QCOMPARE(setting(Reg::mru(1), none), migrates ? QStringLiteral("/films.html") : none);
        QCOMPARE(setting(Reg::UserCSS, none), none);                          // an empty value is not carried over
        QCOMPARE(RegKeyExists(HKEY_CURRENT_USER, OldSettingsKey), !migrates); // gone: nothing is carried over twice
    }

    void recentFiles_data()
    {
        QTest::addColumn<QStringList>("stored"); // MRU1 on, before the list is loaded
        QTest::addColumn<QString>("change");     // "+PATH" added, "-PATH" removed
        QTest::addColumn<QStringList>("shown");
        const QStringList four{"/m/1.html", "/m/2.html", "/m/3.html", "/m/4.html"};
        QTest::newRow("a fifth pushes the oldest out, letter case makes another file")
            << four << "+/m/1.HTML" << QStringList{"/m/1.HTML", "/m/1.html", "/m/2.html", "/m/3.html"};
        QTest::newRow("the third added again moves up")
            << four << "+/m/3.html" << QStringList{"/m/3.html", "/m/1.html", "/m/2.html", "/m/4.html"};
        QTest::newRow("the first added, an ampersand in its name")
            << QStringList() << "+/m/Tom & Jerry.html" << QStringList{"/m/Tom & Jerry.html"};
        QTest::newRow("the second removed")
            << four << "-/m/2.html" << QStringList{"/m/1.html", "/m/3.html", "/m/4.html"};
        QTest::newRow("the only one removed") << QStringList{"/m/only.html"} << "-/m/only.html" << QStringList();
        QTest::newRow("a gap in the store ends the list")
            << QStringList{"/m/1.html", "", "/m/3.html"} << QString() << QStringList{"/m/1.html"};
    }
    void recentFiles()
    {
        QFETCH(QStringList, stored);
        QFETCH(QString, change);
        QFETCH(QStringList, shown);
        for (int n = 1; n <= stored.size(); ++n)
            if (!stored[n - 1].isEmpty())
                saveSetting(Reg::mru(n), stored[n - 1]);
        RecentFiles r;
        r.UpdateRecentFiles(RecentLoad, QString());
        if (!change.isEmpty())
            r.UpdateRecentFiles(change[0] == u'+' ? RecentAdd : RecentRemove, change.mid(1));
        for (int n = 1; n <= 4; ++n) {
            QCOMPARE(r.entry(n).visible, n <= std::max<qsizetype>(1, shown.size()));
            if (n <= shown.size()) {
                const QString name = QFileInfo(shown[n - 1]).fileName();
                QCOMPARE(r.entry(n).tag, shown[n - 1]);
                QCOMPARE(r.entry(n).caption, QStringLiteral("&%1 %2").arg(n).arg(name));
                QCOMPARE(r.menuText(n), QStringLiteral("&%1 %2").arg(n).arg(QString(name).replace(u'&', "&&")));
            }
            // the store holds what the menu shows, up to its first gap
            if (n <= shown.size() + 1)
                QCOMPARE(setting(Reg::mru(n), QString()), shown.value(n - 1));
        }
        QCOMPARE(r.entry(1).enabled, !shown.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_store)
#include "tst_store.moc"
