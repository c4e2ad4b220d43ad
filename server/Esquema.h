#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Conexion;
class ErrorDeEjecucion;

enum class Catalogo { Kelmar, Taloren };

// The tables of both catalogs and the version a catalog must hold. The
// migrations that create them (server/administracion) bring the embedded
// catalogs up to date at start-up, a server's by the administration command.
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
// The type as both backends' DDL writes it: "varchar(10)", "smallint"...
QString textoDelTipo(Tipo tipo, int largo);
Columna varchar(const char* nombre, int largo, const char* resto = "");
Columna smallint(const char* nombre, const char* resto = "");
Columna integer(const char* nombre, const char* resto = "");
Columna timestamp(const char* nombre, const char* resto = "");

struct Tabla {
    QString nombre;
    QList<Columna> columnas;
    QStringList restricciones = {}; // table constraints, as written for both backends
    int desde = 1;                  // the catalog's schema version that created it
};
// Every table a catalog holds at one of its versions, each as it stands at
// that version, in the order they are created (a table after those its
// foreign keys point to). The migrations create them from here.
QList<Tabla> tablas(Catalogo catalogo, int version);
// The "alter table ... add column" text for one backend: a column that a
// later version adds to a table the catalog holds already.
QString sentenciaDeColumnaNueva(const QString& tabla, const Columna& columna, bool conChequeos);
// Creates the table on the connection's backend.
void creaTabla(Conexion& conexion, const Tabla& tabla);
// The "create table" text for one backend.
QString sentenciaDeTabla(const Tabla& tabla, bool conChequeos);

// The version this program's schema has reached; the migrations' list ends
// at it (they refuse to run otherwise).
int versionActual(Catalogo catalogo);
// The version a catalog holds; 0 when it has no schema yet.
int version(Conexion& conexion);
// The error of a catalog at another version than this program's.
ErrorDeEjecucion errorDeVersion(Conexion& conexion, Catalogo catalogo, int encontrada);
// Throws ErrorDeEjecucion unless the catalog is at this program's version:
// a server's catalogs are brought up to date by the administration command.
void exigeActual(Conexion& conexion, Catalogo catalogo);
} // namespace Esquema
