#pragma once

#include "Esquema.h"

class CatalogoDeProcedimientos;

// The stored procedures of each catalog, as the embedded and PostgreSQL
// backends run them.
namespace Servidor {
const CatalogoDeProcedimientos& procedimientos(Catalogo catalogo);
}

// Each file of procedures registers its own.
void registraAccesoAlSistema(CatalogoDeProcedimientos& kelmar);
