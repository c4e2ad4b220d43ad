#include "server/administracion/Administracion.h"

#include <QUuid>

#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Texto.h"
#include "server/Esquema.h"
#include "server/Servidor.h"
#include "server/administracion/Apertura.h"
#include "server/administracion/Cuentas.h"
#include "server/administracion/Migraciones.h"
#include "server/administracion/Semilla.h"

#include <QSqlDriver>
#include <QUuid>

namespace {

const QString fuenteAdmin = QStringLiteral("taloren-admin");

void validaCuenta(const QString& cuenta, const QString& contrasena, const QString& fuente) {
    // The login box takes at most ten characters, and no control character.
    const qsizetype largoCuenta = Texto::caracteres(cuenta);
    if (largoCuenta < 1 || largoCuenta > 10)
        throw ErrorDeEjecucion(CodigoDeError::Desbordamiento,
                               QStringLiteral("La cuenta debe tener de 1 a 10 caracteres."), fuente);
    const qsizetype largoContrasena = Texto::caracteres(contrasena);
    if (largoContrasena < 1 || largoContrasena > 10)
        throw ErrorDeEjecucion(CodigoDeError::Desbordamiento,
                               QStringLiteral("La contraseña debe tener de 1 a 10 caracteres."), fuente);
    for (const auto& [que, texto] :
         {std::pair{"La cuenta", &cuenta}, std::pair{"La contraseña", &contrasena}})
        if (const auto malo = Texto::primerNoAdmitidoEnUnaLinea(*texto))
            throw ErrorDeEjecucion(CodigoDeError::Conversion,
                                   QStringLiteral("%1 tiene %2, que no se admite.")
                                       .arg(QString::fromUtf8(que), Texto::describe(*malo)),
                                   fuente);
}

void exigeAdministrador(const AjustesDeConexion& ajustes) {
    if (ajustes.motor != Motor::PostgreSQL)
        throw ErrorDeEjecucion(CodigoDeError::Conexion,
                               QStringLiteral("Los ajustes no nombran un servidor PostgreSQL."), fuenteAdmin);
    if (!ajustes.nombraAdministrador())
        throw ErrorDeEjecucion(
            CodigoDeError::Ajustes,
            QStringLiteral("Los ajustes no nombran la cuenta administradora del servidor ([admin] user y "
                           "password): crear los catálogos y cambiar cuentas o configuración la necesitan, y "
                           "la cuenta de una estación no puede hacerlo. Use el archivo de ajustes del "
                           "administrador (--config)."),
            fuenteAdmin);
}

// The server's maintenance database, reached as the administrator.
std::unique_ptr<Conexion> abreMantenimiento(const AjustesDeConexion& ajustes) {
    exigeAdministrador(ajustes);
    auto c = std::make_unique<Conexion>(QStringLiteral("postgres"));
    c->abre(ajustes, ajustes.administrador);
    return c;
}

// A catalog reached as the administrator, with its procedures.
std::unique_ptr<Conexion> abreCatalogo(const AjustesDeConexion& ajustes, Catalogo catalogo) {
    auto c =
        std::make_unique<Conexion>(Servidor::nombre(catalogo), &Servidor::procedimientosConAcceso(catalogo));
    AjustesDeCatalogo cuenta = catalogo == Catalogo::Kelmar ? ajustes.kelmar : ajustes.taloren;
    cuenta.usuario = ajustes.administrador.usuario;
    cuenta.contrasena = ajustes.administrador.contrasena;
    c->abre(ajustes, cuenta);
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

QString lineaDeVersion(Catalogo catalogo, const QString& lugar, int antes) {
    const int ahora = Esquema::versionActual(catalogo);
    if (antes == ahora)
        return QStringLiteral("Catálogo %1 (%2): al día, versión %3.")
            .arg(Servidor::nombre(catalogo), lugar)
            .arg(ahora);
    return QStringLiteral("Catálogo %1 (%2): de la versión %3 a la %4.")
        .arg(Servidor::nombre(catalogo), lugar)
        .arg(antes)
        .arg(ahora);
}

bool existeBase(Conexion& servidor, const QString& nombre) {
    return !servidor.ejecuta(QStringLiteral("select 1 from pg_database where datname = ?"), {nombre})
                .estaVacio();
}

// A catalog of an earlier layout belongs to a station's account, which could
// then do anything with it: the server's superuser hands it to the
// administrator once, as the error says.
void exigeDelAdministrador(Conexion& c, const AjustesDeConexion& ajustes, const QString& base) {
    const QString admin = ajustes.administrador.usuario;
    const QString dueno =
        c.ejecuta(QStringLiteral("select pg_get_userbyid(datdba) from pg_database where datname = ?"), {base})
            .texto(0, 0);
    const Recordset otros = c.ejecuta(QStringLiteral("select distinct tableowner from pg_tables where "
                                                     "schemaname = 'public' and tableowner <> ? order by 1"),
                                      {admin});
    QStringList duenos;
    if (dueno != admin)
        duenos << dueno;
    for (int i = 0; i < otros.filas(); ++i)
        if (!duenos.contains(otros.texto(i, 0)))
            duenos << otros.texto(i, 0);
    if (duenos.isEmpty())
        return;
    QStringList reasigna;
    for (const QString& d : duenos)
        reasigna << QStringLiteral("REASSIGN OWNED BY %1 TO %2;")
                        .arg(identificador(c, d), identificador(c, admin));
    throw ErrorDeEjecucion(
        CodigoDeError::Sentencia,
        QStringLiteral("La base de datos %1 o sus tablas pertenecen a %2 y no a la cuenta administradora %3; "
                       "una estación que entre con esa cuenta podría leer y cambiar las cuentas de acceso. "
                       "Como superusuario del servidor, conectado a %1, ejecute una vez: ALTER DATABASE %4 "
                       "OWNER TO %5; %6 Luego vuelva a ejecutar taloren-admin create.")
            .arg(base, duenos.join(QStringLiteral(", ")), admin, identificador(c, base),
                 identificador(c, admin), reasigna.join(QLatin1Char(' '))),
        c.fuente());
}

// What a station's account may do on a catalog: the business tables, the
// configuration and the schema version read-only, the login's check, and
// nothing on the accounts.
void otorgaPermisos(Conexion& c, Catalogo catalogo, const AjustesDeConexion& ajustes, QStringList& hecho) {
    const AjustesDeCatalogo& cat = catalogo == Catalogo::Kelmar ? ajustes.kelmar : ajustes.taloren;
    const QString estacion = cat.usuario;
    if (estacion == ajustes.administrador.usuario) {
        hecho << QStringLiteral("Aviso: la cuenta de estación de %1 es la administradora %2: quien tenga los "
                                "ajustes de una estación podría leer y cambiar las cuentas de acceso. Cree "
                                "otra cuenta para las estaciones.")
                     .arg(cat.baseDeDatos, estacion);
        return;
    }
    const Recordset rol =
        c.ejecuta(QStringLiteral("select rolsuper from pg_roles where rolname = ?"), {estacion});
    if (rol.estaVacio()) {
        hecho << QStringLiteral("Aviso: la cuenta %1 no existe en el servidor; créela y vuelva a ejecutar "
                                "este comando para darle acceso a %2.")
                     .arg(estacion, cat.baseDeDatos);
        return;
    }
    if (rol.valor(0, 0).toBool())
        hecho << QStringLiteral("Aviso: la cuenta de estación %1 es superusuario del servidor y puede leer y "
                                "cambiar las cuentas de acceso; quítele ese atributo (ALTER ROLE %2 "
                                "NOSUPERUSER).")
                     .arg(estacion, identificador(c, estacion));
    const QString r = identificador(c, estacion);
    QStringList sentencias{
        QStringLiteral("revoke all on database %1 from public").arg(identificador(c, cat.baseDeDatos)),
        QStringLiteral("grant connect on database %1 to %2").arg(identificador(c, cat.baseDeDatos), r),
        QStringLiteral("revoke create on schema public from public"),
        QStringLiteral("grant usage on schema public to %1").arg(r),
        QStringLiteral("grant select, insert, update, delete on all tables in schema public to %1").arg(r),
        QStringLiteral("grant usage, select on all sequences in schema public to %1").arg(r),
        QStringLiteral("revoke insert, update, delete on table version_esquema from %1").arg(r),
        // A station adds to the history and reads it; nobody rewrites it from one.
        QStringLiteral("revoke update, delete, truncate on table historial, historial_campo, importaciones "
                       "from %1")
            .arg(r),
    };
    if (catalogo == Catalogo::Kelmar)
        sentencias
            << QStringLiteral("revoke all on table usuarios from %1").arg(r)
            << QStringLiteral("revoke insert, update, delete on table configuracion from %1").arg(r)
            << QStringLiteral("grant execute on function valida_usuario(varchar, varchar) to %1").arg(r);
    c.enTransaccion([&] {
        for (const QString& s : sentencias)
            c.ejecuta(s);
    });
}

QString primeraContrasenaValida(const Administracion::PideContrasena& pide) {
    const QString contrasena = pide ? pide() : QString();
    if (contrasena.isEmpty())
        throw ErrorDeEjecucion(
            CodigoDeError::Ajustes,
            QStringLiteral("El catálogo kelmar del servidor no tiene cuentas y necesita la contraseña de su "
                           "primera cuenta, %1: escríbala cuando taloren-admin create la pida, o désela con "
                           "--admin-password-file ARCHIVO. No se cambió nada.")
                .arg(QString::fromLatin1(Semilla::cuentaInicial)),
            fuenteAdmin);
    validaCuenta(QString::fromLatin1(Semilla::cuentaInicial), contrasena, fuenteAdmin);
    return contrasena;
}

bool sinCuentas(Conexion& kelmar) {
    return !kelmar.baseDeDatos().tables().contains(QStringLiteral("usuarios"), Qt::CaseInsensitive) ||
           kelmar.ejecuta(QStringLiteral("select count(*) from usuarios")).valor(0, 0).toInt() == 0;
}

QStringList creaEnElServidor(const AjustesDeConexion& ajustes, const Administracion::PideContrasena& pide,
                             const Administracion::Creacion& como) {
    QStringList hecho;
    const struct {
        Catalogo catalogo;
        const AjustesDeCatalogo* ajustes;
    } catalogos[] = {{Catalogo::Kelmar, &ajustes.kelmar}, {Catalogo::Taloren, &ajustes.taloren}};

    auto servidor = abreMantenimiento(ajustes);
    // Another run on the same catalogs waits here until this one ends (the
    // lock goes with this connection), then finds them current: however long
    // that takes, since the time-outs of the settings are for the stations.
    servidor->ejecuta(QStringLiteral("select set_config('statement_timeout', ?, false), "
                                     "set_config('lock_timeout', ?, false)"),
                      {QStringLiteral("0"), QStringLiteral("0")});
    QStringList nombres{ajustes.kelmar.baseDeDatos, ajustes.taloren.baseDeDatos};
    nombres.sort();
    nombres.removeDuplicates();
    for (const QString& nombre : nombres)
        servidor->ejecuta(QStringLiteral("select pg_advisory_lock(7421, hashtext(?))"), {nombre});

    // Everything that stops the run is found before anything changes.
    bool necesitaPrimera = como.semilla && !existeBase(*servidor, ajustes.kelmar.baseDeDatos);
    for (const auto& c : catalogos) {
        if (!existeBase(*servidor, c.ajustes->baseDeDatos))
            continue;
        auto conexion = abreCatalogo(ajustes, c.catalogo);
        exigeDelAdministrador(*conexion, ajustes, c.ajustes->baseDeDatos);
        if (c.catalogo == Catalogo::Kelmar)
            necesitaPrimera = como.semilla && sinCuentas(*conexion);
    }
    const QString primera = necesitaPrimera ? primeraContrasenaValida(pide) : QString();

    for (const auto& c : catalogos) {
        if (existeBase(*servidor, c.ajustes->baseDeDatos))
            continue;
        // A database name is an identifier, not a value: it cannot be bound.
        servidor->ejecuta(QStringLiteral("create database ") +
                          identificador(*servidor, c.ajustes->baseDeDatos) +
                          opcionesDeCreacion(*servidor, hecho));
        hecho << QStringLiteral("Base de datos %1 creada.").arg(c.ajustes->baseDeDatos);
    }
    for (const auto& c : catalogos) {
        auto conexion = abreCatalogo(ajustes, c.catalogo);
        const int hasta = c.catalogo == Catalogo::Kelmar ? como.hastaKelmar : como.hastaTaloren;
        const int antes = Esquema::actualiza(*conexion, c.catalogo, &hecho, hasta, como.semilla);
        if (hasta > 0 && hasta < Esquema::versionActual(c.catalogo))
            continue;
        if (c.catalogo == Catalogo::Kelmar) {
            if (como.semilla && sinCuentas(*conexion)) {
                Cuentas::agrega(*conexion, QString::fromLatin1(Semilla::cuentaInicial),
                                QString::fromLatin1(Semilla::nickInicial), primera);
                hecho << QStringLiteral("Cuenta %1 creada con la contraseña que se dio.")
                             .arg(QString::fromLatin1(Semilla::cuentaInicial));
            }
            const QStringList anteriores = Cuentas::conDigestoAnterior(*conexion);
            if (!anteriores.isEmpty())
                hecho << QStringLiteral(
                             "Aviso: las cuentas %1 guardan su contraseña en un formato anterior que "
                             "el servidor no verifica y no podrán entrar hasta que se les dé una "
                             "nueva con taloren-admin set-password CUENTA.")
                             .arg(anteriores.join(QStringLiteral(", ")));
        }
        otorgaPermisos(*conexion, c.catalogo, ajustes, hecho);
        hecho << lineaDeVersion(c.catalogo, c.ajustes->baseDeDatos, antes);
    }
    return hecho;
}

} // namespace

QStringList Administracion::creaCatalogos(const AjustesDeConexion& ajustes,
                                          const PideContrasena& primeraContrasena, const Creacion& como) {
    if (ajustes.motor == Motor::PostgreSQL)
        return creaEnElServidor(ajustes, primeraContrasena, como);
    QStringList hecho;
    for (Catalogo catalogo : {Catalogo::Kelmar, Catalogo::Taloren}) {
        Conexion conexion(Servidor::nombre(catalogo), &Servidor::procedimientosConAcceso(catalogo));
        conexion.abre(ajustes, catalogo == Catalogo::Kelmar ? ajustes.kelmar : ajustes.taloren);
        const int antes = Esquema::actualiza(
            conexion, catalogo, &hecho, catalogo == Catalogo::Kelmar ? como.hastaKelmar : como.hastaTaloren,
            como.semilla);
        hecho << lineaDeVersion(catalogo, ajustes.carpeta, antes);
    }
    return hecho;
}

void Administracion::borraCatalogos(const AjustesDeConexion& ajustes) {
    auto servidor = abreMantenimiento(ajustes);
    for (const AjustesDeCatalogo* cat : {&ajustes.kelmar, &ajustes.taloren})
        servidor->ejecuta(QStringLiteral("drop database if exists ") +
                          identificador(*servidor, cat->baseDeDatos) + QStringLiteral(" with (force)"));
}

AjustesDeConexion Administracion::comoAdministrador(const AjustesDeConexion& ajustes) {
    if (ajustes.motor != Motor::PostgreSQL)
        return ajustes;
    exigeAdministrador(ajustes);
    AjustesDeConexion a = ajustes;
    for (AjustesDeCatalogo* cat : {&a.kelmar, &a.taloren}) {
        cat->usuario = ajustes.administrador.usuario;
        cat->contrasena = ajustes.administrador.contrasena;
    }
    return a;
}

void Administracion::agregaUsuario(Conexion& kelmar, const QString& cuenta, const QString& nick,
                                   const QString& contrasena) {
    validaCuenta(cuenta, contrasena, kelmar.fuente());
    Cuentas::agrega(kelmar, cuenta, nick.isEmpty() ? cuenta : nick, contrasena);
}

void Administracion::cambiaContrasena(Conexion& kelmar, const QString& cuenta, const QString& contrasena) {
    validaCuenta(cuenta, contrasena, kelmar.fuente());
    Cuentas::cambiaContrasena(kelmar, cuenta, contrasena);
}

void Administracion::estableceConfiguracion(Conexion& kelmar, const Configuracion& cambios) {
    kelmar.enTransaccion([&] {
        if (kelmar.ejecuta(QStringLiteral("select id from configuracion where id = 1")).estaVacio())
            kelmar.ejecuta(
                QStringLiteral("insert into configuracion (id, Acceso, Mensaje1, FechaUltimaVersion, "
                               "Criticidad, Identidad) values (1, 1, '', null, 0, ?)"),
                {QUuid::createUuid().toString(QUuid::WithoutBraces)});
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
        // The settings that are numbers, each in its column; only those given change.
        for (const auto& [columna, valor] :
             {std::pair{"Criticidad", cambios.criticidad}, std::pair{"AniosAtras", cambios.aniosAtras},
              std::pair{"AniosAdelante", cambios.aniosAdelante},
              std::pair{"MargenConflictos", cambios.margenConflictos}})
            if (valor)
                kelmar.ejecuta(QStringLiteral("update configuracion set %1 = ? where id = 1")
                                   .arg(QLatin1String(columna)),
                               {*valor});
        if (cambios.zonaHoraria)
            kelmar.ejecuta(QStringLiteral("update configuracion set ZonaHoraria = ? where id = 1"),
                           {*cambios.zonaHoraria});
    });
}
