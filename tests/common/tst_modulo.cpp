#include "common/Aplicacion.h"
#include "common/CajaDeMensajesQt.h"
#include "common/FrmErrores.h"
#include "common/Modulo.h"
#include "controls/BotonesDeComando.h"
#include "outside/ErrorDeEjecucion.h"
#include "support/EntornoDeVentanas.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <functional>
#include <stdexcept>

using namespace Qt::StringLiterals;
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
    explicit Lanzador(std::function<void()> lanza) : m_lanza(std::move(lanza)) {}
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User)
            m_lanza();
        return QObject::event(e);
    }
    std::function<void()> m_lanza;
};

} // namespace

class TstModulo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The report's question begins with the user's nick and offers three answers (which output each
    // names, the report window's test shows).
    void cajas() {
        CajaGuionada caja;
        Modulo::NickUsuario = u"Lupita"_s;
        caja.responde(Caja::No);
        QCOMPARE(Modulo::EligeSalidaDeReporte(), u"Pantalla"_s);
        QCOMPARE(caja.ultima().botones, Caja::Si | Caja::No | Caja::Cancelar);
        QVERIFY(caja.ultima().texto.startsWith(u"Lupita\r\r"_s));
    }

    // The real boxes: Escape answers as the routines promise, and texts are never read as markup.
    void cajasReales() {
        CajaDeMensajesQt real;
        const CajaDeMensajes::Sustituto enUso(real);
        QString mostrado;
        Qt::TextFormat formato = Qt::AutoText;
        pulsaEnLaCaja(Qt::Key_Return, [&](QWidget* caja) {
            for (QLabel* l : caja->findChildren<QLabel*>())
                if (l->text().contains(u"img"_s)) {
                    mostrado = l->text();
                    formato = l->textFormat();
                }
        });
        Modulo::MensajeDeError(u"<b>llave</b> <img src=x>\rduplicada"_s);
        QCOMPARE(formato, Qt::PlainText);
        QCOMPARE(mostrado, u"<b>llave</b> <img src=x>\nduplicada"_s);
        pulsaEnLaCaja(Qt::Key_Escape);
        QCOMPARE(Modulo::EligeSalidaDeReporte(), u"Cancelar"_s);
        pulsaEnLaCaja(Qt::Key_Escape);
        QCOMPARE(Modulo::ConfirmaSiNo(u"¿Continuar?"_s), u"NO"_s);
        pulsaEnLaCaja(Qt::Key_Return);
        QCOMPARE(Modulo::ConfirmaSiNo(u"¿Continuar?"_s), u"SI"_s);
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
        FrmErrores::Reporta(
            ErrorDeEjecucion(CodigoDeError::Integridad, u"llave <b>duplicada</b>"_s, u"PostgreSQL kelmar"_s));
        // What the server said goes after the source.
        FrmErrores::Reporta(ErrorDeEjecucion(CodigoDeError::Integridad, u"Ya existe"_s,
                                             u"PostgreSQL kelmar"_s,
                                             u"duplicate <i>key</i> (23505)"_s));
        QCOMPARE(e.mostradas, QStringList({u"FrmErrores"_s, u"FrmErrores"_s}));
        QCOMPARE(vistos,
                 QStringList({u"llave <b>duplicada</b>"_s, u"-2147217873"_s, u"PostgreSQL kelmar"_s,
                              u"Ya existe"_s, u"-2147217873"_s,
                              u"PostgreSQL kelmar\nDetalle: duplicate <i>key</i> (23505)"_s}));
    }

    // An error of any kind that escapes a handler is reported and the program goes on: one of the program's,
    // one of the library's, running out of memory, or something else altogether.
    void errorQueEscapaDeUnManejador_data() {
        QTest::addColumn<std::function<void()>>("lanza");
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("dice");
        QTest::newRow("del programa")
            << std::function<void()>([] { throw ErrorDeEjecucion(-5, u"llave"_s, {}); }) << -5 << u"llave"_s;
        QTest::newRow("de la biblioteca")
            << std::function<void()>([] { throw std::runtime_error("en manejador"); })
            << int(CodigoDeError::Interno) << u"en manejador"_s;
        QTest::newRow("sin memoria") << std::function<void()>([] { throw std::bad_alloc(); })
                                     << int(CodigoDeError::SinMemoria) << QString();
        QTest::newRow("otra cosa") << std::function<void()>([] { throw 42; }) << int(CodigoDeError::Interno)
                                   << QString();
    }
    void errorQueEscapaDeUnManejador() {
        QFETCH(std::function<void()>, lanza);
        QFETCH(int, numero);
        QFETCH(QString, dice);
        CajaGuionada caja;
        Lanzador lanzador(lanza);
        QCoreApplication::postEvent(&lanzador, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        QCOMPARE(caja.cajas().size(), 1);
        QVERIFY2(caja.ultima().texto.startsWith(u"Error: %1\r\n"_s.arg(numero)) &&
                     caja.ultima().texto.contains(dice),
                 qPrintable(caja.ultima().texto));
        QCOMPARE(caja.ultima().icono, CajaDeMensajes::Icono::Critico);
    }
};

int main(int argc, char** argv) {
    AplicacionTaloren app(argc, argv);
    TstModulo prueba;
    return QTest::qExec(&prueba, argc, argv);
}
#include "tst_modulo.moc"
