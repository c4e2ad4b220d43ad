#include "Servidor.h"

#include "Procedimientos.h"

const CatalogoDeProcedimientos& Servidor::procedimientos(Catalogo catalogo) {
    static const CatalogoDeProcedimientos kelmar = [] {
        CatalogoDeProcedimientos c;
        registraAccesoAlSistema(c);
        return c;
    }();
    static const CatalogoDeProcedimientos taloren;
    return catalogo == Catalogo::Kelmar ? kelmar : taloren;
}
