#pragma once

#include "server/Evento.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <optional>

class Conexion;
class Recordset;

// The event register on the taloren connection: looking an event up,
// storing, updating and deleting it, each writer one unit of work (the three
// rows change together or not at all, and a writer called inside a caller's
// unit joins it), and the register's rules, which the capture window follows.
namespace Eventos {

// Which year an event belongs to. An event is kept under the year of its own
// date: its folio counts within that year, and the save, the update, the
// deletion and the drawing of a folio use it. A look-up by folio comes before
// any event is on screen, so its event date says nothing yet: the year the
// person means is that of the first date the form asks for, the reception
// date, and the look-up searches that year.
int anioDelEvento(const QDate& fechaDelEvento);
int anioDeLaConsulta(const QDate& fechaDeRecepcion);

// The next folio of a year: one more than the highest stored, "1" for a
// year without events. Gaps left by deletions are not filled; the number is
// not reserved until the event is stored.
QString siguienteFolio(Conexion& taloren, int anio);
bool existe(Conexion& taloren, int folio, int anio);
// The whole event, each row read by column name. An event that lacks one of
// its rows is an error that names the table; `busca` answers nothing when the
// event itself is not stored.
Evento lee(Conexion& taloren, int folio, int anio);
std::optional<Evento> busca(Conexion& taloren, int folio, int anio);
void inserta(Conexion& taloren, const Evento& evento);
// Overwrites the three rows of the event with its folio and year; an event
// that lacks one of them is an error, never a partial update.
void actualiza(Conexion& taloren, const Evento& evento);
// Removes the three rows; answers how many events it removed (0 or 1).
int elimina(Conexion& taloren, int folio, int anio);

// The search of the query window: option 1 the events of the days from
// `inicio` to `fin` (both included), option 2 those from `inicio` on; in
// the sixteen columns of ConsultaDeEventos, by day, hour and folio.
Recordset buscaPorFechas(Conexion& taloren, int opcion, const QDate& inicio, const QDate& fin = {});
// The query the search runs, without its conditions.
QString consultaBase();
// The events named by their years and, in each, their folios, in the
// search's sixteen columns, in one statement: what the query sheets print.
Recordset deEventos(Conexion& taloren, const QMap<int, QList<int>>& foliosPorAnio);

// The register's rules as one capture screen follows them: which event the
// screen holds, when a folio is drawn, and the guard between two stations.
class Captura {
public:
    struct Identidad {
        int folio = 0;
        int anio = 0;
        bool operator==(const Identidad&) const = default;
    };
    enum class Resultado {
        Insertado,
        Actualizado,
        // Another station stored the folio this screen drew for its new
        // event: a new folio was drawn, and the next save stores it.
        FolioTomado,
        // A stored event that is not the one this screen looked up: nothing
        // was written over it.
        FolioAjeno,
    };
    struct Guardado {
        Resultado resultado;
        int nuevoFolio = 0; // FolioTomado: the folio drawn in its place
    };

    // A new event is saved in two steps: the first save, with no folio on
    // screen, only draws the folio and shows it; the next stores the event
    // under it.
    static bool tocaSortear(const QString& folioEnPantalla) { return folioEnPantalla.trimmed().isEmpty(); }
    QString sortea(Conexion& taloren, int anio);
    // Stores the event: a new one is inserted, the one looked up (or stored)
    // here is updated, and any other is left alone. The check and the write
    // are one unit, so another station's event is never taken for this one.
    Guardado guarda(Conexion& taloren, const Evento& evento);
    // The screen now shows that stored event (a look-up found it).
    void consultado(int folio, int anio);
    // The screen no longer shows a stored event nor a drawn folio.
    void olvida();
    // The folio the first save drew for a new event not stored yet; 0 when none.
    int folioSinGuardar() const { return m_sorteado ? m_sorteado->folio : 0; }
    // Only the event this screen looked up may be deleted from it.
    bool esElConsultado(int folio, int anio) const { return m_consultado == Identidad{folio, anio}; }
    // Deletes the event looked up; 0 when another station removed it first,
    // and then the screen no longer holds it.
    int elimina(Conexion& taloren, int folio, int anio);

private:
    // The event this screen looked up or stored: only that one is overwritten or deleted.
    std::optional<Identidad> m_consultado;
    // The folio the first save drew for a new event.
    std::optional<Identidad> m_sorteado;
};

} // namespace Eventos
