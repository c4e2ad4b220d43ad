#include "server/Servidor.h"

#include "outside/Procedimientos.h"

void Servidor::registraProcedimientos(Catalogo catalogo, CatalogoDeProcedimientos& procedimientos) {
    if (catalogo == Catalogo::Kelmar) {
        registraReportesDeInvitaciones(procedimientos);
        registraInvitaciones(procedimientos);
    } else {
        registraConsultaDeEventos(procedimientos);
    }
}

const CatalogoDeProcedimientos& Servidor::procedimientos(Catalogo catalogo) {
    static const auto construye = [](Catalogo c) {
        CatalogoDeProcedimientos hecho;
        registraProcedimientos(c, hecho);
        return hecho;
    };
    static const CatalogoDeProcedimientos kelmar = construye(Catalogo::Kelmar);
    static const CatalogoDeProcedimientos taloren = construye(Catalogo::Taloren);
    return catalogo == Catalogo::Kelmar ? kelmar : taloren;
}

QString Servidor::nombre(Catalogo catalogo) {
    return catalogo == Catalogo::Kelmar ? QStringLiteral("kelmar") : QStringLiteral("taloren");
}
