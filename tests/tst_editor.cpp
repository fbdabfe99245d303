#include "editor/editorlogic.h"
#include "moviefiles/moviefiles.h"
#include "editor/frmaddcd.h"
#include "listfile/pagereader.h"
#include "listfile/pagewriter.h"
#include "main/frmmain.h"
#include "platform/qtdialogs.h"
#include "editor/editortexts.h"
#include "commands/commandtexts.h"
#include "settings/frmconfig.h"
#include "settings/modregistry.h"
#include "testsupport.h"
#include "windowsupport.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

using namespace cinemork;
using namespace Qt::StringLiterals;
using test::movie;

class tst_editor : public test::WindowTest
{
    Q_OBJECT

    QTemporaryDir m_dir;

    static QLineEdit *edit(QObject *o, const char *name) { return child<QLineEdit>(o, name); }
    static QComboBox *combo(QObject *o, const char *name) { return child<QComboBox>(o, name); }

private slots:
    void okAddsAndEdits()
    {
        frmMain w;
        w.document().model()->setMovies({movie("Zelig"), movie("alien")});
        w.list().headerClicked(2); // sorted by size
        {
            frmAddCD ed(&w, &w);
            QVERIFY(!child<QPushButton>(&ed, "cmdGetDims")->isHidden());
            for (const auto &[box, text] : {std::pair{"txtTitle", "Brazil"},
                                            {"txtSize2", "700"},
                                            {"txtResHor", "640"},
                                            {"txtResVer", "272"},
                                            {"txtLocation", "Box 2"},
                                            {"txtFiles", "Brazil.avi"},
                                            {"txtImdbLink", "www.imdb.com/title/tt0088846/"}})
                edit(&ed, box)->setText(QString::fromLatin1(text));
            combo(&ed, "cboType")->setCurrentIndex(4);
            child<QCheckBox>(&ed, "chkSeenIt")->setChecked(true);
            ed.cmdOK_Click();
        }
        QCOMPARE(test::titles(w.document().movies()),
                 (QStringList{"alien", "Brazil", "Zelig"})); // sorted by title again
        QCOMPARE(w.list().selectedShownRow(), 1);
        const Movie added = w.document().model()->movie(1);
        QCOMPARE(added.f,
                 (std::array<QString, 9>{"Brazil", "700\\1", "640x272", "DivX", "Cam", "yes", "Box 2", "Brazil.avi",
                                         "http://www.imdb.com/title/tt0088846/"}));
        QCOMPARE(added.icon, 3); // Cam by the editor's table

        // editing fills every box by the split rules, and OK rewrites the row
        const Movie m{
            {"Solaris", "1400\\2", "512", "XviD", "SVCD", "Yes", {}, {}, "https://www.imdb.com/title/tt0069293/"}, 4};
        w.document().model()->setMovies({movie("Alien"), m});
        w.list().select(1);
        QStringList seen;
        m_fakes->modals.next([&](QWidget *ed) {
            seen << ed->windowTitle() << edit(ed, "txtResHor")->text() << edit(ed, "txtResVer")->text()
                 << edit(ed, "txtSize2")->text() << edit(ed, "txtSize1")->text() << combo(ed, "cboCodec")->currentText()
                 << QString::number(combo(ed, "cboCodec")->count()) << combo(ed, "cboType")->currentText()
                 << QString::number(child<QCheckBox>(ed, "chkSeenIt")->isChecked())
                 << QString::number(child<QPushButton>(ed, "cmdGetDims")->isHidden());
            edit(ed, "txtTitle")->setText(QStringLiteral("Solaris (1972)"));
            child<QPushButton>(ed, "cmdOK")->click();
        });
        w.cmdEdit_Click();
        QCOMPARE(seen, (QStringList{"Edit movie", "", "512", "1400", "2", "XviD", "5", "SVCD", "0", "1"}));
        const Movie edited = w.document().model()->movie(1);
        QCOMPARE(edited[FTitle], QStringLiteral("Solaris (1972)"));
        QCOMPARE(edited[FSeenit], QStringLiteral("no"));
        QCOMPARE(edited[FRes], QString()); // one part missing
        QCOMPARE(edited[FImdb], m[FImdb]); // its scheme kept
    }

