#include "server/Historial.h"

#include "outside/Conexion.h"
#include "outside/Recordset.h"
#include "outside/Reloj.h"
#include "server/Evento.h"
#include "server/Invitacion.h"
#include "server/Servidor.h"

#include <QSysInfo>
#include <map>
#include <tuple>

QString Autor::estacionLocal() {
    return QSysInfo::machineHostName();
}

namespace Historial {

namespace {

const char* const formato = "yyyy-MM-dd HH:mm:ss";

Tipo tipoDe(const QString& nombre) {
    if (nombre == QLatin1String("alta"))
        return Tipo::Alta;
    if (nombre == QLatin1String("baja"))
        return Tipo::Baja;
    return Tipo::Cambio;
}

const QString columnasDeEntrada =
    QStringLiteral("catalogo, anio, folio, version, tipo, sobrescribe, cuenta, estacion, rol, fecha");

// The entries that `filtro` (over the entries, named h) selects, newest
// first, each with its fields: two statements whatever their number.
QList<Entrada> entradas(Conexion& c, Catalogo catalogo, const QString& filtro, const QVariantList& valores,
                        int limite = 0) {
    QVariantList v{Servidor::nombre(catalogo)};
    v << valores;
    const QString donde = QStringLiteral(" where h.catalogo = ?") + filtro;
    QString sql = QStringLiteral("select %1 from historial h").arg(columnasDeEntrada) + donde +
                  QStringLiteral(" order by h.fecha desc, h.version desc, h.anio desc, h.folio desc");
    QVariantList conLimite = v;
    if (limite > 0) {
        sql += QStringLiteral(" limit ?");
        conLimite << limite;
    }
    const Recordset rs = c.ejecuta(sql, conLimite);
    QList<Entrada> r;
    std::map<std::tuple<int, int, int>, qsizetype> porLlave;
    for (int i = 0; i < rs.filas(); ++i) {
        Entrada e;
        e.catalogo = catalogo;
        e.anio = rs.valor(i, QStringLiteral("anio")).toInt();
        e.folio = rs.valor(i, QStringLiteral("folio")).toInt();
        e.version = rs.valor(i, QStringLiteral("version")).toInt();
        e.tipo = tipoDe(rs.texto(i, QStringLiteral("tipo")));
        e.sobrescribe = rs.valor(i, QStringLiteral("sobrescribe")).toInt();
        e.cuenta = rs.texto(i, QStringLiteral("cuenta"));
        e.estacion = rs.texto(i, QStringLiteral("estacion"));
        e.rol = rs.texto(i, QStringLiteral("rol"));
        e.fecha = Recordset::fechaHora(rs.valor(i, QStringLiteral("fecha")));
        porLlave.emplace(std::tuple{e.anio, e.folio, e.version}, r.size());
        r << e;
    }
    if (r.isEmpty())
        return r;
    const Recordset cs = c.ejecuta(
        QStringLiteral(
            "select c.anio, c.folio, c.version, c.campo, c.antes, c.despues from historial_campo c"
            " join historial h on h.anio = c.anio and h.folio = c.folio and h.version = c.version") +
            donde + QStringLiteral(" order by c.orden"),
        v);
    for (int i = 0; i < cs.filas(); ++i) {
        const auto entrada =
            porLlave.find(std::tuple{cs.valor(i, 0).toInt(), cs.valor(i, 1).toInt(), cs.valor(i, 2).toInt()});
        if (entrada != porLlave.end())
            r[entrada->second].campos << CambioDeCampo{cs.texto(i, 3), cs.valor(i, 4), cs.valor(i, 5)};
    }
    return r;
}

} // namespace

QString nombreDe(Tipo tipo) {
    switch (tipo) {
    case Tipo::Alta:
        return QStringLiteral("alta");
    case Tipo::Cambio:
        return QStringLiteral("cambio");
    case Tipo::Baja:
        return QStringLiteral("baja");
    }
    return {};
}

QVariant textoDe(const Campo& campo, const QVariant& valor) {
    if (valor.isNull())
        return {};
    if (campo.tipo == Esquema::Tipo::Timestamp) {
        const QDateTime f = Recordset::fechaHora(valor);
        return f.isValid() ? QVariant(f.toString(QString::fromLatin1(formato))) : QVariant();
    }
    return valor.toString();
}

QString nombreDelCampo(const Campo& campo) {
    return QString::fromUtf8(campo.tabla) + QLatin1Char('.') + QString::fromUtf8(campo.columna);
}

void escribe(Conexion& c, const Entrada& e, const Autor& autor) {
    // On a server a trigger puts its own role and clock over these two; the
    // embedded catalog has no roles, and names the machine's account.
    const QString cuentaDelSistema = qEnvironmentVariable("USER");
    const QString rol = c.motor() == Motor::PostgreSQL ? QStringLiteral("")
                        : cuentaDelSistema.isEmpty()   ? QStringLiteral("local")
                                                       : cuentaDelSistema;
    c.enTransaccion([&] {
        c.ejecuta(QStringLiteral("insert into historial (%1) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                      .arg(columnasDeEntrada),
                  {Servidor::nombre(e.catalogo), e.anio, e.folio, e.version, nombreDe(e.tipo),
                   e.sobrescribe > 0 ? QVariant(e.sobrescribe) : QVariant(), autor.cuenta, autor.estacion,
                   rol, Reloj::actual().ahora()});
        if (e.campos.isEmpty())
            return;
        // All the fields in one statement: one trip to the server.
        QStringList filas;
        QVariantList valores;
        for (int i = 0; i < e.campos.size(); ++i) {
            const CambioDeCampo& cc = e.campos.at(i);
            filas << QStringLiteral("(?, ?, ?, ?, ?, ?, ?)");
            valores << e.anio << e.folio << e.version << i + 1 << cc.campo << cc.antes << cc.despues;
        }
        c.ejecuta(QStringLiteral("insert into historial_campo (anio, folio, version, orden, campo, antes, "
                                 "despues) values ") +
                      filas.join(QStringLiteral(", ")),
                  valores);
    });
}

QList<Entrada> delRegistro(Conexion& c, Catalogo catalogo, int anio, int folio) {
    return entradas(c, catalogo, QStringLiteral(" and h.anio = ? and h.folio = ?"), {anio, folio});
}

std::optional<Entrada> ultima(Conexion& c, Catalogo catalogo, int anio, int folio) {
    const QList<Entrada> r =
        entradas(c, catalogo, QStringLiteral(" and h.anio = ? and h.folio = ?"), {anio, folio}, 1);
    if (r.isEmpty())
        return std::nullopt;
    return r.first();
}

QList<Entrada> borrados(Conexion& c, Catalogo catalogo, const QDate& desde) {
    if (desde.isValid())
        return entradas(c, catalogo, QStringLiteral(" and h.tipo = 'baja' and h.fecha >= ?"),
                        {QDateTime(desde, QTime(0, 0))});
    return entradas(c, catalogo, QStringLiteral(" and h.tipo = 'baja'"), {});
}

QString rotuloDe(Catalogo catalogo, const QString& campo) {
    const QString tabla = campo.section(QLatin1Char('.'), 0, 0);
    const QString columna = campo.section(QLatin1Char('.'), 1);
    if (catalogo == Catalogo::Kelmar) {
        for (const Campo& c : Invitacion::campos())
            if (tabla == QLatin1String(c.tabla) &&
                columna.compare(QLatin1String(c.columna), Qt::CaseInsensitive) == 0)
                return c.textoDelRotulo();
    } else {
        for (const Campo& c : Evento::campos())
            if (tabla == QString::fromUtf8(c.tabla) &&
                columna.compare(QString::fromUtf8(c.columna), Qt::CaseInsensitive) == 0)
                return c.textoDelRotulo();
    }
    return campo;
}

QString paraMostrar(const QVariant& valor) {
    if (valor.isNull())
        return {};
    const QString texto = valor.toString();
    const QDateTime f = QDateTime::fromString(texto, QString::fromLatin1(formato));
    if (f.isValid() && texto.size() == 19)
        return f.time() == QTime(0, 0) ? f.toString(QStringLiteral("dd/MM/yyyy"))
                                       : f.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    return texto;
}

} // namespace Historial

namespace Esquema {

// A record is known by its year and folio, and each of its changes by the
// version it left: a deleted event's folio is never given again, so the
// three say one change of one record.
QList<Tabla> tablasDelHistorial(int desde) {
    const QString llave = QStringLiteral("anio, folio, version");
    return {
        {QStringLiteral("historial"),
         {varchar("catalogo", 10, "not null"), smallint("anio", "not null"), integer("folio", "not null"),
          integer("version", "not null"), varchar("tipo", 6, "not null"), integer("sobrescribe"),
          varchar("cuenta", 20, "not null"), varchar("estacion", 255, "not null"),
          varchar("rol", 63, "not null"), timestamp("fecha", "not null")},
         {QStringLiteral("primary key (%1)").arg(llave),
          QStringLiteral("check (tipo in ('alta', 'cambio', 'baja'))")},
         desde},
        {QStringLiteral("historial_campo"),
         {smallint("anio", "not null"), integer("folio", "not null"), integer("version", "not null"),
          smallint("orden", "not null"), varchar("campo", 80, "not null"), varchar("antes", 2000),
          varchar("despues", 2000)},
         {QStringLiteral("primary key (%1, orden)").arg(llave),
          QStringLiteral("foreign key (%1) references historial (%1)").arg(llave)},
         desde},
    };
}

Tabla tablaDeImportaciones(int desde) {
    return {QStringLiteral("importaciones"),
            {integer("id", "primary key"), varchar("tipo", 12, "not null default 'importación'"),
             timestamp("fecha", "not null"), varchar("cuenta", 20, "not null"),
             varchar("estacion", 255, "not null"), varchar("rol", 63, "not null"),
             varchar("origen", 1000, "not null"), varchar("resumen", 2000, "not null")},
            {QStringLiteral("check (tipo in ('importación'))")},
            desde};
}

} // namespace Esquema
