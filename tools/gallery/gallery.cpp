// gallery DIR: renders the program's windows, in their main states, to
// DIR/<ClassName>[-state].png, on a fresh embedded database with seed data.
#include "common/Aplicacion.h"
#include "common/CajaDeMensajesQt.h"
#include "common/FrmErrores.h"
#include "common/Modulo.h"
#include "controls/BotonesDeComando.h"
#include "controls/CmbClaveDescrip.h"
#include "controls/MensajeTemporal.h"
#include "controls/TextoMultilinea.h"
#include "invitations/FrmModificarInvitacion.h"
#include "invitations/FrmRegistrarInvitacion.h"
#include "outside/AjustesDeConexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "startup/Inicio.h"
#include "startup/MDITaloren.h"
#include "startup/frmSolicitaPassword.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

QDir destino;
QStringList escritos;

void guarda(const QPixmap& imagen, const QString& nombre) {
    const QString archivo = destino.filePath(nombre + QStringLiteral(".png"));
    if (!imagen.save(archivo))
        qFatal("no se pudo escribir %s", qPrintable(archivo));
    escritos << archivo;
}

// A window as it stands on screen, loaded and laid out.
void retrata(QWidget& ventana, const QString& nombre) {
    ventana.show();
    if (!QTest::qWaitForWindowExposed(&ventana))
        qFatal("%s no se expuso", qPrintable(nombre));
    QApplication::processEvents();
    guarda(ventana.grab(), nombre);
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

// Answers every question with "Sí", for the states that follow one.
class CajaQueAcepta : public CajaDeMensajes {
public:
    Boton muestra(const Caja&) override { return Si; }
};

void eligeEn(QComboBox* lista, const QString& entrada) {
    lista->setCurrentIndex(lista->findText(entrada));
}

// An invitation typed into the registration window, up to the representative.
void tecleaInvitacion(FrmRegistrarInvitacion& v, const QString& descripcion) {
    v.DTPFechaEvento->setDate(v.DTPFechaEvento->date().addDays(9));
    eligeEn(v.CmbHoraEvento, QStringLiteral("10:30"));
    eligeEn(v.CmbPrefijo1, QStringLiteral("a la"));
    v.TxtDescripcion->setText(descripcion);
    eligeEn(v.CmbPrefijo3, QStringLiteral("el"));
    v.TxtUbicacionEvento->setText(QStringLiteral("Teatro Ocampo, Calle Rayón 1, Col. Centro, Cuernavaca"));
    v.TxtObservacion->setText(QStringLiteral("Se requiere confirmar asistencia antes del jueves."));
    v.TxtQuienInvita->setText(QStringLiteral("Alberto Sánchez Gallegos"));
    v.TxtCargoSuscrip->setText(QStringLiteral("Presidente Municipal de Cuernavaca"));
    v.TxtTelsSuscrip->setText(QStringLiteral("777-3182300 ext. 1204"));
}

void galeriaDeInvitaciones() {
    {
        FrmRegistrarInvitacion v;
        retrata(v, QStringLiteral("FrmRegistrarInvitacion"));
        tecleaInvitacion(v, QStringLiteral("Ceremonia de entrega de reconocimientos a docentes con 30 años "
                                           "de servicio"));
        retrata(v, QStringLiteral("FrmRegistrarInvitacion-evento"));

        v.TabInvitacion->setCurrentIndex(1);
        eligeEn(v.CmbIndicacion, QStringLiteral("Designar a un representante y confirmar su asistencia"));
        v.TxtTitularDelArea->setText(QStringLiteral("mar"));
        v.TxtTitularDelArea->setFocus();
        QTest::keyClick(v.TxtTitularDelArea, Qt::Key_F2);
        retrata(v, QStringLiteral("FrmRegistrarInvitacion-busqueda"));
        v.CmdAceptar->click();
        v.TxtTelsTitular->setText(QStringLiteral("777-3180190"));
        retrata(v, QStringLiteral("FrmRegistrarInvitacion-secretario"));
        {
            CajaQueAcepta acepta;
            const CajaDeMensajes::Sustituto enUso(acepta);
            v.CmdGuardar->click();
        }
        retrata(v, QStringLiteral("FrmRegistrarInvitacion-guardada"));

        tecleaInvitacion(v, QStringLiteral("Informe anual de actividades del Ayuntamiento de Cuernavaca"));
        v.OptGob->setChecked(true);
        v.TabInvitacion->setCurrentIndex(1);
        eligeEn(v.CmbPrefijo2, QStringLiteral("del"));
        v.TxtRepresentante->setText(QStringLiteral("Lic. María Elena Ortiz Salgado"));
        v.TxtCargoRepresentante->setText(QStringLiteral("Secretario Particular"));
        v.TxtTelsRepresentante->setText(QStringLiteral("777-3180102"));
        retrata(v, QStringLiteral("FrmRegistrarInvitacion-gobernador"));
        v.CmdGuardar->click();
        v.close();
    }
    {
        FrmModificarInvitacion v;
        retrata(v, QStringLiteral("FrmModificarInvitacion"));
        v.TxtFolio->setText(QStringLiteral("1"));
        v.CmdConsultarFolio->click();
        retrata(v, QStringLiteral("FrmModificarInvitacion-consultada"));
        v.TabInvitacion->setCurrentIndex(1);
        retrata(v, QStringLiteral("FrmModificarInvitacion-representante"));
        v.TxtFolio->setText(QStringLiteral("2"));
        v.CmdConsultarFolio->click();
        retrata(v, QStringLiteral("FrmModificarInvitacion-gobernador"));
        v.close();
    }
}

} // namespace

int main(int argc, char* argv[]) {
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
    try {
        Modulo::AbreConexion(Catalogo::Kelmar, ajustes);
        Modulo::AbreConexion(Catalogo::Taloren, ajustes);
    } catch (const ErrorDeEjecucion& e) {
        QTextStream(stderr) << e.descripcion() << '\n';
        return 1;
    }
    Modulo::NickUsuario = QStringLiteral("Administrador");
    Modulo::CuentaUsuario = QStringLiteral("admin");

    galeriaDeInicio();
    galeriaDeControles();
    galeriaDeInvitaciones();

    Modulo::DestruyeMdi();
    Modulo::CierraConexiones();
    for (const QString& archivo : escritos)
        salida << archivo << '\n';
    return 0;
}
