#pragma once

#include "server/Agenda.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// The agenda outside the program: calendar files (RFC 5545) that the
// officials' phones import, and the public agenda as open data.
namespace Calendario {

// What the office sets for its calendar files (the configuration row).
struct Oficina {
    QString zona;      // IANA name, "America/Mexico_City" unless set otherwise
    QString identidad; // the catalog's own identifier, made once by create
    int margen = Agenda::margenPorOmision;
};
// Throws when the catalog holds no configuration row or no identity, or when
// the zone is not one this system knows.
Oficina oficina(Conexion& kelmar);

// The UID of an entry: it never changes for that record, wherever its
// catalog is moved.
QString uid(const Agenda::Entrada& entrada, const QString& identidad);

// One VEVENT per entry, in the office's zone with that zone's VTIMEZONE over
// the entries' dates; `canceladas` go as STATUS:CANCELLED, so that a client
// that imported them before takes them off. `sello` is the DTSTAMP (UTC).
QByteArray ics(const QList<Agenda::Entrada>& entradas, const QList<Agenda::Entrada>& canceladas,
               const Oficina& oficina, const QDateTime& sello);

// The records deleted (by the history) whose day falls within the filter:
// the entries to cancel in calendars that hold them.
QList<Agenda::Entrada> eliminadas(Conexion& kelmar, Conexion& taloren, Agenda::Lector& lector,
                                  const Agenda::Filtro& filtro);

// The public agenda: confirmed entries only, with what a transparency portal
// publishes (date, hour, event, place, who invites, who attends on behalf of
// whom), nothing of the observations or telephones. UTF-8, RFC 4180.
QByteArray csvPublico(const QList<Agenda::Entrada>& entradas);

} // namespace Calendario
