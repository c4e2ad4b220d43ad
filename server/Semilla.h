#pragma once

class Conexion;

// The rows a new catalog starts with: the office's catalogues and the first
// account. Run once, by the first migration, inside its transaction.
namespace Semilla {
void siembraKelmar(Conexion& kelmar);
void siembraTaloren(Conexion& taloren);
// The password of the first account "admin" of a new catalog.
inline constexpr const char* contrasenaInicialDeAdmin = "taloren";
} // namespace Semilla
