#include "server/administracion/Apertura.h"

#include "outside/Conexion.h"
#include "outside/Procedimientos.h"
#include "server/Servidor.h"
#include "server/administracion/Migraciones.h"

const CatalogoDeProcedimientos& Servidor::procedimientosConAcceso(Catalogo catalogo) {
    static const CatalogoDeProcedimientos kelmar = [] {
        CatalogoDeProcedimientos c;
        registraProcedimientos(Catalogo::Kelmar, c);
        registraAccesoAlSistema(c);
        return c;
    }();
    return catalogo == Catalogo::Kelmar ? kelmar : procedimientos(Catalogo::Taloren);
}

std::unique_ptr<Conexion> Servidor::abre(Catalogo catalogo, const AjustesDeConexion& ajustes) {
    auto c = std::make_unique<Conexion>(nombre(catalogo), &procedimientosConAcceso(catalogo));
    c->abre(ajustes, catalogo == Catalogo::Kelmar ? ajustes.kelmar : ajustes.taloren);
    if (ajustes.motor == Motor::SQLite)
        Esquema::actualiza(*c, catalogo);
    else
        Esquema::exigeActual(*c, catalogo);
    return c;
}
