// gallery DIR: renders the program's windows, in their main states, to
// DIR/<ClassName>[-state].png, on a fresh embedded database with seed data.
#include "capture/DocumentosDeOficio.h"
#include "common/Aplicacion.h"
#include "common/CajaDeMensajesQt.h"
#include "common/FrmErrores.h"
#include "common/Modulo.h"
#include "controls/BotonesDeComando.h"
#include "controls/MensajeTemporal.h"
#include "outside/AjustesDeConexion.h"
#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Reloj.h"
#include "outside/documentos/ProcesadorOOXML.h"
#include "queries/frmConsultas.h"
#include "startup/Inicio.h"
#include "startup/MDITaloren.h"
#include "startup/frmSolicitaPassword.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTableView>
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

// The desktop of the gallery: keeps the documents made, to picture them.
class VisorDeLaGaleria : public VisorDeDocumentos {
public:
    bool abre(const QString& archivo) override {
        documentos << archivo;
        return true;
    }
    QStringList documentos;
};

// Events of the coming weeks, of every kind the grid shows.
void siembraEventos() {
    struct Ejemplo {
        int dias;
        const char *hora, *descripcion, *direccion, *municipio, *localidad, *clave, *nombre, *cargo,
            *representa, *suscriptor, *cargoSuscriptor, *observacion;
        int instruccion;
    };
    const Ejemplo ejemplos[] = {
        {1, "09:00", "Ceremonia de inicio del ciclo escolar", "Palacio de Gobierno, Cuernavaca", "007",
         "0001", "0004", "", "", "Secretario", "Alberto Sánchez Gallegos",
         "Presidente Municipal de Cuernavaca", "", 1},
        {1, "18:30", "Entrega de reconocimientos a docentes", "Teatro Ocampo, Cuernavaca", "007", "0001",
         "0011", "", "", "Gobernador", "Gustavo Lagunas Trejo",
         "Secretario General de la Sección 19 del SNTE", "Llevar el mensaje del C. Gobernador", 6},
        {3, "10:00", "Inauguración de aulas en la Escuela Primaria \"Emiliano Zapata\"",
         "Ex Hacienda de Chinameca, Ayala", "004", "0005", "", "Arq. Ramón Gil Cordero",
         "Director de Obras del Ayuntamiento", "Secretario", "Juana Ocampo Galindo",
         "Presidenta Municipal de Cuautla", "", 2},
        {4, "12:00", "Foro estatal de educación media superior", "Auditorio Emiliano Zapata de la UAEM",
         "007", "0004", "0005", "", "", "Secretario", "Héctor Luna Velázquez",
         "Rector de la Universidad Autónoma del Estado de Morelos", "", 4},
        {7, "00:00", "Feria del libro infantil", "Jardín Borda, Cuernavaca", "007", "0001", "0024", "", "",
         "Gobernador", "Elena Cervantes Lozano", "Presidenta del Sistema DIF Morelos", "", 7},
        {9, "11:30", "Firma de convenio con el CECyTE",
         "Salón de Usos Múltiples de la Secretaría de Educación", "099", "0001", "X77",
         "Lic. Marta Ibáñez Roldán", "Asesora externa", "Secretario", "Ignacio Zavala Rosales",
         "Director General del CECyTE Morelos", "Confirmar la asistencia un día antes", 3},
    };
    Conexion& t = Modulo::taloren();
    const QDate hoy = Reloj::actual().hoy();
    int folio = 0;
    t.enTransaccion([&] {
        for (const Ejemplo& e : ejemplos) {
            const QDateTime fecha(hoy.addDays(e.dias), QTime(9, 41));
            const int anio = fecha.date().year();
            const auto txt = [](const char* s) { return QString::fromUtf8(s); };
            ++folio;
            t.ejecuta(
                QStringLiteral(
                    "insert into evento (folio, año, fecha, hora, descripcion, direccion, cve_municipio,"
                    " cve_localidad, fecha_recepcion, fecha_fisica) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {folio, anio, fecha, txt(e.hora), txt(e.descripcion), txt(e.direccion), txt(e.municipio),
                 txt(e.localidad), fecha.addDays(-10), fecha.addDays(-9)});
            t.ejecuta(QStringLiteral(
                          "insert into suscriptor (folio, año, nombre, cargo_suscriptor, telefono, celular)"
                          " values (?, ?, ?, ?, ?, ?)"),
                      {folio, anio, txt(e.suscriptor), txt(e.cargoSuscriptor), QStringLiteral("777-3180100"),
                       QStringLiteral("___-_______")});
            t.ejecuta(
                QStringLiteral("insert into representante_del_evento (folio, año, clave_fun, clave_cargo,"
                               " clave_area, telefono, celular, clave_instruccion, representa_a, caracter,"
                               " observacion, fecha_llamada, nombre, cargo, area)"
                               " values (?, ?, ?, '', '', '', '', ?, ?, 'Normal', ?, ?, ?, ?, '')"),
                {folio, anio, txt(e.clave), e.instruccion, txt(e.representa), txt(e.observacion),
                 fecha.addDays(-8), txt(e.nombre), txt(e.cargo)});
        }
    });
}

