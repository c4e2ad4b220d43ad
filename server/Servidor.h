#pragma once

#include "server/Esquema.h"

class CatalogoDeProcedimientos;

// The stored procedures that the windows call, as the embedded and PostgreSQL
// backends run them. The login's check belongs to the administration side,
// which extends these catalogs with it (server/administracion/Apertura.h).
namespace Servidor {
// Adds this side's procedures of a catalog to `catalogo`.
void registraProcedimientos(Catalogo catalogo, CatalogoDeProcedimientos& procedimientos);
// The same, built once.
const CatalogoDeProcedimientos& procedimientos(Catalogo catalogo);
QString nombre(Catalogo catalogo);
} // namespace Servidor

// Each file of procedures registers its own.
void registraReportesDeInvitaciones(CatalogoDeProcedimientos& kelmar);
void registraInvitaciones(CatalogoDeProcedimientos& kelmar);
// sp_ZMXObtenerRegsInvitaciones, the event search (ConsultaDeEventos.cpp).
void registraConsultaDeEventos(CatalogoDeProcedimientos& taloren);