    void okInEditModeWithoutASelectedRowChangesNothing()
    {
        frmMain w;
        w.document().model()->setMovies({movie("Alien")});
        w.list().select(0);
        m_fakes->modals.next([&](QWidget *ed) {
            w.list().view()->selectionModel()->clear(); // the selection went while the editor was open
            edit(ed, "txtTitle")->setText(QStringLiteral("Ghost"));
            child<QPushButton>(ed, "cmdOK")->click();
        });
        w.cmdEdit_Click();
        QCOMPARE(test::titles(w.document().movies()), QStringList{"Alien"});
        QVERIFY(!w.document().isModified());
    }

    void linksAndSearches()
    {
        QCOMPARE(normaliseLink(QStringLiteral("HTTP://WWW.IMDB.COM/title/tt1/")), "HTTP://WWW.IMDB.COM/title/tt1/");
        QCOMPARE(normaliseLink(QString()), QString());
        frmMain w;
        frmAddCD ed(&w, &w);
        edit(&ed, "txtTitle")->setText(QStringLiteral("Heat (1995)"));
        ed.cmdGetImdb_Click();
        QCOMPARE(m_fakes->shell.opened, QStringList{"http://www.imdb.com/Find?for=Heat%20%281995%29"});
        // the browser gets the address as built; only a bare "%", which no address may hold, is escaped
        QCOMPARE(webAddress(searchAddress(QStringLiteral("100% Love"))).toEncoded(),
                 "http://www.imdb.com/Find?for=100%25%20Love");
        QCOMPARE(webAddress(searchAddress(QStringLiteral("50%"))).toEncoded(), "http://www.imdb.com/Find?for=50%25");
        QCOMPARE(webAddress(searchAddress(u"Am\u00e9lie"_s)).toEncoded(), "http://www.imdb.com/Find?for=Am%C3%A9lie");
    }

    void addingCodecsAndTypes()
    {
        frmMain w;
        frmAddCD ed(&w, &w);
        auto *codec = combo(&ed, "cboCodec");
        m_fakes->prompts.expectInput(Texts::NewCodecPrompt, QStringLiteral("DivX"));
        ed.cmdAddCodec_Click();
        QCOMPARE(m_fakes->prompts.defaults.last(), QStringLiteral("DivX"));
        QCOMPARE(codec->currentIndex(), 4);
        m_fakes->prompts.expectInput(Texts::NewCodecPrompt, QString());
        ed.cmdAddCodec_Click();
        QCOMPARE(codec->count(), 5);
        m_fakes->prompts.expectInput(Texts::NewTypePrompt, QStringLiteral("Cam"));
        ed.cmdAddType_Click();
        QCOMPARE(m_fakes->prompts.captions.last(), QStringLiteral("New movie type"));
        QCOMPARE(iconForTypeIndex(combo(&ed, "cboType")->currentIndex()), 5); // the icon follows the position
    }

