#include "Esquema.h"

#include "Conexion.h"
#include "ErrorDeEjecucion.h"
#include "Semilla.h"

#include <QStringList>
#include <functional>

namespace {

struct Migracion {
    int version;
    QStringList sentencias;
    std::function<void(Conexion&)> datos;
};

// One schema text for SQLite and PostgreSQL: varchar, smallint, integer, date
// and timestamp mean the same to both (SQLite keeps dates as text of the form
// "yyyy-MM-dd HH:mm:ss", which sorts as dates do).
const QList<Migracion>& migracionesDeKelmar() {
    static const QList<Migracion> lista = {
        {1,
         {
             QStringLiteral("create table configuracion ("
                            " id smallint primary key check (id = 1),"
                            " Acceso smallint check (Acceso in (0, 1)),"
                            " Mensaje1 varchar(500),"
                            " FechaUltimaVersion timestamp,"
                            " Criticidad smallint)"),
             QStringLiteral("create table usuarios ("
                            " CuentaUsr varchar(10) primary key,"
                            " Nick varchar(50) not null,"
                            " Contrasena varchar(200) not null,"
                            " Activo smallint not null default 1 check (Activo in (0, 1)))"),
             QStringLiteral("create table areas ("
                            " cvearea varchar(10) primary key,"
                            " nombre varchar(150) not null)"),
             QStringLiteral("create table cargos ("
                            " cvecargo varchar(10) primary key,"
                            " descripcion varchar(150) not null)"),
             QStringLiteral("create table funcionarios ("
                            " cvefuncionario varchar(10) primary key,"
                            " nombre varchar(100) not null,"
                            " cvecargo varchar(10) references cargos (cvecargo),"
                            " cvearea varchar(10) references areas (cvearea),"
                            " telefono varchar(100))"),
             QStringLiteral("create index funcionarios_nombre on funcionarios (nombre)"),
             QStringLiteral("create table municipios_tmp ("
                            " cvemunicipio varchar(5) primary key,"
                            " nombre varchar(100) not null unique)"),
             QStringLiteral("create table localidad ("
                            " municipio varchar(5) not null references municipios_tmp (cvemunicipio),"
                            " localidad varchar(5) not null,"
                            " nombre varchar(100) not null,"
                            " primary key (municipio, localidad))"),
             QStringLiteral("create index localidad_nombre on localidad (nombre)"),
             QStringLiteral("create table Anio (Anio smallint primary key)"),
             QStringLiteral("create table prefijos ("
                            " id integer primary key,"
                            " Prefijo1 varchar(5),"
                            " Prefijo2 varchar(5),"
                            " Prefijo3 varchar(5))"),
             QStringLiteral("create table indicaciones ("
                            " id integer primary key,"
                            " descripcion varchar(200) not null)"),
             QStringLiteral("create table invitacion ("
                            " Anio smallint not null,"
                            " Folio smallint not null check (Folio > 0),"
                            " FechaRecepcion date not null,"
                            " FechaEvento date not null,"
                            " Hora varchar(5) not null,"
                            " Descripcion varchar(1500) not null,"
                            " Ubicacion varchar(1500) not null,"
                            " Suscriptor varchar(100) not null,"
                            " CargoSuscriptor varchar(100) not null default '',"
                            " TelSuscriptor varchar(100) not null default '',"
                            " Representante varchar(100) not null default '',"
                            " CargoRepresentante varchar(100) not null default '',"
                            " TelRepresentante varchar(100) not null default '',"
                            " Titular varchar(100) not null default '',"
                            " CargoTitular varchar(100) not null default '',"
                            " TelTitular varchar(100) not null default '',"
                            " Caracter varchar(15) not null,"
                            " Indicacion varchar(200) not null default '',"
                            " RepresentaA varchar(50) not null check (RepresentaA in ('Srio', 'Gob')),"
                            " Observacion varchar(2000) not null default '',"
                            " Estatus varchar(15) not null check (Estatus in ('CONFIRMADA', 'SINCONFIRMAR')),"
                            " Prefijo1 varchar(5) not null default '',"
                            " Prefijo2 varchar(5) not null default '',"
                            " Prefijo3 varchar(5) not null default '',"
                            " UsrCaptura varchar(10) not null,"
                            " FechaCaptura timestamp not null,"
                            " UsrModif varchar(10) not null default '',"
                            " FechaModif timestamp,"
                            " primary key (Anio, Folio))"),
             QStringLiteral("create index invitacion_fechaevento on invitacion (FechaEvento)"),
             // One counter row per year: a folio is drawn by updating it, so
             // two stations never receive the same one.
             QStringLiteral("create table folio_invitacion ("
                            " Anio smallint primary key,"
                            " UltimoFolio smallint not null check (UltimoFolio >= 0))"),
             // Folios chosen for a report, kept apart per station's session.
             QStringLiteral(
                 "create table folios_por_imprimir ("
                 " Sesion varchar(64) not null,"
                 " Anio smallint not null,"
                 " Folio smallint not null,"
                 " FechaRegistro timestamp not null,"
                 " primary key (Sesion, Anio, Folio),"
                 " foreign key (Anio, Folio) references invitacion (Anio, Folio) on delete cascade)"),
         },
         Semilla::siembraKelmar},
    };
    return lista;
}

const QList<Migracion>& migracionesDeTaloren() {
    static const QList<Migracion> lista = {
        {1,
         {
             QStringLiteral("create table cat_instrucciones ("
                            " clave_instruccion integer primary key,"
                            " descripcion varchar(250) not null)"),
             QStringLiteral("create table suscriptor_frecuente ("
                            " nombre varchar(100) not null,"
                            " cargo varchar(150) not null default '',"
                            " id integer primary key)"),
             QStringLiteral("create table direcciones_eventos ("
                            " direccion varchar(250) not null,"
                            " lugar varchar(150) not null,"
                            " clave integer primary key)"),
             // The three event tables keep exactly these columns in this order:
             // the event register reads and writes them by position.
             QStringLiteral("create table evento ("
                            " folio integer not null check (folio > 0),"
                            " año smallint not null,"
                            " fecha timestamp,"
                            " hora varchar(5),"
                            " descripcion varchar(1000),"
                            " direccion varchar(500),"
                            " cve_municipio varchar(5),"
                            " cve_localidad varchar(5),"
                            " fecha_recepcion timestamp,"
                            " fecha_fisica timestamp,"
                            " primary key (folio, año))"),
             QStringLiteral("create index evento_fecha on evento (fecha)"),
             // Checked at commit, so an event's three rows are written together
             // in one transaction, in any order.
             QStringLiteral("create table suscriptor ("
                            " folio integer not null,"
                            " año smallint not null,"
                            " nombre varchar(100),"
                            " cargo_suscriptor varchar(150),"
                            " telefono varchar(20),"
                            " celular varchar(20),"
                            " primary key (folio, año),"
                            " foreign key (folio, año) references evento (folio, año)"
                            " on delete cascade on update cascade deferrable initially deferred)"),
             QStringLiteral("create table representante_del_evento ("
                            " folio integer not null,"
                            " año smallint not null,"
                            " clave_fun varchar(10),"
                            " clave_cargo varchar(10),"
                            " clave_area varchar(10),"
                            " telefono varchar(20),"
                            " celular varchar(20),"
                            " clave_instruccion integer references cat_instrucciones (clave_instruccion),"
                            " representa_a varchar(20),"
                            " caracter varchar(15),"
                            " observacion varchar(2000),"
                            " fecha_llamada timestamp,"
                            " nombre varchar(100),"
                            " cargo varchar(150),"
                            " area varchar(150),"
                            " primary key (folio, año),"
                            " foreign key (folio, año) references evento (folio, año)"
                            " on delete cascade on update cascade deferrable initially deferred)"),
         },
         Semilla::siembraTaloren},
    };
    return lista;
}

const QList<Migracion>& migraciones(Catalogo catalogo) {
    return catalogo == Catalogo::Kelmar ? migracionesDeKelmar() : migracionesDeTaloren();
}

ErrorDeEjecucion errorDeVersion(Conexion& conexion, Catalogo catalogo, int encontrada) {
    const int actual = Esquema::versionActual(catalogo);
    return ErrorDeEjecucion(
        CodigoDeError::Sentencia,
        QStringLiteral("El catálogo %1 está en la versión %2 del esquema y este programa requiere la %3: %4.")
            .arg(conexion.catalogo())
            .arg(encontrada)
            .arg(actual)
            .arg(encontrada > actual ? QStringLiteral("instale la versión actual del sistema")
                                     : QStringLiteral("actualícelo con taloren-admin create")),
        conexion.fuente());
}

bool tieneTablaDeVersion(Conexion& conexion) {
    return conexion.baseDeDatos().tables().contains(QStringLiteral("version_esquema"), Qt::CaseInsensitive);
}

} // namespace

