#pragma once

class Conexion;

// The rows a new catalog starts with: the office's catalogues and the first
// account. Run once, by the first migration, inside its transaction.
namespace Semilla {
void siembraKelmar(Conexion& kelmar);
void siembraTaloren(Conexion& taloren);
// A "Sin Localidad" in every municipality that lacks one, so that an event
// placed in a municipality, locality unknown, has a locality of its own.
void agregaSinLocalidad(Conexion& kelmar);
// The password of the first account "admin" of a new catalog.
inline constexpr const char* contrasenaInicialDeAdmin = "taloren";
} // namespace Semilla
