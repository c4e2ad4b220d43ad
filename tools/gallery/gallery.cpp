// gallery DIR: renders the program's windows, in their main states, to
// DIR/<ClassName>[-state].png, on a fresh embedded database with seed data.
#include "capture/frmCaptura.h"
#include "common/Aplicacion.h"
#include "common/CajaDeMensajesQt.h"
#include "common/FrmErrores.h"
#include "common/Modulo.h"
#include "controls/BotonesDeComando.h"
#include "controls/MensajeTemporal.h"
#include "outside/AjustesDeConexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "startup/Inicio.h"
#include "startup/MDITaloren.h"
#include "startup/frmSolicitaPassword.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QToolButton>

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

// Answers every box with its first button, so that a state reached through
// a message can be pictured without anyone at the keyboard.
class CajaQueAcepta : public CajaDeMensajes {
public:
    Boton muestra(const Caja& caja) override {
        for (Boton b : {Aceptar, Si})
            if (caja.botones & b)
                return b;
        return caja.escape;
    }
};

// Chooses an entry of a list as a click on it does.
void elige(QComboBox* combo, const QString& texto) {
    const int i = combo->findText(texto);
    if (i < 0)
        qFatal("%s no está en la lista %s", qPrintable(texto), qPrintable(combo->objectName()));
    combo->setCurrentIndex(i);
    Q_EMIT combo->activated(i);
}

// Stores the event on screen (one click draws the folio, the next stores it)
// and looks it up again on a clean screen.
void guardaYConsulta(frmCaptura& captura) {
    captura.CmdGuardar->click();
    const QString folio = captura.TxtFolio->text();
    captura.CmdGuardar->click();
    captura.LimpiaDatos();
    captura.TxtFolio->setText(folio);
    QTest::keyClick(captura.TxtFolio, Qt::Key_Return);
}

void galeriaDeCaptura() {
    CajaQueAcepta acepta;
    const CajaDeMensajes::Sustituto enUso(acepta);
    frmCaptura captura;
    retrata(captura, QStringLiteral("frmCaptura"));

    const QDateTime evento(QDate::currentDate().addDays(9), QTime(10, 0));
    elige(captura.CmbSuscriptor, QStringLiteral("Marisol Bernal Cisneros"));
    QTest::keyClicks(captura.mskTelSusc, QStringLiteral("7773297000"));
    captura.DTPFechaEvento->setDateTime(evento);
    QTest::keyClicks(captura.mskHora, QStringLiteral("1030"));
    elige(captura.cmbMunicipio, QStringLiteral("Jiutepec"));
    elige(captura.cmbLocalidad, QStringLiteral("Progreso"));
    captura.txtEvento->setPlainText(
        QStringLiteral("Ceremonia de graduación de la generación 2008-2012 de la Universidad Politécnica"));
    elige(captura.CmbDirecciones, captura.CmbDirecciones->itemText(4));
    elige(captura.cmbNombreRep, QStringLiteral("Héctor Manuel Salazar Rivera"));
    QTest::keyClicks(captura.mskTelRep, QStringLiteral("7773180120"));
    elige(captura.cmbInstruccion, captura.cmbInstruccion->itemText(1));
    captura.optPrioritario->setChecked(true);
    captura.TxtObservacion->setPlainText(QStringLiteral("Confirmar el lugar asignado en el presídium."));
    guardaYConsulta(captura);
    retrata(captura, QStringLiteral("frmCaptura-funcionario"));

    captura.LimpiaDatos();
    captura.CmbSuscriptor->setEditText(QStringLiteral("Ing. Tomás O'Connor Peña"));
    captura.TxtCargoSuscrip->setText(QStringLiteral("Presidente de la Cámara de Comercio de Cuautla"));
    captura.DTPFechaEvento->setDateTime(evento.addDays(3));
    QTest::keyClicks(captura.mskHora, QStringLiteral("1800"));
    elige(captura.cmbMunicipio, QStringLiteral("Cuautla"));
    elige(captura.cmbLocalidad, QStringLiteral("Cuautla"));
    captura.txtEvento->setPlainText(QStringLiteral("Inauguración de la Expo Educativa Oriente"));
    captura.CmbDirecciones->setEditText(QStringLiteral("Explanada del Jardín Revolución del Sur, Cuautla"));
    captura.optRepGob->setChecked(true);
    captura.cmbNombreRep->setEditText(QStringLiteral("Lic. Begoña Ríos Ávila"));
    captura.txtCargoFun->setText(QStringLiteral("Delegada Regional Zona Oriente"));
    captura.txtAreaFun->setText(QStringLiteral("Delegación Regional de Cuautla"));
    QTest::keyClicks(captura.mskCelularRep, QStringLiteral("735109"));
    elige(captura.cmbInstruccion, captura.cmbInstruccion->itemText(0));
    guardaYConsulta(captura);
    retrata(captura, QStringLiteral("frmCaptura-no-funcionario"));

    // A save that stops at the description shows the defaults it filled in.
    captura.LimpiaDatos();
    elige(captura.cmbInstruccion, captura.cmbInstruccion->itemText(2));
    captura.CmdGuardar->click();
    retrata(captura, QStringLiteral("frmCaptura-sin-municipio"));
    captura.hide();
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
    galeriaDeCaptura();

    Modulo::DestruyeMdi();
    Modulo::CierraConexiones();
    for (const QString& archivo : escritos)
        salida << archivo << '\n';
    return 0;
}
