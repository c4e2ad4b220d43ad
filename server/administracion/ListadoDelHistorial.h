#pragma once

#include "server/Esquema.h"

#include <QDate>
#include <QStringList>

class Conexion;

// The history as taloren-admin prints it, only read: a record's changes, one
// line per changed field (date and time, account, station, kind, field,
// before, after, separated by tabs), and the deleted records with their whole
// content. Line breaks, tabs and backslashes inside a value are written as
// \n, \t and \\, so that each field stays on its line.
namespace ListadoDelHistorial {
QStringList delRegistro(Conexion& conexion, Catalogo catalogo, int anio, int folio);
// One block per deleted record, newest first (from `desde` on when given):
// its header line, then a line per field; a blank line between blocks.
QStringList borrados(Conexion& conexion, Catalogo catalogo, const QDate& desde = {});
} // namespace ListadoDelHistorial
