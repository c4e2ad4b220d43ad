#pragma once

#include "server/Historial.h"

#include <QDateTime>
#include <QList>
#include <QString>

// A record's history as a person reads it, one line per changed field: what
// the history window lists and what taloren-admin prints, stated once.
namespace Historial {

struct Renglon {
    QDateTime fecha;
    QString cuenta, estacion;
    QString tipo;           // "alta", "cambio", "baja"; "cambio (sobre la versión 2)" for an overwrite
    QString campo;          // the field's caption; empty for a new record
    QString antes, despues; // as a person reads them
};

// The kind of an entry in words, saying when it overwrote a newer version on purpose.
QString textoDelTipo(const Entrada& entrada);
// Each entry in the order given: a new record one line with no field, a
// change one line per field it changed, a deletion one line per field with
// its value under "before". An entry without fields still has its line.
QList<Renglon> renglones(const QList<Entrada>& entradas);
// "12/03/2026 10:15:07": the date and time of an entry.
QString textoDeFecha(const QDateTime& fecha);

} // namespace Historial
