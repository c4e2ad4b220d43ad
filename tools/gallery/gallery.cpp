// gallery DIR: renders the program's windows, in their main states, to
// DIR/<ClassName>[-state].png, on a fresh embedded database with seed data.
#include "capture/frmCaptura.h"
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
#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/reportes/Reporte.h"
#include "reports/FrmReportes.h"
#include "reports/FrmVerReporte.h"
#include "reports/RejillaDeDatos.h"
#include "startup/Inicio.h"
#include "startup/MDITaloren.h"
#include "startup/frmSolicitaPassword.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
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

// A dozen invitations of November and December 2011, the days the report window starts with.
void siembraInvitaciones() {
    struct Invitacion {
        int folio, mes, dia;
        const char *hora, *para, *prefijo1, *descripcion, *prefijo3, *ubicacion, *suscriptor, *cargo,
            *prefijo2, *representante, *cargoRepresentante;
        bool urgente;
    };
    const Invitacion invitaciones[] = {
        {101, 11, 7, "10:00", "Srio", "La", "inauguración de la Escuela Primaria \"Benito Juárez\"", "En",
         "Col. Centro, Xalapa", "Profra. Ana Luisa Ortiz", "Directora de la escuela", "", "Mtro. Julio Salas",
         "Subsecretario de Educación Básica", false},
        {102, 11, 9, "09:30", "Gob", "El", "informe anual de actividades del Instituto de Capacitación",
         "En el", "Teatro del Estado", "Ing. Ramiro Tejeda", "Director General del Instituto", "Lic.",
         "Ángel Muñoz Peña", "Director General de Planeación y Evaluación Educativa", true},
        {103, 11, 14, "SinHr", "Srio", "Las", "jornadas pedagógicas de la zona escolar 15", "En la",
         "Unidad Deportiva de Coatepec", "Mtra. Elena Ruiz", "Supervisora escolar", "", "", "", false},
        {104, 11, 18, "17:00", "Gob", "La", "entrega de becas a estudiantes de educación media superior",
         "En", "Plaza Lerdo", "C.P. Héctor Luna", "Presidente del Patronato", "Dr.", "Óscar Villalobos",
         "Subsecretario de Educación Media Superior y Superior", false},
        {105, 11, 25, "11:00", "Srio", "El", "foro estatal de educación indígena", "En el",
         "Museo de Antropología", "Lic. Sofía Hernández", "Coordinadora del foro", "", "Dra. Beatriz Carmona",
         "Directora de Educación Indígena", false},
        {106, 12, 2, "19:00", "Gob", "La", "cena de gala de la Asociación de Padres de Familia", "En",
         "Hotel Xalapa", "Sr. Tomás Ávila", "Presidente de la Asociación", "", "", "", false},
        {107, 12, 6, "08:00", "Srio", "La", "ceremonia de honores a la bandera", "En la",
         "Escuela Secundaria Técnica 3", "Profr. Raúl Gómez", "Director del plantel", "",
         "Lic. Carmen Treviño", "Directora de Educación Secundaria", true},
        {108, 12, 12, "12:00", "Gob", "Los", "festejos del 50 aniversario de la Normal Veracruzana", "En la",
         "Benemérita Escuela Normal", "Mtro. Luis Andrade", "Director de la Normal", "Mtro.", "Julio Salas",
         "Subsecretario de Educación Básica", false},
    };
    Conexion& kelmar = Modulo::kelmar();
    kelmar.enTransaccion([&] {
        for (const Invitacion& i : invitaciones) {
            const QDate fecha(2011, i.mes, i.dia);
            const QString representante = QString::fromUtf8(i.representante);
            const bool srio = QLatin1String(i.para) == QLatin1String("Srio");
            kelmar.ejecuta(
                QStringLiteral(
                    "insert into invitacion (Anio, Folio, FechaRecepcion, FechaEvento, Hora, Descripcion,"
                    " Ubicacion, Suscriptor, CargoSuscriptor, TelSuscriptor, Representante,"
                    " CargoRepresentante, TelRepresentante, Titular, CargoTitular, TelTitular, Caracter,"
                    " Indicacion, RepresentaA, Observacion, Estatus, Prefijo1, Prefijo2, Prefijo3,"
                    " UsrCaptura, FechaCaptura)"
                    " values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {2011,
                 i.folio,
                 fecha.addDays(-12),
                 fecha,
                 QString::fromLatin1(i.hora),
                 QString::fromUtf8(i.descripcion),
                 QString::fromUtf8(i.ubicacion),
                 QString::fromUtf8(i.suscriptor),
                 QString::fromUtf8(i.cargo),
                 QStringLiteral("228 841 7700"),
                 representante,
                 QString::fromUtf8(i.cargoRepresentante),
                 representante.isEmpty() ? QStringLiteral("") : QStringLiteral("228 841 7712"),
                 srio ? QStringLiteral("Mtro. Julio Salas") : QStringLiteral(""),
                 srio ? QStringLiteral("Subsecretario de Educación Básica") : QStringLiteral(""),
                 QStringLiteral(""),
                 i.urgente ? QStringLiteral("Urgente") : QStringLiteral("Normal"),
                 srio ? QStringLiteral("Asistir en representación del C. Secretario") : QStringLiteral(""),
                 QString::fromLatin1(i.para),
                 QStringLiteral(""),
                 representante.isEmpty() ? QStringLiteral("SINCONFIRMAR") : QStringLiteral("CONFIRMADA"),
                 QString::fromUtf8(i.prefijo1),
                 QString::fromUtf8(i.prefijo2),
                 QString::fromUtf8(i.prefijo3),
                 QStringLiteral("admin"),
                 QDateTime(fecha.addDays(-12), QTime(9, 0))});
        }
    });
}

