#pragma once

#include "outside/AjustesDeConexion.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

class Conexion;

// What the administration command does, kept apart from its command line so
// that tests and the embedded start-up use the same code.
//
// On a server the catalogs belong to an administrator role that no station
// uses ([admin] in the administration command's own settings file): it
// creates the databases, owns every table and the account functions, and
// grants each station account ([kelmar] user, [taloren] user) only the
// business tables, read-only the configuration and the schema version, the
// login's check, and nothing at all on the accounts.
namespace Administracion {
// Asked only when a server's kelmar catalog has no account yet: the first
// password of "admin". Empty means none was given.
using PideContrasena = std::function<QString()>;

// Brings both catalogs up to date: the embedded files (whose first account is
// the documented one), or on a PostgreSQL server the two databases, created
// when missing by the administrator role. Safe to run again and at the same
// time as another run (the second waits, then finds the catalogs current).
// Returns a line per thing done or to be done by hand.
// A restore creates them otherwise: empty (no seed data, no first account),
// and at the schema version of its export, which it migrates after the rows
// are in (then it runs this again, which grants the stations' accounts).
struct Creacion {
    bool semilla = true;
    int hastaKelmar = 0, hastaTaloren = 0; // 0: the current version
};
QStringList creaCatalogos(const AjustesDeConexion& ajustes, const PideContrasena& primeraContrasena = {},
                          const Creacion& como = {});
// Drops both databases (tests clean up with it), as the administrator.
void borraCatalogos(const AjustesDeConexion& ajustes);
// The settings with which the orders that change accounts or configuration
// work: on a server, both catalogs reached as the administrator role. Throws
// when the settings name none.
AjustesDeConexion comoAdministrador(const AjustesDeConexion& ajustes);

void agregaUsuario(Conexion& kelmar, const QString& cuenta, const QString& nick, const QString& contrasena);
void cambiaContrasena(Conexion& kelmar, const QString& cuenta, const QString& contrasena);

struct Configuracion {
    std::optional<bool> acceso;
    std::optional<QString> mensaje;
    std::optional<QDateTime> fechaUltimaVersion;
    std::optional<int> criticidad;
    std::optional<int> aniosAtras, aniosAdelante;
    std::optional<int> margenConflictos; // minutes, 1 to 1440
    std::optional<QString> zonaHoraria;  // an IANA name the system knows
};
// Changes only what `cambios` holds; the row is created when missing.
void estableceConfiguracion(Conexion& kelmar, const Configuracion& cambios);
} // namespace Administracion
