#include <QtTest>
class tst_config : public QObject { Q_OBJECT private slots: void none(){} };
QTEST_MAIN(tst_config)
#include "tst_config.moc"
