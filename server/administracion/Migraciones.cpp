#include "server/administracion/Migraciones.h"

#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/ReglaDeNombres.h"
#include "server/Servidor.h"
#include "server/administracion/Cuentas.h"
#include "server/administracion/Semilla.h"

#include <QHash>
#include <QMap>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>
#include <algorithm>
#include <functional>

namespace Esquema {

namespace {

struct Migracion {
    int version;
    // The second argument: whether a new catalog gets the seed data (a
    // restore brings every row from its export instead).
    std::function<void(Conexion&, bool)> aplica;
};

// The name rule's functions: a server keeps them in the schema, the embedded
// catalog gets them on every connection.
void creaFuncionesDeNombres(Conexion& c) {
    if (c.motor() == Motor::PostgreSQL)
        for (const QString& sentencia : ReglaDeNombres::funcionesParaPostgreSQL())
            c.ejecuta(sentencia);
}

// The tables that a version adds, as the data side defines them.
void creaTablasNuevas(Conexion& c, Catalogo catalogo, int version) {
    for (const Tabla& t : tablas(catalogo, version))
        if (t.desde == version)
            creaTabla(c, t);
}

// Version 1 of kelmar: the catalogues the office shares with its sibling
// system, the accounts, and the invitations.
void kelmar1(Conexion& c, bool semilla) {
    creaFuncionesDeNombres(c);
    creaTablasNuevas(c, Catalogo::Kelmar, 1);
    c.ejecuta(QStringLiteral("create index funcionarios_nombre on funcionarios (nombre)"));
    c.ejecuta(QStringLiteral("create index localidad_nombre on localidad (nombre)"));
    c.ejecuta(QStringLiteral("create index invitacion_fechaevento on invitacion (FechaEvento)"));
    if (semilla)
        Semilla::siembraKelmar(c);
}

// Version 2 of kelmar: an event of a known municipality and unknown locality
// is stored under that municipality's own "Sin Localidad".
void kelmar2(Conexion& c, bool) {
    Semilla::agregaSinLocalidad(c);
}

// Version 1 of taloren: the event register and its own catalogues.
void taloren1(Conexion& c, bool semilla) {
    creaFuncionesDeNombres(c);
    creaTablasNuevas(c, Catalogo::Taloren, 1);
    c.ejecuta(QStringLiteral("create index evento_fecha on evento (fecha)"));
    if (semilla)
        Semilla::siembraTaloren(c);
}

// Version 3 of kelmar: on a server, the accounts are checked, added and
// changed by functions of the administrator role that owns the catalog, so
// that the stations' accounts, which may not read the table of accounts,
// still log in, and the digests never leave the server. pgcrypto ships with
// PostgreSQL and is a trusted extension: the catalog's owner creates it. The
// embedded catalog checks its accounts in the program.
void kelmar3(Conexion& c, bool) {
    if (c.motor() != Motor::PostgreSQL)
        return;
    for (const QString& sentencia : Cuentas::funcionesParaPostgreSQL())
        c.ejecuta(sentencia);
}

// The columns a version adds to the tables the catalog held before it, as
// the data side defines them (a later column goes after the earlier ones).
void agregaColumnasNuevas(Conexion& c, Catalogo catalogo, int version) {
    const QList<Tabla> antes = tablas(catalogo, version - 1);
    for (const Tabla& t : tablas(catalogo, version)) {
        const auto previa =
            std::find_if(antes.cbegin(), antes.cend(), [&](const Tabla& a) { return a.nombre == t.nombre; });
        if (previa == antes.cend())
            continue;
        for (const Columna& columna : t.columnas)
            if (std::none_of(previa->columnas.cbegin(), previa->columnas.cend(),
                             [&](const Columna& a) { return a.nombre == columna.nombre; }))
                c.ejecuta(sentenciaDeColumnaNueva(t.nombre, columna, c.motor() == Motor::SQLite));
    }
}

// A version on every record and the history of every change (version 4 of
// kelmar, 2 of taloren). The records stored before start at version 1 with
// no history. History rows are never changed nor removed: on a server the
// stations are not granted it (the administration command), and its trigger
// writes the server's role and clock over what a station sends; the
// embedded catalog refuses it by triggers. Version 4 of kelmar also lets the
// office set the years in which an event date needs no question.
void agregaVersionesEHistorial(Conexion& c, Catalogo catalogo, int version) {
    agregaColumnasNuevas(c, catalogo, version);
    creaTablasNuevas(c, catalogo, version);
    if (c.motor() == Motor::PostgreSQL) {
        c.ejecuta(
            QStringLiteral("create function historial_autor() returns trigger language plpgsql as $$"
                           " begin new.rol := current_user; new.fecha := localtimestamp(0); return new; end"
                           " $$"));
        c.ejecuta(QStringLiteral("create trigger historial_autor before insert on historial"
                                 " for each row execute function historial_autor()"));
        return;
    }
    for (const QString& tabla : {QStringLiteral("historial"), QStringLiteral("historial_campo")})
        for (const QString& accion : {QStringLiteral("update"), QStringLiteral("delete")})
            c.ejecuta(QStringLiteral("create trigger %1_sin_%2 before %2 on %1 begin"
                                     " select raise(abort, 'El historial no se modifica ni se borra.'); end")
                          .arg(tabla, accion));
}

void kelmar4(Conexion& c, bool) {
    agregaVersionesEHistorial(c, Catalogo::Kelmar, 4);
}

void taloren2(Conexion& c, bool) {
    agregaVersionesEHistorial(c, Catalogo::Taloren, 2);
}

// The history of the imports (version 5 of kelmar, 3 of taloren): like the
// history of the records, never changed nor removed.
void agregaImportaciones(Conexion& c, Catalogo catalogo, int version) {
    creaTablasNuevas(c, catalogo, version);
    if (c.motor() == Motor::PostgreSQL)
        return;
    for (const QString& accion : {QStringLiteral("update"), QStringLiteral("delete")})
        c.ejecuta(QStringLiteral("create trigger importaciones_sin_%1 before %1 on importaciones begin"
                                 " select raise(abort, 'El historial no se modifica ni se borra.'); end")
                      .arg(accion));
}

// Version 5 of kelmar also adds the agenda's settings (server/Esquema.cpp).
// The identity is made here, once, and travels with the catalog from then on
// (a restored export brings its own).
void kelmar5(Conexion& c, bool) {
    agregaColumnasNuevas(c, Catalogo::Kelmar, 5);
    agregaImportaciones(c, Catalogo::Kelmar, 5);
    c.ejecuta(QStringLiteral("update configuracion set Identidad = ? where Identidad is null"),
              {QUuid::createUuid().toString(QUuid::WithoutBraces)});
}

void taloren3(Conexion& c, bool) {
    agregaImportaciones(c, Catalogo::Taloren, 3);
}

// Each catalog's migrations in order. A new one takes the next number of its
// list. One that creates no table and changes no column must be safe to run
// again: a catalog that lost its version record is told by its tables, and
// the migrations after the first version with those tables run again.
const QList<Migracion>& migraciones(Catalogo catalogo) {
    static const QList<Migracion> kelmar = {
        {1, kelmar1}, {2, kelmar2}, {3, kelmar3}, {4, kelmar4}, {5, kelmar5},
    };
    static const QList<Migracion> taloren = {
        {1, taloren1},
        {2, taloren2},
        {3, taloren3},
    };
    const QList<Migracion>& lista = catalogo == Catalogo::Kelmar ? kelmar : taloren;
    // The data side states the version windows require; a migration that it
    // does not know of would leave every station refusing the catalog.
    if (lista.constLast().version != versionActual(catalogo))
        throw ErrorDeEjecucion(CodigoDeError::Interno,
                               QStringLiteral("Las migraciones del catálogo %1 llegan a la versión %2 y el "
                                              "esquema declara la %3.")
                                   .arg(Servidor::nombre(catalogo))
                                   .arg(lista.constLast().version)
                                   .arg(versionActual(catalogo)),
                               QStringLiteral("Esquema"));
    return lista;
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
            borrador.enTransaccion([&] { m.aplica(borrador, true); });
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

int actualiza(Conexion& conexion, Catalogo catalogo, QStringList* notas, int hasta, bool semilla) {
    if (hasta <= 0)
        hasta = versionActual(catalogo);
    const int vista = version(conexion);
    if (vista > versionActual(catalogo))
        throw errorDeVersion(conexion, catalogo, vista);
    if (vista >= hasta)
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
            if (m.version <= desde || m.version > hasta)
                continue;
            if (!tieneTablaDeVersion(conexion))
                conexion.ejecuta(
                    QStringLiteral("create table version_esquema (version integer primary key)"));
            m.aplica(conexion, semilla);
            conexion.ejecuta(QStringLiteral("insert into version_esquema (version) values (?)"), {m.version});
        }
        return encontrada;
    });
}

} // namespace Esquema
