#include "outside/Conexion.h"
#include "outside/Procedimientos.h"
#include "server/administracion/Apertura.h"
#include "server/administracion/Cuentas.h"

namespace {

Recordset configuracion(Conexion& kelmar, Argumentos&) {
    return kelmar.ejecuta(QStringLiteral("select Acceso as \"Acceso\", Mensaje1 as \"Mensaje1\","
                                         " FechaUltimaVersion as \"FechaUltimaVersion\","
                                         " Criticidad as \"Criticidad\""
                                         " from configuracion"));
}

// One row (Nick, CuentaUsr) for a valid pair, none otherwise.
Recordset validaUsuario(Conexion& kelmar, Argumentos& args) {
    return Cuentas::valida(kelmar, args.valor(u"@CveUsuario"), args.texto(u"@Password"));
}

} // namespace

void registraAccesoAlSistema(CatalogoDeProcedimientos& kelmar) {
    kelmar.registra({QStringLiteral("sp_ZMXConfiguracion"), {}, configuracion});
    kelmar.registra({QStringLiteral("ValidarUsuarioEnTaLoREN"),
                     {{QStringLiteral("@CveUsuario"), TipoDeParametro::VarChar, Direccion::Entrada, 10},
                      {QStringLiteral("@Password"), TipoDeParametro::VarChar, Direccion::Entrada, 10}},
                     validaUsuario});
}
