#include <QTest>
class Tst : public QObject { Q_OBJECT private slots: void nothing() {} };
QTEST_GUILESS_MAIN(Tst)
#include "tst_mainwindow.moc"
