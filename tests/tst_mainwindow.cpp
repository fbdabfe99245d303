#include "cinemork/version.h"
#include "listfile/pagewriter.h"
#include "main/discscan.h"
#include "main/droptarget.h"
#include "main/frmreview.h"
#include "main/frmmain.h"
#include "main/mainlayout.h"
#include "platform/qtdialogs.h"
#include "commands/commandtexts.h"
#include "platform/twips.h"
#include "settings/modregistry.h"
#include "testsupport.h"
#include "windowsupport.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTreeView>
#include <QtTest>

using namespace cinemork;
using test::movie;

class tst_mainwindow : public test::WindowTest
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    // A shown window holding a stored list of three movies, not modified.
    std::unique_ptr<frmMain> storedWindow()
    {
        auto w = std::make_unique<frmMain>();
        w->commands().read(test::writePage(path("stored.html"),
                                           {movie("Zelig"), movie("Alien"), movie("Brazil", "1400\\2")}, "Stored"));
        w->show();
        return w;
    }

private slots:
    void startsOnAnEmptyStore()
    {
        test::clearStore();
        frmMain w;
        QCOMPARE(w.windowTitle(), QStringLiteral("Cinemork"));
        QCOMPARE(child<QLabel>(&w, "barStatusText")->text(), QStringLiteral("No list opened"));
        for (const char *b : {"cmdAdd", "cmdEdit", "cmdDel"})
            QVERIFY(!child(&w, b)->isEnabled());
        // wide enough for every column's header (never wider than the screen), as high as designed
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(w.width(), std::min(screen.width(), w.list().widthShowingEveryColumn() + 1));
        const QHeaderView *header = w.list().view()->header();
        for (int c = 0; c < FieldCount; ++c)
            QVERIFY(header->sectionSize(c) > header->fontMetrics().horizontalAdvance(FieldHeaders[size_t(c)]));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.centralWidget()->height(), twipsToPixels(DesignClientHeight));
        QVERIFY(RegKeyExists(HKEY_LOCAL_MACHINE, ProgramKey));
        QVERIFY(child(&w, "barProgress")->isHidden());
        const QAction *recent = child<QAction>(&w, "mnuMovieRecent1");
        QCOMPARE(recent->text(), QStringLiteral("(no recent files)"));
        QVERIFY(!recent->isEnabled());
        QVERIFY(!child<QAction>(&w, "mnuMovieRecent2")->isVisible());
        QVERIFY(!child<QAction>(&w, "mnuActionUndo")->isEnabled());
        // what the document holds, the window shows
        w.commands().read(test::writePage(path("shown.html"), {movie("Shown")}, "Films"));
        QVERIFY(child(&w, "cmdDel")->isEnabled());
        QCOMPARE(recent->text(), QStringLiteral("&1 shown.html"));
        // the pictures draw (the SVG ones need Qt's plugin), the small and the large sizes
        const QIcon row = qvariant_cast<QIcon>(w.document().model()->index(0, 0).data(Qt::DecorationRole));
        for (const int size : {16, 32})
            QVERIFY(!row.pixmap(size).isNull() && !w.windowIcon().pixmap(size).isNull());
    }

    void layoutRulesInClientTerms()
    {
        const MainLayout low = mainLayout(7000, 300);
        QVERIFY(!low.listHeight && !low.buttonsTop && low.listWidth);

        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *list = child(&w, "lvwMain");
        auto *exit = child(&w, "cmdExit");
        w.resize(twipsToPixels(DesignClientWidth), w.height());
        QTRY_COMPARE(list->width(), twipsToPixels(DesignClientWidth - 15));
        const int exitLeft = exit->x();
        w.resize(w.width() - 4, w.height() - 60); // narrower and lower than designed: nothing moves
        QTRY_COMPARE(w.centralWidget()->height(), twipsToPixels(DesignClientHeight) - 60); // sideways, and the
        QCOMPARE(exit->x(), exitLeft); // rows end above the buttons, the buttons above the status bar
        QVERIFY(list->geometry().bottom() < exit->y() && exit->geometry().bottom() < child(&w, "barStatus")->y());
        w.resize(twipsToPixels(7895), w.height());
        QTRY_COMPARE(list->width(), twipsToPixels(7880));
        QCOMPARE(exit->x(), twipsToPixels(6800));
        QCOMPARE(exit->y(), w.centralWidget()->height() - twipsToPixels(690));
    }

    void exitStoresThePosition()
    {
        {
            frmMain w;
            w.show();
            w.move(twipsToPixels(3000), twipsToPixels(2010));
            w.resize(twipsToPixels(DesignClientWidth), w.height());
            w.cmdExit_Click();
            QCOMPARE(setting(Reg::WinPos, QString()), QStringLiteral("3000|2010|6960|5460"));
        }
        {
            frmMain w; // the stored measure comes back unchanged
            QCOMPARE(w.pos(), QPoint(twipsToPixels(3000), twipsToPixels(2010)));
            w.show();
            w.move(twipsToPixels(4500), twipsToPixels(3000));
            w.showMaximized(); // maximized: the earlier place stays stored
            w.cmdExit_Click();
            QCOMPARE(setting(Reg::WinPos, QString()), QStringLiteral("3000|2010|6960|5460"));
        }
    }

    void saveChangesQuestion_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("answer"); // Yes: the save is cancelled; only No goes on
        for (const char *command : {"exit", "close", "new", "open", "recent"})
            for (const auto &[answer, name] :
                 {std::pair{Answer::Cancel, "Cancel"}, {Answer::No, "No"}, {Answer::Yes, "Yes, the save cancelled"}})
                QTest::addRow("%s, %s", command, name) << command << int(answer);
    }
    void saveChangesQuestion()
    {
        QFETCH(QString, command);
        QFETCH(int, answer);
        const bool goesOn = answer == int(Answer::No);
        frmMain w;
        w.show();
        w.commands().read(test::writePage(path("other.html"), {movie("Other")}, "Other"));
        QVERIFY(w.commands().newList()); // a list without a file: Yes means Save as
        w.commands().recordModification();
        m_fakes->prompts.expect(Texts::SaveChanges, Answer(answer));
        if (answer == int(Answer::Yes))
            m_fakes->dialogs.saveAnswers.push_back(QString());
        bool wentOn = false;
        if (command == QLatin1String("exit")) {
            w.cmdExit_Click();
            wentOn = !w.isVisible();
            QCOMPARE(setting(Reg::WinPos, QString()).isEmpty(), !wentOn);
        } else if (command == QLatin1String("close")) {
            wentOn = w.close();
            QCOMPARE(setting(Reg::WinPos, QStringLiteral("none")), QStringLiteral("none")); // the close box stores none
        } else if (command == QLatin1String("new")) {
            QString editor; // one that should not open is closed too
            m_fakes->modals.close(&editor);
            w.mnuMovieNew_Click();
            m_fakes->modals.forget();
            wentOn = !editor.isEmpty();
        } else {
            if (goesOn && command == QLatin1String("open"))
                m_fakes->dialogs.openAnswers.push_back({path("other.html")});
            command == QLatin1String("open") ? w.mnuMovieOpen_Click() : w.mnuMovieRecent_Click(1);
            wentOn = w.windowTitle() == QStringLiteral("Cinemork - Other");
        }
        QCOMPARE(wentOn, goesOn);
    }

    void storedWindowPlaces_data()
    {
        QTest::addColumn<QString>("winPos");
        QTest::addColumn<QPoint>("place"); // twips; (-1, -1): the top left of the screen
        const QPoint centred(-2, -2);      // as with nothing stored
        QTest::newRow("not numbers") << "10|x|6960|5460" << centred;
        QTest::newRow("three parts") << "1|2|3" << centred;
        QTest::newRow("fraction") << "1|2|7000|6000.5" << centred;
        QTest::newRow("below the design") << "0|0|6959|5460" << centred;
        QTest::newRow("huge") << "0|0|999999999|999999999" << QPoint(0, 0);
        QTest::newRow("off every screen") << "900000|900000|8000|6000" << QPoint(-1, -1);
    }
    void storedWindowPlaces()
    {
        QFETCH(QString, winPos);
        QFETCH(QPoint, place);
        InitSettings();
        saveSetting(Reg::WinPos, winPos);
        frmMain w;
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QPoint middle =
            screen.topLeft() + QPoint((screen.width() - w.width()) / 2, (screen.height() - w.height()) / 2);
        QCOMPARE(w.pos(),
                 place == QPoint(-1, -1)       ? screen.topLeft()
                     : place == QPoint(-2, -2) ? middle
                                               : QPoint(twipsToPixels(place.x()), twipsToPixels(place.y())));
        // whatever is stored, the window fits the screen and can be shown
        QVERIFY(w.width() >= twipsToPixels(DesignClientWidth) && w.width() <= screen.width());
        QVERIFY(w.height() >= twipsToPixels(DesignClientHeight) && w.height() <= screen.height());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }

    void columnWidthsLastBetweenRuns()
    {
        int designed;
        {
            frmMain w;
            designed = w.list().view()->header()->sectionSize(2);
            w.list().view()->header()->resizeSection(2, 123);
        }
        {
            frmMain w; // as the user left it
            QCOMPARE(w.list().view()->header()->sectionSize(2), 123);
        }
        for (const char *malformed : {"1|2|3", "a|b|c|d|e|f|g|h|i", "100|100|0|100|100|100|100|100|100"}) {
            saveSetting(Reg::ColumnWidths, QString::fromLatin1(malformed));
            frmMain w;
            QCOMPARE(w.list().view()->header()->sectionSize(2), designed);
        }
    }

    void viewInBrowserSavesThenOpens()
    {
        auto w = storedWindow();
        QFile::remove(path("stored.html"));
        w->mnuActionBrowser_Click();
        QVERIFY(QFile::exists(path("stored.html"))); // rewritten even though unmodified
        QCOMPARE(m_fakes->shell.opened, QStringList{path("stored.html")});
        // a save that fails opens nothing: the page on disk is an older one
        QFile::remove(path("stored.html"));
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("stored.html")));
        m_fakes->prompts.expect(QStringLiteral("could not be saved to ") + path("stored.html"), Answer::Ok);
        w->mnuActionBrowser_Click();
        QCOMPARE(m_fakes->shell.opened.size(), 1);
        QVERIFY(child(w.get(), "barProgress")->isHidden() && !child(w.get(), "barStatus")->isHidden());
        QVERIFY(QDir(path("stored.html")).removeRecursively());

        frmMain fresh;
        m_fakes->dialogs.saveAnswers.push_back(path("viewed.html"));
        m_fakes->prompts.expectInput(QStringLiteral("movie list:"), QStringLiteral("V"));
        fresh.mnuActionBrowser_Click();
        QCOMPARE(m_fakes->shell.opened.last(), path("viewed.html"));
        fresh.mnuHelpHelp_Click();
        QCOMPARE(m_fakes->shell.opened.last(), QCoreApplication::applicationDirPath() + QStringLiteral("/help.html"));
    }

    // OK shows its movie before the list is marked modified (and before an auto-save asks anything).
    void theEditorsMovieIsShownBeforeTheListChanges()
    {
        auto w = storedWindow();
        QStringList selectedWhenChanged;
        connect(&w->document(), &ListDocument::changed, w.get(), [&] {
            const int row = w->list().selectedRow();
            selectedWhenChanged << (row < 0 ? QString() : w->document().movies()[row][FTitle]);
        });
        QVERIFY(w->commitMovie(movie("Casablanca")));
        QCOMPARE(selectedWhenChanged.value(0), QStringLiteral("Casablanca"));
    }

    void keysAndClicksReachTheCommands()
    {
        auto w = storedWindow();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        auto *view = child<QTreeView>(w.get(), "lvwMain");
        view->setFocus();
        w->list().select(0);
        // the title of the editor that the key or click opens; closed, the window is active again
        const auto opens = [&](const std::function<void()> &act) {
            QString opened;
            m_fakes->modals.close(&opened);
            act();
            const bool closed =
                QTest::qWaitFor([&] { return !opened.isEmpty() && QApplication::activeModalWidget() == nullptr; });
            w->activateWindow();
            return closed && QTest::qWaitForWindowActive(w.get()) ? opened : QString();
        };
        const auto key = [&](Qt::Key k) { return [=] { QTest::keyClick(view, k, Qt::ControlModifier); }; };
        QCOMPARE(opens(key(Qt::Key_A)), QStringLiteral("Add movie")); // not the view's select-all
        QCOMPARE(opens(key(Qt::Key_E)), QStringLiteral("Edit movie"));
        QCOMPARE(opens([&] { w->cmdAbout_Click(); }), QStringLiteral("Cinemork v" CINEMORK_VERSION));
        const QPoint belowTheRows(10, view->viewport()->height() - 5);
        QCOMPARE(opens([&] { QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, belowTheRows); }),
                 QStringLiteral("Edit movie"));
        m_fakes->prompts.expect(Texts::ConfirmDelete, Answer::Yes);
        QTest::keyClick(view, Qt::Key_Delete);
        QCOMPARE(test::titles(w->document().movies()), (QStringList{"Brazil", "Zelig"}));
        QCOMPARE(child<QAction>(w.get(), "mnuActionUndo")->text(), QStringLiteral("Undo delete movie"));
        QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(test::titles(w->document().movies()), (QStringList{"Alien", "Brazil", "Zelig"}));
        QCOMPARE(child<QAction>(w.get(), "mnuActionRedo")->text(), QStringLiteral("Redo delete movie"));
        QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        // a header click sorts, and the selection follows its row
        w->list().select(0);
        auto *header = view->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionPosition(0) + 5, 5));
        QCOMPARE(test::titles(w->document().movies()), (QStringList{"Zelig", "Brazil"}));
        QCOMPARE(w->list().selectedShownRow(), 1);
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        view->selectionModel()->clear();
        QTest::keyClick(view, Qt::Key_Delete); // nothing selected: nothing asked
    }

    void dropsOntoTheWindow()
    {
        for (const char *name : {"a.AVI", "Heat CD2.avi", "Heat CD1.avi", "notes.txt"})
            QVERIFY(QFile(path(name)).open(QIODevice::WriteOnly));
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("sub")));
        const auto url = [&](const char *name) { return QUrl::fromLocalFile(path(name)); };
        QCOMPARE(dropKind({url("a.AVI"), url("Heat CD2.avi")}), DropKind::MovieFiles);
        QCOMPARE(dropKind({QUrl::fromLocalFile(test::writePage(path("drop.html"), {movie("D")}, "Dropped"))}),
                 DropKind::ListPage);
        QCOMPARE(dropKind({url("sub")}), DropKind::Folder);
        const QList<QList<QUrl>> refused{{url("notes.txt")},
                                         {url("sub"), url("a.AVI")},
                                         {url("a.AVI"), url("drop.html")},
                                         {QUrl(QStringLiteral("http://example.org/a.avi"))},
                                         {url("gone.avi")},
                                         {}};
        for (const QList<QUrl> &urls : refused)
            QCOMPARE(dropKind(urls), DropKind::None);

        frmMain w;
        w.show();
        const auto drop = [&](const QList<QUrl> &urls) {
            QMimeData data;
            data.setUrls(urls);
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(&w, &enter);
            QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(&w, &event);
            return enter.isAccepted() && event.isAccepted();
        };
        QString files; // filled as ".." fills them, one movie's parts in their order
        m_fakes->modals.close(&files, [](QWidget *editor) { return child<QLineEdit>(editor, "txtFiles")->text(); });
        QVERIFY(drop({url("Heat CD2.avi"), url("Heat CD1.avi")}));
        QCOMPARE(files, QStringLiteral("Heat CD1.avi, Heat CD2.avi"));
        QVERIFY(!drop({url("notes.txt")}));
        bool duringWrite = true;
        connect(&w.document(), &ListDocument::progress, &w, [&] { duringWrite = drop({url("drop.html")}); });
        w.document().model()->setMovies(QList<Movie>(20, movie("M")));
        QVERIFY(w.commands().write(path("written.html"), QStringLiteral("W")));
        QVERIFY(!duringWrite); // nothing is taken while a list is written
        QVERIFY(drop({url("drop.html")}));
        QCOMPARE(w.document().title(), QStringLiteral("Dropped"));
    }

    void realFileDialogsEndToEnd()
    {
        QtFileDialogBackend qtDialogs; // Qt's own dialogs
        setFileDialogs(&qtDialogs);
        frmMain w;
        w.show();
        w.document().model()->setMovies({movie("Real"), movie("Dialogs")});
        QStringList seen; // the first filter of every dialog
        const auto choose = [&](const QString &name) {
            m_fakes->modals.next([&, name](QWidget *modal) {
                auto *dialog = qobject_cast<QFileDialog *>(modal);
                seen << dialog->nameFilters().first();
                dialog->setDirectory(m_dir.path());
                auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                edit->setText(name);
                QTest::keyClick(edit, Qt::Key_Return);
            });
        };
        choose(QStringLiteral("real"));
        m_fakes->prompts.expectInput(QStringLiteral("REAL.HTML movie list:"), QStringLiteral("Real list"));
        QVERIFY(w.mnuMovieSaveAs_Click());
        QCOMPARE(w.document().filePath(), path("real.html")); // the default extension was added
        w.document().model()->setMovies({});
        choose(QStringLiteral("real.html"));
        w.mnuMovieOpen_Click();
        QCOMPARE(test::titles(w.document().movies()), (QStringList{"Dialogs", "Real"}));
        QCOMPARE(w.document().title(), QStringLiteral("Real list"));
        QCOMPARE(seen, QStringList(2, QStringLiteral("HTML files (*.html *.htm *.HTML *.HTM)")));
        setFileDialogs(&m_fakes->dialogs);
    }

    void scanReviewAndAdd()
    {
        // The real thing: the companion reads the sizes; the review, answered from the keyboard, says what its rows
        // and its Add button will do, and Tab leaves the table for the buttons; the ticked rows go in.
        const QString clip = QStringLiteral(CINEMORK_TESTDATA "/clip-640x272.avi");
        const QString disc = path("disc");
        QDir().mkpath(disc + QStringLiteral("/Heat"));
        QDir().mkpath(disc + QStringLiteral("/Other"));
        for (const char *name : {"Heat/Heat.CD2.avi", "Other/Brazil.avi", "Other/Zorro.avi"})
            QVERIFY(QFile::copy(clip, disc + u'/' + QLatin1String(name)));
        Movie listedHeat = movie("Heat");
        listedHeat[FFiles] = QStringLiteral("Heat.CD1.avi");
        frmMain window;
        QVERIFY(window.commands().read(test::writePage(path("l.html"), {movie("Alien"), listedHeat}, "L")));
        const ListDocument &doc = window.document();
        DiscScan scan(&window, &window.commands());
        QStringList said; // by the review, before and after a merge and a split
        connect(&scan, &DiscScan::reviewOpened, this, [&](frmReview *review) {
            QTimer::singleShot(0, review, [&, review] {
                QTableWidget *table = review->table();
                auto *add = child<QPushButton>(review, "cmdAdd");
                said << (QTest::qWaitForWindowActive(review) ? "active" : "inactive");
                said << table->item(0, 6)->text() << add->text();
                table->setFocus();
                table->setCurrentCell(1, 0);
                QTest::keyClick(table, Qt::Key_Down, Qt::ShiftModifier);
                child<QPushButton>(review, "cmdMerge")->click();
                said << QString::number(table->rowCount()) << add->text();
                child<QPushButton>(review, "cmdSplit")->click();
                said << QString::number(table->rowCount());
                table->setFocus();
                QTest::keyClick(table, Qt::Key_Tab);
                said << (qobject_cast<QPushButton *>(QApplication::focusWidget()) ? "on a button" : "not on a button");
                table->item(2, 0)->setCheckState(Qt::Unchecked);     // Zorro
                table->item(1, 4)->setText(QStringLiteral("Box 7")); // Brazil's location
                QTest::qWait(0);
                add->click();
            });
        });
        QVERIFY(scan.run(disc));
        QCOMPARE(said,
                 (QStringList{"active", "add as a later part of \u201CHeat\u201D", "Add 2 movies and 1 part", "2",
                              "Add 1 movie and 1 part", "3", "on a button"}));
        QCOMPARE(test::titles(doc.movies()), (QStringList{"Alien", "Brazil", "Heat"}));
        const Movie heat = doc.movies()[2];
        QCOMPARE((QStringList{heat[FRes], heat[FFiles], heat[FSize], heat[FLocation], doc.movies()[1][FLocation]}),
                 (QStringList{"640x272", "Heat.CD1.avi, Heat.CD2.avi", "700\\2", "disc", "Box 7"}));
    }
};

QTEST_MAIN(tst_mainwindow)
#include "tst_mainwindow.moc"
