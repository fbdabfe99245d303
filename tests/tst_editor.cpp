#include <QtTest>
class tst_editor : public QObject { Q_OBJECT private slots: void none(){} };
QTEST_MAIN(tst_editor)
#include "tst_editor.moc"
