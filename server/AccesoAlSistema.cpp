#include "outside/Conexion.h"
#include "outside/Procedimientos.h"
#include "server/Contrasenas.h"
#include "server/Servidor.h"

namespace {

Recordset configuracion(Conexion& kelmar, Argumentos&) {
    return kelmar.ejecuta(QStringLiteral("select Acceso as \"Acceso\", Mensaje1 as \"Mensaje1\","
                                         " FechaUltimaVersion as \"FechaUltimaVersion\","
                                         " Criticidad as \"Criticidad\""
                                         " from configuracion"));
}

// One row (Nick, CuentaUsr) for a valid pair, none otherwise.
Recordset validaUsuario(Conexion& kelmar, Argumentos& args) {
    const QVariant cuenta = args.valor(u"@CveUsuario");
    const QString contrasena = args.texto(u"@Password");
    const Recordset usuario = kelmar.ejecuta(QStringLiteral("select Nick, CuentaUsr, Contrasena from usuarios"
                                                            " where CuentaUsr = ? and Activo = 1"),
                                             {cuenta});
    Recordset respuesta({QStringLiteral("Nick"), QStringLiteral("CuentaUsr")}, {}, kelmar.fuente());
    // An unknown account costs the same digest as a known one, so the answer's
    // delay does not tell which accounts exist.
    static const QString sinCuenta = Contrasenas::codifica(QStringLiteral("sin cuenta"));
    const bool existe = !cuenta.isNull() && !usuario.estaVacio();
    const bool valida = Contrasenas::verifica(
        contrasena, existe ? usuario.texto(0, QStringLiteral("Contrasena")) : sinCuenta);
    if (existe && valida)
        respuesta.agregaFila(
            {usuario.valor(0, QStringLiteral("Nick")), usuario.valor(0, QStringLiteral("CuentaUsr"))});
    return respuesta;
}

} // namespace

void registraAccesoAlSistema(CatalogoDeProcedimientos& kelmar) {
    kelmar.registra({QStringLiteral("sp_ZMXConfiguracion"), {}, configuracion});
    kelmar.registra({QStringLiteral("ValidarUsuarioEnTaLoREN"),
                     {{QStringLiteral("@CveUsuario"), TipoDeParametro::VarChar, Direccion::Entrada, 10},
                      {QStringLiteral("@Password"), TipoDeParametro::VarChar, Direccion::Entrada, 10}},
                     validaUsuario});
}
