#include "startup/Inicio.h"

#include "common/Avisos.h"
#include "common/Modulo.h"
#include "outside/CajaDeMensajes.h"
#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "server/administracion/Apertura.h"
#include "startup/MDITaloren.h"
#include "startup/frmSolicitaPassword.h"

#include <QPointer>

namespace Modulo {

namespace {

QPointer<MDITaloren> ventanaPrincipal;

QString fechaCorta(const QDate& fecha) {
    return fecha.toString(QStringLiteral("dd/MM/yyyy"));
}

// The configuration answer is read column by column, only where a path needs it.
QVariant columna(const Recordset& rs, const char* nombre) {
    if (rs.estaVacio())
        throw ErrorDeEjecucion(
            CodigoDeError::FinDeRegistros,
            QStringLiteral("La configuración del sistema no tiene registro: BOF o EOF es True."),
            QStringLiteral("sp_ZMXConfiguracion"));
    return rs.valor(0, QString::fromLatin1(nombre));
}

void muestraCaja(CajaDeMensajes::Icono icono, const QString& texto) {
    Avisa({icono, {}, texto, CajaDeMensajes::Aceptar, CajaDeMensajes::Aceptar, CajaDeMensajes::Aceptar});
}

void refusa() {
    kelmar().cierra();
    TerminaPrograma();
}

} // namespace

bool Main(const QString& archivoDeAjustes) {
    AjustesDeConexion ajustes;
    try {
        ajustes = AjustesDeConexion::lee(archivoDeAjustes);
        // The administrator's account opens every account's digest: a
        // station that holds it is no better than one that holds them all.
        if (ajustes.nombraAdministrador())
            throw ErrorDeEjecucion(
                CodigoDeError::Ajustes,
                QStringLiteral("El archivo de ajustes %1 guarda la cuenta administradora del servidor "
                               "([admin]), que una estación no usa y no debe guardar: quítela del archivo y "
                               "guárdela sólo en el del administrador.")
                    .arg(archivoDeAjustes),
                QStringLiteral("Ajustes de TALOREN"));
    } catch (...) {
        const ErrorDeEjecucion e = ErrorDeEjecucion::actual();
        muestraCaja(CajaDeMensajes::Icono::Critico,
                    QStringLiteral("Error: ") + QString::number(e.numero()) + Salto + e.descripcion() +
                        DobleSalto +
                        QStringLiteral("Corrija el archivo de ajustes; la aplicación se cerrará."));
        return false;
    }
    if (const QString aviso = ajustes.avisoDePermisos(archivoDeAjustes); !aviso.isEmpty())
        muestraCaja(CajaDeMensajes::Icono::Exclamacion, aviso);
    return Main(ajustes);
}

bool Main(const AjustesDeConexion& ajustes) {
    ReiniciaTerminacion();
    try {
        UsuarioKelmar = ajustes.kelmar.usuario;
        ClaveKelmar = ajustes.kelmar.contrasena;
        EstableceConexion(Catalogo::Kelmar, Servidor::abre(Catalogo::Kelmar, ajustes));

        Parametros ninguno;
        const Recordset config =
            kelmar().ejecutaProcedimiento(QStringLiteral("sp_ZMXConfiguracion"), ninguno);

        const QVariant acceso = columna(config, "Acceso");
        if (!acceso.isNull() && !acceso.toBool()) {
            MensajeInformativo(QStringLiteral("No es posible acceder al sistema en estos momentos.") +
                               DobleSalto + columna(config, "Mensaje1").toString() + DobleSalto +
                               QStringLiteral("Para saber más detalle, póngase en contacto con la persona "
                                              "responsable del sistema."));
            refusa();
            return false;
        }

        const QVariant ultima = columna(config, "FechaUltimaVersion");
        if (!ultima.isNull() &&
            fechaCorta(Recordset::fechaHora(ultima).date()) != fechaCorta(FechaDeEstaVersion)) {
            const QVariant criticidad = columna(config, "Criticidad");
            const int nivel = criticidad.isNull() ? 0 : criticidad.toInt();
            if (nivel == 1) {
                MensajeInformativo(
                    QStringLiteral(
                        "Existe una nueva versión del sistema y debe instalarla antes de continuar.") +
                    DobleSalto +
                    QStringLiteral(
                        "1. Siga el procedimiento que se le indicó para instalar la nueva versión.") +
                    Salto +
                    QStringLiteral(
                        "2. Una vez que haya instalado la últma versión, consulte y verifique el último "
                        "movimiento que realizó para continuar normalmente."));
                refusa();
                return false;
            }
            if (nivel == 2) {
                const QString respuesta = ConfirmaSiNo(
                    QStringLiteral(
                        "!Advertencia:! Existe una nueva versión del sistema con cambios menores y aunque "
                        "puede continuar sin problemas se sugiere instalarla lo antes posible.") +
                    DobleSalto + QStringLiteral("Para instalarla: ") + DobleSalto +
                    QStringLiteral("1. Siga el procedimiento que se le indicó.") + Salto +
                    QStringLiteral(
                        "2. Una vez que haya instalado la últma versión, consulte y verifique el último "
                        "asunto o modificación que realizó para continuar normalmente.") +
                    DobleSalto + QStringLiteral("¿Desea continuar?"));
                if (respuesta == QLatin1String("NO")) {
                    refusa();
                    return false;
                }
            }
        }

        EstableceConexion(Catalogo::Taloren, Servidor::abre(Catalogo::Taloren, ajustes));

        // The login places itself by the main window, which it loads unseen.
        mdi();
        frmSolicitaPassword ingreso;
        MuestraModal(ingreso);
        return ingreso.result() == QDialog::Accepted && !ProgramaTerminado();
    } catch (...) {
        const ErrorDeEjecucion e = ErrorDeEjecucion::actual();
        muestraCaja(
            CajaDeMensajes::Icono::Ninguno,
            QStringLiteral("Error: ") + QString::number(e.numero()) + Salto + e.descripcion() +
                (e.detalle().isEmpty() ? QString() : Salto + QStringLiteral("Detalle: ") + e.detalle()) +
                Salto + Salto +
                QStringLiteral("Error de conexión a la Base de datos, la aplicación se cerrará.") +
                DobleSalto +
                QStringLiteral("Comuníquelo al responsable del sistema en la Subdirección de "
                               "Tecnologías de la Información."));
        return false;
    }
}

MDITaloren& mdi() {
    if (!ventanaPrincipal) {
        ventanaPrincipal = new MDITaloren;
        EstableceVentanaPrincipal(ventanaPrincipal);
    }
    return *ventanaPrincipal;
}

bool ExisteMdi() {
    return !ventanaPrincipal.isNull();
}

void DestruyeMdi() {
    delete ventanaPrincipal.data();
}

} // namespace Modulo
