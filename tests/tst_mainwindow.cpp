#include "listfile/pagewriter.h"
#include "main/frmmain.h"
#include "main/mainlayout.h"
#include "platform/qtdialogs.h"
#include "platform/texts.h"
#include "platform/twips.h"
#include "settings/modregistry.h"
#include "testsupport.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>
#include <QtTest>
#include <functional>

using namespace cinemork;

namespace {

Movie movie(const QString &title, const QString &size = QStringLiteral("700\\1"))
{
    Movie m;
    m[FTitle] = title;
    m[FSize] = size;
    m[FSeenit] = QStringLiteral("no");
    m[FType] = QStringLiteral("DVD Rip");
    m.icon = 1;
    return m;
}

QStringList titles(frmMain &w)
{
    QStringList t;
    for (int i = 1; i <= w.list().count(); ++i)
        t << w.list().text(i);
    return t;
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

} // namespace

class tst_mainwindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<test::ScriptedPrompter> m_prompts;
    std::unique_ptr<test::ScriptedFileDialogs> m_dialogs;
    std::unique_ptr<test::RecordingShell> m_shell;
    std::unique_ptr<test::ModalAnswerer> m_modals;

    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QString listFile(const char *name, const QList<Movie> &movies, const QString &title = QStringLiteral("Stored"))
    {
        const QString p = path(name);
        writeFile(p, PageWriter::page(title, movies, PageSettings()));
        return p;
    }
    // A window holding a stored list of three movies, not modified.
    std::unique_ptr<frmMain> storedWindow()
    {
        auto w = std::make_unique<frmMain>();
        const QString p = listFile("stored.html", {movie("Zelig"), movie("Alien"), movie("Brazil", "1400\\2")});
        w->ReadList(p);
        return w;
    }

private slots:
    void initTestCase() { test::isolateConfig(); }
    void init()
    {
        test::clearStore();
        AutoSaveFlag = false;
        ShowGetResWarningFlag = true;
        LastOpenPath.clear();
        LastSavePath.clear();
        m_prompts = std::make_unique<test::ScriptedPrompter>();
        m_dialogs = std::make_unique<test::ScriptedFileDialogs>();
        m_shell = std::make_unique<test::RecordingShell>();
        m_modals = std::make_unique<test::ModalAnswerer>();
    }
    void cleanup()
    {
        QVERIFY2(m_prompts->done(), qPrintable(m_prompts->unexpected.join(u'\n') + QStringLiteral(" / remaining %1").arg(m_prompts->steps.size())));
        QVERIFY2(m_dialogs->done(), qPrintable(m_dialogs->unexpected.join(u'\n')));
        m_prompts.reset();
        m_dialogs.reset();
        m_shell.reset();
        QCOMPARE(m_modals->pending(), 0);
        m_modals.reset();
        QVERIFY2(test::leftoverWindows().isEmpty(), qPrintable(test::leftoverWindows().join(u',')));
    }

