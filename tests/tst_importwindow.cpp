#include "importsamples.h"
#include "main/frmmain.h"
#include "main/frmreview.h"
#include "main/importflow.h"
#include "windowsupport.h"

#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace cinemork;

class tst_importwindow : public test::WindowTest
{
    Q_OBJECT
    QTemporaryDir m_tmp;

private slots:
    // With no list open the movies start a new one; a CSV file of another header asks for its columns,
    // from the keyboard, and the choice is offered again for the same header. A GCstar collection into that
    // list then: the review shows Alien catalogued and unticked, and Brazil goes in.
    void importIntoANewListThenIntoIt()
    {
        const QString csv = test::makeFile(m_tmp.filePath(QStringLiteral("mine.csv")), 0, "Jahr,Film\n1979,Alien\n");
        frmMain window;
        for (int round = 0; round < 2; ++round) {
            std::function<void(QWidget *)> answer = [&, round](QWidget *dialog) {
                if (dialog->objectName() == QLatin1String("dlgImportProgress")) { // still reading: wait on
                    m_fakes->modals.next(answer);
                    return;
                }
                QCOMPARE(dialog->objectName(), QStringLiteral("frmCsvColumns"));
                auto *title = child<QComboBox>(dialog, "cboColumn0");
                auto *year = child<QComboBox>(dialog, "cboColumn1");
                if (round == 0) {
                    QCOMPARE(title->currentText(), QStringLiteral("(none)"));
                    title->setCurrentIndex(2); // Film
                    year->setCurrentIndex(1);  // Jahr
                } else {
                    QCOMPARE(title->currentText(), QStringLiteral("Film")); // remembered
                }
                QTest::keyClick(dialog, Qt::Key_Return);
            };
            m_fakes->modals.next(answer);
            ImportFlow flow(&window, &window.commands());
            connect(&flow, &ImportFlow::reviewOpened, this, [&](frmReview *review) {
                QTimer::singleShot(0, review, [&, review] {
                    round == 0 ? child<QPushButton>(review, "cmdAdd")->click() : review->reject();
                });
            });
            QCOMPARE(flow.run(csv), round == 0);
        }
        QCOMPARE(test::titles(window.document().movies()), (QStringList{"Alien (1979)"}));
        QCOMPARE(window.document().title(), QStringLiteral("Untitled"));

        const QString gcs = test::makeFile(m_tmp.filePath(QStringLiteral("films.gcs")), 0, test::GcstarSample);
        ImportFlow flow(&window, &window.commands());
        QStringList listed;
        connect(&flow, &ImportFlow::reviewOpened, this, [&](frmReview *review) {
            QTimer::singleShot(0, review, [&, review] {
                QTableWidget *table = review->table();
                for (int r = 0; r < table->rowCount(); ++r)
                    listed << table->item(r, 0)->text() + u'|' + table->item(r, 6)->text() + u'|'
                            + QString::number(table->item(r, 0)->checkState());
                child<QPushButton>(review, "cmdAdd")->click();
            });
        });
        QVERIFY(flow.run(gcs));
        QCOMPARE(listed,
                 (QStringList{"Alien (1979)|already catalogued as \u201CAlien (1979)\u201D|0", "Brazil (1985)||2"}));
        QCOMPARE(test::titles(window.document().movies()), (QStringList{"Alien (1979)", "Brazil (1985)"}));
    }
};

QTEST_MAIN(tst_importwindow)
#include "tst_importwindow.moc"
