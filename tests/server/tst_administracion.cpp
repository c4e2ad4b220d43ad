#include <QTest>
class T : public QObject { Q_OBJECT private Q_SLOTS: void vacio() {} };
QTEST_MAIN(T)
#include "tst_administracion.moc"
