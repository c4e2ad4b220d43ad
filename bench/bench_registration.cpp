// A thousand invitations registered one after another through the
// registration window's save, as a user saves them: checks, one procedure
// call, the folio shown and the window cleared. The lists are loaded once,
// when the window opens.
#include "Medicion.h"

#include "common/Modulo.h"
#include "controls/TextoMultilinea.h"
#include "invitations/FrmRegistrarInvitacion.h"
#include "outside/CajaDeMensajes.h"
#include "outside/ErrorDeEjecucion.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>

namespace {

// Any box during a registration means it did not go through.
class CajaQueFalla : public CajaDeMensajes {
public:
    Boton muestra(const Caja& caja) override {
        throw ErrorDeEjecucion(0, QStringLiteral("caja inesperada: ") + caja.texto, {});
    }
};

void tecleaInvitacion(FrmRegistrarInvitacion& v, int n) {
    v.DTPFechaEvento->setDate(v.DTPFechaEvento->date().addDays(n % 30));
    v.CmbHoraEvento->setCurrentIndex(1 + n % 38);
    v.CmbPrefijo1->setCurrentIndex(0);
    v.TxtDescripcion->setText(QStringLiteral("Ceremonia número %1 de entrega de reconocimientos").arg(n));
    v.CmbPrefijo3->setCurrentIndex(0);
    v.TxtUbicacionEvento->setText(QStringLiteral("Teatro Ocampo, Calle Rayón 1, Col. Centro, Cuernavaca"));
    v.TxtQuienInvita->setText(QStringLiteral("Alberto Sánchez Gallegos"));
    v.TxtCargoSuscrip->setText(QStringLiteral("Presidente Municipal de Cuernavaca"));
    v.CmbIndicacion->setCurrentIndex(n % v.CmbIndicacion->count());
    v.TxtTitularDelArea->setText(QStringLiteral("Arturo Flores Pedraza"));
    v.TxtCargoTitularDelArea->setText(QStringLiteral("Director General de Educación Básica"));
    v.TxtRepresentante->setText(QStringLiteral("Silvia Carrillo Sotelo"));
    v.TxtCargoRepresentante->setText(QStringLiteral("Director de Educación Preescolar"));
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CajaQueFalla cajas;
    const CajaDeMensajes::Sustituto enUso(cajas);
    constexpr int registros = 1000;
    double porSegundoEnSQLite = 0;
    try {
        for (Motor motor : motoresAMedir()) {
            BaseDePrueba base(motor);
            Modulo::EstableceConexion(Catalogo::Kelmar, base.abre(Catalogo::Kelmar));
            Modulo::CuentaUsuario = QStringLiteral("medicion");
            double ms = 0;
            {
                FrmRegistrarInvitacion ventana;
                ventana.show();
                for (int i = 0; i < registros; ++i) {
                    tecleaInvitacion(ventana, i);
                    ms += milisegundos([&] { ventana.CmdGuardar_Click(); });
                    if (!ventana.LblMensajeAUsuario->text().endsWith(QStringLiteral(": %1").arg(i + 1)))
                        throw ErrorDeEjecucion(
                            0, QStringLiteral("folio inesperado: ") + ventana.LblMensajeAUsuario->text(), {});
                }
            }
            Modulo::CierraConexiones();
            const double porSegundo = registros / (ms / 1000.0);
            salida() << nombreDelMotor(motor) << ": " << registros << " registros en " << qRound(ms)
                     << " ms, " << qRound(porSegundo) << " por segundo" << Qt::endl;
            if (motor == Motor::SQLite)
                porSegundoEnSQLite = porSegundo;
        }
    } catch (const ErrorDeEjecucion& e) {
        QTextStream(stderr) << e.what() << Qt::endl;
        return 1;
    }
    salida() << "registrations_per_second: " << qRound(porSegundoEnSQLite) << Qt::endl;
    return 0;
}
