#pragma once

#include "server/Campo.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

class Conexion;

// Who makes a change: the account that logged in and the station it works
// at, as the history records them.
struct Autor {
    QString cuenta;
    QString estacion;
    // This machine's name.
    static QString estacionLocal();
};

// The history of every change to an invitation (kelmar) or an event of the
// register (taloren): who, from which station, when, and what. Each entry is
// written in the unit of work of the change it tells, so there is never one
// without the other. Stations may add entries and read them, never change
// or remove them; on a server the role and the time are the server's own.
namespace Historial {

enum class Tipo { Alta, Cambio, Baja };
QString nombreDe(Tipo tipo); // "alta", "cambio", "baja", as stored

// One field of an entry, named "tabla.columna"; its values as text (dates as
// "yyyy-MM-dd HH:mm:ss"), null where there is none.
struct CambioDeCampo {
    QString campo;
    QVariant antes, despues;
    bool operator==(const CambioDeCampo&) const = default;
};

struct Entrada {
    Catalogo catalogo = Catalogo::Kelmar;
    int anio = 0;
    int folio = 0;
    int version = 0; // the record's version after the change (a deletion: one more than its last)
    Tipo tipo = Tipo::Cambio;
    int sobrescribe = 0; // the newer version a change overwrote on purpose; 0 when none
    QString cuenta = {}, estacion = {}, rol = {};
    QDateTime fecha = {};
    // A change: the fields it changed; a deletion: the whole record as it
    // was; a new record: none (the record itself says what it holds).
    QList<CambioDeCampo> campos = {};
    bool operator==(const Entrada&) const = default;
};

// A field's value as the history keeps it, and its name there.
QVariant textoDe(const Campo& campo, const QVariant& valor);
QString nombreDelCampo(const Campo& campo);
// The fields whose stored value differs between two states of a record, in the field table's order.
template <class Registro>
QList<CambioDeCampo> diferencias(const QList<CampoDe<Registro>>& campos, const Registro& antes,
                                 const Registro& despues) {
    QList<CambioDeCampo> r;
    for (const CampoDe<Registro>& c : campos) {
        const QVariant a = textoDe(c, c.valorAlGuardar(antes)), d = textoDe(c, c.valorAlGuardar(despues));
        if (a != d)
            r << CambioDeCampo{nombreDelCampo(c), a, d};
    }
    return r;
}
// Every field of a record as it was: what a deletion keeps.
template <class Registro>
QList<CambioDeCampo> todos(const QList<CampoDe<Registro>>& campos, const Registro& registro) {
    QList<CambioDeCampo> r;
    for (const CampoDe<Registro>& c : campos)
        r << CambioDeCampo{nombreDelCampo(c), textoDe(c, c.valorAlGuardar(registro)), {}};
    return r;
}

// A stale save's comparison, field by field: what the screen read, what it
// shows now, and what is stored now, and which side changed it since the
// reading. Only the fields where the screen and the store differ.
struct Diferencia {
    QString campo, rotulo;
    QVariant leido, enPantalla, guardado;
    bool cambioAqui = false, cambioAlla = false;
};
template <class Registro>
QList<Diferencia> comparacion(const QList<CampoDe<Registro>>& campos, const Registro& leido,
                              const Registro& enPantalla, const Registro& guardado) {
    QList<Diferencia> r;
    for (const CampoDe<Registro>& c : campos) {
        const QVariant l = textoDe(c, c.valorAlGuardar(leido)), p = textoDe(c, c.valorAlGuardar(enPantalla)),
                       g = textoDe(c, c.valorAlGuardar(guardado));
        if (p != g)
            r << Diferencia{nombreDelCampo(c), c.textoDelRotulo(), l, p, g, p != l, g != l};
    }
    return r;
}

// Adds an entry and its fields, inside the caller's unit of work.
void escribe(Conexion& conexion, const Entrada& entrada, const Autor& autor);

// A record's entries, newest first.
QList<Entrada> delRegistro(Conexion& conexion, Catalogo catalogo, int anio, int folio);
// The latest entry of a record: who changed it last.
std::optional<Entrada> ultima(Conexion& conexion, Catalogo catalogo, int anio, int folio);
// The deletions, with the records as they were, newest first; from a day on when given.
QList<Entrada> borrados(Conexion& conexion, Catalogo catalogo, const QDate& desde = {});

// The caption a person reads for a stored field name; the name itself for
// one this program no longer has.
QString rotuloDe(Catalogo catalogo, const QString& campo);
// A stored value as a person reads it (dates as dd/MM/yyyy, with the hour when there is one).
QString paraMostrar(const QVariant& valor);

} // namespace Historial

namespace Esquema {
// The history's two tables, added to a catalog at that schema version.
QList<Tabla> tablasDelHistorial(int desde);
// The history of the imports into a catalog: one line per import that wrote
// something (kind "importación", its source and its counts), never one per row.
Tabla tablaDeImportaciones(int desde);
} // namespace Esquema
