#include "editor/frmaddcd.h"
#include "main/frmmain.h"
#include "main/statisticswindow.h"
#include "commands/commandtexts.h"
#include "find/findtexts.h"
#include "listfile/csv.h"
#include "testsupport.h"
#include "windowsupport.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QTabWidget>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTreeView>
#include <QtTest>

using namespace cinemork;
using test::movie;

class tst_findwindow : public test::WindowTest
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // A shown, active window on a stored list (sorted by title: Alien, Amadeus, Brazil, Zelig).
    std::unique_ptr<frmMain> window()
    {
        Movie zelig = movie("Zelig"), amadeus = movie("Amadeus", "2100\\3");
        zelig[FSeenit] = QStringLiteral("yes");
        zelig[FLocation] = QStringLiteral("Box 2");
        amadeus[FLocation] = QStringLiteral("Box 1");
        auto w = std::make_unique<frmMain>();
        w->commands().read(test::writePage(m_dir.filePath(QStringLiteral("list.html")),
                                           {zelig, movie("Alien"), movie("Brazil"), amadeus}, QStringLiteral("L")));
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            QTest::qFail("the window is not active", __FILE__, __LINE__);
        return w;
    }
    static QStringList shownTitles(frmMain &w)
    {
        QStringList t;
        for (int p = 0; p < w.list().count(); ++p)
            t << w.list().text(p);
        return t;
    }
    static QString status(frmMain &w) { return child<QLabel>(&w, "lblFindStatus")->text(); }