int Esquema::versionActual(Catalogo catalogo) {
    return migraciones(catalogo).constLast().version;
}

int Esquema::version(Conexion& conexion) {
    if (!tieneTablaDeVersion(conexion))
        return 0;
    const Recordset rs = conexion.ejecuta(QStringLiteral("select max(version) from version_esquema"));
    return rs.estaVacio() ? 0 : rs.valor(0, 0).toInt();
}

void Esquema::exigeActual(Conexion& conexion, Catalogo catalogo) {
    const int encontrada = version(conexion);
    if (encontrada != versionActual(catalogo))
        throw errorDeVersion(conexion, catalogo, encontrada);
}

int Esquema::actualiza(Conexion& conexion, Catalogo catalogo) {
    const int encontrada = version(conexion);
    if (encontrada > versionActual(catalogo))
        throw errorDeVersion(conexion, catalogo, encontrada);
    for (const Migracion& m : migraciones(catalogo)) {
        if (m.version <= encontrada)
            continue;
        conexion.enTransaccion([&] {
            if (m.version == 1)
                conexion.ejecuta(
                    QStringLiteral("create table version_esquema (version integer primary key)"));
            for (const QString& sentencia : m.sentencias)
                conexion.ejecuta(sentencia);
            if (m.datos)
                m.datos(conexion);
            conexion.ejecuta(QStringLiteral("insert into version_esquema (version) values (?)"), {m.version});
        });
    }
    return encontrada;
}
