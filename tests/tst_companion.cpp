#include <QtTest>
class tst_companion : public QObject { Q_OBJECT private slots: void none(){} };
QTEST_MAIN(tst_companion)
#include "tst_companion.moc"