private slots:
    void theFindLineFromTheKeyboard()
    {
        auto w = window();
        auto *view = child<QTreeView>(w.get(), "lvwMain");
        auto *text = child<QLineEdit>(w.get(), "txtFind");
        QVERIFY(!child(w.get(), "cmdClearFind")->isEnabled());

        view->setFocus();
        w->list().select(2); // Brazil
        QTest::keyClick(view, Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(text->hasFocus());
        QTest::keyClicks(text, QStringLiteral("box"));
        QCOMPARE(shownTitles(*w), (QStringList{"Amadeus", "Zelig"}));
        QCOMPARE(status(*w), QStringLiteral("2 of 4 movies"));
        child<QComboBox>(w.get(), "cboSeen")->setCurrentIndex(2); // not watched
        QCOMPARE(shownTitles(*w), (QStringList{"Amadeus"}));
        // keys of the text box are the box's own, not the list's commands
        QTest::keyClick(text, Qt::Key_Left);
        QTest::keyClick(text, Qt::Key_Delete);
        QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(text->selectedText(), QStringLiteral("bo"));
        // Esc ends the filter and gives the list the focus, on the movie that was selected
        w->list().select(0);
        QTest::keyClick(text, Qt::Key_Escape);
        QCOMPARE(text->text(), QString());
        QCOMPARE(child<QComboBox>(w.get(), "cboSeen")->currentIndex(), 0);
        QCOMPARE(shownTitles(*w), (QStringList{"Alien", "Amadeus", "Brazil", "Zelig"}));
        QTRY_VERIFY(view->hasFocus());
        QCOMPARE(w->list().selectedShownRow(), 1);
        QCOMPARE(status(*w), QString());
        // a find from the text box gives the list the focus on the match: with no text every movie matches
        const struct
        {
            Qt::Key key;
            QString match;
        } keys[] = {{Qt::Key_F3, "Brazil"}, {Qt::Key_Return, "Zelig"}, {Qt::Key_Down, "Zelig"}};
        for (const auto &k : keys) {
            w->filterBar().focusFind();
            QTRY_VERIFY(text->hasFocus());
            QTest::keyClick(text, k.key);
            QTRY_VERIFY2(view->hasFocus(), qPrintable(QKeySequence(k.key).toString()));
            QCOMPARE(w->list().text(w->list().selectedShownRow()), k.match);
        }
        // another list opened starts unfiltered
        text->setText(QStringLiteral("zelig"));
        w->commands().read(m_dir.filePath(QStringLiteral("list.html")));
        QCOMPARE(text->text(), QString());
        QCOMPARE(w->list().count(), 4);
        QCOMPARE(status(*w), QString());
        // a narrow window keeps the find line whole, above the list
        w->resize(460, w->height());
        QWidget *bar = child(w.get(), "filterBar");
        const auto cutOff = [bar] {
            QString cut;
            for (QWidget *c : bar->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                if (!c->isVisible() || !bar->rect().contains(c->geometry())
                    || c->width() < c->minimumSizeHint().width())
                    cut += c->objectName() + c->metaObject()->className() + u' ';
            return cut;
        };
        QTRY_VERIFY(bar->width() < 470);
        QTRY_COMPARE(cutOff(), QString());
        QVERIFY(bar->geometry().bottom() < view->geometry().top());
    }

    void commandsTakeTheSelectedShownMovie()
    {
        auto w = window();
        child<QLineEdit>(w.get(), "txtFind")->setText(QStringLiteral("box"));
        w->list().select(1); // Zelig, the list's fourth
        QString editing;
        m_fakes->modals.next([&](QWidget *ed) {
            editing = child<QLineEdit>(ed, "txtTitle")->text();
            child<QLineEdit>(ed, "txtLocation")->setText(QStringLiteral("Lent out"));
            static_cast<frmAddCD *>(ed)->cmdOK_Click();
        });
        w->cmdEdit_Click();
        QCOMPARE(editing, QStringLiteral("Zelig"));
        QCOMPARE(w->document().movies()[3][FLocation], QStringLiteral("Lent out"));
        QCOMPARE(shownTitles(*w), (QStringList{"Amadeus", "Zelig"})); // stays shown
        QCOMPARE(w->list().selectedShownRow(), 1);
        // an add shows its movie, selected, though it does not match
        QVERIFY(w->commitMovie(movie("Casablanca")));
        QCOMPARE(shownTitles(*w), (QStringList{"Amadeus", "Casablanca", "Zelig"}));
        QCOMPARE(w->list().selectedRow(), 3);
        w->list().select(0);
        m_fakes->prompts.expect(Texts::ConfirmDelete, Answer::Yes);
        w->cmdDel_Click();
        QCOMPARE(test::titles(w->document().movies()), (QStringList{"Alien", "Brazil", "Casablanca", "Zelig"}));
        QCOMPARE(status(*w), QStringLiteral("2 of 4 movies"));
        w->commands().undo(); // the delete: its movie is back, shown
        QCOMPARE(shownTitles(*w), (QStringList{"Amadeus", "Casablanca", "Zelig"}));
        // undone while the text hides them: the add goes, the movie changed back is shown
        child<QLineEdit>(w.get(), "txtFind")->setText(QStringLiteral("amadeus"));
        w->commands().undo();
        w->commands().undo();
        QCOMPARE(shownTitles(*w), (QStringList{"Amadeus", "Zelig"}));
    }

    void findNextTypingInTheListAndDuplicates()
    {
        auto w = window();
        auto *view = child<QTreeView>(w.get(), "lvwMain");
        child<QLineEdit>(w.get(), "txtFind")->setText(QStringLiteral("a"));
        QVERIFY(w->commitMovie(movie("Dune")));       // shown, no match
        QVERIFY(w->commitMovie(movie("Casablanca"))); // shown, a match, selected
        QAction *next = child<QAction>(w.get(), "mnuActionFindNext");
        next->trigger();
        QCOMPARE(w->list().text(w->list().selectedShownRow()), QStringLiteral("Alien")); // round, past Dune
        next->trigger();
        QCOMPARE(w->list().text(w->list().selectedShownRow()), QStringLiteral("Amadeus"));

        child<QPushButton>(w.get(), "cmdClearFind")->click();
        next->trigger(); // unfiltered, every movie is a match
        QCOMPARE(w->list().selectedShownRow(), 2);
        // typing jumps to the title, whichever column was clicked last
        view->setFocus();
        view->setCurrentIndex(view->model()->index(0, FLocation));
        QTest::keyClicks(view, QStringLiteral("ca"));
        QCOMPARE(w->list().text(w->list().selectedShownRow()), QStringLiteral("Casablanca"));
        // the duplicates, found again as the list changes
        QVERIFY(w->commitMovie(movie("The Brazil!")) && w->commitMovie(movie("A Zelig")));
        child<QAction>(w.get(), "mnuActionDuplicates")->trigger();
        m_fakes->prompts.expect(Texts::ConfirmDelete, Answer::Yes);
        w->list().select(0);
        w->cmdDel_Click(); // "A Zelig": Zelig is no duplicate any more, and goes
        QCOMPARE(shownTitles(*w), (QStringList{"Brazil", "The Brazil!"}));
        QCOMPARE(status(*w), QStringLiteral("2 movies in 1 group"));
        // an import of other movies and its undo find the groups again
        QVERIFY(test::writeFile(m_dir.filePath(QStringLiteral("more.csv")),
                                "title,size,res,codec,type,seenit,location,files,imdb\nHeat,,,,,no,,,\nRan,,,,,no,,,\n"
                                "Brazil (1985),,,,,no,,,\n"));
        m_fakes->dialogs.openAnswers.push_back({m_dir.filePath(QStringLiteral("more.csv"))});
        QVERIFY(w->commands().importCsv());
        QCOMPARE(shownTitles(*w), (QStringList{"Brazil", "The Brazil!"}));
        w->commands().undo();
        w->commands().undo(); // the delete: "A Zelig" is back, and Zelig with it
        QCOMPARE(shownTitles(*w), (QStringList{"A Zelig", "Zelig", "Brazil", "The Brazil!"}));
        QCOMPARE(status(*w), QStringLiteral("4 movies in 2 groups"));
        child<QPushButton>(w.get(), "cmdClearFind")->click();
        QCOMPARE(w->list().count(), 8);
    }

    void aLongTypeNameLeavesTheBarsTheirRoom()
    {
        BarChart chart({{QString(120, u'W'), 700}, {QStringLiteral("DVD"), 7}});
        chart.resize(520, chart.sizeHint().height());
        QVERIFY(chart.nameWidth() < chart.width() / 3);
        QVERIFY(chart.fontMetrics().horizontalAdvance(chart.shownName(0)) <= chart.nameWidth());
        QCOMPARE(chart.shownName(1), QStringLiteral("DVD"));
    }

    // The statistics window, from the keyboard too; the companion's duplicates and statistics are the window's, on
    // the same page.
    void theCompanionSeesWhatTheWindowShows()
    {
        auto w = window();
        QVERIFY(w->commitMovie(movie("Brazil, The")) && w->commitMovie(movie("zelig")));
        QVERIFY(w->mnuMovieSave_Click());
        QVERIFY(w->commands().read(w->document().filePath())); // in the order the page gives
        child<QAction>(w.get(), "mnuActionDuplicates")->trigger();
        QStringList shown;
        for (int r = 0; r < w->list().count(); ++r)
            shown << QString::number(w->filterBar().groupOf(r) + 1) + u' ' + w->list().text(r);
        QStringList windowTables, seen; // seen: the locations sorted by GB, the chart's bars, what is clipped
        m_fakes->modals.next([&](QWidget *s) {
            windowTables << child<QLabel>(s, "lblTotals")->text();
            for (int t = 0; t < 4; ++t) {
                const QAbstractItemModel *m = child<QTableView>(s, QStringLiteral("tblStatistics%1").arg(t))->model();
                for (int r = 0; r < m->rowCount(); ++r)
                    windowTables << m->index(r, 0).data().toString() + u' ' + m->index(r, 1).data().toString() + u' '
                            + m->index(r, 2).data().toString();
            }
            child<QTableView>(s, "tblStatistics2")->horizontalHeader()->setSortIndicator(2, Qt::AscendingOrder);
            const QAbstractItemModel *byLocation = child<QTableView>(s, "tblStatistics2")->model();
            for (int r = 0; r < byLocation->rowCount(); ++r)
                seen << byLocation->index(r, 0).data().toString();
            for (const BarChart::Bar &bar : s->findChild<BarChart *>()->bars())
                seen << QStringLiteral("bar ") + bar.name + u'=' + gigabytesText(bar.megabytes);
            for (QWidget *c : s->findChildren<QWidget *>())
                if (c->isVisible() && c->width() < c->minimumSizeHint().width())
                    seen << QStringLiteral("clipped ") + c->metaObject()->className();
            // from the keyboard: the tabs go round whatever has the focus, and Tab leaves a table for Close
            auto *tabs = s->findChild<QTabWidget *>();
            auto *table = child<QTableView>(s, "tblStatistics0");
            table->setFocus();
            seen << (QTest::qWaitFor([table] { return table->hasFocus(); }) ? "focused" : "not focused");
            for (const QKeyCombination key :
                 {Qt::CTRL | Qt::Key_Tab, Qt::CTRL | Qt::Key_PageDown, Qt::CTRL | Qt::Key_PageUp}) {
                QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
                seen << QStringLiteral("tab %1").arg(tabs->currentIndex());
            }
            QWidget *close = s->findChild<QDialogButtonBox *>()->buttons().constFirst();
            child<QTableView>(s, "tblStatistics1")->setFocus();
            for (int i = 0; i < 4 && !close->hasFocus(); ++i)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen << (close->hasFocus() ? "on Close" : "not on Close")
                 << QStringLiteral("tab %1").arg(tabs->currentIndex());
            static_cast<QDialog *>(s)->reject();
        });
        child<QAction>(w.get(), "mnuActionStatistics")->trigger();
        QCOMPARE(seen,
                 (QStringList{"Box 2", "Box 1", "(none)", "bar DVD Rip=5.46", "focused", "tab 1", "tab 2", "tab 1",
                              "on Close", "tab 1"}));

        const auto run = [&](const QString &command) {
            const test::Run r = test::runProgram(test::builtCompanion(), {command, w->document().filePath()});
            return r.status == 0 ? r.out : QStringLiteral("failed: ") + r.err;
        };
        QStringList listed;
        const QString duplicates = run(QStringLiteral("duplicates"));
        const QStringList dupLines = duplicates.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(dupLines.value(0), QStringLiteral("group,title,size,res,codec,type,seenit,location,files,imdb"));
        const CsvParse movies = moviesFromCsv(duplicates);
        QCOMPARE(movies.movies.size(), dupLines.size() - 1);
        for (qsizetype i = 0; i < movies.movies.size(); ++i)
            listed << dupLines[i + 1].section(u',', 0, 0) + u' ' + movies.movies[i][FTitle];
        QCOMPARE(listed, shown);
        QCOMPARE(shown.size(), 4);

        QStringList counted;
        const QStringList statLines = run(QStringLiteral("stats")).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        for (const QString &line : statLines.mid(1)) {
            const QStringList f = line.split(u',');
            if (f[0] == QLatin1String("totals"))
                counted << FindTexts::statisticsTotals(f[2].toInt(), f[3].toInt(), f[4], f[5].toULongLong());
            else
                counted << (f[1].isEmpty() ? FindTexts::NoKey : f[1]) + u' ' + f[2] + u' ' + f[4];
        }
        QCOMPARE(counted, windowTables);
    }
};

QTEST_MAIN(tst_findwindow)
#include "tst_findwindow.moc"
