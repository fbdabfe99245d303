#include "document/filtermodel.h"
#include "document/listdocument.h"
#include "find/duplicates.h"
#include "find/fold.h"
#include "find/statistics.h"
#include "testsupport.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QtTest>

using namespace cinemork;
using test::movie;
using Seen = MovieFilterModel::Seen;

namespace {

Movie full(const QString &title, const QString &location, const QString &files, bool watched = false)
{
    Movie m = movie(title);
    m[FRes] = QStringLiteral("640x272");
    m[FCodec] = QStringLiteral("DivX");
    m[FLocation] = location;
    m[FFiles] = files;
    m[FSeenit] = watched ? QStringLiteral("yes") : QStringLiteral("no");
    m[FImdb] = QStringLiteral("http://www.imdb.com/title/tt0211915/");
    return m;
}

// The titles the view shows, top to bottom.
QStringList shownTitles(const MovieFilterModel &f)
{
    QStringList t;
    for (int r = 0; r < f.rowCount(); ++r)
        t << f.index(r, FTitle).data().toString();
    return t;
}

// What the filter must show, worked out the slow way from the movies' own texts.
bool passes(const Movie &m, const QString &text, Seen seen)
{
    if (seen != Seen::All && (m[FSeenit] == QLatin1String("yes")) != (seen == Seen::Watched))
        return false;
    static constexpr Field shownFields[] = {FTitle, FRes, FCodec, FType, FLocation, FFiles};
    const QStringList words = foldedText(text).simplified().split(u' ', Qt::SkipEmptyParts);
    return std::all_of(words.begin(), words.end(), [&](const QString &w) {
        return std::any_of(std::begin(shownFields), std::end(shownFields),
                           [&](Field f) { return foldedText(m[f]).contains(w); });
    });
}

} // namespace

class tst_find : public test::FakesTest
{
    Q_OBJECT

