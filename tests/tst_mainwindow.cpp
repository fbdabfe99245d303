#include <QtTest>
class tst_mainwindow : public QObject { Q_OBJECT private slots: void none(){} };
QTEST_MAIN(tst_mainwindow)
#include "tst_mainwindow.moc"
