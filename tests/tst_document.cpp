#include "document/listdocument.h"
#include "listfile/pagereader.h"
#include "listfile/pagewriter.h"
#include "platform/texts.h"
#include "settings/modregistry.h"
#include "testsupport.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QtTest>

using namespace cinemork;
using test::movie;
using test::readFile;
using test::writeFile;

namespace {

// What the user sees of a document.
struct Look
{
    QList<Movie> rows;
    QString caption, status;
    bool modified;
    bool operator==(const Look &o) const
    {
        return rows == o.rows && caption == o.caption && status == o.status && modified == o.modified;
    }
};
Look look(const ListDocument &d)
{
    return {d.movies(), d.caption(), d.statusText(), d.isModified()};
}
char *toString(const Look &l)
{
    QStringList t;
    for (const Movie &m : l.rows)
        t << m[FTitle] + u'/' + m[FSize];
    return qstrdup(
        qPrintable(QStringLiteral("[%1] %2 | %3 | %4").arg(t.join(u','), l.caption, l.status).arg(l.modified)));
}

} // namespace

class tst_document : public test::FakesTest
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString listFile(const QString &name, const QList<Movie> &movies, const QString &title = QStringLiteral("Stored"))
    {
        return test::writePage(path(name), movies, title);
    }
    // A document holding a stored list of three movies, not modified.
    std::unique_ptr<ListDocument> stored()
    {
        auto d = std::make_unique<ListDocument>();
        d->read(listFile(QStringLiteral("stored.html"), {movie("Zelig"), movie("Alien"), movie("Brazil", "1400\\2")}));
        return d;
    }

