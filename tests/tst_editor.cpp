#include "editor/editorhost.h"
#include "editor/editorlogic.h"
#include "editor/frmaddcd.h"
#include "listfile/pagereader.h"
#include "listfile/pagewriter.h"
#include "main/frmmain.h"
#include "platform/texts.h"
#include "settings/frmconfig.h"
#include "settings/modregistry.h"
#include "testsupport.h"
#include "windowsupport.h"
#include "videofiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

using namespace cinemork;

namespace {

Movie movie(const QString &title)
{
    Movie m;
    m[FTitle] = title;
    m[FSize] = QStringLiteral("700\\1");
    m[FSeenit] = QStringLiteral("no");
    m[FType] = QStringLiteral("DVD Rip");
    return m;
}

QStringList titles(frmMain &w)
{
    QStringList t;
    for (int i = 1; i <= w.list().count(); ++i)
        t << w.list().text(i);
    return t;
}



} // namespace

class tst_editor : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<test::ScriptedPrompter> m_prompts;
    std::unique_ptr<test::ScriptedFileDialogs> m_dialogs;
    std::unique_ptr<test::RecordingShell> m_shell;
    std::unique_ptr<test::ModalAnswerer> m_modals;

    template<typename T>
    static T *child(QObject *o, const char *name)
    {
        return o->findChild<T *>(QString::fromLatin1(name));
    }
    static QLineEdit *edit(QObject *o, const char *name) { return child<QLineEdit>(o, name); }
    QString file(const QString &name, qint64 size)
    {
        QFile f(m_dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly) || !f.resize(size)) // sparse: costs no disk
            return {};
        return f.fileName();
    }
    void fill(frmAddCD &ed, const QString &title, const QString &hor, const QString &ver, int type, bool seen,
              const QString &link)
    {
        edit(&ed, "txtTitle")->setText(title);
        edit(&ed, "txtSize2")->setText(QStringLiteral("700"));
        edit(&ed, "txtResHor")->setText(hor);
        edit(&ed, "txtResVer")->setText(ver);
        child<QComboBox>(&ed, "cboType")->setCurrentIndex(type);
        child<QCheckBox>(&ed, "chkSeenIt")->setChecked(seen);
        edit(&ed, "txtLocation")->setText(QStringLiteral("Box 2"));
        edit(&ed, "txtFiles")->setText(title + QStringLiteral(".avi"));
        edit(&ed, "txtImdbLink")->setText(link);
    }

