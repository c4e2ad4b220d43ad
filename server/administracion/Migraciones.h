#pragma once

#include "server/Esquema.h"

#include <QStringList>

class Conexion;

// The numbered migrations of both catalogs: the tables of the data side's
// definitions, the seed data and the account functions, version by version.
namespace Esquema {
// Applies every migration above the stored version, in one transaction, seed
// data included. Returns the version found before. A catalog that lost its
// version record gets it back from its tables, and `notas` says so. Throws
// ErrorDeEjecucion when the catalog is newer than this program, or holds
// tables that are not those of any of its versions (another program's).
// `hasta`, when given, stops at that version: what a catalog of an older
// program holds, to prove the migrations on it. Without `semilla` a new
// catalog starts empty: a restore brings every row from its export.
int actualiza(Conexion& conexion, Catalogo catalogo, QStringList* notas = nullptr, int hasta = 0,
              bool semilla = true);
} // namespace Esquema
