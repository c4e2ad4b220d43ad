#include "common/Aplicacion.h"
#include "common/CajaDeMensajesQt.h"
#include "common/FrmErrores.h"
#include "common/Modulo.h"
#include "controls/BotonesDeComando.h"
#include "outside/ErrorDeEjecucion.h"
#include "support/EntornoDeVentanas.h"

#include <QLabel>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>
#include <stdexcept>

using Caja = CajaDeMensajes;

namespace {
// Presses a key in the next real message box once it stands, after a look at it.
void pulsaEnLaCaja(Qt::Key tecla, std::function<void(QWidget*)> mira = {}) {
    QTimer::singleShot(0, [tecla, mira] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            pulsaEnLaCaja(tecla, mira);
            return;
        }
        if (mira)
            mira(modal);
        QTest::keyClick(modal, tecla);
    });
}

// An object whose events throw what a faulty handler would.
class Lanzador : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User)
            throw std::runtime_error("fallo en un manejador");
        return QObject::event(e);
    }
};

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
    }

    // The real boxes: Escape answers as the routines promise, and texts are never read as markup.
    void cajasReales() {
        CajaDeMensajesQt real;
        const CajaDeMensajes::Sustituto enUso(real);
        QString mostrado;
        Qt::TextFormat formato = Qt::AutoText;
        pulsaEnLaCaja(Qt::Key_Return, [&](QWidget* caja) {
            for (QLabel* l : caja->findChildren<QLabel*>())
                if (l->text().contains(QStringLiteral("img"))) {
                    mostrado = l->text();
                    formato = l->textFormat();
                }
        });
        Modulo::MensajeDeError(QStringLiteral("<b>llave</b> <img src=x>\rduplicada"));
        QCOMPARE(formato, Qt::PlainText);
        QCOMPARE(mostrado, QStringLiteral("<b>llave</b> <img src=x>\nduplicada"));
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

    void ventanaDeErrores() {
        EntornoDeVentanas e;
        QStringList vistos;
        e.alMostrar = [&](QDialog& ventana) {
            auto& f = static_cast<FrmErrores&>(ventana);
            for (QLabel* l : {f.LblDescripDelError, f.LblNumDelError, f.LblDatosAdicDelError}) {
                vistos << l->text();
                QCOMPARE(l->textFormat(), Qt::PlainText);
            }
            f.CmdCerrar->click();
            QVERIFY(!f.isVisible());
        };
        FrmErrores::Reporta(ErrorDeEjecucion(CodigoDeError::Integridad,
                                             QStringLiteral("llave <b>duplicada</b>"),
                                             QStringLiteral("PostgreSQL kelmar")));
        QCOMPARE(e.mostradas, QStringList{QStringLiteral("FrmErrores")});
        QCOMPARE(vistos, QStringList({QStringLiteral("llave <b>duplicada</b>"), QStringLiteral("-2147217873"),
                                      QStringLiteral("PostgreSQL kelmar")}));
    }

    // An error that escapes a handler is reported and the program goes on.
    void errorQueEscapaDeUnManejador() {
        CajaGuionada caja;
        Lanzador lanzador;
        QCoreApplication::postEvent(&lanzador, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        QCOMPARE(caja.cajas().size(), 1);
        QVERIFY(caja.ultima().texto.startsWith(QStringLiteral("Error: %1\r\n").arg(CodigoDeError::Interno)));
        QVERIFY(caja.ultima().texto.contains(QStringLiteral("fallo en un manejador")));
        QCOMPARE(caja.ultima().icono, CajaDeMensajes::Icono::Critico);
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

int main(int argc, char** argv) {
    AplicacionTaloren app(argc, argv);
    TstModulo prueba;
    return QTest::qExec(&prueba, argc, argv);
}
#include "tst_modulo.moc"
