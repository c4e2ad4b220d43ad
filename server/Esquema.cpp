#include "server/Esquema.h"

#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "server/Evento.h"
#include "server/Historial.h"
#include "server/Invitacion.h"

namespace Esquema {

QString textoDelTipo(Tipo tipo, int largo) {
    switch (tipo) {
    case Tipo::VarChar:
        return QStringLiteral("varchar(%1)").arg(largo);
    case Tipo::SmallInt:
        return QStringLiteral("smallint");
    case Tipo::Integer:
        return QStringLiteral("integer");
    case Tipo::Timestamp:
        return QStringLiteral("timestamp");
    }
    return {};
}

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

// The office's settings that version 4 adds: the years around today's in
// which an event date needs no question. Version 5 adds the margin within
// which two entries of one person's agenda conflict, the office's time zone
// for its calendar files, and the catalog's own identity, which names its
// records in those files wherever the catalog is moved.
QList<Columna> columnasDeConfiguracion(int version) {
    QList<Columna> r;
    if (version >= 4)
        r << smallint("AniosAtras", "not null default 10")
          << smallint("AniosAdelante", "not null default 10");
    if (version >= 5)
        r << smallint("MargenConflictos", "not null default 90")
          << varchar("ZonaHoraria", 64, "not null default 'America/Mexico_City'") << varchar("Identidad", 36);
    return r;
}

// The tables of kelmar: the catalogues the office shares with its sibling
// system, the accounts, and the invitations.
QList<Tabla> tablasDeKelmar(int version) {
    return QList<Tabla>{
               {QStringLiteral("configuracion"),
                QList<Columna>{smallint("id", "primary key"), smallint("Acceso"), varchar("Mensaje1", 500),
                               timestamp("FechaUltimaVersion"), smallint("Criticidad")} +
                    columnasDeConfiguracion(version),
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
               tablaDeInvitaciones(version),
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
           } +
           tablasDelHistorial(4) + QList<Tabla>{tablaDeImportaciones(5)};
}

// The tables of taloren: the event register's own catalogues, then the three
// tables of the event record as its field table gives them (server/Evento.cpp).
QList<Tabla> tablasDeTaloren(int version) {
    return QList<Tabla>{
               {QStringLiteral("cat_instrucciones"),
                {integer("clave_instruccion", "primary key"), varchar("descripcion", 250, "not null")}},
               {QStringLiteral("suscriptor_frecuente"),
                {varchar("nombre", 100, "not null"), varchar("cargo", 150, "not null default ''"),
                 integer("id", "primary key")}},
               {QStringLiteral("direcciones_eventos"),
                {varchar("direccion", 250, "not null"), varchar("lugar", 150, "not null"),
                 integer("clave", "primary key")}},
           } +
           tablasDelRegistroDeEventos(version) +
           QList<Tabla>{
               // One counter row per year, as for invitations: a new event's
               // folio is drawn by the insert that stores it, so two stations
               // never wait on each other for one.
               {QStringLiteral("folio_evento"),
                {smallint("año", "primary key"), integer("ultimo_folio", "not null")},
                {QStringLiteral("check (ultimo_folio >= 0)")},
                2},
           } +
           tablasDelHistorial(2) + QList<Tabla>{tablaDeImportaciones(3)};
}

} // namespace

QString sentenciaDeTabla(const Tabla& tabla, bool conChequeos) {
    QStringList partes;
    for (const Columna& c : tabla.columnas) {
        QString def = c.nombre + QLatin1Char(' ') + textoDelTipo(c.tipo, c.largo);
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

QString sentenciaDeColumnaNueva(const QString& tabla, const Columna& columna, bool conChequeos) {
    QString def = columna.nombre + QLatin1Char(' ') + textoDelTipo(columna.tipo, columna.largo);
    if (!columna.resto.isEmpty())
        def += QLatin1Char(' ') + columna.resto;
    if (conChequeos)
        def += QLatin1Char(' ') + chequeos(tabla, columna).join(QLatin1Char(' '));
    return QStringLiteral("alter table %1 add column %2").arg(tabla, def);
}

void creaTabla(Conexion& conexion, const Tabla& tabla) {
    conexion.ejecuta(sentenciaDeTabla(tabla, conexion.motor() == Motor::SQLite));
}

int versionActual(Catalogo catalogo) {
    // A new migration raises its catalog's number here.
    return catalogo == Catalogo::Kelmar ? 5 : 3;
}

QList<Tabla> tablas(Catalogo catalogo, int version) {
    QList<Tabla> todas = catalogo == Catalogo::Kelmar ? tablasDeKelmar(version) : tablasDeTaloren(version);
    todas.removeIf([&](const Tabla& t) { return t.desde > version; });
    return todas;
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

int version(Conexion& conexion) {
    if (!conexion.baseDeDatos().tables().contains(QStringLiteral("version_esquema"), Qt::CaseInsensitive))
        return 0;
    const Recordset rs = conexion.ejecuta(QStringLiteral("select max(version) from version_esquema"));
    return rs.estaVacio() ? 0 : rs.valor(0, 0).toInt();
}

void exigeActual(Conexion& conexion, Catalogo catalogo) {
    const int encontrada = version(conexion);
    if (encontrada != versionActual(catalogo))
        throw errorDeVersion(conexion, catalogo, encontrada);
}

} // namespace Esquema
