#include "commands/commandtexts.h"
#include "commands/listcommands.h"
#include "document/documenttexts.h"
#include "documentlook.h"
#include "listfile/pagefiletexts.h"
#include "listfile/pagereader.h"
#include "settings/modregistry.h"
#include "settings/settingstexts.h"
#include "testsupport.h"

#include <QtTest>

using namespace cinemork;
using test::look;
using test::Look;
using test::movie;
using test::readFile;
using test::writeFile;

namespace {

// A document with its commands, as the window holds them.
struct Listed
{
    ListDocument doc;
    ListCommands c{&doc};
};

} // namespace

class tst_commands : public test::FakesTest
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    // A stored list of three movies, not modified.
    std::unique_ptr<Listed> stored()
    {
        auto d = std::make_unique<Listed>();
        d->c.read(test::writePage(path("stored.html"), {movie("Zelig"), movie("Alien"), movie("Brazil", "1400\\2")},
                                  QStringLiteral("Stored")));
        return d;
    }

private slots:
    void saveAsSaveAndOpen()
    {
        Listed d;
        d.c.addMovie(movie("One"));
        m_fakes->dialogs.saveAnswers.push_back(path("first.html"));
        m_fakes->prompts.expectInput(path("first.html").toUpper() + " movie list:", QStringLiteral("Cinemork"));
        QVERIFY(d.c.saveAs());
        QCOMPARE(m_fakes->prompts.defaults.last(), QStringLiteral("Cinemork"));
        QCOMPARE(
            look(d.doc),
            (Look{{movie("One")}, "Cinemork - Cinemork", "1 items in loaded list Cinemork, total 0.68 GB", false}));
        QCOMPARE(setting(Reg::mru(1), QString()), path("first.html"));
        m_fakes->prompts.expectInput(Texts::ChangeTitlePrompt, QStringLiteral("Renamed"));
        d.c.changeTitle();
        QVERIFY(d.c.save()); // no dialog: the same file, the new title

        Listed opened;
        m_fakes->dialogs.openAnswers.push_back({path("first.html")});
        opened.c.open();
        QCOMPARE(look(opened.doc),
                 (Look{{movie("One")}, "Cinemork - Renamed", "1 items in loaded list Renamed, total 0.68 GB", false}));
        // several files chosen name no file: nothing happens
        test::writePage(path("three.html"), {movie("Three")}, QStringLiteral("Three"));
        m_fakes->dialogs.openAnswers.push_back({path("three.html"), path("first.html")});
        opened.c.open();
        QCOMPARE(opened.doc.title(), QStringLiteral("Renamed"));
    }

    void modifiedMarkAndAutoSave()
    {
        Listed d;
        m_fakes->prompts.expectInput(Texts::ChangeTitlePrompt, QStringLiteral("Later"));
        d.c.changeTitle(); // before any list: a title, no list, no file
        QCOMPARE(m_fakes->prompts.defaults.last(), QString());
        QCOMPARE(look(d.doc), (Look{{}, "Cinemork - Later", Texts::ListModified, true}));
        QVERIFY(!d.doc.hasList());
        m_fakes->prompts.expectInput(Texts::ChangeTitlePrompt, QString());
        d.c.changeTitle(); // cancelled: nothing changes
        QCOMPARE(d.doc.undoStack()->count(), 1);

        // auto-save without a file asks for one; cancelled, the list stays modified
        AutoSaveFlag = true;
        m_fakes->dialogs.saveAnswers.push_back(QString());
        d.c.addMovie(movie("A"));
        QVERIFY(d.doc.isModified());
        m_fakes->dialogs.saveAnswers.push_back(path("auto.html"));
        m_fakes->prompts.expectInput(QStringLiteral("movie list:"), QStringLiteral("Auto"));
        d.c.addMovie(movie("B"));
        QCOMPARE(look(d.doc).status, QStringLiteral("2 items in loaded list Auto, total 1.36 GB"));
        d.c.undo(); // saved again, as after any change
        QCOMPARE(readPageFile(path("auto.html")).movies.size(), 1);
        d.c.redo();
        QCOMPARE(readPageFile(path("auto.html")).movies.size(), 2);
        AutoSaveFlag = false;

        // New keeps a modified mark, and empties the list and its history
        d.c.recordModification();
        m_fakes->prompts.expect(Texts::SaveChanges, Answer::No);
        QVERIFY(d.c.newList());
        QCOMPARE(look(d.doc), (Look{{}, "Cinemork - Untitled", Texts::ListModified, true}));
        QCOMPARE(d.doc.filePath(), QString());
        QCOMPARE(d.doc.undoStack()->count(), 0);
        // and an unmodified list's totals stay until the next change
        auto s = stored();
        QVERIFY(s->c.newList());
        QCOMPARE(look(s->doc),
                 (Look{{}, "Cinemork - Untitled", "3 items in loaded list Stored, total 2.73 GB", false}));
    }

    void failuresKeepEverything()
    {
        auto d = stored();
        d->c.recordModification();
        const Look before = look(d->doc);
        QDir(m_dir.path()).mkdir(QStringLiteral("adir"));
        m_fakes->prompts.expect(QStringLiteral("could not be saved to ") + path("adir"), Answer::Ok);
        QVERIFY(!d->c.write(path("adir"), QStringLiteral("New title")));
        m_fakes->dialogs.saveAnswers.push_back(path("adir"));
        m_fakes->prompts.expectInput(QStringLiteral("movie list:"), QStringLiteral("T"));
        m_fakes->prompts.expect(QStringLiteral("could not be saved"), Answer::Ok);
        QVERIFY(!d->c.saveAs());
        QVERIFY(writeFile(path("broken.html"), "<HTML>\r\n<HEAD>\r\n<TITLE>Broken</TITLE>\r\n<TABLE>\r\n <TR>\r\n"));
        m_fakes->prompts.expect(QStringLiteral("The reported error was: Error#62: Input past end of file"), Answer::Ok);
        QVERIFY(!d->c.read(path("broken.html")));
        QVERIFY(!d->c.read(path("missing.html"))); // no file: nothing, no message
        // a list given to the program that is not there, or a folder: plain messages, no recent entry involved
        m_fakes->prompts.expect(Texts::listNotFound(path("gone.html")), Answer::Ok);
        d->c.openFile(path("gone.html"));
        m_fakes->prompts.expect(Texts::listIsFolder(m_dir.path()), Answer::Ok);
        d->c.openFile(m_dir.path());
        m_fakes->prompts.expect(Texts::ConfirmDelete, Answer::No);
        QVERIFY(!d->c.deleteMovie(1));
        QCOMPARE(look(d->doc), before);
        QCOMPARE(d->doc.filePath(), path("stored.html"));
        QCOMPARE(setting(Reg::mru(1), QString()), path("stored.html"));
    }

    void aVanishedRecentFile_data()
    {
        QTest::addColumn<int>("answer"); // to the question on the vanished file
        QTest::addColumn<QString>("mru2");
        QTest::newRow("Cancel keeps it") << int(Answer::Cancel) << "other.html";
        QTest::newRow("OK drops it") << int(Answer::Ok) << "";
    }
    void aVanishedRecentFile()
    {
        QFETCH(int, answer);
        QFETCH(QString, mru2);
        test::writePage(path("other.html"), {movie("Other")}, QStringLiteral("Other"));
        auto d = stored();
        QVERIFY(d->c.read(path("other.html")));
        QVERIFY(d->c.read(path("stored.html")));
        QFile::remove(path("other.html"));
        m_fakes->prompts.expect(Texts::mruMissing(path("other.html")), Answer(answer));
        d->c.openRecent(2);
        QCOMPARE(d->doc.title(), QStringLiteral("Stored"));
        QCOMPARE(setting(Reg::mru(2), QString()), mru2.isEmpty() ? QString() : path(mru2));
    }

    void csvOutAndIn()
    {
        Listed d;
        d.c.addMovie(movie("Alien"));
        d.c.addMovie(movie("Brazil", "1400\\2"));
        for (const bool spreadsheet : {false, true}) {
            m_fakes->dialogs.saveAnswers.push_back(path("out.csv"));
            m_fakes->prompts.expect(Texts::CsvForSpreadsheets, spreadsheet ? Answer::Yes : Answer::No);
            QVERIFY(d.c.exportCsv());
            QCOMPARE(readFile(path("out.csv")).startsWith("\xEF\xBB\xBF"), spreadsheet); // the byte order mark
            Listed back;
            m_fakes->dialogs.openAnswers.push_back({path("out.csv")});
            QVERIFY(back.c.importCsv());
            QCOMPARE(back.doc.movies(), d.doc.movies());
            back.c.undo(); // one change, undone at once
            QVERIFY(back.doc.movies().isEmpty());
        }
        QVERIFY(writeFile(path("bad.csv"), "not,the,header\n"));
        m_fakes->dialogs.openAnswers.push_back({path("bad.csv")});
        m_fakes->prompts.expect(QStringLiteral("the header row lacks"), Answer::Ok);
        QVERIFY(!d.c.importCsv()); // adds nothing
        QCOMPARE(d.doc.movies().size(), 2);
    }

    void csvImportStartsAListAndAsksAboutWhatItCannotCount()
    {
        const QByteArray header = "title,size,res,codec,type,seenit,location,files,imdb\n";
        QVERIFY(writeFile(path("empty.csv"), header));
        QVERIFY(writeFile(path("odd.csv"),
                          header + "One,700\\1,,,,no,,,\nTwo,abc,,,,no,,,\nThree,\\,,,,maybe,,,\nFour,,,,,yes,,,\n"
                                   "Five,18446744073709551616\\1,,,,no,,,\nSix,1\\1234567,,,,no,,,\n"));
        Listed d;
        m_fakes->dialogs.openAnswers.push_back({path("empty.csv")});
        m_fakes->prompts.expect(Texts::CsvHoldsNoMovies, Answer::Ok);
        QVERIFY(!d.c.importCsv());
        for (const Answer answer : {Answer::No, Answer::Yes}) {
            m_fakes->dialogs.openAnswers.push_back({path("odd.csv")});
            m_fakes->prompts.expect(QStringLiteral("Lines 3, 4, 6, 7 hold a size"), answer);
            QCOMPARE(d.c.importCsv(), answer == Answer::Yes);
        }
        // no list was open: the movies are a new one, changed as any list is
        QVERIFY(d.doc.hasList() && d.doc.isModified() && d.doc.filePath().isEmpty());
        QCOMPARE(d.doc.movies().size(), 6);
    }

    void listDialogsStartBesideTheList()
    {
        auto d = stored();
        m_fakes->dialogs.openAnswers.push_back({});
        d->c.importCsv();
        m_fakes->dialogs.saveAnswers.push_back({});
        d->c.exportCsv();
        QCOMPARE(m_fakes->dialogs.startFolders, (QStringList{m_dir.path(), path("stored.csv")}));
    }

    void userStyleSheet()
    {
        Listed d;
        QVERIFY(writeFile(path("mine.css"), "body {color: red}\nTD {x: y}\r\n"));
        saveSetting(Reg::UserCSS, path("mine.css"));
        QVERIFY(d.c.write(path("styled.html"), QStringLiteral("S")));
        QVERIFY(readFile(path("styled.html"))
                    .contains("<STYLE TYPE=\"text/css\"><!--\r\nbody {color: red}\r\nTD {x: y}\r\n--></STYLE>"));
        saveSetting(Reg::UserCSS, path("gone.css")); // missing: the box, then the default lines
        m_fakes->prompts.expect(Texts::CssNotFound, Answer::Ok);
        QVERIFY(d.c.write(path("styled.html"), QStringLiteral("S")));
        QVERIFY(readFile(path("styled.html")).contains("body    {font-family: Fixedsys, Arial, monospace;"));
        QCOMPARE(setting(Reg::UserCSS, QString()), path("gone.css")); // the setting stays
    }

    void dialogMemory()
    {
        // an empty memory starts among the user's documents (never the program's folder), and a
        // cancelled dialog remembers nothing
        m_fakes->dialogs.openAnswers.push_back({});
        QCOMPARE(ShowOpenDialog(QStringLiteral("t"), Texts::ListFilter), QString());
        QCOMPARE(LastOpenPath, QString());
        m_fakes->dialogs.saveAnswers.push_back(QString());
        ShowSaveDialog(QStringLiteral("t"), Texts::ListFilter, Texts::ListDefaultExt);
        QCOMPARE(m_fakes->dialogs.startFolders, QStringList(2, documentsFolder()));
        QVERIFY(documentsFolder() != QCoreApplication::applicationDirPath());
        // a remembered file, several files or a file with "|" in its name starts in its folder
        QVERIFY(writeFile(path("x|y.avi"), {}));
        m_fakes->dialogs.openAnswers.push_back({path("x|y.avi")});
        QCOMPARE(ShowOpenDialog(QStringLiteral("t"), Texts::CsvFilter), path("x|y.avi"));
        QCOMPARE(startFolderOf(LastOpenPath), m_dir.path());
        QCOMPARE(startFolderOf(m_dir.path() + QStringLiteral("|a.avi|b.avi")), m_dir.path());
        QCOMPARE(joinSelection({QStringLiteral("/a.avi"), QStringLiteral("/b.avi")}), QStringLiteral("/|a.avi|b.avi"));
        // "All files (*.*)" must list files without a dot too
        QCOMPARE(qtNameFilters(Texts::CssFilter).last(), QStringLiteral("All files (*)"));
    }
};

QTEST_GUILESS_MAIN(tst_commands)
#include "tst_commands.moc"
