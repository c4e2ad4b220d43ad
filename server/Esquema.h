#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Conexion;

enum class Catalogo { Kelmar, Taloren };

// The tables of both catalogs as numbered migrations. The embedded catalogs
// are brought up to date at start-up, a server's by the administration command.
namespace Esquema {

// One column definition serves both backends. PostgreSQL enforces the types
// by itself; for SQLite the same definition adds named checks, so that the
// embedded catalog refuses exactly what the server refuses (a text longer
// than its column, a number out of its type's range or not a number, a date
// not in the one text form "yyyy-MM-dd HH:mm:ss"), with the same kind of error.
enum class Tipo { VarChar, SmallInt, Integer, Timestamp };
struct Columna {
    QString nombre;
    Tipo tipo;
    int largo = 0; // VarChar only
    QString resto; // "not null", "default ''", "primary key", "references t (c)"...
};
Columna varchar(const char* nombre, int largo, const char* resto = "");
Columna smallint(const char* nombre, const char* resto = "");
Columna integer(const char* nombre, const char* resto = "");
Columna timestamp(const char* nombre, const char* resto = "");

struct Tabla {
    QString nombre;
    QList<Columna> columnas;
    QStringList restricciones = {}; // table constraints, as written for both backends
};
// Creates the table on the connection's backend.
void creaTabla(Conexion& conexion, const Tabla& tabla);
// The "create table" text for one backend.
QString sentenciaDeTabla(const Tabla& tabla, bool conChequeos);

// The version this program's schema has reached.
int versionActual(Catalogo catalogo);
// The version a catalog holds; 0 when it has no schema yet.
int version(Conexion& conexion);
// Applies every migration above the stored version, in one transaction, seed
// data included. Returns the version found before. A catalog that lost its
// version record gets it back from its tables, and `notas` says so. Throws
// ErrorDeEjecucion when the catalog is newer than this program, or holds
// tables that are not those of any of its versions (another program's).
int actualiza(Conexion& conexion, Catalogo catalogo, QStringList* notas = nullptr);
// Throws ErrorDeEjecucion unless the catalog is at this program's version:
// a server's catalogs are brought up to date by the administration command.
void exigeActual(Conexion& conexion, Catalogo catalogo);
} // namespace Esquema
