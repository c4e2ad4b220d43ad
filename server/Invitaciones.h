#pragma once

#include "outside/Recordset.h"
#include "server/Historial.h"
#include "server/Invitacion.h"

#include <QDate>
#include <QStringList>
#include <optional>

class Conexion;

// The invitations as the windows use them, on the kelmar connection: each
// operation calls its stored procedure with the record's parameters, so a
// window never names a parameter or a column.
namespace Invitaciones {

// Stores a new invitation of `invitacion.anio` under the year's next folio,
// which it answers, at version 1. `autor` captures it.
int registra(Conexion& kelmar, const Invitacion& invitacion, const Autor& autor);

// The stored invitation of that year and folio; none when there is no such.
std::optional<Invitacion> busca(Conexion& kelmar, int anio, int folio);

// Overwrites the stored invitation of the record's year and folio, if it is
// still at the record's version: a correction never overwrites unseen what
// another station stored after the look-up. `sobrescribe` says that the
// person saw that newer version (the record carries its number) and chose to
// store the screen over it; the history records it so.
struct Correccion {
    enum class Resultado { Guardada, Cambiada, Eliminada };
    Resultado resultado = Resultado::Guardada;
    int version = 0; // Guardada: the version stored now
    // Cambiada: the invitation as stored now; Cambiada and Eliminada: who
    // changed it last, when the history tells.
    std::optional<Invitacion> guardada;
    std::optional<Historial::Entrada> ultimoCambio;
};
Correccion corrige(Conexion& kelmar, const Invitacion& invitacion, const Autor& autor,
                   bool sobrescribe = false);

// The invitations whose event falls between the two days, both included,
// every column of each, in one statement.
QList<Invitacion> entreFechas(Conexion& kelmar, const QDate& desde, const QDate& hasta);

// The invitations of a report's criteria (ObtenerInvitaciones): events
// between the two days, holding the words typed (each at most 20
// characters), of the kind chosen ("Todas", "Confirmadas", ...).
struct Criterios {
    QDate desde, hasta;
    QString palabraDescripcion, palabraSuscriptor, palabraRepresentante;
    QString tipo;
};
Recordset buscaParaReporte(Conexion& kelmar, const Criterios& criterios);
// Stages one invitation for the report of the chosen folios.
void seleccionaParaImprimir(Conexion& kelmar, int anio, int folio);

// The staff whose name contains the text, by the program's name rule: name,
// post and area, sorted by name. The text is cut to what the search takes.
Recordset buscaFuncionarios(Conexion& kelmar, const QString& nombre);
inline constexpr int largoDeLaBusqueda = 30;

// The prefixes of each of the three lists (1: the description's, 2: the
// representative's, 3: the place's), in the catalogue's order, empty ones left out.
struct Prefijos {
    QStringList descripcion, representante, lugar;
};
Prefijos prefijos(Conexion& kelmar);
QStringList indicaciones(Conexion& kelmar);

// The years in which an event date needs no question, as the office sets
// them: from `atras` years before today's to `adelante` after.
struct AniosDelEvento {
    int atras = 10;
    int adelante = 10;
    bool admite(const QDate& fecha, const QDate& hoy) const {
        return fecha.year() >= hoy.year() - atras && fecha.year() <= hoy.year() + adelante;
    }
};
// The office's setting; the default when the catalog holds none.
AniosDelEvento aniosDelEvento(Conexion& kelmar);

// The statement of the years a look-up offers, for the year list to fill
// itself with (one value to bind: the current year): those of the table of
// years, those that hold invitations and the current one, in order.
const QString& consultaDeAnios();

} // namespace Invitaciones
