#include "controls/CajaDeFecha.h"
#include "controls/Cajas.h"
#include "controls/CmbClaveDescrip.h"
#include "controls/TextoMultilinea.h"
#include "support/BaseDePrueba.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

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
    // Tab leaves a date box for the next field and Shift+Tab comes back, from any of its
    // sections, instead of walking the day, month and year.
    void fechaSaleConTab() {
        QWidget ventana;
        auto* fecha = new CajaDeFecha(QDate(2011, 11, 18), &ventana);
        fecha->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        auto* siguiente = new QLineEdit(&ventana);
        ventana.show();
        QApplication::setActiveWindow(&ventana);
        fecha->setFocus();
        fecha->setCurrentSectionIndex(0);
        QTest::keyClick(fecha, Qt::Key_Tab);
        QVERIFY(siguiente->hasFocus());
        QTest::keyClick(siguiente, Qt::Key_Backtab);
        QVERIFY(fecha->hasFocus());
        QCOMPARE(fecha->date(), QDate(2011, 11, 18));
    }

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

    // Every kind of box takes only what can be stored: control characters go, typed or pasted, and
    // the rest of a paste stays; the limit counts code points and cuts whole characters as a reader
    // sees them, before the cursor, keeping the beginning of what was pasted.
    void loQueTomaUnaCaja_data() {
        QTest::addColumn<bool>("tecleado");
        QTest::addColumn<int>("maximo");
        QTest::addColumn<QString>("previo"); // with the cursor at its start
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("enUnaLinea");
        QTest::addColumn<QString>("enVarias");
        const QString controles = u"a"_s + QChar(0) + u"b"_s + QChar(1) + u"c"_s;
        QTest::newRow("NUL y U+0001 tecleados")
            << true << 10 << QString() << controles << u"abc"_s << u"abc"_s;
        QTest::newRow("NUL, U+0001, U+007F y U+0085 pegados")
            << false << 10 << QString() << controles + QChar(0x7f) + QChar(0x85) << u"abc"_s << u"abc"_s;
        QTest::newRow("saltos pegados")
            << false << 10 << QString() << u"a\nb\tc"_s << u"abc"_s << u"a\nb\tc"_s;
        QTest::newRow("medio carácter pegado")
            << false << 10 << QString() << u"a"_s + QChar(0xd83d) + u"b"_s << u"ab"_s << u"ab"_s;
        QTest::newRow("emoji justo en el límite")
            << false << 3 << QString() << u"ab😀"_s << u"ab😀"_s << u"ab😀"_s;
        // A family is five code points joined: none of it enters where four fit.
        const QString familia = u"👨\u200d👩\u200d👧"_s;
        QTest::newRow("familia que no cabe")
            << false << 6 << QString() << u"ab"_s + familia << u"ab"_s << u"ab"_s;
        QTest::newRow("familia que cabe")
            << false << 7 << QString() << u"ab"_s + familia << u"ab"_s + familia << u"ab"_s + familia;
        QTest::newRow("acento combinado que no cabe")
            << false << 3 << QString() << u"abe\u0301"_s << u"ab"_s << u"ab"_s;
        QTest::newRow("pegado antes de lo escrito")
            << false << 10 << u"12345"_s << u"ñáéíóúxyz"_s << u"ñáéíó12345"_s << u"ñáéíó12345"_s;
        QTest::newRow("pegado de 100000")
            << false << 10 << QString() << QString(100000, u'x') << u"xxxxxxxxxx"_s << u"xxxxxxxxxx"_s;
    }
    void loQueTomaUnaCaja() {
        QFETCH(bool, tecleado);
        QFETCH(int, maximo);
        QFETCH(QString, previo);
        QFETCH(QString, texto);
        QFETCH(QString, enUnaLinea);
        QFETCH(QString, enVarias);
        QLineEdit linea;
        Cajas::limita(&linea, maximo);
        QComboBox lista;
        lista.setEditable(true);
        Cajas::limita(&lista, maximo);
        TextoMultilinea varias(maximo);
        const struct {
            QWidget* caja;
            std::function<void()> pega;
            std::function<QString()> texto;
            QString queda;
        } cajas[] = {
            {&linea, [&] { linea.paste(); }, [&] { return linea.text(); }, enUnaLinea},
            {&lista, [&] { lista.lineEdit()->paste(); }, [&] { return lista.currentText(); }, enUnaLinea},
            {&varias, [&] { varias.paste(); }, [&] { return varias.text(); }, enVarias},
        };
        linea.setText(previo);
        linea.setCursorPosition(0);
        lista.setEditText(previo);
        lista.lineEdit()->setCursorPosition(0);
        varias.setText(previo);
        varias.moveCursor(QTextCursor::Start);
        QApplication::clipboard()->setText(texto);
        for (const auto& c : cajas) {
            if (tecleado)
                // One key per character, as a keyboard or an input method sends them.
                for (const char32_t k : texto.toUcs4())
                    QTest::sendKeyEvent(QTest::Click, c.caja, Qt::Key_unknown, QString::fromUcs4(&k, 1),
                                        Qt::NoModifier);
            else
                c.pega();
            QCOMPARE(c.texto(), c.queda);
        }
    }
};

QTEST_MAIN(TstControlesDeDatos)
#include "tst_controlesdedatos.moc"