private slots:
    void initTestCase() { test::isolateConfig(); }
    void init()
    {
        test::clearStore();
        LastOpenPath.clear();
        m_prompts = std::make_unique<test::ScriptedPrompter>();
        m_dialogs = std::make_unique<test::ScriptedFileDialogs>();
        m_shell = std::make_unique<test::RecordingShell>();
        m_modals = std::make_unique<test::ModalAnswerer>();
    }
    void cleanup()
    {
        QVERIFY2(m_prompts->done(), qPrintable(m_prompts->unexpected.join(u'\n')));
        QVERIFY2(m_dialogs->done(), qPrintable(m_dialogs->unexpected.join(u'\n')));
        m_prompts.reset();
        m_dialogs.reset();
        m_shell.reset();
        QCOMPARE(m_modals->pending(), 0);
        m_modals.reset();
        QVERIFY2(test::leftoverWindows().isEmpty(), qPrintable(test::leftoverWindows().join(u',')));
    }

    void okAddsTheMovieAtItsSortedPlace()
    {
        frmMain w;
        w.document().model()->setMovies({movie("Zelig"), movie("alien")});
        w.list().headerClicked(2); // sorted by size
        {
            frmAddCD ed(&w, &w);
            QCOMPARE(ed.windowTitle(), QStringLiteral("Add movie"));
            QVERIFY(!child<QPushButton>(&ed, "cmdGetDims")->isHidden());
            QCOMPARE(edit(&ed, "txtSize1")->text(), QStringLiteral("1"));
            fill(ed, "Brazil", "640", "272", 4, true, "www.imdb.com/title/tt0088846/");
            ed.cmdOK_Click();
        }
        QCOMPARE(titles(w), (QStringList{"alien", "Brazil", "Zelig"}));
        QCOMPARE(w.document().model()->sortKey(), 0);
        QCOMPARE(w.list().selectedIndex(), 2);
        QCOMPARE(w.document().model()->movie(1).f,
                 (std::array<QString, 9>{"Brazil", "700\\1", "640x272", "DivX", "Cam", "yes", "Box 2", "Brazil.avi",
                                         "http://www.imdb.com/title/tt0088846/"}));
        QCOMPARE(w.document().model()->movie(1).icon, 3); // Cam by the editor's table
        QCOMPARE(w.statusText(), Texts::ListModified);

        w.list().headerClicked(1); // now descending by title
        {
            frmAddCD ed(&w, &w);
            fill(ed, "Metropolis", "640", "", 6, false, {});
            ed.cmdOK_Click();
        }
        QCOMPARE(titles(w), (QStringList{"Zelig", "Metropolis", "Brazil", "alien"}));
        QCOMPARE(w.list().selectedIndex(), 2);
        const Movie &m = w.document().model()->movie(1);
        QCOMPARE(m[FRes], QString()); // one part missing
        QCOMPARE(m[FSeenit], QStringLiteral("no"));
        QCOMPARE(m[FImdb], QString());
        QCOMPARE(w.document().model()->movie(1).icon, 4);
    }

    void okWithAutoSaveStoresAtOnce()
    {
        frmMain w;
        AutoSaveFlag = true;
        m_dialogs->saveAnswers.push_back(m_dir.filePath(QStringLiteral("auto.html")));
        m_prompts->expectInput(QStringLiteral("movie list:"), QStringLiteral("Auto"));
        {
            frmAddCD ed(&w, &w);
            fill(ed, "Heat", "", "", 0, false, {});
            ed.cmdOK_Click();
        }
        AutoSaveFlag = false;
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("auto.html"))));
        QCOMPARE(w.statusText(), QStringLiteral("1 items in loaded list Auto, total 0.68 GB"));
    }

    void editFillsTheFieldsAndRewritesTheRow()
    {
        frmMain w;
        Movie m = movie("Solaris");
        m[FCodec] = QStringLiteral("XviD");
        m[FType] = QStringLiteral("SVCD");
        m[FSize] = QStringLiteral("1400\\2");
        m[FSeenit] = QStringLiteral("Yes");
        m[FImdb] = QStringLiteral("https://www.imdb.com/title/tt0069293/");
        Movie other = movie("Alien");
        other[FCodec] = QStringLiteral("RealMedia");
        other[FRes] = QStringLiteral("512x384");
        w.document().model()->setMovies({other, m});
        w.list().select(2);
        QString caption, hor, ver, mb, cds, codec, type;
        bool seen = true, dimsHidden = false;
        int codecCount = 0;
        m_modals->next([&](QWidget *ed) {
            caption = ed->windowTitle();
            hor = edit(ed, "txtResHor")->text();
            ver = edit(ed, "txtResVer")->text();
            mb = edit(ed, "txtSize2")->text();
            cds = edit(ed, "txtSize1")->text();
            codec = child<QComboBox>(ed, "cboCodec")->currentText();
            codecCount = child<QComboBox>(ed, "cboCodec")->count();
            type = child<QComboBox>(ed, "cboType")->currentText();
            seen = child<QCheckBox>(ed, "chkSeenIt")->isChecked();
            dimsHidden = child<QPushButton>(ed, "cmdGetDims")->isHidden();
            edit(ed, "txtTitle")->setText(QStringLiteral("Solaris (1972)"));
            child<QPushButton>(ed, "cmdOK")->click();
        });
        w.cmdEdit_Click();
        QCOMPARE(caption, QStringLiteral("Edit movie"));
        QVERIFY(dimsHidden);
        QCOMPARE(hor, QString());
        QCOMPARE(ver, QString());
        QCOMPARE(mb, QStringLiteral("1400"));
        QCOMPARE(cds, QStringLiteral("2"));
        QCOMPARE(codec, QStringLiteral("XviD"));
        QCOMPARE(codecCount, 5);
        QCOMPARE(type, QStringLiteral("SVCD"));
        QVERIFY(!seen);
        QCOMPARE(titles(w), (QStringList{"Alien", "Solaris (1972)"}));
        const Movie &edited = w.document().model()->movie(1);
        QCOMPARE(edited[FSeenit], QStringLiteral("no"));
        QCOMPARE(edited[FRes], QString());
        QCOMPARE(edited[FImdb], QStringLiteral("https://www.imdb.com/title/tt0069293/")); // its scheme kept
        QCOMPARE(edited[FCodec], QStringLiteral("XviD"));
        QCOMPARE(w.list().count(), 2);

        // the preset is selected, the resolution split at its "x"
        w.list().select(1);
        m_modals->next([&](QWidget *ed) {
            codec = child<QComboBox>(ed, "cboCodec")->currentText();
            codecCount = child<QComboBox>(ed, "cboCodec")->count();
            hor = edit(ed, "txtResHor")->text();
            ed->close();
        });
        w.cmdEdit_Click();
        QCOMPARE(codec, QStringLiteral("RealMedia"));
        QCOMPARE(codecCount, 4);
        QCOMPARE(hor, QStringLiteral("512"));
    }

    void okInEditModeWithoutASelectedRowChangesNothing()
    {
        frmMain w;
        w.document().model()->setMovies({movie("Alien")});
        w.list().select(1);
        m_modals->next([&](QWidget *ed) {
            w.list().view()->selectionModel()->clear(); // the selection went while the editor was open
            edit(ed, "txtTitle")->setText(QStringLiteral("Ghost"));
            child<QPushButton>(ed, "cmdOK")->click();
        });
        w.cmdEdit_Click();
        QCOMPARE(titles(w), QStringList{"Alien"});
        QVERIFY(!w.document().isModified());
    }

    void linkNormalisation()
    {
        QCOMPARE(normaliseLink(QStringLiteral("https://www.imdb.com/title/tt0113277/")),
                 QStringLiteral("https://www.imdb.com/title/tt0113277/"));
        QCOMPARE(normaliseLink(QStringLiteral("HTTP://WWW.IMDB.COM/title/tt1/")), QStringLiteral("HTTP://WWW.IMDB.COM/title/tt1/"));
        QCOMPARE(normaliseLink(QStringLiteral("www.imdb.com/title/tt1/")), QStringLiteral("http://www.imdb.com/title/tt1/"));
        QCOMPARE(normaliseLink(QStringLiteral("http://www.imdb.com/x?u=www.imdb.com")),
                 QStringLiteral("http://www.imdb.com/x?u=www.imdb.com"));
        QCOMPARE(normaliseLink(QString()), QString());
        QCOMPARE(normaliseLink(QStringLiteral("ftp.example.org/a")), QStringLiteral("http://ftp.example.org/a"));
    }

    void searchEscapes()
    {
        QCOMPARE(escapeTitle(QStringLiteral("Heat (1995)")), QStringLiteral("Heat%20%281995%29"));
        QCOMPARE(escapeTitle(QStringLiteral("Mr. & Mrs. Smith")), QStringLiteral("Mr%2E%20%26%20Mrs%2E%20Smith"));
        QCOMPARE(escapeTitle(QStringLiteral("100% \"!',/:?")), QStringLiteral("100%%20%22%21%27%2C%2F%3A%3F"));
        frmMain w;
        frmAddCD ed(&w, &w);
        edit(&ed, "txtTitle")->setText(QStringLiteral("Heat (1995)"));
        ed.cmdGetImdb_Click();
        QCOMPARE(m_shell->opened, QStringList{"http://www.imdb.com/Find?for=Heat%20%281995%29"});
        // the browser gets the address as built; only a bare "%", which no address may hold, is escaped
        const std::pair<QString, QByteArray> addresses[] = {
            {searchAddress(QStringLiteral("Heat (1995)")), "http://www.imdb.com/Find?for=Heat%20%281995%29"},
            {searchAddress(QStringLiteral("100% Love")), "http://www.imdb.com/Find?for=100%25%20Love"},
            {searchAddress(QStringLiteral("50%")), "http://www.imdb.com/Find?for=50%25"},
            {searchAddress(QString::fromUtf8("Am\u00e9lie")), "http://www.imdb.com/Find?for=Am%C3%A9lie"},
        };
        for (const auto &[address, sent] : addresses)
            QCOMPARE(webAddress(address).toEncoded(), sent);
    }

    void addingCodecsAndTypes()
    {
        frmMain w;
        frmAddCD ed(&w, &w);
        auto *codec = child<QComboBox>(&ed, "cboCodec");
        m_prompts->expectInput(Texts::NewCodecPrompt, QStringLiteral("DivX"));
        ed.cmdAddCodec_Click();
        QCOMPARE(m_prompts->defaults.last(), QStringLiteral("DivX"));
        QCOMPARE(m_prompts->captions.last(), QStringLiteral("New codec"));
        QCOMPARE(codec->count(), 5);
        QCOMPARE(codec->currentIndex(), 4);
        m_prompts->expectInput(Texts::NewCodecPrompt, QString());
        ed.cmdAddCodec_Click();
        QCOMPARE(codec->count(), 5);
        auto *type = child<QComboBox>(&ed, "cboType");
        m_prompts->expectInput(Texts::NewTypePrompt, QStringLiteral("Cam"));
        ed.cmdAddType_Click();
        QCOMPARE(m_prompts->captions.last(), QStringLiteral("New movie type"));
        QCOMPARE(type->currentIndex(), 7);
        QCOMPARE(iconForTypeIndex(type->currentIndex()), 5); // the icon follows the position
    }

    void selectAllOnFocus()
    {
        frmMain w;
        frmAddCD ed(&w, &w);
        ed.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ed));
        edit(&ed, "txtLocation")->setText(QStringLiteral("Shelf 3"));
        edit(&ed, "txtLocation")->setFocus();
        QTRY_COMPARE(edit(&ed, "txtLocation")->selectedText(), QStringLiteral("Shelf 3"));
        ed.close();
    }

    // ---- file selection ----

    void oneFileIntoAnEmptyForm()
    {
        const QString heat = file("Heat.avi", 734003200 + 1048575); // 700 MB and a bit
        frmMain w;
        frmAddCD ed(&w, &w);
        m_dialogs->openAnswers.push_back({heat});
        ed.cmdGetFiles_Click();
        QCOMPARE(m_dialogs->titles.last(), QStringLiteral("Select file(s)..."));
        QCOMPARE(edit(&ed, "txtFiles")->text(), QStringLiteral("Heat.avi"));
        QCOMPARE(edit(&ed, "txtTitle")->text(), QStringLiteral("Heat"));
        QCOMPARE(edit(&ed, "txtSize2")->text(), QStringLiteral("700"));
        QCOMPARE(child<QComboBox>(&ed, "cboCodec")->currentText(), QStringLiteral("DivX"));
        QCOMPARE(ed.probePath(), heat);
    }

    void twoFilesThenMore()
    {
        const QString cd1 = file("cd1.mpg", 1677721), cd2 = file("cd2.mpg", 1677721); // 1.6 MB each
        const QString more = file("extra.avi", 3221225472); // 3 GB
        frmMain w;
        frmAddCD ed(&w, &w);
        m_dialogs->openAnswers.push_back({cd1, cd2});
        ed.cmdGetFiles_Click();
        QCOMPARE(edit(&ed, "txtFiles")->text(), QStringLiteral("cd1.mpg, cd2.mpg"));
        QCOMPARE(edit(&ed, "txtTitle")->text(), QStringLiteral("cd1"));
        QCOMPARE(child<QComboBox>(&ed, "cboCodec")->currentText(), QStringLiteral("MPEG"));
        QCOMPARE(child<QComboBox>(&ed, "cboType")->currentText(), QStringLiteral("VCD"));
        QCOMPARE(ed.probePath(), cd1);
        QCOMPARE(edit(&ed, "txtSize2")->text(), QStringLiteral("3")); // summed first, rounded down once

        edit(&ed, "txtTitle")->clear();
        m_dialogs->openAnswers.push_back({more});
        ed.cmdGetFiles_Click();
        QCOMPARE(edit(&ed, "txtFiles")->text(), QStringLiteral("cd1.mpg, cd2.mpg, extra.avi"));
        QCOMPARE(edit(&ed, "txtSize2")->text(), QStringLiteral("3075")); // 64-bit sizes
        QCOMPARE(ed.probePath(), more);
        QCOMPARE(edit(&ed, "txtTitle")->text(), QStringLiteral("cd1")); // from the name that was there first
    }

    void guessesAndTitles()
    {
        const QString upper = file("LOUD.MPG", 10), asf = file("x.asf", 10);
        frmMain w;
        {
            frmAddCD ed(&w, &w);
            m_dialogs->openAnswers.push_back({upper});
            ed.cmdGetFiles_Click();
            QCOMPARE(child<QComboBox>(&ed, "cboCodec")->currentText(), QStringLiteral("MPEG"));
            QCOMPARE(edit(&ed, "txtTitle")->text(), QStringLiteral("LOUD"));
        }
        {
            frmAddCD ed(&w, &w);
            child<QComboBox>(&ed, "cboType")->setCurrentIndex(5);
            m_dialogs->openAnswers.push_back({asf});
            ed.cmdGetFiles_Click();
            QCOMPARE(child<QComboBox>(&ed, "cboCodec")->currentText(), QStringLiteral("DivX")); // a chosen type: no guess
            QCOMPARE(edit(&ed, "txtTitle")->text(), QStringLiteral("x"));
        }
        QCOMPARE(titleFromName(QStringLiteral("The.Movie.2002.avi")), QStringLiteral("The.Movie.2002"));
        QCOMPARE(guessFromName(QStringLiteral("a.ram")).type, 6);
        QCOMPARE(guessFromName(QStringLiteral("noext")).codec, -1);
    }

    void megabyteArithmetic()
    {
        QCOMPARE(addMegabytes(QStringLiteral("1.5"), 700), QStringLiteral("702"));
        QCOMPARE(addMegabytes(QStringLiteral("2.5"), 700), QStringLiteral("702"));
        QCOMPARE(addMegabytes(QStringLiteral("3.5"), 0), QStringLiteral("4"));
        QCOMPARE(addMegabytes(QStringLiteral(" 1 2 MB"), 1), QStringLiteral("13"));
        QCOMPARE(addMegabytes(QStringLiteral("abc"), 5), QStringLiteral("5"));
        QCOMPARE(addMegabytes(QString(), 5), QStringLiteral("5"));
        QCOMPARE(addMegabytes(QStringLiteral("40000"), 3072), QStringLiteral("43072")); // past 32,767
    }

    void fileChoice_data()
    {
        QTest::addColumn<QStringList>("names"); // chosen, 5 MB each
        QTest::addColumn<QString>("filesBefore");
        QTest::addColumn<QString>("files");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("megabytes");
        QTest::newRow("bar in a name") << QStringList{"A|B.avi"} << "" << "A|B.avi" << "A|B" << "5";
        QTest::newRow("comma in a name") << QStringList{"Movie, The.avi"} << "" << "Movie, The.avi" << "Movie, The" << "5";
        QTest::newRow("several, the first name whole")
            << QStringList{"Movie, The.cd1.avi", "Movie, The.cd2.avi"} << ""
            << "Movie, The.cd1.avi, Movie, The.cd2.avi" << "Movie, The.cd1" << "10";
        QTest::newRow("names in the box split at a comma")
            << QStringList{"x.avi"} << "old, one.avi" << "old, one.avi, x.avi" << "old" << "5";
    }
    void fileChoice()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, filesBefore);
        QTemporaryDir dir;
        QStringList paths;
        for (const QString &name : names) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(5 * 1048576));
            paths << f.fileName();
        }
        frmMain w;
        frmAddCD ed(&w, &w);
        edit(&ed, "txtFiles")->setText(filesBefore);
        m_dialogs->openAnswers.push_back(paths);
        ed.cmdGetFiles_Click();
        QTEST(edit(&ed, "txtFiles")->text(), "files");
        QTEST(edit(&ed, "txtTitle")->text(), "title");
        QTEST(edit(&ed, "txtSize2")->text(), "megabytes");
        QCOMPARE(ed.probePath(), paths.first());
        m_dialogs->openAnswers.push_back({});
        ed.cmdGetFiles_Click(); // cancelled: nothing changes
        QTEST(edit(&ed, "txtFiles")->text(), "files");
    }

    void enterPressesTheFocusedButton_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("rowsAdded");
        QTest::addColumn<bool>("stillOpen");
        QTest::newRow("a text box") << "txtLocation" << 1 << false;
        QTest::newRow("OK") << "cmdOK" << 1 << false;
        QTest::newRow("Cancel") << "cmdCancel" << 0 << false;
        QTest::newRow("file choice") << "cmdGetFiles" << 0 << true;
        QTest::newRow("codec") << "cmdAddCodec" << 0 << true;
    }
    void enterPressesTheFocusedButton()
    {
        QFETCH(QString, focus);
        QFETCH(bool, stillOpen);
        frmMain w;
        w.show();
        if (focus == QLatin1String("cmdGetFiles"))
            m_dialogs->openAnswers.push_back({});
        if (focus == QLatin1String("cmdAddCodec"))
            m_prompts->expectInput(Texts::NewCodecPrompt, QString());
        bool open = false;
        m_modals->next([&](QWidget *ed) {
            edit(ed, "txtTitle")->setText(QStringLiteral("Typo"));
            QWidget *target = ed->findChild<QWidget *>(focus);
            target->setFocus();
            QTest::keyClick(target, Qt::Key_Return);
            open = ed->isVisible();
            if (open)
                ed->close();
        });
        w.cmdAdd_Click();
        QCOMPARE(open, stillOpen);
        QTEST(w.list().count(), "rowsAdded");
    }

    void longFieldsComeBackUntouched()
    {
        frmMain w;
        Movie m = movie("Long");
        m[FLocation] = QString(40000, u'L'); // past the 32,767 that text boxes cut at by default
        m[FFiles] = QString(33000, u'f');
        w.document().model()->setMovies({m});
        w.list().select(1);
        m_modals->next([](QWidget *ed) { child<QPushButton>(ed, "cmdOK")->click(); });
        w.cmdEdit_Click();
        QCOMPARE(w.document().model()->movie(0).f, m.f);
        // no box of either dialog cuts what it is given
        frmAddCD ed(&w, &w);
        frmConfig config({}, &w);
        for (QWidget *dialog : {static_cast<QWidget *>(&ed), static_cast<QWidget *>(&config)})
            for (QLineEdit *box : dialog->findChildren<QLineEdit *>()) {
                box->setText(m[FLocation]);
                QVERIFY2(box->text() == m[FLocation], qPrintable(box->objectName()));
            }
    }

    void aClickDuringTheAutoSaveDoesNothing()
    {
        QList<Movie> rows;
        for (int i = 0; i < 20; ++i)
            rows << movie(QStringLiteral("M%1").arg(i));
        const QString page = m_dir.filePath(QStringLiteral("auto.html"));
        QFile f(page);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(PageWriter::page(QStringLiteral("Auto"), rows, PageSettings()));
        f.close();
        frmMain w;
        QVERIFY(w.document().read(page));
        w.show();
        AutoSaveFlag = true;
        m_modals->next([&](QWidget *ed) {
            edit(ed, "txtTitle")->setText(QStringLiteral("Added"));
            auto *ok = child<QPushButton>(ed, "cmdOK");
            // a second click that lands while the list is being written
            QTimer::singleShot(0, ok, [ok] { QTest::mouseClick(ok, Qt::LeftButton); });
            QTest::mouseClick(ok, Qt::LeftButton);
        });
        w.cmdAdd_Click();
        AutoSaveFlag = false;
        QCOMPARE(w.list().count(), 21);
        QVERIFY(!w.document().isModified());
        QCOMPARE(readPageFile(page).movies.size(), 21);
    }

    // ---- the resolution probe ----

    void probeResults()
    {
        QDir(m_dir.path()).mkdir(QStringLiteral("with blanks"));
        const QString avi = m_dir.filePath(QStringLiteral("with blanks/clip, one.avi")); // a comma is no separator
        const QString mpg = m_dir.filePath(QStringLiteral("clip.mpg"));
        const QString wav = m_dir.filePath(QStringLiteral("sound.avi"));
        const QString text = m_dir.filePath(QStringLiteral("text.avi"));
        QVERIFY(test::makeVideo(avi, "avi", 640, 272));
        QVERIFY(test::makeVideo(mpg, "mpeg", 352, 240));
        QVERIFY(test::makeAudioOnly(wav));
        QFile t(text);
        QVERIFY(t.open(QIODevice::WriteOnly));
        t.write("This is not a movie at all.\n");
        t.close();

        ProbeRunner runner;
        QCOMPARE(runner.run(avi, nullptr).text(), QStringLiteral("640x272"));
        QCOMPARE(runner.run(mpg, nullptr).text(), QStringLiteral("352x240"));
        QCOMPARE(runner.run(wav, nullptr).kind, ProbeResult::NoVideo);
        QCOMPARE(runner.run(text, nullptr).kind, ProbeResult::OpenFailed);
        QCOMPARE(runner.run(m_dir.filePath(QStringLiteral("gone.avi")), nullptr).kind, ProbeResult::NotFound);

        frmMain w;
        frmAddCD ed(&w, &w);
        ShowGetResWarningFlag = true;
        m_dialogs->openAnswers.push_back({avi});
        ed.cmdGetFiles_Click();
        m_prompts->expect(Texts::GetResWarning, Answer::No);
        ed.cmdGetDims_Click();
        QCOMPARE(edit(&ed, "txtResHor")->text(), QString());
        m_prompts->expect(Texts::GetResWarning, Answer::Yes);
        ed.cmdGetDims_Click();
        QCOMPARE(edit(&ed, "txtResHor")->text(), QStringLiteral("640"));
        QCOMPARE(edit(&ed, "txtResVer")->text(), QStringLiteral("272"));

        ShowGetResWarningFlag = false;
        const std::pair<QString, QString> failures[] = {
            {wav, Texts::probeNoDims(wav)},
            {text, Texts::probeOpenFailed(text)},
        };
        for (const auto &[chosen, message] : failures) {
            m_dialogs->openAnswers.push_back({chosen});
            ed.cmdGetFiles_Click();
            m_prompts->expect(message, Answer::Ok);
            ed.cmdGetDims_Click();
            QCOMPARE(edit(&ed, "txtResHor")->text(), QStringLiteral("640")); // fields change only on success
        }
        frmAddCD fresh(&w, &w);
        m_prompts->expect(QStringLiteral("File  not found!"), Answer::Ok); // nothing chosen yet
        fresh.cmdGetDims_Click();
        ShowGetResWarningFlag = true;
    }

    void aProbeThatDoesNotAnswerIsEnded()
    {
        ProbeRunner runner;
        runner.program = QStringLiteral("/bin/sh");
        runner.arguments = {QStringLiteral("-c"), QStringLiteral("sleep 30"), QStringLiteral("sh")};
        runner.timeLimitMs = 500;
        QElapsedTimer clock;
        clock.start();
        const ProbeResult r = runner.run(QStringLiteral("/dev/null"), nullptr);
        QCOMPARE(r.kind, ProbeResult::OpenFailed);
        QVERIFY(runner.ended);
        QVERIFY(clock.elapsed() < 5000);

        // Esc ends the wait at once
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        runner.timeLimitMs = 60000;
        QTimer::singleShot(200, [&] { QTest::keyClick(&window, Qt::Key_Escape); });
        clock.restart();
        QCOMPARE(runner.run(QStringLiteral("/dev/null"), &window).kind, ProbeResult::OpenFailed);
        QVERIFY(runner.ended);
        QVERIFY(clock.elapsed() < 5000);

        runner.program = QStringLiteral("/nonexistent/probe");
        QCOMPARE(runner.run(QStringLiteral("/dev/null"), nullptr).kind, ProbeResult::OpenFailed);
    }

    void theProbeIsNeverLookedUpOnPath()
    {
        QTemporaryDir bin, empty;
        const QString ran = bin.filePath(QStringLiteral("ran"));
        QFile impostor(bin.filePath(QStringLiteral("cinemork-list")));
        QVERIFY(impostor.open(QIODevice::WriteOnly));
        impostor.write("#!/bin/sh\ntouch '" + ran.toUtf8() + "'\necho 1x1\n");
        impostor.close();
        impostor.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toUtf8() + ':' + path);
        ProbeRunner runner;
        runner.program = companionProgramIn({empty.path()});
        const ProbeResult r = runner.run(QStringLiteral("/dev/null"), nullptr);
        qputenv("PATH", path);
        QCOMPARE(r.kind, ProbeResult::OpenFailed);
        QVERIFY(!QFile::exists(ran));
        QCOMPARE(companionProgram(), QCoreApplication::applicationDirPath() + QStringLiteral("/cinemork-list"));
    }
};

QTEST_MAIN(tst_editor)
#include "tst_editor.moc"
