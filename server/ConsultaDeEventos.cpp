#include "server/ConsultaDeEventos.h"

#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Procedimientos.h"
#include "server/Servidor.h"

#include <QDate>
#include <algorithm>
#include <numeric>

namespace ConsultaDeEventos {

QString consultaBase(bool fechasComoTexto) {
    const QString fecha =
        fechasComoTexto ? QStringLiteral("cast(a.fecha as varchar(19))") : QStringLiteral("a.fecha");
    const QString fisica = fechasComoTexto ? QStringLiteral("cast(a.fecha_fisica as varchar(19))")
                                           : QStringLiteral("a.fecha_fisica");
    // The instruction is its whole description: the query sheets print it.
    return QStringLiteral(
               "select a.folio as \"Folio\", %1 as \"fecha\", a.hora as \"hora\", a.descripcion as "
               "\"Evento\", "
               "a.direccion as \"Dirección\", a.cve_municipio as \"Municipio\", a.cve_localidad as "
               "\"Localidad\", "
               "b.nombre as \"Representante\", b.clave_fun as \"Cargo\", b.observacion as \"observacion\", "
               "b.representa_a as \"Representa a\", c.nombre as \"suscriptor\", c.cargo_suscriptor as "
               "\"Cargo_Susc\", "
               "d.descripcion as \"Instruccion\", %2 as \"fecha_fisica\", b.cargo as \"cargo\" "
               "from evento a "
               "inner join representante_del_evento b on a.folio = b.folio and a.año = b.año "
               "inner join suscriptor c on b.folio = c.folio and b.año = c.año "
               "inner join cat_instrucciones d on b.clave_instruccion = d.clave_instruccion ")
        .arg(fecha, fisica);
}

QString deEventos(const QMap<int, QList<int>>& foliosPorAnio, QVariantList& valores) {
    QStringList condiciones;
    for (auto it = foliosPorAnio.cbegin(); it != foliosPorAnio.cend(); ++it) {
        valores << it.key();
        QStringList marcas;
        for (int folio : it.value()) {
            valores << folio;
            marcas << QStringLiteral("?");
        }
        condiciones << QStringLiteral("(a.año = ? and a.folio in (%1))").arg(marcas.join(QLatin1Char(',')));
    }
    return consultaBase() + QStringLiteral("where ") + condiciones.join(QStringLiteral(" or "));
}

} // namespace ConsultaDeEventos

namespace {

const QString procedimiento = QStringLiteral("sp_ZMXObtenerRegsInvitaciones");

QDate fechaDelArgumento(Argumentos& a, QStringView nombre, const QString& fuente) {
    const QString texto = a.texto(nombre).trimmed();
    const QDate fecha = QDate::fromString(texto, QLatin1String(ConsultaDeEventos::formatoDeFecha));
    if (!fecha.isValid())
        throw ErrorDeEjecucion(CodigoDeError::Conversion,
                               QStringLiteral("%1: %2 no es una fecha mm/dd/aaaa (\"%3\").")
                                   .arg(procedimiento, nombre.toString(), texto),
                               fuente);
    return fecha;
}

// Code 1: the events from the start date up to, not including, the end date
// (the day after the last day wanted). Code 2: the events from the start date
// (today) on. In order of day, hour and folio.
Recordset obtenerRegistros(Conexion& taloren, Argumentos& a) {
    const QString opcion = a.texto(u"@OptSelAsuntos").trimmed();
    const QDate inicio = fechaDelArgumento(a, u"@FechaIni", taloren.fuente());
    // The dates come back as text in the form every reader expects,
    // "yyyy-MM-dd HH:mm:ss", whatever the server's own date style.
    if (taloren.motor() == Motor::PostgreSQL)
        taloren.ejecuta(QStringLiteral("set local datestyle = 'ISO, YMD'"));
    const QString consulta = ConsultaDeEventos::consultaBase(true);
    Recordset rs;
    if (opcion == QLatin1String("1")) {
        const QDate fin = fechaDelArgumento(a, u"@FechaFin", taloren.fuente());
        rs = taloren.ejecuta(consulta + QStringLiteral("where a.fecha >= ? and a.fecha < ?"), {inicio, fin});
    } else if (opcion == QLatin1String("2")) {
        rs = taloren.ejecuta(consulta + QStringLiteral("where a.fecha >= ?"), {inicio});
    } else {
        throw ErrorDeEjecucion(
            CodigoDeError::Sentencia,
            QStringLiteral("%1: la opción \"%2\" no existe (1 rango de fechas, 2 próximos eventos).")
                .arg(procedimiento, opcion),
            taloren.fuente());
    }

    // The event's date carries the moment it was captured as its time of
    // day, which says nothing: the day, then the hour.
    struct Clave {
        int dia; // yyyymmdd
        QString hora;
        int folio;
    };
    const auto dia = [](const QString& fecha) {
        // "yyyy-MM-dd ...": the digits of the day, without making a date of them.
        if (fecha.size() < 10)
            return -1;
        int n = 0;
        for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
            n = n * 10 + fecha.at(i).digitValue();
        return n;
    };
    std::vector<Clave> claves;
    claves.reserve(std::size_t(rs.filas()));
    for (int i = 0; i < rs.filas(); ++i)
        claves.push_back({dia(rs.texto(i, 1)), rs.texto(i, 2), rs.valor(i, 0).toInt()});
    QList<int> orden(rs.filas());
    std::iota(orden.begin(), orden.end(), 0);
    std::stable_sort(orden.begin(), orden.end(), [&](int x, int y) {
        const Clave &p = claves[std::size_t(x)], &q = claves[std::size_t(y)];
        if (p.dia != q.dia)
            return p.dia < q.dia;
        if (p.hora != q.hora)
            return p.hora < q.hora;
        return p.folio < q.folio;
    });
    rs.reordena(orden);
    return rs;
}

} // namespace

void registraConsultaDeEventos(CatalogoDeProcedimientos& taloren) {
    taloren.registra({procedimiento,
                      {{QStringLiteral("@OptSelAsuntos"), TipoDeParametro::Char, Direccion::Entrada, 1},
                       {QStringLiteral("@FechaIni"), TipoDeParametro::VarChar, Direccion::Entrada, 10},
                       {QStringLiteral("@FechaFin"), TipoDeParametro::VarChar, Direccion::Entrada, 10}},
                      obtenerRegistros});
}
