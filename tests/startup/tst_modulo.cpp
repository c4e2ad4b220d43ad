#include "CajaDeMensajes.h"
#include "CajaGuionada.h"
#include "Modulo.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using Caja = CajaDeMensajes;

namespace {
// Presses a key in the next real message box once it stands.
void pulsaEnLaCaja(Qt::Key tecla) {
    QTimer::singleShot(0, [tecla] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            pulsaEnLaCaja(tecla);
            return;
        }
        QTest::keyClick(modal, tecla);
    });
}

struct ComboConCompletado {
    explicit ComboConCompletado(const QStringList& entradas) {
        combo.setEditable(true);
        combo.setCompleter(nullptr);
        combo.addItems(entradas);
        combo.setCurrentIndex(-1);
        QObject::connect(&combo, &QComboBox::editTextChanged, &combo,
                         [this] { Modulo::AutoCompletaCombo(&combo, borrando); });
    }
    QString seleccionado() const { return combo.lineEdit()->selectedText(); }
    QComboBox combo;
    bool borrando = false;
};
} // namespace

class TstModulo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cajas() {
        CajaGuionada caja;
        Modulo::NickUsuario = QStringLiteral("Lupita");

        Modulo::MensajeDeError(QStringLiteral("mal"));
        QCOMPARE(caja.ultima().icono, Caja::Icono::Critico);
        QCOMPARE(caja.ultima().titulo, QStringLiteral("TaLoREN"));
        QCOMPARE(caja.ultima().botones, Caja::Botones(Caja::Aceptar));
        Modulo::MensajeInformativo(QStringLiteral("dato"));
        QCOMPARE(caja.ultima().icono, Caja::Icono::Informacion);
        QCOMPARE(caja.ultima().texto, QStringLiteral("dato"));

        caja.responde(Caja::Si);
        QCOMPARE(Modulo::ConfirmaSiNo(QStringLiteral("¿Seguro?")), QStringLiteral("SI"));
        QCOMPARE(caja.ultima().icono, Caja::Icono::Pregunta);
        QCOMPARE(caja.ultima().botones, Caja::Si | Caja::No);
        QCOMPARE(caja.ultima().porDefecto, Caja::Si);
        caja.responde(Caja::No);
        QCOMPARE(Modulo::ConfirmaSiNo(QStringLiteral("¿Seguro?")), QStringLiteral("NO"));

        const struct {
            Caja::Boton respuesta;
            const char* salida;
        } salidas[] = {{Caja::Si, "Impresora"}, {Caja::No, "Pantalla"}, {Caja::Cancelar, "Cancelar"}};
        for (const auto& s : salidas) {
            caja.responde(s.respuesta);
            QCOMPARE(Modulo::EligeSalidaDeReporte(), QString::fromLatin1(s.salida));
        }
        QCOMPARE(caja.ultima().botones, Caja::Si | Caja::No | Caja::Cancelar);
        QCOMPARE(caja.ultima().icono, Caja::Icono::Informacion);
        QVERIFY(caja.ultima().texto.startsWith(QStringLiteral("Lupita\r\rElige SI para enviar el reporte")));
        QCOMPARE(caja.sinRespuesta(), 0);
    }

    // The real boxes: Escape answers as the routines promise.
    void escapeEnCajasReales() {
        CajaDeMensajes::establece(nullptr);
        pulsaEnLaCaja(Qt::Key_Escape);
        QCOMPARE(Modulo::EligeSalidaDeReporte(), QStringLiteral("Cancelar"));
        pulsaEnLaCaja(Qt::Key_Escape);
        QCOMPARE(Modulo::ConfirmaSiNo(QStringLiteral("¿Continuar?")), QStringLiteral("NO"));
        pulsaEnLaCaja(Qt::Key_Return);
        QCOMPARE(Modulo::ConfirmaSiNo(QStringLiteral("¿Continuar?")), QStringLiteral("SI"));
    }

    void horas() {
        QComboBox combo;
        Modulo::LlenaCmbHoras(&combo);
        QCOMPARE(combo.count(), 39);
        QCOMPARE(combo.currentIndex(), -1);
        QCOMPARE(combo.itemText(0), QStringLiteral("SinHr"));
        QCOMPARE(combo.itemText(1), QStringLiteral("05:00"));
        QCOMPARE(combo.itemText(2), QStringLiteral("05:30"));
        QCOMPARE(combo.itemText(10), QStringLiteral("09:30"));
        QCOMPARE(combo.itemText(38), QStringLiteral("23:30"));
        Modulo::LlenaCmbHoras(&combo);
        QCOMPARE(combo.count(), 78);
        QCOMPARE(combo.itemText(39), QStringLiteral("SinHr"));

        QComboBox editable;
        editable.setEditable(true);
        Modulo::LlenaCmbHoras(&editable);
        QCOMPARE(editable.currentIndex(), -1);
        QCOMPARE(editable.currentText(), QString());
    }

    void autoCompletado_data() {
        QTest::addColumn<QStringList>("entradas");
        QTest::addColumn<QString>("tecleado");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("seleccion");
        const QStringList anios{QStringLiteral("2010"), QStringLiteral("2011")};
        QTest::newRow("2") << anios << QStringLiteral("2") << QStringLiteral("2010") << QStringLiteral("010");
        QTest::newRow("2011") << anios << QStringLiteral("2011") << QStringLiteral("2011") << QString();
        QTest::newRow("2019") << anios << QStringLiteral("2019") << QStringLiteral("2019") << QString();
        QTest::newRow("mayúsculas") << QStringList{QStringLiteral("xyz"), QStringLiteral("ABCD")}
                                    << QStringLiteral("abc") << QStringLiteral("ABCD") << QStringLiteral("D");
        QTest::newRow("la primera que empieza")
            << QStringList{QStringLiteral("Cuautla"), QStringLiteral("Cuernavaca")} << QStringLiteral("cu")
            << QStringLiteral("Cuautla") << QStringLiteral("autla");
    }
    void autoCompletado() {
        QFETCH(QStringList, entradas);
        QFETCH(QString, tecleado);
        QFETCH(QString, texto);
        QFETCH(QString, seleccion);
        ComboConCompletado c(entradas);
        c.combo.show();
        QTest::keyClicks(c.combo.lineEdit(), tecleado);
        QCOMPARE(c.combo.currentText(), texto);
        QCOMPARE(c.seleccionado(), seleccion);
    }

    void borrarNoCompletaOtraVez() {
        ComboConCompletado c({QStringLiteral("2010"), QStringLiteral("2011")});
        c.combo.show();
        QTest::keyClicks(c.combo.lineEdit(), QStringLiteral("2"));
        QCOMPARE(c.combo.currentText(), QStringLiteral("2010"));
        // The caller raises the flag for Backspace: the shorter text stays as it is.
        c.borrando = true;
        QTest::keyClick(c.combo.lineEdit(), Qt::Key_Backspace);
        QCOMPARE(c.combo.currentText(), QStringLiteral("2"));
        QVERIFY(!c.borrando);
        // An empty text clears the flag too and completes nothing.
        c.borrando = true;
        c.combo.lineEdit()->clear();
        QVERIFY(!c.borrando);
        QCOMPARE(c.combo.currentText(), QString());
    }
};

QTEST_MAIN(TstModulo)
#include "tst_modulo.moc"
