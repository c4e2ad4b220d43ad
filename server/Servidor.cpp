#include "server/Servidor.h"

#include "outside/Conexion.h"
#include "outside/Procedimientos.h"

const CatalogoDeProcedimientos& Servidor::procedimientos(Catalogo catalogo) {
    static const CatalogoDeProcedimientos kelmar = [] {
        CatalogoDeProcedimientos c;
        registraAccesoAlSistema(c);
        registraReportesDeInvitaciones(c);
        registraInvitaciones(c);
        return c;
    }();
    static const CatalogoDeProcedimientos taloren = [] {
        CatalogoDeProcedimientos c;
        registraConsultaDeEventos(c);
        return c;
    }();
    return catalogo == Catalogo::Kelmar ? kelmar : taloren;
}

QString Servidor::nombre(Catalogo catalogo) {
    return catalogo == Catalogo::Kelmar ? QStringLiteral("kelmar") : QStringLiteral("taloren");
}

std::unique_ptr<Conexion> Servidor::abre(Catalogo catalogo, const AjustesDeConexion& ajustes) {
    auto c = std::make_unique<Conexion>(nombre(catalogo), &procedimientos(catalogo));
    c->abre(ajustes, catalogo == Catalogo::Kelmar ? ajustes.kelmar : ajustes.taloren);
    if (ajustes.motor == Motor::SQLite)
        Esquema::actualiza(*c, catalogo);
    else
        Esquema::exigeActual(*c, catalogo);
    return c;
}