    // A document with four movies and its filter, not sorted.
    struct Filtered
    {
        ListDocument doc;
        MovieFilterModel filter;
        QAbstractItemModelTester tester{&filter, QAbstractItemModelTester::FailureReportingMode::QtTest};
        Filtered()
        {
            filter.setSourceModel(doc.model());
            doc.newList();
            doc.model()->setSorted(false);
            doc.model()->setMovies({full("Amélie", "Box 1", "amelie.cd1.avi, amelie.cd2.avi", true),
                                    full("Brazil", "Box 2", "brazil.avi"), full("Zelig", "Shelf", "zelig.mpg", true),
                                    full("Alien", "Box 1", "alien.avi")});
        }
    };

private slots:
    void wordsAreFoundInTheShownFields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("seen");
        QTest::addColumn<QStringList>("shown");
        const int all = int(Seen::All);
        QTest::newRow("accents and case ignored") << "AMELIE" << all << QStringList{"Amélie"};
        QTest::newRow("accent typed, none stored") << "brázil" << all << QStringList{"Brazil"};
        QTest::newRow("every word, any field") << "box 1 avi" << all << QStringList{"Amélie", "Alien"};
        QTest::newRow("codec, type, resolution")
            << "divx dvd 272" << all << QStringList{"Amélie", "Brazil", "Zelig", "Alien"};
        QTest::newRow("not across type and location") << "ripshelf" << all << QStringList{};
        QTest::newRow("not across title and files") << "zeligzelig" << all << QStringList{};
        QTest::newRow("not the link") << "imdb" << all << QStringList{};
        QTest::newRow("not the watched mark") << "yes" << all << QStringList{};
        QTest::newRow("not the size") << "700" << all << QStringList{};
        QTest::newRow("watched") << "" << int(Seen::Watched) << QStringList{"Amélie", "Zelig"};
        QTest::newRow("not watched, with words") << "box" << int(Seen::NotWatched) << QStringList{"Brazil", "Alien"};
        QTest::newRow("blanks only") << "   " << all << QStringList{"Amélie", "Brazil", "Zelig", "Alien"};
    }
    void wordsAreFoundInTheShownFields()
    {
        QFETCH(QString, text);
        QFETCH(int, seen);
        Filtered f;
        f.filter.setFilter(text, Seen(seen));
        QTEST(shownTitles(f.filter), "shown");
        QCOMPARE(f.filter.filtered(), !text.trimmed().isEmpty() || seen != int(Seen::All));
    }

    void foldingIgnoresCaseAndAccents()
    {
        QCOMPARE(foldedText(u"Ærø Ça GÖTTERDÄMMERUNG ﬁn"), QStringLiteral("ærø ca gotterdammerung fin"));
        QCOMPARE(foldedWords(u" Box  box\tBÓX 1 "), (std::vector<std::string>{"box", "1"}));
    }

    void sortingSortsTheWholeListAndTheSelectionFollows()
    {
        Filtered f;
        f.filter.setFilter(QStringLiteral("box"), Seen::All);
        QPersistentModelIndex brazil(f.filter.index(1, FLocation));
        f.doc.model()->headerClicked(1);
        f.doc.model()->headerClicked(1); // by title, descending
        QCOMPARE(shownTitles(f.filter), (QStringList{"Brazil", "Amélie", "Alien"}));
        QCOMPARE(brazil.row(), 0);
        QCOMPARE(brazil.column(), int(FLocation));
        f.filter.setFilter(QStringLiteral("amelie"), Seen::All);
        QVERIFY(!brazil.isValid()); // hidden now
    }

    // The index follows every change of the list: after any mix of commands a filter shows exactly
    // what the movies' own texts say.
    void theIndexKeepsInStepWithTheList()
    {
        Filtered f;
        QRandomGenerator random(7);
        const QStringList words{"box", "alien", "a", "cd", "zz", "amelie avi", "shelf 2"};
        const auto randomMovie = [&] {
            const int k = random.bounded(1000);
            return full(QStringLiteral("Film %1 %2").arg(words[k % words.size()]).arg(k),
                        QStringLiteral("Box %1").arg(k % 7), QStringLiteral("f%1.avi").arg(k), k % 2);
        };
        for (int step = 0; step < 300; ++step) {
            const int rows = int(f.doc.movies().size());
            int command = int(random.bounded(7));
            if (!rows && (command == 1 || command == 2))
                command = 0;
            switch (command) {
            case 0: f.doc.addMovie(randomMovie()); break;
            case 1: f.doc.editMovie(random.bounded(rows), randomMovie()); break;
            case 2: f.doc.deleteMovie(random.bounded(rows)); break;
            case 3: f.doc.undo(); break;
            case 4: f.doc.redo(); break;
            case 5: f.doc.model()->headerClicked(1 + random.bounded(FieldCount)); break;
            default: f.filter.setFilter(words[random.bounded(words.size())], Seen(random.bounded(3))); break;
            }
            for (int r = 0; r < f.filter.rowCount(); ++r) // each view row shows its list row's movie
                QCOMPARE(f.filter.index(r, FTitle).data().toString(), f.doc.movies()[f.filter.listRow(r)][FTitle]);
            const QString text = words[step % words.size()];
            const Seen seen = Seen(step % 3);
            f.filter.setFilter(text, seen);
            QStringList expected;
            for (const Movie &m : f.doc.movies())
                if (passes(m, text, seen))
                    expected << m[FTitle];
            QCOMPARE(shownTitles(f.filter), expected);
        }
    }

    void duplicatesShareATitleOrAFileOfTheSameSize_data()
    {
        QTest::addColumn<QList<Movie>>("movies");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<int>("groups");
        const auto m = [](const char *title, const char *files = "", const char *size = "700\\1") {
            Movie x = full(QString::fromUtf8(title), {}, QString::fromUtf8(files));
            x[FSize] = QString::fromLatin1(size);
            return x;
        };
        QTest::newRow("an article alone is a title") << QList<Movie>{m("A"), m("The"), m("a")} << QList<int>{0, 2} << 1;
        QTest::newRow("same file, same size")
            << QList<Movie>{m("One", "x.avi, heat.AVI"), m("Two", "Heat.avi"), m("Three", "heat.avi", "699\\1")}
            << QList<int>{0, 1} << 1;
        QTest::newRow("a shared generic file name is no evidence")
            << QList<Movie>{m("Mirror", "VTS_01_1.VOB, VTS_02_1.VOB"), m("Amélie", "VTS_01_1.VOB, VTS_01_2.VOB"),
                            m("Casablanca", "movie.avi"), m("Stalker", "Movie.avi"), m("Vertigo", "cd1.avi, cd2.avi"),
                            m("Ran", "CD1.avi, CD2.avi")}
            << QList<int>{} << 0;
        QTest::newRow("groups joined through a member, in list order")
            << QList<Movie>{m("Heat", "h.avi"), m("Ran"), m("heat", "r.avi"), m("RAN"), m("Other", "r.avi")}
            << QList<int>{0, 2, 4, 1, 3} << 2;
        QTest::newRow("nothing but punctuation") << QList<Movie>{m("..."), m("!"), m("")} << QList<int>{} << 0;
        QTest::newRow("a comma in a file's name") // "The.avi" is no file of either
            << QList<Movie>{m("Heat", "Movie, The.avi"), m("Ran", "Alien, The.avi"), m("Zelig", "Movie, the.avi")}
            << QList<int>{0, 2} << 1;
        // two movies of other sizes sharing only a generic file: grouped by their titles alone, or not
        const std::tuple<const char *, const char *, bool> pairs[] = {
            {"Godfather, The", "The Godfather", true}, {"Godfather, the", "GODFATHER", true},
            {"Godfather,The", "The Godfather", true}, {"Godfather, The (1972)", "The Godfather (1972)", true},
            {"Godfather, The [1972]", "Godfather (1972)", true}, {"Bug's Life, A", "A Bug's Life", true},
            {"Bug's Life", "Bugs Life", true}, {"A Bug’s Life", "Bugs Life", true},
            {"Abyss, An", "The Abyss", true}, {"Misérables, Les", "LES MISERABLES", true},
            {"Léon: The Professional", "Leon - the professional", true}, {"Se7en", "se7en!", true},
            {"Solaris (1972)", "Solaris (2002)", false}, {"Solaris, The (1972)", "Solaris (2002)", false},
            {"Godfather, The", "The Godfather Part II", false}, {"Alien", "Aliens", false},
            {"Rocky", "Rocky II", false}, {"Die Hard", "Hard", false},
            {"La Dolce Vita", "Dolce Vita, Il", false}, {"Man, The", "Man", true},
            {"Me, Myself & Irene", "Me Myself Irene", true}, {"Me, Myself & Irene", "Myself & Irene", false},
            {"Them!", "The M", false}, {"Bugs Life", "Bug Life", false},
            {"CD1", "CD2", false}, {"movie", "Movie 2", false},
            {"DVD 1", "dvd1", false},
        };
        for (const auto &[a, b, together] : pairs)
            QTest::addRow("%s | %s", a, b) << QList<Movie>{m(a, "CD1.avi"), m(b, "CD1.avi", "650\\1")}
                                           << (together ? QList<int>{0, 1} : QList<int>{}) << int(together);
    }
    void duplicatesShareATitleOrAFileOfTheSameSize()
    {
        QFETCH(QList<Movie>, movies);
        const Duplicates d = findDuplicates(movies);
        QTEST(QList<int>(d.rows.begin(), d.rows.end()), "rows");
        QTEST(d.groups, "groups");
    }

    void statisticsTablesAddUpToTheTotals()
    {
        QList<Movie> movies;
        const char *sizes[] = {"700\\1", "1400\\2", "733\\1", "bad", "4095\\5", " 12 \\ 1 "};
        const char *res[] = {"352x288", "640x480", "1280x720", "1920x1080", "", "720X576"};
        for (int i = 0; i < 30; ++i) {
            Movie m = full(QStringLiteral("M%1").arg(i), i % 4 ? QStringLiteral("Box %1").arg(i % 11) : QString(), {},
                           i % 5 == 0);
            m[FSize] = QString::fromLatin1(sizes[i % 6]);
            m[FRes] = QString::fromLatin1(res[i % 6]);
            m[FType] = i % 2 ? QStringLiteral("SVCD") : QStringLiteral("svcd");
            movies << m;
        }
        const ListStatistics s = statisticsOf(movies);
        QCOMPARE(s.totals.cds, quint64(5 * (1 + 2 + 1 + 0 + 5 + 1)));
        // every table adds up to the totals; letter case does not split a row
        for (const auto *table : {&s.byType, &s.byCodec, &s.byLocation, &s.byResolution}) {
            PageTotals sum;
            for (const StatisticsRow &row : *table)
                sum += row.totals;
            QVERIFY(sum.movies == s.totals.movies && sum.watched == s.totals.watched
                    && sum.megabytes == s.totals.megabytes && sum.cds == s.totals.cds);
        }
        QCOMPARE(s.byType.size(), size_t(1));
        QCOMPARE(s.byLocation.front().key, QString()); // the movies without a location, first
        QCOMPARE(s.byLocation.front().totals.movies, qsizetype(8));
        QCOMPARE(s.byLocation.back().key, QStringLiteral("Box 10")); // numbers by their value
        QList<qsizetype> perClass;
        for (const StatisticsRow &row : s.byResolution)
            perClass << row.totals.movies;
        QCOMPARE(perClass, (QList<qsizetype>{5, 10, 5, 5, 5}));
    }

    void resolutionClasses_data()
    {
        QTest::addColumn<QString>("res");
        QTest::addColumn<int>("kind");
        QTest::newRow("719 lines") << "1280x719" << int(ResolutionClass::From480);
        QTest::newRow("1079 lines") << "1920x1079" << int(ResolutionClass::From720);
        QTest::newRow("1080 lines, blanks") << " 1920 x 1080 " << int(ResolutionClass::From1080);
        QTest::newRow("no width") << "x576" << int(ResolutionClass::Unknown);
        QTest::newRow("words") << "about 720" << int(ResolutionClass::Unknown);
        QTest::newRow("zero") << "640x0" << int(ResolutionClass::Unknown);
    }
    void resolutionClasses()
    {
        QFETCH(QString, res);
        QTEST(int(resolutionClassOf(res)), "kind");
    }
};

QTEST_GUILESS_MAIN(tst_find)
#include "tst_find.moc"
