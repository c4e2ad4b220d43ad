#include "server/Administracion.h"

#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "server/Contrasenas.h"
#include "server/Esquema.h"
#include "server/Servidor.h"

#include <QSqlDriver>

namespace {

void validaCuenta(const QString& cuenta, const QString& contrasena, const QString& fuente) {
    if (cuenta.isEmpty() || cuenta.size() > 10)
        throw ErrorDeEjecucion(CodigoDeError::Desbordamiento,
                               QStringLiteral("La cuenta debe tener de 1 a 10 caracteres."), fuente);
    // The login box takes at most ten characters.
    if (contrasena.isEmpty() || contrasena.size() > 10)
        throw ErrorDeEjecucion(CodigoDeError::Desbordamiento,
                               QStringLiteral("La contraseña debe tener de 1 a 10 caracteres."), fuente);
}

// The server's maintenance database, reached with the kelmar account.
std::unique_ptr<Conexion> abreMantenimiento(const AjustesDeConexion& ajustes) {
    if (ajustes.motor != Motor::PostgreSQL)
        throw ErrorDeEjecucion(CodigoDeError::Conexion,
                               QStringLiteral("Los ajustes no nombran un servidor PostgreSQL."),
                               QStringLiteral("taloren-admin"));
    auto c = std::make_unique<Conexion>(QStringLiteral("postgres"));
    AjustesDeCatalogo mantenimiento = ajustes.kelmar;
    mantenimiento.baseDeDatos = QStringLiteral("postgres");
    c->abre(ajustes, mantenimiento);
    return c;
}

// The catalogs are UTF-8 and collate as a Spanish reader expects: ICU's
// Spanish where the server has ICU, the system's Spanish locale otherwise,
// and the server's own collation, with a warning, when it has neither. Only
// fixed texts of the program go into the statement.
QString opcionesDeCreacion(Conexion& servidor, QStringList& hecho) {
    const QString base = QStringLiteral(" template template0 encoding 'UTF8'");
    if (!servidor
             .ejecuta(QStringLiteral("select 1 from pg_collation where collprovider = 'i' and collname = ?"),
                      {QStringLiteral("es-MX-x-icu")})
             .estaVacio())
        return base + QStringLiteral(" locale_provider icu icu_locale 'es-MX'");
    for (const char* local : {"es_MX.utf8", "es_ES.utf8"})
        if (!servidor
                 .ejecuta(
                     QStringLiteral("select 1 from pg_collation where collprovider = 'c' and collname = ?"),
                     {QString::fromLatin1(local)})
                 .estaVacio())
            return base + QStringLiteral(" lc_collate '%1' lc_ctype '%1'").arg(QString::fromLatin1(local));
    hecho << QStringLiteral("Aviso: el servidor no ofrece un cotejo en español (ni ICU es-MX ni es_MX.utf8); "
                            "las bases se crean en UTF-8 con el cotejo propio del servidor.");
    return base;
}

QString identificador(Conexion& c, const QString& nombre) {
    return c.baseDeDatos().driver()->escapeIdentifier(nombre, QSqlDriver::TableName);
}

} // namespace

