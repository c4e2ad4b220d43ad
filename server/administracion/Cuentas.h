#pragma once

#include "outside/Recordset.h"

#include <QString>
#include <QStringList>
#include <QVariant>

class Conexion;

// The login's accounts on both backends. On a server the table of accounts
// belongs to the administrator role and no station may read it: the check,
// the new account and the new password are functions of that role, and the
// digests are made and compared on the server. The embedded catalog does the
// same in the program, with digests of the same form.
namespace Cuentas {

// The functions a server's kelmar catalog holds, as statements of a
// migration: each may run again.
QStringList funcionesParaPostgreSQL();

// One row (Nick, CuentaUsr) for an active account whose password matches;
// none otherwise. An unknown account costs the same digest as a known one,
// so the delay does not tell which accounts exist.
Recordset valida(Conexion& kelmar, const QVariant& cuenta, const QString& contrasena);

void agrega(Conexion& kelmar, const QString& cuenta, const QString& nick, const QString& contrasena);
// Throws when the account does not exist.
void cambiaContrasena(Conexion& kelmar, const QString& cuenta, const QString& contrasena);

// The accounts whose digests are of an earlier form than a server verifies.
QStringList conDigestoAnterior(Conexion& kelmar);

} // namespace Cuentas
