#pragma once

#include "outside/AjustesDeConexion.h"
#include "server/Esquema.h"

#include <memory>

class CatalogoDeProcedimientos;
class Conexion;

// The stored procedures of each catalog, as the embedded and PostgreSQL
// backends run them.
namespace Servidor {
const CatalogoDeProcedimientos& procedimientos(Catalogo catalogo);
// Opens a catalog as the settings say, with its procedures. An embedded one is
// created or brought up to date on the way; a server's must already be current
// (the administration command updates it).
std::unique_ptr<Conexion> abre(Catalogo catalogo, const AjustesDeConexion& ajustes);
QString nombre(Catalogo catalogo);
} // namespace Servidor

// Each file of procedures registers its own.
void registraAccesoAlSistema(CatalogoDeProcedimientos& kelmar);
void registraReportesDeInvitaciones(CatalogoDeProcedimientos& kelmar);
void registraInvitaciones(CatalogoDeProcedimientos& kelmar);
// sp_ZMXObtenerRegsInvitaciones, the event search (ConsultaDeEventos.cpp).
void registraConsultaDeEventos(CatalogoDeProcedimientos& taloren);