QStringList Administracion::creaCatalogos(const AjustesDeConexion& ajustes) {
    QStringList hecho;
    const auto informa = [&](Catalogo catalogo, const QString& lugar, int antes) {
        const int ahora = Esquema::versionActual(catalogo);
        hecho << (antes == ahora ? QStringLiteral("Catálogo %1 (%2): al día, versión %3.")
                                       .arg(Servidor::nombre(catalogo), lugar)
                                       .arg(ahora)
                                 : QStringLiteral("Catálogo %1 (%2): de la versión %3 a la %4.")
                                       .arg(Servidor::nombre(catalogo), lugar)
                                       .arg(antes)
                                       .arg(ahora));
    };
    if (ajustes.motor == Motor::SQLite) {
        for (Catalogo catalogo : {Catalogo::Kelmar, Catalogo::Taloren}) {
            Conexion conexion(Servidor::nombre(catalogo), &Servidor::procedimientos(catalogo));
            conexion.abre(ajustes, catalogo == Catalogo::Kelmar ? ajustes.kelmar : ajustes.taloren);
            informa(catalogo, ajustes.carpeta, Esquema::actualiza(conexion, catalogo));
        }
        return hecho;
    }
    {
        auto servidor = abreMantenimiento(ajustes);
        for (const AjustesDeCatalogo* cat : {&ajustes.kelmar, &ajustes.taloren}) {
            const bool existe = !servidor
                                     ->ejecuta(QStringLiteral("select 1 from pg_database where datname = ?"),
                                               {cat->baseDeDatos})
                                     .estaVacio();
            if (existe)
                continue;
            // A database name is an identifier, not a value: it cannot be bound.
            servidor->ejecuta(QStringLiteral("create database ") +
                              identificador(*servidor, cat->baseDeDatos) +
                              opcionesDeCreacion(*servidor, hecho));
            hecho << QStringLiteral("Base de datos %1 creada.").arg(cat->baseDeDatos);
        }
    }
    const struct {
        Catalogo catalogo;
        const AjustesDeCatalogo* ajustes;
    } catalogos[] = {{Catalogo::Kelmar, &ajustes.kelmar}, {Catalogo::Taloren, &ajustes.taloren}};
    for (const auto& c : catalogos) {
        Conexion conexion(Servidor::nombre(c.catalogo), &Servidor::procedimientos(c.catalogo));
        AjustesDeCatalogo cuenta = *c.ajustes;
        // The schema is made with the account that made the databases.
        cuenta.usuario = ajustes.kelmar.usuario;
        cuenta.contrasena = ajustes.kelmar.contrasena;
        conexion.abre(ajustes, cuenta);
        const int antes = Esquema::actualiza(conexion, c.catalogo);
        if (c.ajustes->usuario != cuenta.usuario) {
            const QString rol = identificador(conexion, c.ajustes->usuario);
            if (!conexion
                     .ejecuta(QStringLiteral("select 1 from pg_roles where rolname = ?"),
                              {c.ajustes->usuario})
                     .estaVacio()) {
                conexion.ejecuta(QStringLiteral("grant usage on schema public to ") + rol);
                conexion.ejecuta(
                    QStringLiteral(
                        "grant select, insert, update, delete on all tables in schema public to ") +
                    rol);
            } else {
                hecho << QStringLiteral(
                             "Aviso: la cuenta %1 no existe en el servidor; créela y vuelva a ejecutar "
                             "este comando para darle acceso a %2.")
                             .arg(c.ajustes->usuario, c.ajustes->baseDeDatos);
            }
        }
        informa(c.catalogo, c.ajustes->baseDeDatos, antes);
    }
    return hecho;
}

void Administracion::borraCatalogos(const AjustesDeConexion& ajustes) {
    auto servidor = abreMantenimiento(ajustes);
    for (const AjustesDeCatalogo* cat : {&ajustes.kelmar, &ajustes.taloren})
        servidor->ejecuta(QStringLiteral("drop database if exists ") +
                          identificador(*servidor, cat->baseDeDatos) + QStringLiteral(" with (force)"));
}

void Administracion::agregaUsuario(Conexion& kelmar, const QString& cuenta, const QString& nick,
                                   const QString& contrasena) {
    validaCuenta(cuenta, contrasena, kelmar.fuente());
    kelmar.ejecuta(
        QStringLiteral("insert into usuarios (CuentaUsr, Nick, Contrasena, Activo) values (?, ?, ?, 1)"),
        {cuenta, nick.isEmpty() ? cuenta : nick, Contrasenas::codifica(contrasena)});
}

void Administracion::cambiaContrasena(Conexion& kelmar, const QString& cuenta, const QString& contrasena) {
    validaCuenta(cuenta, contrasena, kelmar.fuente());
    const Recordset rs =
        kelmar.ejecuta(QStringLiteral("update usuarios set Contrasena = ? where CuentaUsr = ?"),
                       {Contrasenas::codifica(contrasena), cuenta});
    if (rs.filasAfectadas() == 0)
        throw ErrorDeEjecucion(CodigoDeError::Sentencia,
                               QStringLiteral("No existe la cuenta %1.").arg(cuenta), kelmar.fuente());
}

void Administracion::estableceConfiguracion(Conexion& kelmar, const Configuracion& cambios) {
    kelmar.enTransaccion([&] {
        if (kelmar.ejecuta(QStringLiteral("select id from configuracion where id = 1")).estaVacio())
            kelmar.ejecuta(
                QStringLiteral("insert into configuracion (id, Acceso, Mensaje1, FechaUltimaVersion, "
                               "Criticidad) values (1, 1, '', null, 0)"));
        if (cambios.acceso)
            kelmar.ejecuta(QStringLiteral("update configuracion set Acceso = ? where id = 1"),
                           {*cambios.acceso ? 1 : 0});
        if (cambios.mensaje)
            kelmar.ejecuta(QStringLiteral("update configuracion set Mensaje1 = ? where id = 1"),
                           {*cambios.mensaje});
        if (cambios.fechaUltimaVersion)
            kelmar.ejecuta(
                QStringLiteral("update configuracion set FechaUltimaVersion = ? where id = 1"),
                {cambios.fechaUltimaVersion->isValid() ? QVariant(*cambios.fechaUltimaVersion) : QVariant()});
        if (cambios.criticidad)
            kelmar.ejecuta(QStringLiteral("update configuracion set Criticidad = ? where id = 1"),
                           {*cambios.criticidad});
    });
}
