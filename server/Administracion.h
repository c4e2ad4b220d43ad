#pragma once

#include "outside/AjustesDeConexion.h"

#include <QDateTime>
#include <QString>
#include <optional>

class Conexion;

// What the administration command does, kept apart from its command line so
// that tests and the embedded start-up use the same code.
namespace Administracion {
// Brings both catalogs up to date with their seed data: the embedded files, or
// on a PostgreSQL server the two databases, created when missing with the
// kelmar account of `ajustes` (which must be allowed to create databases).
// Returns a line per catalog saying what was done.
QStringList creaCatalogos(const AjustesDeConexion& ajustes);
// Drops both databases (tests clean up with it).
void borraCatalogos(const AjustesDeConexion& ajustes);

void agregaUsuario(Conexion& kelmar, const QString& cuenta, const QString& nick, const QString& contrasena);
void cambiaContrasena(Conexion& kelmar, const QString& cuenta, const QString& contrasena);

struct Configuracion {
    std::optional<bool> acceso;
    std::optional<QString> mensaje;
    std::optional<QDateTime> fechaUltimaVersion;
    std::optional<int> criticidad;
};
// Changes only what `cambios` holds; the row is created when missing.
void estableceConfiguracion(Conexion& kelmar, const Configuracion& cambios);
} // namespace Administracion
