#include "server/Esquema.h"

#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/ReglaDeNombres.h"
#include "server/Cuentas.h"
#include "server/Evento.h"
#include "server/Invitacion.h"
#include "server/Semilla.h"

#include <QHash>
#include <QMap>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <functional>

namespace Esquema {

Columna varchar(const char* nombre, int largo, const char* resto) {
    return {QString::fromUtf8(nombre), Tipo::VarChar, largo, QString::fromUtf8(resto)};
}
Columna smallint(const char* nombre, const char* resto) {
    return {QString::fromUtf8(nombre), Tipo::SmallInt, 0, QString::fromUtf8(resto)};
}
Columna integer(const char* nombre, const char* resto) {
    return {QString::fromUtf8(nombre), Tipo::Integer, 0, QString::fromUtf8(resto)};
}
Columna timestamp(const char* nombre, const char* resto) {
    return {QString::fromUtf8(nombre), Tipo::Timestamp, 0, QString::fromUtf8(resto)};
}

namespace {

QString tipoSql(const Columna& c) {
    switch (c.tipo) {
    case Tipo::VarChar:
        return QStringLiteral("varchar(%1)").arg(c.largo);
    case Tipo::SmallInt:
        return QStringLiteral("smallint");
    case Tipo::Integer:
        return QStringLiteral("integer");
    case Tipo::Timestamp:
        return QStringLiteral("timestamp");
    }
    return {};
}

// The checks SQLite needs to refuse what PostgreSQL's types refuse. Their
// names carry the kind of refusal, which the connection turns into the same
// error number the server gives.
QStringList chequeos(const QString& tabla, const Columna& c) {
    const QString col = c.nombre;
    const QString quien = tabla + QLatin1Char('.') + col;
    const auto chequeo = [&](const QString& clase, const QString& limite, const QString& condicion) {
        return QStringLiteral("constraint \"%1 %2 %3\" check (%4 is null or (%5))")
            .arg(clase, quien, limite, col, condicion);
    };
    switch (c.tipo) {
    case Tipo::VarChar:
        return {chequeo(QStringLiteral("largo"), QString::number(c.largo),
                        QStringLiteral("length(%1) <= %2").arg(col).arg(c.largo))};
    case Tipo::SmallInt:
        return {chequeo(QStringLiteral("tipo"), QStringLiteral("smallint"),
                        QStringLiteral("typeof(%1) = 'integer'").arg(col)),
                chequeo(QStringLiteral("rango"), QStringLiteral("smallint"),
                        QStringLiteral("%1 between -32768 and 32767").arg(col))};
    case Tipo::Integer:
        return {chequeo(QStringLiteral("tipo"), QStringLiteral("integer"),
                        QStringLiteral("typeof(%1) = 'integer'").arg(col)),
                chequeo(QStringLiteral("rango"), QStringLiteral("integer"),
                        QStringLiteral("%1 between -2147483648 and 2147483647").arg(col))};
    case Tipo::Timestamp:
        return {chequeo(QStringLiteral("fecha"), QStringLiteral("timestamp"),
                        QStringLiteral("typeof(%1) = 'text' and %1 glob "
                                       "'[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] "
                                       "[0-9][0-9]:[0-9][0-9]:[0-9][0-9]' and datetime(%1) = %1")
                            .arg(col))};
    }
    return {};
}

struct Migracion {
    int version;
    std::function<void(Conexion&)> aplica;
};

// The name rule's functions: a server keeps them in the schema, the embedded
// catalog gets them on every connection.
void creaFuncionesDeNombres(Conexion& c) {
    if (c.motor() == Motor::PostgreSQL)
        for (const QString& sentencia : ReglaDeNombres::funcionesParaPostgreSQL())
            c.ejecuta(sentencia);
}

void creaTablas(Conexion& c, const QList<Tabla>& tablas) {
    for (const Tabla& t : tablas)
        creaTabla(c, t);
}

// Version 1 of kelmar: the catalogues the office shares with its sibling
// system, the accounts, and the invitations.
void kelmar1(Conexion& c) {
    creaFuncionesDeNombres(c);
    creaTablas(c,
               {
                   {QStringLiteral("configuracion"),
                    {smallint("id", "primary key"), smallint("Acceso"), varchar("Mensaje1", 500),
                     timestamp("FechaUltimaVersion"), smallint("Criticidad")},
                    {QStringLiteral("check (id = 1)"), QStringLiteral("check (Acceso in (0, 1))")}},
                   {QStringLiteral("usuarios"),
                    {varchar("CuentaUsr", 10, "primary key"), varchar("Nick", 50, "not null"),
                     varchar("Contrasena", 200, "not null"), smallint("Activo", "not null default 1")},
                    {QStringLiteral("check (Activo in (0, 1))")}},
                   {QStringLiteral("areas"),
                    {varchar("cvearea", 10, "primary key"), varchar("nombre", 150, "not null")}},
                   {QStringLiteral("cargos"),
                    {varchar("cvecargo", 10, "primary key"), varchar("descripcion", 150, "not null")}},
                   {QStringLiteral("funcionarios"),
                    {varchar("cvefuncionario", 10, "primary key"), varchar("nombre", 100, "not null"),
                     varchar("cvecargo", 10, "references cargos (cvecargo)"),
                     varchar("cvearea", 10, "references areas (cvearea)"), varchar("telefono", 100)}},
                   {QStringLiteral("municipios_tmp"),
                    {varchar("cvemunicipio", 5, "primary key"), varchar("nombre", 100, "not null unique")}},
                   {QStringLiteral("localidad"),
                    {varchar("municipio", 5, "not null references municipios_tmp (cvemunicipio)"),
                     varchar("localidad", 5, "not null"), varchar("nombre", 100, "not null")},
                    {QStringLiteral("primary key (municipio, localidad)")}},
                   {QStringLiteral("Anio"), {smallint("Anio", "primary key")}},
                   {QStringLiteral("prefijos"),
                    {integer("id", "primary key"), varchar("Prefijo1", 5), varchar("Prefijo2", 5),
                     varchar("Prefijo3", 5)}},
                   {QStringLiteral("indicaciones"),
                    {integer("id", "primary key"), varchar("descripcion", 200, "not null")}},
                   tablaDeInvitaciones(1),
                   // One counter row per year: a folio is drawn by updating it, so
                   // two stations never receive the same one.
                   {QStringLiteral("folio_invitacion"),
                    {smallint("Anio", "primary key"), smallint("UltimoFolio", "not null")},
                    {QStringLiteral("check (UltimoFolio >= 0)")}},
                   // Folios chosen for a report, kept apart per station's session.
                   {QStringLiteral("folios_por_imprimir"),
                    {varchar("Sesion", 64, "not null"), smallint("Anio", "not null"),
                     smallint("Folio", "not null"), timestamp("FechaRegistro", "not null")},
                    {QStringLiteral("primary key (Sesion, Anio, Folio)"),
                     QStringLiteral(
                         "foreign key (Anio, Folio) references invitacion (Anio, Folio) on delete cascade")}},
               });
    c.ejecuta(QStringLiteral("create index funcionarios_nombre on funcionarios (nombre)"));
    c.ejecuta(QStringLiteral("create index localidad_nombre on localidad (nombre)"));
    c.ejecuta(QStringLiteral("create index invitacion_fechaevento on invitacion (FechaEvento)"));
    Semilla::siembraKelmar(c);
}

// Version 2 of kelmar: an event of a known municipality and unknown locality
// is stored under that municipality's own "Sin Localidad".
void kelmar2(Conexion& c) {
    Semilla::agregaSinLocalidad(c);
}

// Version 1 of taloren: the event register and its own catalogues.
void taloren1(Conexion& c) {
    // The three event tables keep exactly their columns in their order, as
    // the event's field table gives them (server/Evento.cpp).
    creaFuncionesDeNombres(c);
    creaTablas(c,
               QList<Tabla>{
                   {QStringLiteral("cat_instrucciones"),
                    {integer("clave_instruccion", "primary key"), varchar("descripcion", 250, "not null")}},
                   {QStringLiteral("suscriptor_frecuente"),
                    {varchar("nombre", 100, "not null"), varchar("cargo", 150, "not null default ''"),
                     integer("id", "primary key")}},
                   {QStringLiteral("direcciones_eventos"),
                    {varchar("direccion", 250, "not null"), varchar("lugar", 150, "not null"),
                     integer("clave", "primary key")}},
               } + tablasDelRegistroDeEventos(1));
    c.ejecuta(QStringLiteral("create index evento_fecha on evento (fecha)"));
    Semilla::siembraTaloren(c);
}

// Version 3 of kelmar: on a server, the accounts are checked, added and
// changed by functions of the administrator role that owns the catalog, so
// that the stations' accounts, which may not read the table of accounts,
// still log in, and the digests never leave the server. pgcrypto ships with
// PostgreSQL and is a trusted extension: the catalog's owner creates it. The
// embedded catalog checks its accounts in the program.
void kelmar3(Conexion& c) {
    if (c.motor() != Motor::PostgreSQL)
        return;
    for (const QString& sentencia : Cuentas::funcionesParaPostgreSQL())
        c.ejecuta(sentencia);
}

// Each catalog's migrations in order. A new one takes the next number of its
// list. One that creates no table and changes no column must be safe to run
// again: a catalog that lost its version record is told by its tables, and
// the migrations after the first version with those tables run again.
const QList<Migracion>& migraciones(Catalogo catalogo) {
    static const QList<Migracion> kelmar = {
        {1, kelmar1},
        {2, kelmar2},
        {3, kelmar3},
    };
    static const QList<Migracion> taloren = {
        {1, taloren1},
    };
    return catalogo == Catalogo::Kelmar ? kelmar : taloren;
}

ErrorDeEjecucion errorDeVersion(Conexion& conexion, Catalogo catalogo, int encontrada) {
    const int actual = versionActual(catalogo);
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

// The tables of a catalog with their columns, in lower case, as both
// backends name them; the version table and SQLite's own tables aside.
using Forma = QMap<QString, QStringList>;
Forma formaDe(Conexion& conexion) {
    const QSqlDatabase db = conexion.baseDeDatos();
    Forma forma;
    for (const QString& tabla : db.tables()) {
        const QString nombre = tabla.toLower();
        if (nombre == QLatin1String("version_esquema") || nombre.startsWith(QLatin1String("sqlite_")))
            continue;
        const QSqlRecord registro = db.record(tabla);
        QStringList columnas;
        for (int i = 0; i < registro.count(); ++i)
            columnas << registro.fieldName(i).toLower();
        columnas.sort();
        forma.insert(nombre, columnas);
    }
    return forma;
}

// The form of the catalog at each of its versions, from the migrations
// themselves run on a scratch embedded catalog.
QList<Forma> formasDeLasVersiones(Catalogo catalogo) {
    static QHash<int, QList<Forma>> hechas;
    const auto it = hechas.constFind(int(catalogo));
    if (it != hechas.constEnd())
        return *it;
    QTemporaryDir carpeta;
    if (!carpeta.isValid())
        throw ErrorDeEjecucion(CodigoDeError::Interno,
                               QStringLiteral("No se pudo crear una carpeta temporal para reconocer el "
                                              "esquema: %1.")
                                   .arg(carpeta.errorString()),
                               QStringLiteral("Esquema"));
    AjustesDeConexion ajustes;
    ajustes.motor = Motor::SQLite;
    ajustes.carpeta = carpeta.path();
    QList<Forma> formas;
    {
        Conexion borrador(QStringLiteral("borrador"));
        borrador.abre(ajustes, {QStringLiteral("borrador"), {}, {}});
        for (const Migracion& m : migraciones(catalogo)) {
            borrador.enTransaccion([&] { m.aplica(borrador); });
            formas << formaDe(borrador);
        }
    }
    hechas.insert(int(catalogo), formas);
    return formas;
}

QString lista(const QStringList& nombres) {
    return nombres.isEmpty() ? QStringLiteral("ninguna") : nombres.join(QStringLiteral(", "));
}

// A catalog with tables but no version record: the version whose tables it
// has is recorded (the first such, so that later migrations that change no
// table run again); a catalog whose tables are those of no version, or of
// another program, is left as it is and the error says what it holds.
int restituyeVersion(Conexion& conexion, Catalogo catalogo, QStringList* notas) {
    const Forma encontrada = formaDe(conexion);
    const QList<Forma> formas = formasDeLasVersiones(catalogo);
    const QString lugar = conexion.baseDeDatos().databaseName();
    for (int i = 0; i < formas.size(); ++i) {
        if (formas.at(i) != encontrada)
            continue;
        const int v = migraciones(catalogo).at(i).version;
        if (!tieneTablaDeVersion(conexion))
            conexion.ejecuta(QStringLiteral("create table version_esquema (version integer primary key)"));
        conexion.ejecuta(QStringLiteral("insert into version_esquema (version) values (?)"), {v});
        if (notas)
            *notas << QStringLiteral("El catálogo %1 (%2) no registraba la versión de su esquema; sus tablas "
                                     "son las de la versión %3, que quedó registrada.")
                          .arg(conexion.catalogo(), lugar)
                          .arg(v);
        return v;
    }
    const Forma& actual = formas.constLast();
    QStringList faltan, sobran, distintas;
    for (auto it = actual.cbegin(); it != actual.cend(); ++it) {
        if (!encontrada.contains(it.key()))
            faltan << it.key();
        else if (encontrada.value(it.key()) != it.value())
            distintas << it.key();
    }
    for (auto it = encontrada.cbegin(); it != encontrada.cend(); ++it)
        if (!actual.contains(it.key()))
            sobran << it.key();
    if (faltan.size() == actual.size())
        throw ErrorDeEjecucion(
            CodigoDeError::Sentencia,
            QStringLiteral(
                "El catálogo %1 (%2) no es un catálogo de TALOREN: tiene tablas de otro programa "
                "(%3) y no se modificó. Revise la carpeta o la base de datos que nombra el archivo "
                "de ajustes.")
                .arg(conexion.catalogo(), lugar, lista(sobran)),
            conexion.fuente());
    throw ErrorDeEjecucion(
        CodigoDeError::Sentencia,
        QStringLiteral("El catálogo %1 (%2) no registra la versión de su esquema (falta la tabla "
                       "version_esquema o su registro) y sus tablas no son las de ninguna versión de este "
                       "programa: faltan %3; sobran %4; con otras columnas %5. No se modificó; restáurelo de "
                       "un respaldo.")
            .arg(conexion.catalogo(), lugar, lista(faltan), lista(sobran), lista(distintas)),
        conexion.fuente());
}

} // namespace

QString sentenciaDeTabla(const Tabla& tabla, bool conChequeos) {
    QStringList partes;
    for (const Columna& c : tabla.columnas) {
        QString def = c.nombre + QLatin1Char(' ') + tipoSql(c);
        if (!c.resto.isEmpty())
            def += QLatin1Char(' ') + c.resto;
        partes << def;
    }
    partes << tabla.restricciones;
    if (conChequeos)
        for (const Columna& c : tabla.columnas)
            partes << chequeos(tabla.nombre, c);
    return QStringLiteral("create table %1 (%2)").arg(tabla.nombre, partes.join(QStringLiteral(", ")));
}

void creaTabla(Conexion& conexion, const Tabla& tabla) {
    conexion.ejecuta(sentenciaDeTabla(tabla, conexion.motor() == Motor::SQLite));
}

int versionActual(Catalogo catalogo) {
    return migraciones(catalogo).constLast().version;
}

int version(Conexion& conexion) {
    if (!tieneTablaDeVersion(conexion))
        return 0;
    const Recordset rs = conexion.ejecuta(QStringLiteral("select max(version) from version_esquema"));
    return rs.estaVacio() ? 0 : rs.valor(0, 0).toInt();
}

void exigeActual(Conexion& conexion, Catalogo catalogo) {
    const int encontrada = version(conexion);
    if (encontrada != versionActual(catalogo))
        throw errorDeVersion(conexion, catalogo, encontrada);
}

int actualiza(Conexion& conexion, Catalogo catalogo, QStringList* notas) {
    const int vista = version(conexion);
    if (vista > versionActual(catalogo))
        throw errorDeVersion(conexion, catalogo, vista);
    if (vista == versionActual(catalogo))
        return vista;
    // One unit: the catalog reaches the current version whole or not at all.
    // Whoever updates it at the same time waits for the lock (an embedded
    // writer for the file), then reads the version again and finds it done.
    return conexion.enTransaccion([&] {
        if (conexion.motor() == Motor::PostgreSQL)
            conexion.ejecuta(QStringLiteral("select pg_advisory_xact_lock(7421, 1)"));
        const int encontrada = version(conexion);
        if (encontrada > versionActual(catalogo))
            throw errorDeVersion(conexion, catalogo, encontrada);
        int desde = encontrada;
        if (encontrada == 0 && !formaDe(conexion).isEmpty())
            desde = restituyeVersion(conexion, catalogo, notas);
        for (const Migracion& m : migraciones(catalogo)) {
            if (m.version <= desde)
                continue;
            if (!tieneTablaDeVersion(conexion))
                conexion.ejecuta(
                    QStringLiteral("create table version_esquema (version integer primary key)"));
            m.aplica(conexion);
            conexion.ejecuta(QStringLiteral("insert into version_esquema (version) values (?)"), {m.version});
        }
        return encontrada;
    });
}

} // namespace Esquema
