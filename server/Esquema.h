#pragma once

class Conexion;

enum class Catalogo { Kelmar, Taloren };

// The tables of both catalogs as numbered migrations. The embedded catalogs
// are brought up to date at start-up, a server's by the administration command.
namespace Esquema {
// The version this program's schema has reached.
int versionActual(Catalogo catalogo);
// The version a catalog holds; 0 when it has no schema yet.
int version(Conexion& conexion);
// Applies every migration above the stored version, each in one transaction,
// seed data included. Returns the version found before. Throws
// ErrorDeEjecucion when the catalog is newer than this program.
int actualiza(Conexion& conexion, Catalogo catalogo);
// Throws ErrorDeEjecucion unless the catalog is at this program's version:
// a server's catalogs are brought up to date by the administration command.
void exigeActual(Conexion& conexion, Catalogo catalogo);
} // namespace Esquema
