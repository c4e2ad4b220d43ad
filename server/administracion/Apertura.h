#pragma once

#include "outside/AjustesDeConexion.h"
#include "server/Esquema.h"

#include <memory>

class CatalogoDeProcedimientos;
class Conexion;

// Opening a catalog as the start-up, the administration command and the
// tests do: with every procedure, the login's included, and creating or
// migrating an embedded catalog on the way.
namespace Servidor {
// The data side's procedures of a catalog, and on kelmar the configuration
// read and the login's check, which compares digests.
const CatalogoDeProcedimientos& procedimientosConAcceso(Catalogo catalogo);
// Opens a catalog as the settings say, with those procedures. An embedded one
// is created or brought up to date on the way; a server's must already be
// current (the administration command updates it).
std::unique_ptr<Conexion> abre(Catalogo catalogo, const AjustesDeConexion& ajustes);
} // namespace Servidor

// sp_ZMXConfiguracion and ValidarUsuarioEnTaLoREN (AccesoAlSistema.cpp).
void registraAccesoAlSistema(CatalogoDeProcedimientos& kelmar);