private slots:
    void saveAsSaveAndOpen()
    {
        ListDocument d;
        QCOMPARE(look(d), (Look{{}, "Cinemork", "No list opened", false}));
        d.addMovie(movie("One"));
        m_fakes->dialogs.saveAnswers.push_back(path("first.html"));
        m_fakes->prompts.expectInput(QStringLiteral("Enter a title for the ") + path("first.html").toUpper()
                                         + " movie list:",
                                     QStringLiteral("Cinemork"));
        QVERIFY(d.saveAs());
        QCOMPARE(m_fakes->prompts.defaults.last(), QStringLiteral("Cinemork"));
        QCOMPARE(
            look(d),
            (Look{{movie("One")}, "Cinemork - Cinemork", "1 items in loaded list Cinemork, total 0.68 GB", false}));
        QCOMPARE(d.filePath(), path("first.html"));
        QCOMPARE(setting(Reg::mru(1), QString()), path("first.html"));
        m_fakes->prompts.expectInput(Texts::ChangeTitlePrompt, QStringLiteral("Renamed"));
        d.changeTitle();
        QVERIFY(d.save()); // no dialog: the same file, the new title

        ListDocument opened;
        m_fakes->dialogs.openAnswers.push_back({path("first.html")});
        opened.open();
        QCOMPARE(look(opened),
                 (Look{{movie("One")}, "Cinemork - Renamed", "1 items in loaded list Renamed, total 0.68 GB", false}));
        QVERIFY(opened.hasList());
        // several files chosen name no file: nothing happens
        listFile("three.html", {movie("Three")});
        m_fakes->dialogs.openAnswers.push_back({path("three.html"), path("first.html")});
        opened.open();
        QCOMPARE(opened.title(), QStringLiteral("Renamed"));
    }

    void modifiedMarkAndAutoSave()
    {
        ListDocument d;
        m_fakes->prompts.expectInput(Texts::ChangeTitlePrompt, QStringLiteral("Later"));
        d.changeTitle(); // before any list: a title, no list, no file
        QCOMPARE(m_fakes->prompts.defaults.last(), QString());
        QCOMPARE(look(d), (Look{{}, "Cinemork - Later", Texts::ListModified, true}));
        QVERIFY(!d.hasList());
        m_fakes->prompts.expectInput(Texts::ChangeTitlePrompt, QString());
        d.changeTitle(); // cancelled: nothing changes
        QCOMPARE(d.undoStack()->count(), 1);

        // auto-save without a file asks for one; cancelled, the list stays modified
        AutoSaveFlag = true;
        m_fakes->dialogs.saveAnswers.push_back(QString());
        d.addMovie(movie("A"));
        QVERIFY(d.isModified());
        m_fakes->dialogs.saveAnswers.push_back(path("auto.html"));
        m_fakes->prompts.expectInput(QStringLiteral("movie list:"), QStringLiteral("Auto"));
        d.addMovie(movie("B"));
        QCOMPARE(look(d).status, QStringLiteral("2 items in loaded list Auto, total 1.36 GB"));
        QVERIFY(QFile::exists(path("auto.html")));
        AutoSaveFlag = false;

        // New keeps a modified mark, and empties the list and its history
        d.recordModification();
        m_fakes->prompts.expect(Texts::SaveChanges, Answer::No);
        QVERIFY(d.newList());
        QCOMPARE(look(d), (Look{{}, "Cinemork - Untitled", Texts::ListModified, true}));
        QCOMPARE(d.filePath(), QString());
        QCOMPARE(d.undoStack()->count(), 0);
        // and an unmodified list's totals stay until the next change
        auto s = stored();
        QVERIFY(s->newList());
        QCOMPARE(look(*s), (Look{{}, "Cinemork - Untitled", "3 items in loaded list Stored, total 2.73 GB", false}));
    }

    void failuresKeepEverything()
    {
        auto d = stored();
        d->recordModification();
        const Look before = look(*d);
        QDir(m_dir.path()).mkdir(QStringLiteral("adir"));
        m_fakes->prompts.expect(QStringLiteral("could not be saved to ") + path("adir"), Answer::Ok);
        QVERIFY(!d->write(path("adir"), QStringLiteral("New title")));
        m_fakes->dialogs.saveAnswers.push_back(path("adir"));
        m_fakes->prompts.expectInput(QStringLiteral("movie list:"), QStringLiteral("T"));
        m_fakes->prompts.expect(QStringLiteral("could not be saved"), Answer::Ok);
        QVERIFY(!d->saveAs());
        QVERIFY(writeFile(path("broken.html"), "<HTML>\r\n<HEAD>\r\n<TITLE>Broken</TITLE>\r\n<TABLE>\r\n <TR>\r\n"));
        m_fakes->prompts.expect(QStringLiteral("The reported error was: Error#62: Input past end of file"), Answer::Ok);
        QVERIFY(!d->read(path("broken.html")));
        QVERIFY(!d->read(path("missing.html"))); // no file: nothing, no message
        QCOMPARE(look(*d), before);
        QCOMPARE(d->filePath(), path("stored.html"));
        QCOMPARE(setting(Reg::mru(1), QString()), path("stored.html"));
        QVERIFY(!d->busy());
    }

    void commandsWaitWhileAWriteRuns()
    {
        ListDocument d;
        QList<Movie> many;
        for (int i = 0; i < 120; ++i)
            many << movie(QStringLiteral("M%1").arg(i));
        d.model()->setMovies(many);
        int steps = 0;
        connect(&d, &ListDocument::progress, &d, [&] {
            if (steps++)
                return;
            QVERIFY(d.busy());
            d.model()->headerClicked(1); // sorting reorders the list, not the page being written
            QVERIFY(!d.newList());
            d.open();
            QVERIFY(!d.save());
            QCOMPARE(d.addMovie(movie("late")), -1);
            QVERIFY(!d.deleteMovie(0));
            d.undo();
        });
        QVERIFY(d.write(path("many.html"), QStringLiteral("Many")));
        QVERIFY(steps > 0);
        QCOMPARE(readFile(path("many.html")), PageWriter::page(QStringLiteral("Many"), many, PageSettings()));
        QCOMPARE(d.movies().size(), 120);
        QVERIFY(!d.busy());
    }

    void recentFiles_data()
    {
        QTest::addColumn<int>("answer"); // to the question on a vanished file; -1: the file is there
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("mru2");
        QTest::newRow("opened") << -1 << "Other"
                                << "stored.html";
        QTest::newRow("vanished, Cancel keeps it") << int(Answer::Cancel) << "Stored"
                                                   << "other.html";
        QTest::newRow("vanished, OK drops it") << int(Answer::Ok) << "Stored"
                                               << "";
    }
    void recentFiles()
    {
        QFETCH(int, answer);
        listFile("other.html", {movie("Other")}, "Other");
        auto d = stored();
        QVERIFY(d->read(path("other.html")));
        QVERIFY(d->read(path("stored.html")));
        if (answer >= 0) {
            QFile::remove(path("other.html"));
            m_fakes->prompts.expect(Texts::mruMissing(path("other.html")), Answer(answer));
        }
        d->openRecent(2);
        QTEST(d->title(), "title");
        QFETCH(QString, mru2);
        QCOMPARE(setting(Reg::mru(2), QString()), mru2.isEmpty() ? QString() : path(mru2));
    }

    void aListGivenToTheProgram()
    {
        ListDocument d;
        d.openFile(listFile(QStringLiteral("given.html"), {movie("Given")}, QStringLiteral("Given")));
        QCOMPARE(d.caption(), QStringLiteral("Cinemork - Given"));
        m_fakes->prompts.expect(Texts::mruMissing(path("gone.html")), Answer::Ok); // the recent files' checks
        d.openFile(path("gone.html"));
        QVERIFY(writeFile(path("other.txt"), "no list\n"));
        m_fakes->prompts.expect(Texts::ReadErrorIntro, Answer::Ok);
        d.openFile(path("other.txt"));
        QCOMPARE(d.filePath(), path("given.html"));
    }

    void csvOutAndIn()
    {
        ListDocument d;
        Movie hostile =
            movie(QStringLiteral("Quote \" comma, line\r\nbreak & <tag> \u00e9"), "18446744073709551615\\1");
        hostile[FFiles] = QStringLiteral("a|b.avi, c,d.avi");
        d.addMovie(movie("Alien"));
        d.addMovie(hostile);
        for (const bool spreadsheet : {false, true}) {
            m_fakes->dialogs.saveAnswers.push_back(path("out.csv"));
            m_fakes->prompts.expect(Texts::CsvForSpreadsheets, spreadsheet ? Answer::Yes : Answer::No);
            QVERIFY(d.exportCsv());
            QCOMPARE(readFile(path("out.csv")).startsWith("\xEF\xBB\xBF"), spreadsheet); // the byte order mark
            ListDocument back;
            m_fakes->dialogs.openAnswers.push_back({path("out.csv")});
            QVERIFY(back.importCsv());
            QCOMPARE(back.movies(), d.movies());
            QCOMPARE(back.undoStack()->undoText(), Texts::UndoImport); // one change, undone at once
            back.undo();
            QVERIFY(back.movies().isEmpty());
        }
        QVERIFY(writeFile(
            path("bad.csv"),
            "title,size,res,codec,type,seenit,location,files,imdb\nOne,1\\1,,,,no,,,\nTwo,1\\1,,,,no,,,,extra\n"));
        m_fakes->dialogs.openAnswers.push_back({path("bad.csv")});
        m_fakes->prompts.expect(QStringLiteral("line 3: 10 fields where the header has 9"), Answer::Ok);
        QVERIFY(!d.importCsv()); // adds nothing
        QCOMPARE(d.movies().size(), 2);
    }

    void sortRules_data()
    {
        QTest::addColumn<QList<int>>("clicks"); // header columns, 1 = Title
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<bool>("descending");
        QTest::newRow("title") << QList<int>{1} << QStringList{"Alpha", "alpha", "beta", "gamma"} << false;
        QTest::newRow("title twice") << QList<int>{1, 1} << QStringList{"gamma", "beta", "Alpha", "alpha"} << true;
        QTest::newRow("title thrice") << QList<int>{1, 1, 1} << QStringList{"Alpha", "alpha", "beta", "gamma"} << false;
        QTest::newRow("size, as text") << QList<int>{1, 2} << QStringList{"Alpha", "gamma", "beta", "alpha"} << false;
    }
    void sortRules()
    {
        QFETCH(QList<int>, clicks);
        ListDocument d;
        QAbstractItemModelTester tester(d.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        d.model()->setMovies(
            {movie("beta"), movie("Alpha", "10\\2"), movie("gamma", "1400\\2"), movie("alpha", "9\\1")});
        for (int c : clicks)
            d.model()->headerClicked(c);
        QTEST(test::titles(d.movies()), "titles");
        QTEST(d.model()->sortOrder() == Qt::DescendingOrder, "descending");
        QVERIFY(!d.isModified()); // a sort changes nothing stored
        QCOMPARE(d.undoStack()->count(), 0);
    }

    void aRowComesBackWhereASortPutsIt()
    {
        // Adding, editing and undoing place one row at a time; the result must be what a full
        // stable sort of the list gives.
        QRandomGenerator random(7);
        const QStringList words{"a",      "B", "b",      "c",      "C",          "\u00c9",
                                "\u00e9", "e", "\u03a9", "\u03c9", "\U00010400", "\U00010428"};
        for (int round = 0; round < 200; ++round) {
            ListDocument d;
            QList<Movie> rows;
            for (int i = 0; i < 12; ++i)
                rows << movie(words[random.bounded(int(words.size()))], QString::number(i));
            d.model()->setMovies(rows);
            const QList<int> clicks[] = {{2}, {1}, {1, 1}}; // by size, by title, by title descending
            for (int click : clicks[round % 3])
                d.model()->headerClicked(click);
            const Movie m = movie(words[random.bounded(int(words.size()))], QStringLiteral("new"));
            const int row = random.bounded(12);
            QList<Movie> expected = d.movies();
            if (round % 2)
                d.addMovie(m), expected.prepend(m);
            else
                d.editMovie(row, m), expected[row] = m;
            const bool down = d.model()->sortOrder() == Qt::DescendingOrder;
            std::stable_sort(expected.begin(), expected.end(), [down](const Movie &a, const Movie &b) {
                return down ? MovieModel::lessThan(b[FTitle], a[FTitle]) : MovieModel::lessThan(a[FTitle], b[FTitle]);
            });
            QCOMPARE(d.movies(), expected);
        }
    }

    void undoAndRedo_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("sortBy"); // header clicks before the command; 0: none
        QTest::newRow("add") << "add movie" << 0;
        QTest::newRow("add to a list sorted by size") << "add movie" << 2;
        QTest::newRow("edit") << "edit movie" << 0;
        QTest::newRow("delete") << "delete movie" << 0;
        QTest::newRow("delete from a list sorted by size") << "delete movie" << 2;
        QTest::newRow("change title") << "change list title" << 0;
        QTest::newRow("add from disc to a list sorted by size") << "add from disc" << 2;
    }
    void undoAndRedo()
    {
        QFETCH(QString, command);
        QFETCH(int, sortBy);
        auto d = stored();
        if (sortBy)
            d->model()->headerClicked(sortBy);
        const Look before = look(*d);
        if (command == QLatin1String("add movie")) {
            d->addMovie(movie("Metropolis", "1\\1"));
        } else if (command == QLatin1String("edit movie")) {
            d->editMovie(0, movie("Zardoz"));
        } else if (command == QLatin1String("delete movie")) {
            m_fakes->prompts.expect(Texts::ConfirmDelete, Answer::No);
            QVERIFY(!d->deleteMovie(1) && look(*d) == before);
            m_fakes->prompts.expect(Texts::ConfirmDelete, Answer::Yes);
            QVERIFY(d->deleteMovie(1));
        } else if (command == QLatin1String("add from disc")) { // new movies, and a later part of one
            Movie longer = d->movies()[0];
            longer[FSize] = QStringLiteral("2000\\2");
            QVERIFY(!d->addFromDisc({}, {{7, longer}}) && look(*d) == before); // no such row
            QVERIFY(d->addFromDisc({movie("Alien"), movie("Zelig")}, {{0, longer}}));
        } else {
            m_fakes->prompts.expectInput(Texts::ChangeTitlePrompt, QStringLiteral("Renamed"));
            d->changeTitle();
        }
        const Look after = look(*d);
        QVERIFY(after.modified && !(after == before));
        QCOMPARE(d->undoStack()->undoText(), command);
        d->undo(); // back to the state read: not modified
        QCOMPARE(look(*d), before);
        d->redo();
        QCOMPARE(look(*d), after);
        d->undo();
        // a saved state is the unmodified one, wherever it is on the stack
        QVERIFY(d->save());
        d->redo();
        QVERIFY(d->isModified());
        d->undo();
        QCOMPARE(look(*d).status, QStringLiteral("3 items in loaded list Stored, total 2.73 GB"));
        QVERIFY(!d->isModified());
    }

    void undoAfterAnAutoSave()
    {
        auto d = stored();
        AutoSaveFlag = true;
        d->addMovie(movie("Metropolis"));
        QVERIFY(!d->isModified()); // saved at once
        AutoSaveFlag = false;
        d->undo();
        QCOMPARE(d->statusText(), Texts::ListModified);
        AutoSaveFlag = true;
        d->redo(); // saved again, as after any modification
        AutoSaveFlag = false;
        QVERIFY(!d->isModified());
        QCOMPARE(readPageFile(path("stored.html")).movies.size(), 4);
    }

    void userStyleSheet()
    {
        ListDocument d;
        d.addMovie(movie("Styled"));
        QVERIFY(writeFile(path("mine.css"), "body {color: red}\nTD {x: y}\r\n"));
        saveSetting(Reg::UserCSS, path("mine.css"));
        QVERIFY(d.write(path("styled.html"), QStringLiteral("S")));
        QVERIFY(readFile(path("styled.html"))
                    .contains("<STYLE TYPE=\"text/css\"><!--\r\nbody {color: red}\r\nTD {x: y}\r\n--></STYLE>"));
        saveSetting(Reg::UserCSS, path("gone.css")); // missing: the box, then the default lines
        m_fakes->prompts.expect(Texts::CssNotFound, Answer::Ok);
        QVERIFY(d.write(path("styled.html"), QStringLiteral("S")));
        QVERIFY(readFile(path("styled.html")).contains("body    {font-family: Fixedsys, Arial, monospace;"));
        QCOMPARE(setting(Reg::UserCSS, QString()), path("gone.css")); // the setting stays
    }

    void dialogMemory()
    {
        // an empty memory starts among the user's documents (never the program's folder), and a
        // cancelled dialog remembers nothing
        m_fakes->dialogs.openAnswers.push_back({});
        QCOMPARE(ShowOpenDialog(QStringLiteral("t"), Texts::ListFilter, QString()), QString());
        QCOMPARE(LastOpenPath, QString());
        m_fakes->dialogs.saveAnswers.push_back(QString());
        ShowSaveDialog(QStringLiteral("t"), Texts::ListFilter, Texts::ListDefaultExt, QString());
        QCOMPARE(m_fakes->dialogs.startFolders, QStringList(2, documentsFolder()));
        QVERIFY(documentsFolder() != QCoreApplication::applicationDirPath());
        // a remembered file, several files or a file with "|" in its name starts in its folder
        QVERIFY(writeFile(path("x|y.avi"), {}));
        m_fakes->dialogs.openAnswers.push_back({path("x|y.avi")});
        QCOMPARE(ShowOpenDialog(QStringLiteral("t"), Texts::MovieFilesFilter, QString()), path("x|y.avi"));
        QCOMPARE(startFolderOf(LastOpenPath), m_dir.path());
        QCOMPARE(startFolderOf(m_dir.path() + QStringLiteral("|a.avi|b.avi")), m_dir.path());
        QCOMPARE(joinSelection({QStringLiteral("/a.avi"), QStringLiteral("/b.avi")}), QStringLiteral("/|a.avi|b.avi"));
        // "All files (*.*)" must list files without a dot too
        QCOMPARE(qtNameFilters(Texts::CssFilter).last(), QStringLiteral("All files (*)"));
    }
};

QTEST_GUILESS_MAIN(tst_document)
#include "tst_document.moc"
