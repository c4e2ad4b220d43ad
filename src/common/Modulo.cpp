#include "common/Modulo.h"

#include "common/Avisos.h"
#include "controls/AutoCompletado.h"
#include "outside/CajaDeMensajes.h"
#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Reloj.h"
#include "server/Agenda.h"
#include "server/Historial.h"
#include "server/Invitaciones.h"
#include "server/Servidor.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QSignalBlocker>
#include <QTableWidgetItem>
#include <memory>

namespace Modulo {

QString NickUsuario;
QString CuentaUsuario;

::Autor autor() {
    return {CuentaUsuario, Autor::estacionLocal()};
}
QString UsuarioKelmar;
QString ClaveKelmar;
const QString DobleSalto = QStringLiteral("\r\r");
const QString Salto = QStringLiteral("\r");
const QDate FechaDeEstaVersion(2011, 11, 18);

namespace {

std::unique_ptr<Conexion> conexionKelmar;
std::unique_ptr<Conexion> conexionTaloren;
// Made on the two connections above, so it goes before them.
std::unique_ptr<Agenda::Lector> lectorDeAgenda;
QPointer<QWidget> ventanaPrincipal;
bool terminado = false;
std::function<void()> terminador;
std::function<int(QDialog&)> mostrador;
Aperturas aperturas;

std::unique_ptr<Conexion>& ranura(Catalogo catalogo) {
    return catalogo == Catalogo::Kelmar ? conexionKelmar : conexionTaloren;
}

Conexion& conexion(Catalogo catalogo) {
    auto& c = ranura(catalogo);
    // Never opened yet: a closed connection, so callers get its clear error.
    if (!c)
        c = std::make_unique<Conexion>(Servidor::nombre(catalogo), &Servidor::procedimientos(catalogo));
    return *c;
}

void muestraCaja(CajaDeMensajes::Icono icono, const QString& texto) {
    Avisa({icono, {}, texto, CajaDeMensajes::Aceptar, CajaDeMensajes::Aceptar, CajaDeMensajes::Aceptar},
          Titulo::DeRutinas);
}

} // namespace

Conexion& kelmar() {
    return conexion(Catalogo::Kelmar);
}

Conexion& taloren() {
    return conexion(Catalogo::Taloren);
}

void EstableceConexion(Catalogo catalogo, std::unique_ptr<Conexion> conexion) {
    if (!conexion)
        throw ErrorDeEjecucion(CodigoDeError::Interno,
                               QStringLiteral("Se entregó al programa una conexión %1 inexistente.")
                                   .arg(Servidor::nombre(catalogo)),
                               QStringLiteral("EstableceConexion"));
    lectorDeAgenda.reset();
    ranura(catalogo) = std::move(conexion);
}

void CierraConexiones() {
    lectorDeAgenda.reset();
    conexionKelmar.reset();
    conexionTaloren.reset();
}

Agenda::Lector& LectorDeAgenda() {
    if (!lectorDeAgenda)
        lectorDeAgenda = std::make_unique<Agenda::Lector>(kelmar(), taloren());
    return *lectorDeAgenda;
}

bool SinDobleReserva(const Agenda::Entrada& propuesta) {
    Agenda::Lector& lector = LectorDeAgenda();
    const QList<Agenda::Entrada> otras = Agenda::conflictosDe(lector, propuesta, lector.margen());
    if (otras.isEmpty())
        return true;
    QStringList lineas;
    for (const Agenda::Entrada& e : otras)
        lineas << QStringLiteral("%1 %2/%3, %4, %5, %6, %7")
                      .arg(e.tipo == Agenda::Tipo::Invitacion ? QStringLiteral("Invitación")
                                                              : QStringLiteral("Evento"))
                      .arg(e.folio)
                      .arg(e.anio)
                      .arg(e.hora ? e.hora->toString(QStringLiteral("HH:mm")) : QStringLiteral("sin hora"),
                           e.descripcion.simplified(),
                           e.lugar.simplified().isEmpty() ? QStringLiteral("sin lugar")
                                                          : e.lugar.simplified(),
                           e.confirmada ? QStringLiteral("confirmado") : QStringLiteral("sin confirmar"));
    return ConfirmaConNoPredeterminado(
               NickUsuario + DobleSalto +
               QStringLiteral("%1 ya tiene otro compromiso el %2 %3:")
                   .arg(propuesta.persona(), propuesta.dia.toString(QStringLiteral("dd/MM/yyyy")),
                        propuesta.hora
                            ? QStringLiteral("a menos de %1 minutos de éste").arg(LectorDeAgenda().margen())
                            : QStringLiteral("sin hora, como éste")) +
               DobleSalto + lineas.join(Salto) + DobleSalto +
               QStringLiteral("¿Desea guardarlo de todos modos?")) == QLatin1String("SI");
}

void EstableceVentanaPrincipal(QWidget* ventana) {
    ventanaPrincipal = ventana;
}

QWidget* VentanaPrincipal() {
    return ventanaPrincipal.data();
}

void TerminaPrograma() {
    terminado = true;
    if (terminador) {
        terminador();
        return;
    }
    // Every event loop ends, the login's and the main one alike.
    QCoreApplication::exit(0);
}

bool ProgramaTerminado() {
    return terminado;
}

void ReiniciaTerminacion() {
    terminado = false;
}

int MuestraModal(QDialog& ventana) {
    if (mostrador)
        return mostrador(ventana);
    return ventana.exec();
}

void EstableceAperturas(Aperturas nuevas) {
    aperturas = std::move(nuevas);
}

namespace {
// An opening that nothing wired: the program was built without that window.
template <typename F> const F& apertura(const F& abre, const char* que, const char* fuente) {
    if (!abre)
        throw ErrorDeEjecucion(
            51, QStringLiteral("%1 no está disponible en este programa").arg(QString::fromUtf8(que)),
            QString::fromUtf8(fuente));
    return abre;
}
} // namespace

void AbreConsultas() {
    apertura(aperturas.consultas, "La ventana de consultas", "AbreConsultas")();
}

const Aperturas& AperturasEnUso() {
    return aperturas;
}

bool AbreEvento(int folio, int anio) {
    return apertura(aperturas.evento, "La captura de eventos", "AbreEvento")(folio, anio);
}

void EntregaReporte(std::shared_ptr<Reporte> reporte) {
    apertura(aperturas.reporte, "La salida de los reportes", "EntregaReporte")(std::move(reporte));
}

void AbreInvitacion(int anio, int folio) {
    apertura(aperturas.invitacion, "La modificación de invitaciones", "AbreInvitacion")(anio, folio);
}

SustitutoDelTerminador::SustitutoDelTerminador(std::function<void()> f) : m_anterior(std::move(terminador)) {
    terminador = std::move(f);
}

SustitutoDelTerminador::~SustitutoDelTerminador() {
    terminador = std::move(m_anterior);
    terminado = false;
}

SustitutoModal::SustitutoModal(std::function<int(QDialog&)> f) : m_anterior(std::move(mostrador)) {
    mostrador = std::move(f);
}

SustitutoModal::~SustitutoModal() {
    mostrador = std::move(m_anterior);
}

void MensajeDeError(const QString& texto) {
    muestraCaja(CajaDeMensajes::Icono::Critico, texto);
}

void MensajeInformativo(const QString& texto) {
    muestraCaja(CajaDeMensajes::Icono::Informacion, texto);
}

namespace {
QString preguntaSiNo(const QString& texto, CajaDeMensajes::Boton predeterminada) {
    const auto r = Avisa({CajaDeMensajes::Icono::Pregunta,
                          {},
                          texto,
                          CajaDeMensajes::Si | CajaDeMensajes::No,
                          predeterminada,
                          CajaDeMensajes::No},
                         Titulo::DeRutinas);
    return r == CajaDeMensajes::Si ? QStringLiteral("SI") : QStringLiteral("NO");
}
} // namespace

QString ConfirmaSiNo(const QString& texto) {
    return preguntaSiNo(texto, CajaDeMensajes::Si);
}

QString ConfirmaConNoPredeterminado(const QString& texto) {
    return preguntaSiNo(texto, CajaDeMensajes::No);
}

bool FechaDelEventoAdmitida(const QDate& fecha) {
    Invitaciones::AniosDelEvento anios;
    try {
        anios = Invitaciones::aniosDelEvento(kelmar());
    } catch (...) {
        // Without the office's setting nothing is saved: the save would meet the same fault.
        ReportaErrorActual(FormaDeReporte::Ventana);
        return false;
    }
    const QDate hoy = Reloj::actual().hoy();
    if (anios.admite(fecha, hoy))
        return true;
    return ConfirmaConNoPredeterminado(
               NickUsuario + DobleSalto +
               QStringLiteral("La fecha del evento, %1, está fuera de los años en que la oficina registra "
                              "eventos sin preguntar (de %2 a %3).")
                   .arg(fecha.toString(QStringLiteral("dd/MM/yyyy")))
                   .arg(hoy.year() - anios.atras)
                   .arg(hoy.year() + anios.adelante) +
               DobleSalto + QStringLiteral("¿Desea continuar?")) == QLatin1String("SI");
}

QString EligeArchivoParaGuardar(QWidget* padre, const QString& nombre, const QString& titulo,
                                const QString& sugerido, const QString& filtro, const QString& sufijo) {
    QFileDialog dialogo(padre, titulo, sugerido, filtro);
    dialogo.setObjectName(nombre);
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    dialogo.setDefaultSuffix(sufijo);
    dialogo.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    if (MuestraModal(dialogo) != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return {};
    const QString archivo = dialogo.selectedFiles().constFirst();
    if (QFileInfo::exists(archivo) &&
        ConfirmaSiNo(NickUsuario + DobleSalto +
                     QStringLiteral("El archivo %1 ya existe. ¿Desea reemplazarlo?")
                         .arg(QDir::toNativeSeparators(archivo))) != QLatin1String("SI"))
        return {};
    return archivo;
}

QString EligeSalidaDeReporte() {
    const auto r =
        Avisa({CajaDeMensajes::Icono::Informacion,
               {},
               NickUsuario + DobleSalto +
                   QStringLiteral(
                       "Elige SI para enviar el reporte a la impresora, elige NO para verlo previamente en "
                       "pantalla o eliga Cancelar para continuar sin hacer nada."),
               CajaDeMensajes::Si | CajaDeMensajes::No | CajaDeMensajes::Cancelar,
               CajaDeMensajes::Si,
               CajaDeMensajes::Cancelar},
              Titulo::DeRutinas);
    if (r == CajaDeMensajes::Si)
        return QStringLiteral("Impresora");
    if (r == CajaDeMensajes::No)
        return QStringLiteral("Pantalla");
    return QStringLiteral("Cancelar");
}

void LlenaCmbHoras(QComboBox* combo) {
    QStringList horas{QStringLiteral("SinHr")};
    for (int hora = 5; hora <= 23; ++hora)
        for (int minuto : {0, 30})
            horas << QStringLiteral("%1:%2")
                         .arg(hora, 2, 10, QLatin1Char('0'))
                         .arg(minuto, 2, 10, QLatin1Char('0'));
    // Filling selects nothing: a combo that had no choice keeps none (Qt picks
    // the first entry of a list that was empty).
    const int antes = combo->currentIndex();
    const QString texto = combo->currentText();
    const QSignalBlocker bloqueo(combo);
    combo->addItems(horas);
    if (antes == -1) {
        combo->setCurrentIndex(-1);
        if (combo->isEditable())
            combo->setEditText(texto);
    }
}

void AutoCompletaCombo(QComboBox* combo, bool& borrando) {
    Controles::AutoCompletaCombo(combo, borrando);
}

QString TextoDeError(const ErrorDeEjecucion& error, const QString& etiqueta) {
    QString texto = QStringLiteral("Error: ") + QString::number(error.numero()) + QStringLiteral("\r\n") +
                    etiqueta + error.descripcion() + QStringLiteral("\r\n") + QStringLiteral("Sourc: ") +
                    error.fuente();
    if (!error.detalle().isEmpty())
        texto += QStringLiteral("\r\nDetalle: ") + error.detalle();
    return texto;
}

QTableWidgetItem* CeldaDeLectura(const QString& texto) {
    auto* item = new QTableWidgetItem(texto);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setToolTip(texto);
    return item;
}

void PreparaVentanaFija(QDialog& ventana, const QString& nombre, const QString& titulo, int anchoEnTwips,
                        int altoEnTwips) {
    ventana.setObjectName(nombre);
    ventana.setWindowTitle(titulo);
    ventana.setFixedSize(Pixeles(anchoEnTwips), Pixeles(altoEnTwips));
    ventana.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
}

void CentraEnMdi(QWidget& ventana) {
    QRect principal;
    if (ventanaPrincipal)
        principal = ventanaPrincipal->frameGeometry();
    else if (const QScreen* pantalla = QGuiApplication::primaryScreen())
        principal = pantalla->availableGeometry();
    ventana.move(principal.left() + (principal.width() - ventana.width()) / 2,
                 principal.top() + (principal.height() - ventana.height()) / 2);
}

} // namespace Modulo