void galeriaDeReportes() {
    siembraInvitaciones();
    {
        FrmReportes reportes;
        retrata(reportes, QStringLiteral("FrmReportes"));
        reportes.CmdBuscar->click();
        for (int fila : {0, 1, 4}) {
            reportes.DGInvitaciones->estableceFilaActual(fila);
            reportes.DGInvitaciones_DblClick();
        }
        retrata(reportes, QStringLiteral("FrmReportes-resultados"));
        reportes.OptReporte[2]->click();
        retrata(reportes, QStringLiteral("FrmReportes-gobernador"));
    }

    const struct {
        const char* archivo;
        const char* estado;
    } reportes[] = {{"RPTAcuerdosTodos.rpt", "acuerdos"},
                    {"RPTAcuerdosSrio.rpt", "acuerdos-srio"},
                    {"RPTAcuerdosGob.rpt", "acuerdos-gob"},
                    {"RPTInvitacionSecretario.rpt", "invitaciones-srio"},
                    {"RPTInvitacionGobernador.rpt", "invitaciones-gob"}};
    for (const auto& r : reportes) {
        std::shared_ptr<Reporte> reporte = Reporte::abre(QString::fromLatin1(r.archivo));
        reporte->estableceParametro(1, QDate(2011, 11, 1));
        reporte->estableceParametro(2, QDate(2011, 12, 31));
        for (int p = 3; p <= 5; ++p)
            reporte->estableceParametro(p, QString());
        reporte->estableceParametro(6, false);
        if (reporte->numeroDeParametros() == 7)
            reporte->estableceParametro(7, QStringLiteral("Todas"));
        reporte->iniciaSesion(Modulo::kelmar());
        FrmVerReporte vista;
        vista.estableceReporte(reporte);
        retrata(vista, QStringLiteral("FrmVerReporte-") + QString::fromLatin1(r.estado));
    }
}


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

    try {
        galeriaDeInicio();
        galeriaDeControles();
        galeriaDeInvitaciones();
        galeriaDeReportes();
        galeriaDeCaptura();
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
