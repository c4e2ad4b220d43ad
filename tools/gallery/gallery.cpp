// gallery DIR: renders the program's windows, in their main states, to
// DIR/<ClassName>[-state].png, on a fresh embedded database with seed data.
#include "Galeria.h"

#include "common/Aplicacion.h"
#include "common/CajaDeMensajesQt.h"
#include "common/FrmErrores.h"
#include "common/Modulo.h"
#include "common/VentanasDeTrabajo.h"
#include "controls/BotonesDeComando.h"
#include "controls/MensajeTemporal.h"
#include "outside/AjustesDeConexion.h"
#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "server/administracion/Apertura.h"
#include "startup/Inicio.h"
#include "startup/MDITaloren.h"
#include "startup/frmSolicitaPassword.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace Galeria {

namespace {
QDir destino;
QStringList escritos;
} // namespace

void guarda(const QPixmap& imagen, const QString& nombre) {
    const QString archivo = destino.filePath(nombre + QStringLiteral(".png"));
    if (!imagen.save(archivo))
        qFatal("no se pudo escribir %s", qPrintable(archivo));
    escritos << archivo;
}

void retrata(QWidget& ventana, const QString& nombre) {
    ventana.show();
    if (!QTest::qWaitForWindowExposed(&ventana))
        qFatal("%s no se expuso", qPrintable(nombre));
    QApplication::processEvents();
    guarda(ventana.grab(), nombre);
}

void retrataAmpliada(QWidget& ventana, const QString& nombre) {
    const QSize antes = ventana.size();
    ventana.resize(antes.width() + 260, antes.height() + 180);
    retrata(ventana, nombre);
    ventana.resize(antes);
}

// Chooses an entry of a list as a click on it does.
void elige(QComboBox* combo, const QString& texto) {
    const int i = combo->findText(texto);
    if (i < 0)
        qFatal("%s no está en la lista %s", qPrintable(texto), qPrintable(combo->objectName()));
    combo->setCurrentIndex(i);
    Q_EMIT combo->activated(i);
}

void galeriaDeInicio() {
    frmSolicitaPassword ingreso;
    retrata(ingreso, QStringLiteral("frmSolicitaPassword"));
    QTest::keyClicks(ingreso.txtPassword, QStringLiteral("secreto"));
    retrata(ingreso, QStringLiteral("frmSolicitaPassword-contrasena"));
    ingreso.hide();

    MDITaloren& mdi = Modulo::mdi();
    retrata(mdi, QStringLiteral("MDITaloren"));
    // The open submenu is a window of its own: painted over the frame where it drops.
    mdi.MnuInvitaciones->popup(
        mdi.mapToGlobal(mdi.menuBar()->actionGeometry(mdi.MnuInvitaciones->menuAction()).bottomLeft()));
    if (!QTest::qWaitForWindowExposed(mdi.MnuInvitaciones))
        qFatal("el menú no se expuso");
    QPixmap conMenu = mdi.grab();
    {
        QPainter p(&conMenu);
        p.drawPixmap(mdi.mapFromGlobal(mdi.MnuInvitaciones->pos()), mdi.MnuInvitaciones->grab());
    }
    mdi.MnuInvitaciones->hide();
    guarda(conMenu, QStringLiteral("MDITaloren-invitaciones"));

    FrmErrores errores;
    errores.DescripError(
        QStringLiteral("duplicate key value violates unique constraint \"invitacion_pkey\""));
    errores.NumeroDeError(CodigoDeError::Integridad);
    errores.FuenteDelError(QStringLiteral("PostgreSQL kelmar"));
    retrata(errores, QStringLiteral("FrmErrores"));
}

void galeriaDeControles() {
    QWidget botones;
    botones.setObjectName(QStringLiteral("BotonesDeComando"));
    auto* fila = new QHBoxLayout(&botones);
    fila->addWidget(new CmdGuardar);
    fila->addWidget(new CmdImprimir);
    fila->addWidget(new CmdAceptar);
    fila->addWidget(new CmdLimpiar);
    fila->addWidget(new cmdEliminar);
    fila->addWidget(new CmdCerrar);
    fila->addWidget(new CmdCancelar);
    auto* apagado = new CmdGuardar;
    apagado->estableceEnabled(false);
    fila->addWidget(apagado);
    retrata(botones, QStringLiteral("BotonesDeComando"));

    MensajeTemporal espera;
    espera.estableceLeyendaProceso(QStringLiteral("Recuperando registros..."));
    retrata(espera, QStringLiteral("MensajeTemporal"));
}

} // namespace Galeria

int main(int argc, char* argv[]) {
    using namespace Galeria;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    AplicacionTaloren app(argc, argv);
    AplicacionTaloren::PreparaIdioma();
    CajaDeMensajesQt cajas;
    const CajaDeMensajes::Sustituto enUso(cajas);
    QTextStream salida(stdout);
    if (argc != 2) {
        QTextStream(stderr) << "uso: gallery CARPETA\n";
        return 2;
    }
    destino = QDir(QString::fromLocal8Bit(argv[1]));
    if (!destino.mkpath(QStringLiteral(".")))
        return 1;

    QTemporaryDir datos;
    AjustesDeConexion ajustes;
    ajustes.carpeta = datos.path();
    // The windows' sizes of the gallery's own, never the station's: every picture at its natural size.
    Modulo::EstableceArchivoDeVentanas(QDir(datos.path()).filePath(QStringLiteral("ventanas.ini")));
    try {
        Modulo::EstableceConexion(Catalogo::Kelmar, Servidor::abre(Catalogo::Kelmar, ajustes));
        Modulo::EstableceConexion(Catalogo::Taloren, Servidor::abre(Catalogo::Taloren, ajustes));
        Modulo::NickUsuario = QStringLiteral("Administrador");
        Modulo::CuentaUsuario = QStringLiteral("admin");

        galeriaDeInicio();
        galeriaDeControles();
        galeriaDeInvitaciones();
        galeriaDeReportes();
        // The queries picture events of their own, numbered from 1; the
        // capture window numbers its own after them.
        galeriaDeConsultas();
        galeriaDeCaptura();
        galeriaDelHistorial();
        galeriaDeDocumentos();
        galeriaDeAgenda();
    } catch (const ErrorDeEjecucion& e) {
        QTextStream(stderr) << e.what() << '\n';
        return 1;
    }

    Modulo::DestruyeMdi();
    Modulo::CierraConexiones();
    for (const QString& archivo : escritos)
        salida << archivo << '\n';
    return 0;
}
