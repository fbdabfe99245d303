#include "document/documenttexts.h"
#include "documentlook.h"
#include "listfile/pagewriter.h"
#include "testsupport.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QtTest>

using namespace cinemork;
using test::look;
using test::Look;
using test::movie;
using test::readFile;
using test::writeFile;

// The document alone: no box, no dialog and no setting is involved.
class tst_document : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    // A document holding a stored list of three movies, not modified.
    std::unique_ptr<ListDocument> stored()
    {
        auto d = std::make_unique<ListDocument>();
        d->read(test::writePage(path("stored.html"), {movie("Zelig"), movie("Alien"), movie("Brazil", "1400\\2")},
                                QStringLiteral("Stored")));
        return d;
    }

private slots:
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
            d.newList();
            QVERIFY(!d.read(path("many.html")).ok);
            QVERIFY(!d.write(path("other.html"), QStringLiteral("Other"), PageSettings()).ok);
            QCOMPARE(d.addMovie(movie("late")), -1);
            QVERIFY(!d.deleteMovie(0));
            QVERIFY(!d.undo());
        });
        QVERIFY(d.write(path("many.html"), QStringLiteral("Many"), PageSettings()).ok);
        QVERIFY(steps > 0);
        QCOMPARE(readFile(path("many.html")), PageWriter::page(QStringLiteral("Many"), many, PageSettings()));
        QCOMPARE(d.movies().size(), 120);
        QVERIFY(!QFile::exists(path("other.html")));
        QVERIFY(!d.busy());
    }

    void sortRules_data()
    {
        QTest::addColumn<QList<int>>("clicks"); // header columns, 1 = Title
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("title") << QList<int>{1} << QStringList{"Alpha", "alpha", "beta", "gamma"};
        QTest::newRow("title twice") << QList<int>{1, 1} << QStringList{"gamma", "beta", "Alpha", "alpha"};
        QTest::newRow("title thrice") << QList<int>{1, 1, 1} << QStringList{"Alpha", "alpha", "beta", "gamma"};
        QTest::newRow("size, as text") << QList<int>{1, 2} << QStringList{"Alpha", "gamma", "beta", "alpha"};
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
            QVERIFY(!d->deleteMovie(3) && look(*d) == before); // no such row
            QVERIFY(d->deleteMovie(1));
        } else if (command == QLatin1String("add from disc")) { // new movies, and a later part of one
            Movie longer = d->movies()[0];
            longer[FSize] = QStringLiteral("2000\\2");
            QVERIFY(!d->addFromDisc({}, {{7, longer}}) && look(*d) == before); // no such row
            QVERIFY(d->addFromDisc({movie("Alien"), movie("Zelig")}, {{0, longer}}));
        } else {
            d->setTitle(QString()); // no title is no change
            d->setTitle(QStringLiteral("Renamed"));
        }
        const Look after = look(*d);
        QVERIFY(after.modified && !(after == before));
        d->undo(); // back to the state read: not modified
        QCOMPARE(look(*d), before);
        d->redo();
        QCOMPARE(look(*d), after);
        d->undo();
        // a saved state is the unmodified one, wherever it is on the stack
        QVERIFY(d->write(d->filePath(), d->title(), PageSettings()).ok);
        d->redo();
        QVERIFY(d->isModified());
        d->undo();
        QCOMPARE(look(*d).status, QStringLiteral("3 items in loaded list Stored, total 2.73 GB")); // not modified
    }

    void undoOfADeletePutsTheRowWhereTheSortNowPutsIt()
    {
        auto d = stored(); // Alien, Brazil, Zelig
        QVERIFY(d->deleteMovie(2));
        d->model()->headerClicked(1); // by title, descending
        QVERIFY(d->undo());
        QCOMPARE(test::titles(d->movies()), (QStringList{"Zelig", "Brazil", "Alien"}));
    }
};

QTEST_GUILESS_MAIN(tst_document)
#include "tst_document.moc"
