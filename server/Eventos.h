#pragma once

#include "server/Evento.h"
#include "server/Historial.h"

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

// The next folio of a year as a screen shows it before storing: one more
// than the highest drawn or stored. The folio is drawn when the event is
// stored, so another station may take this one first; the save then says
// which folio the event got. A deleted event's folio is not given again: a
// letter or a history entry that names it never names another event.
QString siguienteFolio(Conexion& taloren, int anio);
bool existe(Conexion& taloren, int folio, int anio);
// The whole event, each row read by column name. An event that lacks one of
// its rows is an error that names the table; `busca` answers nothing when the
// event itself is not stored.
Evento lee(Conexion& taloren, int folio, int anio);
std::optional<Evento> busca(Conexion& taloren, int folio, int anio);
// The events dated between the two days, both included, whole, in one
// statement; an event that lacks one of its rows is left out.
QList<Evento> entreFechas(Conexion& taloren, const QDate& desde, const QDate& hasta);
// Stores a new event of the event's year under the folio drawn for it now
// (which it answers), at version 1, with its history.
int insertaConFolioNuevo(Conexion& taloren, const Evento& evento, const Autor& autor);
// Stores the event under its own folio (records brought from elsewhere,
// tests); the year's counter moves past it.
void inserta(Conexion& taloren, const Evento& evento, const Autor& autor);
// An update or a deletion writes only over the version the event carries:
// another station's change in between is never overwritten unseen. The
// check and the write are one unit with the history entry.
enum class Escritura { Hecha, Cambiado, Eliminado };
// Overwrites the three rows; `sobrescribe` says the person saw the stored
// version the event carries and chose to store the screen over it.
Escritura actualiza(Conexion& taloren, const Evento& evento, const Autor& autor, bool sobrescribe = false);
// Removes the three rows of that version; the history keeps the whole event.
Escritura elimina(Conexion& taloren, int folio, int anio, int version, const Autor& autor);

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
// screen holds and at which version, when a folio is drawn, and the guard
// between two stations.
class Captura {
public:
    struct Identidad {
        int folio = 0;
        int anio = 0;
        bool operator==(const Identidad&) const = default;
    };
    enum class Resultado {
        // A new event, stored under `folio` (another than the one shown when
        // another station stored that one meanwhile).
        Insertado,
        Actualizado,
        // A stored event that is not the one this screen looked up: nothing
        // was written over it.
        FolioAjeno,
        // Another station changed the event after this screen read it, or
        // removed it: nothing was written.
        Cambiado,
        Eliminado,
    };
    struct Guardado {
        Resultado resultado;
        int folio = 0; // Insertado: the folio it was stored under
    };

    // A new event is saved in two steps: the first save, with no folio on
    // screen, only shows the folio it will most likely get; the next stores it.
    static bool tocaSortear(const QString& folioEnPantalla) { return folioEnPantalla.trimmed().isEmpty(); }
    QString sortea(Conexion& taloren, int anio);
    // Stores the event: the one looked up (or stored) here is updated if it
    // is still at the version read, a new one is inserted, any other stored
    // one is left alone. `sobreVersion`, when given, is the newer stored
    // version the person saw and chose to overwrite.
    Guardado guarda(Conexion& taloren, const Evento& evento, const Autor& autor, int sobreVersion = 0);
    // The screen now shows that stored event as a look-up read it.
    void consultado(const Evento& leido);
    // The screen no longer shows a stored event nor a drawn folio.
    void olvida();
    // The folio the first save drew for a new event not stored yet; 0 when none.
    int folioSinGuardar() const { return m_sorteado ? m_sorteado->folio : 0; }
    // Only the event this screen looked up may be deleted from it.
    bool esElConsultado(int folio, int anio) const { return m_consultado == Identidad{folio, anio}; }
    // The event as this screen read or stored it last; none for a new one.
    const std::optional<Evento>& leido() const { return m_leido; }
    // Deletes the event looked up, if it is still at the version read (or at
    // `sobreVersion`, the newer one the person saw and chose to delete).
    Escritura elimina(Conexion& taloren, int folio, int anio, const Autor& autor, int sobreVersion = 0);

private:
    // The event this screen looked up or stored: only that one is overwritten or deleted.
    std::optional<Identidad> m_consultado;
    std::optional<Evento> m_leido;
    // The folio the first save showed for a new event.
    std::optional<Identidad> m_sorteado;
};

} // namespace Eventos
