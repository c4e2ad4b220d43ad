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
// The first account of a new catalog.
inline constexpr const char* cuentaInicial = "admin";
inline constexpr const char* nickInicial = "Administrador";
// Its documented password on a new embedded catalog; a server's is the one
// its administrator gives.
inline constexpr const char* contrasenaInicialDeAdmin = "taloren";
} // namespace Semilla