void galeriaDeConsultas() {
    siembraEventos();
    frmConsultas consultas;
    retrata(consultas, QStringLiteral("frmConsultas"));
    consultas.OptFecha[1]->click();
    retrata(consultas, QStringLiteral("frmConsultas-rango"));
    consultas.OptFecha[2]->click();
    consultas.CmdBuscar->click();
    retrata(consultas, QStringLiteral("frmConsultas-busqueda"));
    // The names the search resolved, further right.
    consultas.GridResultados->horizontalScrollBar()->setValue(
        consultas.GridResultados->columnViewportPosition(7) +
        consultas.GridResultados->horizontalScrollBar()->value());
    retrata(consultas, QStringLiteral("frmConsultas-busqueda-nombres"));
    consultas.GridResultados->horizontalScrollBar()->setValue(0);
    consultas.cmdimprimeconsulta->click();
}

void galeriaDeOficios() {
    DatosDelOficio d;
    d.folio = QStringLiteral("12");
    d.fechaFisica = QDateTime::currentDateTime().addDays(-3);
    d.caracter = DatosDelOficio::Caracter::Prioritario;
    d.representante = QStringLiteral("Patricia Ocampo Bahena");
    d.cargoRepresentante = QStringLiteral("Subsecretaria de Educación Básica");
    d.suscriptor = QStringLiteral("Juana Ocampo Galindo");
    d.cargoSuscriptor = QStringLiteral("Presidenta Municipal de Cuautla");
    d.evento = QStringLiteral("Inauguración de aulas en la Escuela Primaria \"Emiliano Zapata\"");
    d.direccion = QStringLiteral("Callejón del Castigo 3, Col. Centro, Cuautla");
    d.fechaEvento = QDateTime::currentDateTime().addDays(9);
    d.hora = QStringLiteral("10:30");
    d.instruccion = QStringLiteral("2 Asistir y rendir tarjeta informativa al C. Secretario de Educación");
    d.observacion = QStringLiteral("Llevar el mensaje del C. Secretario.");
    d.representa = DatosDelOficio::Representa::Secretario;
    DocumentosDeOficio::CmdImprimir(d);
    d.representa = DatosDelOficio::Representa::Gobernador;
    DocumentosDeOficio::CmdImprimir(d);
}

// The first page of each document as LibreOffice lays it out: converted to
// PDF, whose first page poppler draws.
void retrataDocumentos(const QStringList& documentos, const QStringList& nombres) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (soffice.isEmpty() || pdftoppm.isEmpty()) {
        QTextStream(stderr)
            << "gallery: sin LibreOffice (libreoffice-writer-nogui) o sin pdftoppm (poppler-utils);"
               " las plantillas llenas no se retratan.\n";
        return;
    }
    QTemporaryDir salida, perfil;
    QProcess lo;
    lo.setProcessChannelMode(QProcess::MergedChannels);
    lo.start(soffice, QStringList{QStringLiteral("-env:UserInstallation=") +
                                      QUrl::fromLocalFile(perfil.path()).toString(),
                                  QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                                  QStringLiteral("pdf"), QStringLiteral("--outdir"), salida.path()}
                          << documentos);
    if (!lo.waitForFinished(300000) || lo.exitCode() != 0)
        qFatal("LibreOffice no convirtió los documentos: %s", lo.readAll().constData());
    for (int i = 0; i < documentos.size(); ++i) {
        const QString base = QDir(salida.path()).filePath(QFileInfo(documentos.at(i)).completeBaseName());
        QProcess dibujo;
        dibujo.setProcessChannelMode(QProcess::MergedChannels);
        dibujo.start(pdftoppm,
                     {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("80"),
                      QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                      QStringLiteral("-singlefile"), base + QStringLiteral(".pdf"), base});
        QImage imagen;
        if (!dibujo.waitForFinished(60000) || dibujo.exitCode() != 0 ||
            !imagen.load(base + QStringLiteral(".png")))
            qFatal("no se dibujó %s: %s", qPrintable(documentos.at(i)), dibujo.readAll().constData());
        guarda(QPixmap::fromImage(imagen), nombres.at(i));
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

    QTemporaryDir documentos;
    VisorDeLaGaleria visor;
    ProcesadorOOXML word({QStringLiteral(TALOREN_DATOS_DE_LA_CONSTRUCCION)}, documentos.path(), visor);
    const ProcesadorDeTextos::Sustituto conWord(word);

    galeriaDeInicio();
    galeriaDeControles();
    galeriaDeConsultas();
    galeriaDeOficios();
    if (visor.documentos.size() != 3)
        qFatal("se esperaban tres documentos y se hicieron %d", int(visor.documentos.size()));
    retrataDocumentos({visor.documentos.at(1), visor.documentos.at(2), visor.documentos.at(0)},
                      {QStringLiteral("plantilla-llena"), QStringLiteral("PlantillaRepGob1-llena"),
                       QStringLiteral("PlantillaConsulta-llena")});

    Modulo::DestruyeMdi();
    Modulo::CierraConexiones();
    for (const QString& archivo : escritos)
        salida << archivo << '\n';
    return 0;
}
