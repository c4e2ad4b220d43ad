#include "controls/CmbClaveDescrip.h"
#include "controls/TextoMultilinea.h"
#include "support/BaseDePrueba.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

// A combo on a table of keys and descriptions of the test's own.
struct Combo {
    Combo() {
        k.ejecuta(QStringLiteral("create table zonas (clave varchar(5), nombre varchar(20))"));
        k.ejecuta(QStringLiteral("insert into zonas values ('7', 'Norte'), ('8', 'Sur')"));
        combo.estableceConexion(&k);
        combo.resize(120, 40);
        combo.show();
        QApplication::setActiveWindow(&combo);
        activo = QTest::qWaitForWindowActive(&combo);
    }
    QStringList entradas() const {
        QStringList r;
        for (int i = 0; i < combo.ListCount(); ++i)
            r << combo.combo()->itemText(i);
        return r;
    }
    void con(const QStringList& lista) {
        combo.Clear();
        combo.combo()->addItems(lista);
        combo.QuitaSeleccion();
    }
    BaseDePrueba base;
    Conexion& k = base.kelmar();
    CmbClaveDescrip combo;
    bool activo = false;
};

const QString porClave = QStringLiteral("select clave, nombre from zonas order by clave");

} // namespace

class TstControlesDeDatos : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The fills, each with what it adds; then the selection and the typing.
    void llenadoSeleccionYTecleo() {
        Combo c;
        // Each fill adds to what the list holds.
        c.combo.LLenaCmbClaveDescrip(porClave);
        c.combo.LLenaCmbClaveDescrip(porClave);
        QCOMPARE(c.entradas(), QStringList({"7 Norte", "8 Sur", "7 Norte", "8 Sur"}));
        QVERIFY(c.combo.Claves().isEmpty());

        c.combo.LLenaCmbDescripClave(porClave);
        c.combo.LLenaCmbDescripClave(porClave);
        QCOMPARE(c.entradas(), QStringList({"Norte - 7", "Sur - 8"}));
        QCOMPARE(c.combo.Claves(), QStringList({"7", "8", ""}));

        // A null is empty text in the two-column fills, and an error in the one-column fill.
        c.k.ejecuta(QStringLiteral("insert into zonas values ('9', null)"));
        c.combo.LLenaCmbDescripClave(porClave);
        QCOMPARE(c.entradas().constLast(), QStringLiteral(" - 9"));
        c.combo.Clear();
        c.combo.LlenaCmbConUnDato(
            QStringLiteral("select nombre from zonas where nombre is not null order by 1"));
        QCOMPARE(c.entradas(), QStringList({"Norte", "Sur"}));
        QCOMPARE(errorDe([&] {
                     c.combo.LlenaCmbConUnDato(QStringLiteral("select nombre from zonas order by clave"));
                 }).numero(),
                 94);
        // A statement the server refuses reaches the caller, and so does a missing connection.
        QCOMPARE(
            errorDe([&] { c.combo.LlenaCmbConUnDato(QStringLiteral("select x from ninguna")); }).numero(),
            CodigoDeError::Sentencia);
        CmbClaveDescrip sinConexion;
        const ErrorDeEjecucion e = errorDe([&] { sinConexion.LLenaCmbClaveDescrip(porClave); });
        QCOMPARE(e.numero(), CodigoDeError::Interno);
        QVERIFY(e.descripcion().contains(QStringLiteral("conexión")));

        // Choosing by the key on the left or on the right, and by position.
        QSignalSpy clics(&c.combo, &CmbClaveDescrip::Click);
        c.con({"10 A", "10 B", "20 C"});
        c.combo.EstableceElemento(QStringLiteral("10"), 2);
        QCOMPARE(c.combo.Text(), QStringLiteral("10 B"));
        c.combo.EstableceElemento(QStringLiteral("30"), 2);
        QCOMPARE(c.combo.ListIndex(), 1);
        QCOMPARE(c.combo.Clave(2), QStringLiteral("10"));
        QCOMPARE(c.combo.Clave(200), QStringLiteral("10 B"));
        QCOMPARE(c.combo.ClaveDerecha(1), QStringLiteral("B"));

        c.con({"A - 10", "B - 10"});
        clics.clear();
        c.combo.EstableceElementoDerecha(QStringLiteral("10"), 2);
        QCOMPARE(c.combo.Text(), QStringLiteral("A - 10"));
        QCOMPARE(clics.size(), 1);
        c.combo.estableceListIndex(1);
        c.combo.estableceListIndex(-1);
        QCOMPARE(c.combo.Text(), QString());
        QCOMPARE(clics.size(), 3);

        // Typing completes from the list; a deletion is not completed again;
        // Escape is told to the form, once.
        QVERIFY(c.activo);
        c.con({"2010", "2011"});
        QSignalSpy escapes(&c.combo, &CmbClaveDescrip::KeyDown);
        QComboBox* cmb = c.combo.combo();
        cmb->setFocus();
        QTest::keyClick(cmb, Qt::Key_2);
        QCOMPARE(c.combo.Text(), QStringLiteral("2010"));
        QCOMPARE(cmb->lineEdit()->selectedText(), QStringLiteral("010"));
        QTest::keyClick(cmb, Qt::Key_Backspace);
        QCOMPARE(c.combo.Text(), QStringLiteral("2"));
        QTest::keyClicks(cmb, QStringLiteral("011"));
        QCOMPARE(c.combo.Text(), QStringLiteral("2011"));
        QCOMPARE(cmb->lineEdit()->selectedText(), QString());
        QTest::keyClick(cmb, Qt::Key_Escape);
        QCOMPARE(escapes.size(), 1);
        QCOMPARE(escapes.at(0).at(0).toInt(), 27);
    }

    // Typing or pasting past the maximum keeps what fits, before the cursor.
    void textoLargo() {
        TextoMultilinea t(10);
        t.setText(QStringLiteral("12345"));
        t.moveCursor(QTextCursor::Start);
        QApplication::clipboard()->setText(QStringLiteral("ñáéíóúxyz"));
        t.paste();
        QCOMPARE(t.text(), QStringLiteral("ñáéíó12345"));
    }
};

QTEST_MAIN(TstControlesDeDatos)
#include "tst_controlesdedatos.moc"