    void startsOnAnEmptyStore()
    {
        frmMain w;
        QCOMPARE(w.windowTitle(), QStringLiteral("Cinemork"));
        QCOMPARE(w.statusText(), QStringLiteral("No list opened"));
        for (const char *b : {"cmdAdd", "cmdEdit", "cmdDel"})
            QVERIFY(!w.findChild<QPushButton *>(QString::fromLatin1(b))->isEnabled());
        QVERIFY(w.findChild<QPushButton *>(QStringLiteral("cmdConfig"))->isEnabled());
        auto *view = w.findChild<QTreeView *>(QStringLiteral("lvwMain"));
        QCOMPARE(view->model()->columnCount(), 9);
        const QStringList headers{"Title", "Size", "Resolution", "Codec", "Type", "Watched", "Location", "Filenames", "Imdb link"};
        const int widths[] = {2500, 1000, 1000, 1000, 1000, 850, 1500, 2000, 2000};
        for (int c = 0; c < 9; ++c) {
            QCOMPARE(view->model()->headerData(c, Qt::Horizontal).toString(), headers[c]);
            QCOMPARE(view->header()->sectionSize(c), twipsToPixels(widths[c]));
        }
        QCOMPARE(w.pos(), QPoint(twipsToPixels(2520), twipsToPixels(1770)));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.centralWidget()->size(), QSize(twipsToPixels(DesignClientWidth), twipsToPixels(DesignClientHeight)));
        QVERIFY(RegKeyExists(HKEY_LOCAL_MACHINE, ProgramKey));
        QFile store(storeFile(HKEY_LOCAL_MACHINE));
        QVERIFY(store.open(QIODevice::ReadOnly));
        QVERIFY(!store.readAll().contains('='));
        QVERIFY(w.findChild<QWidget *>(QStringLiteral("barProgress"))->isHidden());
        const QAction *recent = w.findChild<QAction *>(QStringLiteral("mnuMovieRecent1"));
        QCOMPARE(recent->text(), QStringLiteral("(no recent files)"));
        QVERIFY(!recent->isEnabled());
        QVERIFY(!w.findChild<QAction *>(QStringLiteral("mnuMovieRecent2"))->isVisible());
        QCOMPARE(w.findChild<QAction *>(QStringLiteral("mnuActionDel"))->shortcut(), QKeySequence(Qt::Key_Delete));
        QCOMPARE(w.findChild<QAction *>(QStringLiteral("mnuMovieExit"))->shortcut(), QKeySequence(Qt::Key_F7));
        QVERIFY(!w.windowIcon().isNull());
    }

    void headerClicksSortAndReorderRows()
    {
        frmMain w;
        w.list().setRows({movie("beta", "700\\1"), movie("Alpha", "10\\2"), movie("gamma", "1400\\2")});
        QAbstractItemModelTester tester(w.list().model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        auto *header = w.findChild<QTreeView *>(QStringLiteral("lvwMain"))->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionPosition(0) + 5, 5));
        QCOMPARE(titles(w), (QStringList{"Alpha", "beta", "gamma"}));
        w.list().headerClicked(1);
        QCOMPARE(titles(w), (QStringList{"gamma", "beta", "Alpha"}));
        w.list().headerClicked(1);
        QCOMPARE(titles(w), (QStringList{"Alpha", "beta", "gamma"}));
        w.list().headerClicked(2); // size, as text: 10\2 < 1400\2 < 700\1
        QCOMPARE(titles(w), (QStringList{"Alpha", "gamma", "beta"}));
        QCOMPARE(w.list().sortOrder(), Qt::AscendingOrder);
        w.list().select(1);
        w.list().headerClicked(2);
        QCOMPARE(titles(w), (QStringList{"beta", "gamma", "Alpha"}));
        QCOMPARE(w.list().selectedIndex(), 3); // the selection follows its row
        // the sorted order is the list's order: writing keeps it
        w.list().setSorted(false);
        const PageTotals totals = totalsOf(w.list().model()->movies());
        QCOMPARE(totals.movies, 3);
        QCOMPARE(w.list().model()->movies().first()[FTitle], QStringLiteral("beta"));
    }

    void deleteAsksFirst()
    {
        auto w = storedWindow();
        const QString status = w->statusText();
        w->list().select(2);
        m_prompts->expect(Texts::ConfirmDelete, Answer::No);
        w->cmdDel_Click();
        QCOMPARE(titles(*w), (QStringList{"Alien", "Brazil", "Zelig"}));
        QCOMPARE(w->statusText(), status);
        m_prompts->expect(Texts::ConfirmDelete, Answer::Yes);
        w->cmdDel_Click();
        QCOMPARE(titles(*w), (QStringList{"Alien", "Zelig"}));
        QCOMPARE(w->statusText(), Texts::ListModified);
        // nothing selected: nothing asked, nothing removed
        w->findChild<QTreeView *>(QStringLiteral("lvwMain"))->selectionModel()->clear();
        w->cmdDel_Click();
        w->cmdEdit_Click();
        QCOMPARE(w->list().count(), 2);
    }

    void layoutRulesInClientTerms()
    {
        // 8000 x 6000 outer is a client area of 7895 x 5310
        const MainLayout l = mainLayout(8000 - FrameExtraWidth, 6000 - FrameExtraHeight);
        QVERIFY(l.moveControls);
        QCOMPARE(*l.listWidth, 7880);
        QCOMPARE(*l.listHeight, 4515);
        QCOMPARE(*l.buttonsTop, 4620);
        QCOMPARE(l.configLeft, 4640);
        QCOMPARE(l.aboutLeft, 5720);
        QCOMPARE(l.exitLeft, 6800);
        QCOMPARE(*l.progressTop, 5055);
        QCOMPARE(*l.progressWidth, 7880);
        QVERIFY(!mainLayout(6900 - FrameExtraWidth, 9000).moveControls);
        const MainLayout low = mainLayout(7000, 300);
        QVERIFY(!low.listHeight && !low.buttonsTop && low.listWidth);

        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *list = w.findChild<QTreeView *>(QStringLiteral("lvwMain"));
        auto *exit = w.findChild<QPushButton *>(QStringLiteral("cmdExit"));
        const QRect before = list->geometry();
        w.resize(w.width() - 4, w.height() + 60); // narrower than designed: nothing moves
        QTRY_COMPARE(w.centralWidget()->height(), twipsToPixels(DesignClientHeight) + 60);
        QCOMPARE(list->geometry(), before);
        w.resize(twipsToPixels(7895), w.height());
        QTRY_COMPARE(list->width(), twipsToPixels(7880));
        QCOMPARE(exit->x(), twipsToPixels(6800));
        QCOMPARE(exit->y(), w.centralWidget()->height() - twipsToPixels(690));
        w.hide();
    }

    void exitStoresThePositionTheCloseBoxDoesNot()
    {
        {
            frmMain w;
            w.show();
            w.move(twipsToPixels(3000), twipsToPixels(2000));
            QVERIFY(w.close());
            QCOMPARE(setting(Reg::WinPos, QStringLiteral("none")), QStringLiteral("none"));
        }
        {
            frmMain w;
            w.show();
            w.move(twipsToPixels(3000), twipsToPixels(2010));
            w.cmdExit_Click();
            QVERIFY(!w.isVisible());
            QCOMPARE(setting(Reg::WinPos, QString()), QStringLiteral("3000|2010|6960|5460"));
        }
        {
            frmMain w; // the stored measure comes back unchanged
            QCOMPARE(w.pos(), QPoint(twipsToPixels(3000), twipsToPixels(2010)));
            w.show();
            w.cmdExit_Click();
            QCOMPARE(setting(Reg::WinPos, QString()), QStringLiteral("3000|2010|6960|5460"));
        }
        {
            frmMain w;
            w.show();
            w.move(twipsToPixels(4500), twipsToPixels(3000));
            w.showMaximized();
            QVERIFY(w.isMaximized());
            w.cmdExit_Click();
            QCOMPARE(setting(Reg::WinPos, QString()), QStringLiteral("3000|2010|6960|5460"));
        }
    }

    void exitAndCloseWithAModifiedList()
    {
        auto w = storedWindow();
        w->show();
        w->setStatusText(Texts::ListModified);
        m_prompts->expect(Texts::SaveChanges, Answer::Cancel);
        w->cmdExit_Click();
        QVERIFY(w->isVisible());
        QCOMPARE(setting(Reg::WinPos, QStringLiteral("none")), QStringLiteral("none"));
        m_prompts->expect(Texts::SaveChanges, Answer::Cancel);
        QVERIFY(!w->close());
        m_prompts->expect(Texts::SaveChanges, Answer::No);
        QVERIFY(w->close()); // one question, no save
        QCOMPARE(m_prompts->asked.size(), 3);
    }

    void unsavedWorkIsNeverLostOnAYesThatStoresNothing()
    {
        frmMain w;
        w.show();
        m_prompts->expectInput(Texts::ChangeTitlePrompt, QStringLiteral("Mine"));
        w.mnuActionTitle_Click();
        QVERIFY(w.isModified());
        // Exit: Yes, then the save dialog is cancelled
        m_prompts->expect(Texts::SaveChanges, Answer::Yes);
        m_dialogs->saveAnswers.push_back(QString());
        w.cmdExit_Click();
        QVERIFY(w.isVisible());
        // close box: Yes, the title question cancelled
        m_prompts->expect(Texts::SaveChanges, Answer::Yes);
        m_dialogs->saveAnswers.push_back(path("mine.html"));
        m_prompts->expectInput(QStringLiteral("movie list:"), QString());
        QVERIFY(!w.close());
        QVERIFY(!QFile::exists(path("mine.html")));
        // New and Open do not go on
        m_prompts->expect(Texts::SaveChanges, Answer::Yes);
        m_dialogs->saveAnswers.push_back(QString());
        w.mnuMovieNew_Click();
        QCOMPARE(w.listTitle(), QStringLiteral("Mine"));
        m_prompts->expect(Texts::SaveChanges, Answer::Yes);
        m_dialogs->saveAnswers.push_back(QString());
        w.mnuMovieOpen_Click(); // no open dialog follows
        QVERIFY(w.isModified());
        m_prompts->expect(Texts::SaveChanges, Answer::No);
        QVERIFY(w.close());
    }

    void autosaveThatStoresNothingMarksTheList()
    {
        frmMain w;
        AutoSaveFlag = true; // after start-up, which reads it from the store
        m_prompts->expectInput(Texts::ChangeTitlePrompt, QStringLiteral("Mine"));
        m_dialogs->saveAnswers.push_back(QString());
        w.mnuActionTitle_Click();
        QCOMPARE(w.statusText(), Texts::ListModified);
        // with a file, the same modification stores the list at once
        m_prompts->expectInput(Texts::ChangeTitlePrompt, QStringLiteral("Stored"));
        m_dialogs->saveAnswers.push_back(path("auto.html"));
        m_prompts->expectInput(QStringLiteral("movie list:"), QStringLiteral("Stored"));
        w.mnuActionTitle_Click();
        QVERIFY(QFile::exists(path("auto.html")));
        QCOMPARE(w.statusText(), QStringLiteral("0 items in loaded list Stored, total 0 GB"));
    }

    void newList()
    {
        auto w = storedWindow();
        const QString status = w->statusText();
        bool editorOpened = false;
        m_modals->next([&](QWidget *modal) {
            editorOpened = modal->objectName() == QLatin1String("frmAddCD") && modal->windowTitle() == QLatin1String("Add movie");
            modal->close();
        });
        w->mnuMovieNew_Click(); // not modified: no question
        QVERIFY(editorOpened);
        QCOMPARE(w->list().count(), 0);
        QCOMPARE(w->windowTitle(), QStringLiteral("Cinemork - Untitled"));
        QCOMPARE(w->filePath(), QString());
        QCOMPARE(w->statusText(), status); // the old totals stay
        QVERIFY(w->findChild<QPushButton *>(QStringLiteral("cmdAdd"))->isEnabled());
    }

    void saveAsThenSave()
    {
        frmMain w;
        w.list().setRows({movie("One")});
        m_dialogs->saveAnswers.push_back(path("first.html"));
        m_prompts->expectInput(QStringLiteral("Enter a title for the ") + path("first.html").toUpper() + QStringLiteral(" movie list:"),
                               QStringLiteral("Cinemork"));
        QVERIFY(w.mnuMovieSaveAs_Click());
        QCOMPARE(m_prompts->defaults.last(), QStringLiteral("Cinemork"));
        QCOMPARE(m_prompts->captions.last(), QStringLiteral("Enter name"));
        QCOMPARE(m_dialogs->titles.last(), QStringLiteral("Save list as..."));
        QCOMPARE(m_dialogs->suffixes.last(), QStringLiteral("html"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Cinemork - Cinemork"));
        QCOMPARE(w.filePath(), path("first.html"));
        QCOMPARE(w.statusText(), QStringLiteral("1 items in loaded list Cinemork, total 0.68 GB"));
        QCOMPARE(setting(Reg::mru(1), QString()), path("first.html"));

        m_prompts->expectInput(Texts::ChangeTitlePrompt, QStringLiteral("Renamed"));
        w.mnuActionTitle_Click();
        QVERIFY(w.mnuMovieSave_Click()); // no dialog: the same file, the caption's title
        QFile f(path("first.html"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("<TITLE>Renamed</TITLE>"));
        QVERIFY(!w.isModified());
    }

    void changeTitleBeforeAnyList()
    {
        frmMain w;
        m_prompts->expectInput(Texts::ChangeTitlePrompt, QStringLiteral("Later"));
        w.mnuActionTitle_Click();
        QCOMPARE(m_prompts->defaults.last(), QString());
        QCOMPARE(m_prompts->captions.last(), QStringLiteral("Change list title"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Cinemork - Later"));
        QVERIFY(!w.findChild<QPushButton *>(QStringLiteral("cmdAdd"))->isEnabled());
        QCOMPARE(w.filePath(), QString());
        m_prompts->expectInput(Texts::ChangeTitlePrompt, QString()); // cancel changes nothing
        w.setStatusText(QStringLiteral("x"));
        w.mnuActionTitle_Click();
        QCOMPARE(w.statusText(), QStringLiteral("x"));
    }

    void anInputBoxKeepsALongDefault()
    {
        const QString title(40000, u'T'); // Qt's boxes cut at 32,767 unless told otherwise
        m_modals->next([](QWidget *modal) { static_cast<QDialog *>(modal)->accept(); });
        QtPrompter boxes;
        QCOMPARE(boxes.input(nullptr, Texts::ChangeTitleCaption, Texts::ChangeTitlePrompt, title), title);
    }

    void openReadsTheListSortedByTitle()
    {
        frmMain w;
        const QString p = listFile("open.html", {movie("Zelig"), movie("alien"), movie("Brazil", "1400\\2")}, "Films");
        m_dialogs->openAnswers.push_back({p});
        w.mnuMovieOpen_Click();
        QCOMPARE(titles(w), (QStringList{"alien", "Brazil", "Zelig"}));
        QCOMPARE(w.windowTitle(), QStringLiteral("Cinemork - Films"));
        QCOMPARE(w.statusText(), QStringLiteral("3 items in loaded list Films, total 2.73 GB"));
        QCOMPARE(w.filePath(), p);
        QVERIFY(w.findChild<QPushButton *>(QStringLiteral("cmdDel"))->isEnabled());
        QCOMPARE(w.findChild<QAction *>(QStringLiteral("mnuMovieRecent1"))->text(), QStringLiteral("&1 open.html"));
        QCOMPARE(m_dialogs->titles.last(), QStringLiteral("Open movie list..."));
        QCOMPARE(w.list().smallIcon(1), 1);
    }

    void openWithSeveralFilesChangesNothing()
    {
        auto w = storedWindow();
        const QString caption = w->windowTitle();
        listFile("a.html", {movie("A")});
        listFile("b.html", {movie("B")});
        m_dialogs->openAnswers.push_back({path("a.html"), path("b.html")});
        w->mnuMovieOpen_Click();
        QCOMPARE(LastOpenPath, m_dir.path() + QStringLiteral("|a.html|b.html"));
        QCOMPARE(w->windowTitle(), caption);
        QCOMPARE(w->list().count(), 3);
    }

    void openSavesFirstAndStopsOnACancelledDialog()
    {
        auto w = storedWindow();
        w->setStatusText(Texts::ListModified);
        m_prompts->expect(Texts::SaveChanges, Answer::Yes);
        m_dialogs->openAnswers.push_back({});
        w->mnuMovieOpen_Click();
        QCOMPARE(w->list().count(), 3);
        QVERIFY(!w->isModified()); // it was saved
        QCOMPARE(w->filePath(), path("stored.html"));
    }

    void aFailedWriteKeepsEverything()
    {
        auto w = storedWindow();
        w->setStatusText(Texts::ListModified);
        const QString caption = w->windowTitle();
        QDir(m_dir.path()).mkdir(QStringLiteral("adir"));
        m_prompts->expect(QStringLiteral("could not be saved to ") + path("adir"), Answer::Ok);
        QVERIFY(!w->WriteList(path("adir"), QStringLiteral("New title")));
        QCOMPARE(w->windowTitle(), caption);
        QVERIFY(w->isModified());
        QCOMPARE(setting(Reg::mru(1), QString()), path("stored.html"));
        QVERIFY(w->findChild<QWidget *>(QStringLiteral("barProgress"))->isHidden());
        QVERIFY(!w->findChild<QWidget *>(QStringLiteral("barStatus"))->isHidden());
        // Save as onto it: the file path stays as it was
        m_dialogs->saveAnswers.push_back(path("adir"));
        m_prompts->expectInput(QStringLiteral("movie list:"), QStringLiteral("T"));
        m_prompts->expect(QStringLiteral("could not be saved"), Answer::Ok);
        QVERIFY(!w->mnuMovieSaveAs_Click());
        QCOMPARE(w->filePath(), path("stored.html"));
    }

    void aFailedReadKeepsEverything()
    {
        auto w = storedWindow();
        w->setStatusText(Texts::ListModified);
        writeFile(path("broken.html"), "<HTML>\r\n<HEAD>\r\n<TITLE>Broken</TITLE>\r\n<TABLE>\r\n <TR>\r\n");
        m_prompts->expect(QStringLiteral("An unexpected error occurred. Possibly the list is invalid or contains an error."), Answer::Ok);
        QVERIFY(!w->ReadList(path("broken.html")));
        QVERIFY(m_prompts->asked.last().contains(QStringLiteral("The reported error was: Error#62: Input past end of file")));
        QCOMPARE(titles(*w), (QStringList{"Alien", "Brazil", "Zelig"}));
        QCOMPARE(w->listTitle(), QStringLiteral("Stored"));
        QCOMPARE(w->filePath(), path("stored.html"));
        QVERIFY(w->isModified());
        QVERIFY(!w->ReadList(path("missing.html"))); // no file: nothing, no message
    }

    void writesKeepCommandsOff()
    {
        frmMain w;
        QList<Movie> many;
        for (int i = 0; i < 120; ++i)
            many << movie(QStringLiteral("M%1").arg(i));
        w.list().setRows(many);
        int tries = 0;
        QTimer::singleShot(0, &w, [&] {
            ++tries;
            QVERIFY(w.busy());
            w.list().headerClicked(1); // sorting reorders the list, not the page being written
            w.mnuMovieNew_Click();
            w.mnuMovieOpen_Click();
            w.cmdDel_Click();
            QVERIFY(!w.close());
        });
        QVERIFY(w.WriteList(path("many.html"), QStringLiteral("Many")));
        QCOMPARE(tries, 1);
        QFile page(path("many.html"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        QCOMPARE(page.readAll(), PageWriter::page(QStringLiteral("Many"), many, PageSettings()));
        QCOMPARE(w.list().count(), 120);
        QVERIFY(!w.busy());
    }

    void recentFileMenu()
    {
        auto w = storedWindow();
        listFile("other.html", {movie("Other")}, "Other");
        QVERIFY(w->ReadList(path("other.html")));
        QCOMPARE(w->findChild<QAction *>(QStringLiteral("mnuMovieRecent2"))->text(), QStringLiteral("&2 stored.html"));
        // choosing an entry asks about unsaved changes first
        w->setStatusText(Texts::ListModified);
        m_prompts->expect(Texts::SaveChanges, Answer::Cancel);
        w->mnuMovieRecent_Click(2);
        QCOMPARE(w->listTitle(), QStringLiteral("Other"));
        m_prompts->expect(Texts::SaveChanges, Answer::No);
        w->findChild<QAction *>(QStringLiteral("mnuMovieRecent2"))->trigger();
        QCOMPARE(w->listTitle(), QStringLiteral("Stored"));
        QCOMPARE(setting(Reg::mru(1), QString()), path("stored.html"));
        // a vanished file
        QFile::remove(path("other.html"));
        const QString missing = Texts::mruMissing(path("other.html"));
        m_prompts->expect(missing, Answer::Cancel);
        w->mnuMovieRecent_Click(2);
        QCOMPARE(setting(Reg::mru(2), QString()), path("other.html"));
        m_prompts->expect(missing, Answer::Ok);
        w->mnuMovieRecent_Click(2);
        QCOMPARE(setting(Reg::mru(2), QStringLiteral("gone")), QStringLiteral("gone"));
        QVERIFY(!w->findChild<QAction *>(QStringLiteral("mnuMovieRecent2"))->isVisible());
    }

    void storedWindowPlaces_data()
    {
        QTest::addColumn<QString>("winPos");
        QTest::addColumn<bool>("absent");
        QTest::newRow("not numbers") << "10|x|6960|5460" << true;
        QTest::newRow("three parts") << "1|2|3" << true;
        QTest::newRow("fraction") << "1|2|7000|6000.5" << true;
        QTest::newRow("zero size") << "0|0|0|0" << true;
        QTest::newRow("negative size") << "0|0|-7000|6000" << true;
        QTest::newRow("below the frame") << "0|0|100|600" << true;
        QTest::newRow("below the design") << "0|0|6959|5460" << true;
        QTest::newRow("negative place") << "-15|0|7000|6000" << false;
        QTest::newRow("huge") << "0|0|999999999|999999999" << false;
    }
    void storedWindowPlaces()
    {
        QFETCH(QString, winPos);
        QFETCH(bool, absent);
        QCOMPARE(!parseWinPos(winPos), absent);
        InitSettings();
        saveSetting(Reg::WinPos, winPos);
        frmMain w;
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        if (absent)
            QCOMPARE(w.pos(), QPoint(twipsToPixels(2520), twipsToPixels(1770)));
        // whatever is stored, the window fits the screen and can be shown
        QVERIFY(w.width() >= twipsToPixels(DesignClientWidth) && w.width() <= screen.width());
        QVERIFY(w.height() >= twipsToPixels(DesignClientHeight) && w.height() <= screen.height());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }

    void aPositionOffEveryScreenComesBack()
    {
        InitSettings();
        saveSetting(Reg::WinPos, QStringLiteral("900000|900000|8000|6000"));
        frmMain w;
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(w.pos(), screen.topLeft());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.centralWidget()->width(), twipsToPixels(8000 - FrameExtraWidth));
    }

    void viewInBrowserSavesThenOpens()
    {
        auto w = storedWindow();
        QFile::remove(path("stored.html"));
        w->mnuActionBrowser_Click();
        QVERIFY(QFile::exists(path("stored.html"))); // rewritten even though unmodified
        QCOMPARE(m_shell->opened, QStringList{path("stored.html")});

        // a save that fails opens nothing: the page on disk is an older one
        QFile::remove(path("stored.html"));
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("stored.html")));
        m_prompts->expect(QStringLiteral("could not be saved to ") + path("stored.html"), Answer::Ok);
        w->mnuActionBrowser_Click();
        QCOMPARE(m_shell->opened.size(), 1);
        QVERIFY(QDir(path("stored.html")).removeRecursively());

        frmMain fresh;
        m_dialogs->saveAnswers.push_back(QString());
        fresh.mnuActionBrowser_Click();
        QCOMPARE(m_shell->opened.size(), 1); // cancelled: nothing opens
        m_dialogs->saveAnswers.push_back(path("viewed.html"));
        m_prompts->expectInput(QStringLiteral("movie list:"), QStringLiteral("V"));
        fresh.mnuActionBrowser_Click();
        QCOMPARE(m_shell->opened.last(), path("viewed.html"));
    }

    void helpOpensThePageBesideTheProgram()
    {
        frmMain w;
        w.mnuHelpHelp_Click();
        QCOMPARE(m_shell->opened, QStringList{QCoreApplication::applicationDirPath() + QStringLiteral("/help.html")});
    }

    void shortcutsReachTheCommands()
    {
        auto w = storedWindow();
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        auto *view = w->findChild<QTreeView *>(QStringLiteral("lvwMain"));
        view->setFocus();
        w->list().select(1);
        QString opened;
        m_modals->next([&](QWidget *modal) {
            opened = modal->windowTitle();
            modal->close();
        });
        QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier); // not the view's select-all
        QTRY_COMPARE(opened, QStringLiteral("Add movie"));
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QCOMPARE(w->list().selectedIndex(), 1);
        opened.clear();
        m_modals->next([&](QWidget *modal) {
            opened = modal->windowTitle();
            modal->close();
        });
        QTest::keyClick(view, Qt::Key_E, Qt::ControlModifier);
        QTRY_COMPARE(opened, QStringLiteral("Edit movie"));
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        opened.clear();
        m_modals->next([&](QWidget *modal) {
            opened = modal->windowTitle();
            modal->close();
        });
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, QPoint(10, view->viewport()->height() - 5));
        QTRY_COMPARE(opened, QStringLiteral("Edit movie")); // below the rows too
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        m_prompts->expect(Texts::ConfirmDelete, Answer::No);
        QTest::keyClick(view, Qt::Key_Delete);
        QCOMPARE(w->list().count(), 3);
    }

    void userStyleSheet()
    {
        InitSettings();
        frmMain w;
        w.list().setRows({movie("Styled")});
        writeFile(path("mine.css"), "body {color: red}\nTD {x: y}\r\n");
        saveSetting(Reg::UserCSS, path("mine.css"));
        QVERIFY(w.WriteList(path("styled.html"), QStringLiteral("S")));
        QFile f(path("styled.html"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("<STYLE TYPE=\"text/css\"><!--\r\nbody {color: red}\r\nTD {x: y}\r\n--></STYLE>"));
        f.close();

        saveSetting(Reg::UserCSS, path("gone.css")); // missing: the box, then the default lines
        m_prompts->expect(QStringLiteral("User-defined CSS file was not found! Using default CSS layout instead."), Answer::Ok);
        QVERIFY(w.WriteList(path("styled.html"), QStringLiteral("S")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("body    {font-family: Fixedsys, Arial, monospace;"));
        QCOMPARE(setting(Reg::UserCSS, QString()), path("gone.css")); // the setting stays
    }

    void dialogMemory()
    {
        // an empty memory starts among the user's documents (never the program's folder), and a
        // cancelled dialog remembers nothing
        m_dialogs->openAnswers.push_back({});
        QCOMPARE(ShowOpenDialog(QStringLiteral("t"), Texts::ListFilter, QString()), QString());
        QCOMPARE(LastOpenPath, QString());
        QCOMPARE(m_dialogs->startFolders.last(), documentsFolder());
        QVERIFY(documentsFolder() != QCoreApplication::applicationDirPath());
        m_dialogs->saveAnswers.push_back(QString());
        ShowSaveDialog(QStringLiteral("t"), Texts::ListFilter, Texts::ListDefaultExt, QString());
        QCOMPARE(m_dialogs->startFolders.last(), documentsFolder());
        // a remembered file or multiple selection starts in its folder
        writeFile(path("one.avi"), "x");
        m_dialogs->openAnswers.push_back({path("one.avi")});
        QCOMPARE(ShowOpenDialog(QStringLiteral("t"), Texts::MovieFilesFilter, QString()), path("one.avi"));
        m_dialogs->openAnswers.push_back({});
        ShowOpenDialog(QStringLiteral("t"), Texts::MovieFilesFilter, QString());
        QCOMPARE(m_dialogs->startFolders.last(), m_dir.path());
        QCOMPARE(LastOpenPath, path("one.avi"));
        QCOMPARE(startFolderOf(m_dir.path() + QStringLiteral("|a.avi|b.avi")), m_dir.path());
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("x")));
        writeFile(path("x|y.avi"), "x"); // one file with a "|" in its name
        QCOMPARE(startFolderOf(path("x|y.avi")), m_dir.path());
        QCOMPARE(joinSelection({QStringLiteral("/a.avi"), QStringLiteral("/b.avi")}), QStringLiteral("/|a.avi|b.avi"));
        // "All files (*.*)" must list files without a dot too
        QCOMPARE(qtNameFilters(Texts::CssFilter).last(), QStringLiteral("All files (*)"));
    }

    void realFileDialogsEndToEnd()
    {
        m_dialogs.reset();
        QtFileDialogBackend qtDialogs; // Qt's own dialogs from here on
        setFileDialogs(&qtDialogs);
        frmMain w;
        w.show();
        w.list().setRows({movie("Real"), movie("Dialogs")});
        const QString target = path("real");
        QString title, filter;
        m_modals->next([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            title = dialog->windowTitle();
            filter = dialog->nameFilters().first();
            dialog->setDirectory(m_dir.path());
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("real"));
            QTest::keyClick(dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")), Qt::Key_Return);
        });
        m_prompts->expectInput(QStringLiteral("REAL.HTML movie list:"), QStringLiteral("Real list"));
        QVERIFY(w.mnuMovieSaveAs_Click());
        QCOMPARE(title, QStringLiteral("Save list as..."));
        QCOMPARE(filter, QStringLiteral("HTML files (*.html *.htm *.HTML *.HTM)"));
        QCOMPARE(w.filePath(), target + QStringLiteral(".html")); // the default extension was added
        QVERIFY(QFile::exists(target + QStringLiteral(".html")));

        w.list().clear();
        m_modals->next([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            dialog->setDirectory(m_dir.path());
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("real.html"));
            QTest::keyClick(dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")), Qt::Key_Return);
        });
        w.mnuMovieOpen_Click();
        QCOMPARE(titles(w), (QStringList{"Dialogs", "Real"}));
        QCOMPARE(w.listTitle(), QStringLiteral("Real list"));
        setFileDialogs(nullptr);
        m_dialogs = std::make_unique<test::ScriptedFileDialogs>();
    }
};

QTEST_MAIN(tst_mainwindow)
#include "tst_mainwindow.moc"
