#pragma once

#include "outside/AjustesDeConexion.h"

#include <QString>
#include <QStringList>
#include <QVariant>

// The one rule for searching and sorting names, the same on every backend:
// a search finds the names that contain the typed text regardless of case and
// accents ("oscar", "ÓSCAR" and "MUNOZ" all find "Óscar Muñoz"), and lists
// sort as a Spanish reader expects ("Ángel" between "Alberto" and "Beatriz",
// "ñ" after "n"). The SQL it writes is the same text on both backends: two
// functions, taloren_busqueda and taloren_orden, which the embedded catalog
// gets from this very code on every connection and a server from its schema,
// so both answer alike.
namespace ReglaDeNombres {

// The text as a search compares it: lower case, no accents, "ñ" as "n".
QString paraBuscar(const QString& texto);
// The text as a sort compares it: as for searching, with "ñ" after "n".
QString paraOrdenar(const QString& texto);
// True when `a` sorts before `b` (ties broken by the texts themselves).
bool vaAntes(const QString& a, const QString& b);
void ordena(QStringList& lista);

// "taloren_busqueda(columna) like ? escape '!'": the condition of a
// "contains" search on `columna`; bind patronContiene(text) to it.
QString condicionContiene(const QString& columna);
QVariant patronContiene(const QString& texto);
// The ORDER BY expression that sorts `columna` by the rule.
QString ordenPor(const QString& columna);

// The two functions on a server's catalog (run by its schema).
QStringList funcionesParaPostgreSQL();
// The two functions on an SQLite connection (its driver handle, sqlite3*).
// False when the handle is not SQLite's.
bool registraEnSQLite(const QVariant& manejador);

} // namespace ReglaDeNombres