    void dialogsOpenCentredOnTheScreen()
    {
        frmMain w;
        w.move(0, 0);
        w.show();
        const QRect screen = w.screen()->availableGeometry();
        const auto centred = [&](QWidget &form) {
            const QPoint off = form.frameGeometry().center() - screen.center();
            return qAbs(off.x()) <= 4 && qAbs(off.y()) <= 4; // the frame's own rounding aside
        };
        frmAddCD ed(&w, &w);
        ed.show();
        frmConfig config({}, &w);
        config.show();
        QVERIFY(centred(ed) && centred(config)); // not over the main window at the screen's corner
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

    void fileChoice_data()
    {
        QTest::addColumn<QStringList>("names");  // chosen, each "name=bytes"
        QTest::addColumn<QStringList>("before"); // files, title, MB, type index
        QTest::addColumn<QStringList>("after");  // files, title, MB, codec, type
        const auto row = [](const char *name, const char *names, const char *before, const char *after) {
            const auto parts = [](const char *list) { return QString::fromUtf8(list).split(u';'); };
            QTest::newRow(name) << parts(names) << parts(before) << parts(after);
        };
        row("one file", "Heat.avi=735051775", ";;;0", "Heat.avi;Heat;700;DivX;DVD Rip");
        row("parts summed, rounded down once", "cd1.mpg=1677721;cd2.mpg=1677721", ";;;0",
            "cd1.mpg, cd2.mpg;cd1;3;MPEG;VCD");
        row("more, 64-bit sizes", "extra.avi=3221225472", "cd1.mpg, cd2.mpg;;1.5;0",
            "cd1.mpg, cd2.mpg, extra.avi;cd1;3074;MPEG;VCD");
        row("capitals", "LOUD.MPG=10", ";;;0", "LOUD.MPG;LOUD;0;MPEG;VCD");
        row("a chosen type: no guess", "x.asf=10", ";;;5", "x.asf;x;0;DivX;VHS Rip");
        row("a typed title stays", "y.rm=10", ";Mine;;0", "y.rm;Mine;0;DivX;DVD Rip");
        row("bar in a name", "A|B.avi=5242880", ";;;0", "A|B.avi;A|B;5;DivX;DVD Rip");
        row("several, the first name whole, commas and all", "Movie, The.cd1.avi=1;Movie, The.cd2.avi=1", ";;;0",
            "Movie, The.cd1.avi, Movie, The.cd2.avi;Movie, The.cd1;0;DivX;DVD Rip");
        row("names in the box split at a comma", "x.mpg=1", "old, one.avi;;;0",
            "old, one.avi, x.mpg;old;0;DivX;DVD Rip");
    }
    void fileChoice()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QTemporaryDir dir;
        QStringList paths;
        for (const QString &n : names) {
            QFile f(dir.filePath(n.section(u'=', 0, 0)));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(n.section(u'=', 1).toLongLong())); // sparse: no disk
            paths << f.fileName();
        }
        frmMain w;
        frmAddCD ed(&w, &w);
        edit(&ed, "txtFiles")->setText(before[0]);
        edit(&ed, "txtTitle")->setText(before[1]);
        edit(&ed, "txtSize2")->setText(before[2]);
        combo(&ed, "cboType")->setCurrentIndex(before[3].toInt());
        m_fakes->dialogs.openAnswers.push_back(paths);
        ed.cmdGetFiles_Click();
        QCOMPARE(
            (QStringList{edit(&ed, "txtFiles")->text(), edit(&ed, "txtTitle")->text(), edit(&ed, "txtSize2")->text(),
                         combo(&ed, "cboCodec")->currentText(), combo(&ed, "cboType")->currentText()}),
            after);
        QCOMPARE(ed.probePath(), paths.first());
        m_fakes->dialogs.openAnswers.push_back({});
        ed.cmdGetFiles_Click(); // cancelled: nothing changes
        QCOMPARE(edit(&ed, "txtFiles")->text(), after[0]);
    }

    void megabyteArithmetic()
    {
        const std::tuple<const char *, quint64, const char *> sums[] = {
            {"1.5", 700, "702"}, {"2.5", 700, "702"}, {"3.5", 0, "4"},          {" 1 2 MB", 1, "13"},
            {"abc", 5, "5"},     {"", 5, "5"},        {"40000", 3072, "43072"}, // past 32,767
        };
        for (const auto &[field, mb, sum] : sums)
            QCOMPARE(addMegabytes(QString::fromLatin1(field), mb), QString::fromLatin1(sum));
    }

    void enterPressesTheFocusedButton_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("rowsAdded");
        QTest::addColumn<bool>("stillOpen");
        QTest::newRow("a text box") << "txtLocation" << 1 << false;
        QTest::newRow("Cancel") << "cmdCancel" << 0 << false;
        QTest::newRow("file choice") << "cmdGetFiles" << 0 << true;
    }
    void enterPressesTheFocusedButton()
    {
        QFETCH(QString, focus);
        QFETCH(bool, stillOpen);
        frmMain w;
        w.show();
        if (focus == QLatin1String("cmdGetFiles"))
            m_fakes->dialogs.openAnswers.push_back({});
        bool open = false;
        m_fakes->modals.next([&](QWidget *ed) {
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

    // No box of either dialog, nor an input box, cuts what it is given at the 32,767 that Qt's boxes cut at by
    // default. A screen reader names every box by its label and every small button by what it does.
    void boxesTakeLongTextsAndAreNamedForScreenReaders()
    {
        const QString text(40000, u'L');
        frmMain w;
        frmAddCD ed(&w, &w);
        frmConfig config({}, &w);
        for (QWidget *dialog : {static_cast<QWidget *>(&ed), static_cast<QWidget *>(&config)})
            for (QLineEdit *box : dialog->findChildren<QLineEdit *>()) {
                box->setText(text);
                QVERIFY2(box->text() == text, qPrintable(box->objectName()));
            }
        m_fakes->modals.next([](QWidget *modal) { static_cast<QDialog *>(modal)->accept(); });
        QCOMPARE(QtPrompter().input(nullptr, Texts::ChangeTitleCaption, Texts::ChangeTitlePrompt, text), text);

        // one of each way of naming: a label's buddy, a name of its own, a drop-down list's label, the filter's
        const std::pair<QWidget *, const char *> named[] = {{&ed, "txtTitle=Title:"},
                                                            {&ed, "txtSize1=CD(s)"},
                                                            {&ed, "txtResHor=Resolution:"},
                                                            {&ed, "txtResVer=Resolution: height"},
                                                            {&ed, "cboCodec=Codec:"},
                                                            {&ed, "cmdGetFiles=Choose the movie's files"},
                                                            {&config, "txtUserCSS=User-defined CSS header:"},
                                                            {&config, "txtColWidth0=Title: width"},
                                                            {&w, "txtFind=Find:"}};
        for (const auto &[dialog, pair] : named) {
            const QString name = QString::fromUtf8(pair).section(u'=', 0, 0);
            QWidget *widget = dialog->findChild<QWidget *>(name);
            QVERIFY2(widget, pair);
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(widget);
            QVERIFY2(a, pair);
            QString heard = a->text(QAccessible::Name);
            if (qobject_cast<QComboBox *>(widget)) // here a drop-down list's name is its choice; its label is related
                for (const auto &[other, relation] : a->relations(QAccessible::Label))
                    if (other->role() == QAccessible::StaticText) // not the frame around it
                        heard = other->text(QAccessible::Name);
            QCOMPARE(name + u'=' + heard, QString::fromUtf8(pair));
        }
        QCOMPARE(ed.findChild<QPushButton *>(QStringLiteral("cmdGetFiles"))->text(), QStringLiteral("..")); // as shown
    }

    void aClickDuringTheAutoSaveDoesNothing()
    {
        QList<Movie> rows;
        for (int i = 0; i < 20; ++i)
            rows << movie(QStringLiteral("M%1").arg(i));
        const QString page = test::writePage(m_dir.filePath(QStringLiteral("auto.html")), rows, QStringLiteral("Auto"));
        frmMain w;
        QVERIFY(w.commands().read(page));
        w.show();
        AutoSaveFlag = true;
        m_fakes->modals.next([&](QWidget *ed) {
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
        // a comma and blanks in the path are no separators
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("with blanks")));
        const QString avi = m_dir.filePath(QStringLiteral("with blanks/clip, one.avi"));
        const QString data = QStringLiteral(CINEMORK_TESTDATA "/");
        QVERIFY(QFile::copy(data + QStringLiteral("clip-640x272.avi"), avi));
        const QString sound = data + QStringLiteral("sound-only.avi"), text = data + QStringLiteral("README");
        frmMain w;
        frmAddCD ed(&w, &w);
        m_fakes->dialogs.openAnswers.push_back({avi});
        ed.cmdGetFiles_Click();
        m_fakes->prompts.expect(Texts::GetResWarning, Answer::No);
        ed.cmdGetDims_Click();
        QCOMPARE(edit(&ed, "txtResHor")->text(), QString());
        m_fakes->prompts.expect(Texts::GetResWarning, Answer::Yes);
        ed.cmdGetDims_Click();
        QCOMPARE(edit(&ed, "txtResHor")->text() + u'x' + edit(&ed, "txtResVer")->text(), QStringLiteral("640x272"));

        ShowGetResWarningFlag = false;
        const std::pair<QString, QString> failures[] = {
            {sound, Texts::probeNoDims(sound)},
            {text, Texts::probeOpenFailed(text)},
        };
        for (const auto &[chosen, message] : failures) {
            m_fakes->dialogs.openAnswers.push_back({chosen});
            ed.cmdGetFiles_Click();
            m_fakes->prompts.expect(message, Answer::Ok);
            ed.cmdGetDims_Click();
            QCOMPARE(edit(&ed, "txtResHor")->text(), QStringLiteral("640")); // fields change only on success
        }
        frmAddCD fresh(&w, &w);
        m_fakes->prompts.expect(QStringLiteral("File  not found!"), Answer::Ok); // nothing chosen yet
        fresh.cmdGetDims_Click();
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
    }

    void theProbeIsNeverLookedUpOnPath()
    {
        QTemporaryDir bin, empty;
        const QString ran = bin.filePath(QStringLiteral("ran"));
        const QString impostor = bin.filePath(QStringLiteral("cinemork-list"));
        QVERIFY(test::writeFile(impostor, "#!/bin/sh\ntouch '" + ran.toUtf8() + "'\necho 1x1\n"));
        QFile::setPermissions(impostor, QFile::ReadOwner | QFile::ExeOwner);
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
