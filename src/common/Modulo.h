#pragma once

#include "server/Esquema.h"

#include <QDate>
#include <QString>
#include <functional>
#include <memory>

struct Autor;
namespace Agenda {
class Lector;
struct Entrada;
} // namespace Agenda
class Conexion;
class Reporte;
class ErrorDeEjecucion;
class QComboBox;
class QTableWidgetItem;
class QDialog;
class QWidget;

// The program-wide values and the shared routines every window uses.
namespace Modulo {

// The logged user, set by the login.
extern QString NickUsuario;
extern QString CuentaUsuario;
// Who writes a change: the logged account at this station.
::Autor autor();
// The kelmar account, which reports log on with.
extern QString UsuarioKelmar;
extern QString ClaveKelmar;
// Line breaks of every multi-line message: carriage returns, no line feed.
extern const QString DobleSalto;
extern const QString Salto;
// The date of this client version; the server names the current one.
extern const QDate FechaDeEstaVersion;

// The two connections, held from the start-up to the end.
Conexion& kelmar();
Conexion& taloren();
// The start-up opens them (through the administration side, which windows do
// not link) and hands them over here; the one handed before is closed.
void EstableceConexion(Catalogo catalogo, std::unique_ptr<Conexion> conexion);
void CierraConexiones();

// The main window, which work windows centre on; the start-up registers it.
void EstableceVentanaPrincipal(QWidget* ventana);
QWidget* VentanaPrincipal();

// Ends the program at once, without further questions.
void TerminaPrograma();
bool ProgramaTerminado();
void ReiniciaTerminacion();

// Every modal window is shown through here, so tests can take its place.
int MuestraModal(QDialog& ventana);

// How one work window opens another's. The window folders never link each
// other: the main window wires every opening here at start-up, all in one
// place, and a window asks for one by its name below.
struct Aperturas {
    // The event query window, loaded afresh, returning when it closes.
    std::function<void()> consultas;
    // An event of the register shown in the capture window, looked up by its
    // folio and year. True when the window that opened the query shows it
    // itself, so the query window closes.
    std::function<bool(int folio, int anio)> evento;
    // An invitation shown in the correction window, looked up by its year and
    // folio, returning when it closes.
    std::function<void(int anio, int folio)> invitacion = {};
    // A report with its data, to the screen or the printer as the person chooses.
    std::function<void(std::shared_ptr<Reporte> reporte)> reporte = {};
};
void EstableceAperturas(Aperturas aperturas);
const Aperturas& AperturasEnUso();
// Each opening; an error when nothing wired it.
void AbreConsultas();
bool AbreEvento(int folio, int anio);
void AbreInvitacion(int anio, int folio);
void EntregaReporte(std::shared_ptr<Reporte> reporte);

// Tests put their own terminator or modal shower while one of these lives;
// the real one is back when it goes, also when the test fails half-way.
class SustitutoDelTerminador {
public:
    explicit SustitutoDelTerminador(std::function<void()> terminador);
    ~SustitutoDelTerminador();

private:
    std::function<void()> m_anterior;
};
class SustitutoModal {
public:
    explicit SustitutoModal(std::function<int(QDialog&)> mostrador);
    ~SustitutoModal();

private:
    std::function<int(QDialog&)> m_anterior;
};

// The shared routines.
void MensajeDeError(const QString& texto);
void MensajeInformativo(const QString& texto);
QString ConfirmaSiNo(const QString& texto);
// The same question with "No" as the default answer, for those where the
// hasty Enter must not lose anything.
QString ConfirmaConNoPredeterminado(const QString& texto);
// An event date outside the years the office sets (taloren-admin set-config)
// asks first, "No" first: an old record can still be corrected. True when
// the date is within them or the person goes on.
bool FechaDelEventoAdmitida(const QDate& fecha);
// The agenda's reader on the two connections in use, made again when they
// change; it keeps the staff names and the office's margin it has read.
Agenda::Lector& LectorDeAgenda();
// Before storing an entry of the agenda: when its person (the representative,
// or the official when none is named) has another invitation or event that
// conflicts with it, lists them and asks whether to save anyway, "No" first.
// True when there is none or the person goes on. A check that cannot be made
// throws, for the window to report as it reports its save's errors.
bool SinDobleReserva(const Agenda::Entrada& propuesta);
QString EligeSalidaDeReporte();
// Where to save a file the program writes: a save dialog (its object name
// `nombre`, for tests) suggesting `sugerido`, then, for a file that exists,
// the question whether to replace it (its questions go through the program's
// own boxes). Empty when the person gives up.
QString EligeArchivoParaGuardar(QWidget* padre, const QString& nombre, const QString& titulo,
                                const QString& sugerido, const QString& filtro, const QString& sufijo);
void LlenaCmbHoras(QComboBox* combo);
// Completes the text typed into an editable combo from its list. The combo's
// own completer must be off (setCompleter(nullptr)) so that only this runs.
void AutoCompletaCombo(QComboBox* combo, bool& borrando);

// "Error: <number>", a line break, "<etiqueta><description>", a line break and
// "Sourc: <source>": the form in which the login and the staff search report
// what went wrong; then, for an error of the database, a line "Detalle: "
// with what the server or the driver said.
QString TextoDeError(const ErrorDeEjecucion& error, const QString& etiqueta);

// The office's forms were drawn in twips, fifteen to a pixel.
constexpr int Pixeles(int twips) {
    return twips / 15;
}
// A dialog of fixed size (in twips) with its name and caption, as the
// office's windows are: a title bar and a close box, nothing to resize.
void PreparaVentanaFija(QDialog& ventana, const QString& nombre, const QString& titulo, int anchoEnTwips,
                        int altoEnTwips);

// Places a window at half the difference between the main window's size and
// its own, as the work windows do on loading.
void CentraEnMdi(QWidget& ventana);
// A grid cell that is read, not edited; a long value (an observation) shows
// whole as its tool tip without widening the column.
QTableWidgetItem* CeldaDeLectura(const QString& texto);

} // namespace Modulo
