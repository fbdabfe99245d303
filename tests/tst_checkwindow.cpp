#include "commands/listcommands.h"
#include "main/frmcheck.h"
#include "main/frmreview.h"
#include "windowsupport.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

using namespace cinemork;
using namespace cinemork::test;

class tst_CheckWindow : public WindowTest
{
    Q_OBJECT

    static constexpr qint64 MB = 1048576;

    static Movie listed(const QString &title, const QString &size, const QString &location, const QString &files)
    {
        Movie m = test::movie(title, size);
        m[FLocation] = location;
        m[FFiles] = files;
        return m;
    }

private slots:
    // The report as the check fills it, the list updated in one step and undone in one, the files not in
    // the list added through the scan's review, the report saved.
    void reportUpdateAndUndo()
    {
        QTemporaryDir dir;
        const QString root = dir.filePath(QStringLiteral("DISC7"));
        makeFile(root + QStringLiteral("/whole.avi"), 3 * MB);
        makeFile(root + QStringLiteral("/sized.avi"), 5 * MB);
        makeFile(root + QStringLiteral("/New Movie/extra.mkv"), 2 * MB);
        ListDocument doc;
        ListCommands commands(&doc);
        doc.newList();
        doc.importMovies({listed("Whole", "3\\1", "DISC7", "whole.avi"), listed("Sized", "2\\1", "Box B", "sized.avi"),
                          listed("Gone", "1\\1", "DISC7", "gone.avi")});
        const QList<Movie> before = doc.movies();

        frmCheck window(root, &commands, nullptr);
        QSignalSpy done(&window.job(), &CheckJob::finished);
        window.show();
        QVERIFY(done.wait(20000));
        auto *report = child<QTreeWidget>(&window, QStringLiteral("tvwReport"));
        QStringList statuses;
        for (int i = 0; i < report->topLevelItemCount(); ++i)
            statuses << report->topLevelItem(i)->text(0) + u'=' + report->topLevelItem(i)->text(1);
        QCOMPARE(statuses,
                 (QStringList{"Gone=missing", "Sized=size differs", "Whole=whole", "extra.mkv=not in the list"}));
        QCOMPARE(child<QLabel>(&window, QStringLiteral("lblSummary"))->text(),
                 QStringLiteral("1 movie whole, 1 missing, 1 with a size that differs, 1 file not in the list"));
        QVERIFY(!child<QPushButton>(&window, QStringLiteral("cmdCancel"))->isVisible());

        const QString saved = dir.filePath(QStringLiteral("report.csv"));
        QVERIFY(window.saveReport(saved));
        QCOMPARE(readFile(saved).count("\r\n"), 5);

        QTest::mouseClick(child<QPushButton>(&window, QStringLiteral("cmdUpdate")), Qt::LeftButton);
        QList<Movie> updated = before; // Gone, Sized, Whole: Sized as found, on this disc too
        updated[1][FSize] = QStringLiteral("5\\1");
        updated[1][FLocation] = QStringLiteral("Box B, DISC7");
        QCOMPARE(doc.movies(), updated);
        QVERIFY(!child<QPushButton>(&window, QStringLiteral("cmdUpdate"))->isEnabled());

        m_fakes->modals.next([](QWidget *review) {
            QVERIFY(qobject_cast<frmReview *>(review));
            QTest::mouseClick(child<QPushButton>(review, QStringLiteral("cmdAdd")), Qt::LeftButton);
        });
        QTest::mouseClick(child<QPushButton>(&window, QStringLiteral("cmdAddThese")), Qt::LeftButton);
        QVERIFY(doc.undo()); // the added movie
        QVERIFY(doc.undo()); // the update, in one step
        QCOMPARE(doc.movies(), before);
    }

    // Cancel ends the check at once, whatever is being read.
    void cancelEndsAtOnce()
    {
        QTemporaryDir dir;
        makeFile(dir.filePath(QStringLiteral("big.avi")), 4096 * MB);
        ListDocument doc;
        ListCommands commands(&doc);
        doc.newList();
        doc.addMovie(listed("Big", "4096\\1", "x", "big.avi"));
        frmCheck window(dir.path(), &commands, nullptr);
        QSignalSpy done(&window.job(), &CheckJob::finished);
        window.show();
        QTRY_VERIFY(window.job().progress().done > 0);
        QTest::mouseClick(child<QPushButton>(&window, QStringLiteral("cmdCancel")), Qt::LeftButton);
        QCOMPARE(done.size(), 1); // no wait for the read
        QCOMPARE(done.at(0).at(0).value<CheckJob::Outcome>(), CheckJob::Outcome::Cancelled);
        QVERIFY(!window.isVisible());
        QVERIFY(!window.job().running());
        QTRY_COMPARE(CheckJob::threadsRunning(), 0); // the read left behind ends on its own
    }
};

QTEST_MAIN(tst_CheckWindow)
#include "tst_checkwindow.moc"
