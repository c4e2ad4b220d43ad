#include "server/ConsultaDeEventos.h"

#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Procedimientos.h"
#include "server/Servidor.h"

#include <QDate>
#include <algorithm>
#include <numeric>

namespace ConsultaDeEventos {

QString consultaBase() {
    // The instruction is its whole description: the query sheets print it.
    return QStringLiteral(
        "select a.folio as \"Folio\", a.fecha as \"fecha\", a.hora as \"hora\", a.descripcion as \"Evento\", "
        "a.direccion as \"Dirección\", a.cve_municipio as \"Municipio\", a.cve_localidad as \"Localidad\", "
        "b.nombre as \"Representante\", b.clave_fun as \"Cargo\", b.observacion as \"observacion\", "
        "b.representa_a as \"Representa a\", c.nombre as \"suscriptor\", c.cargo_suscriptor as "
        "\"Cargo_Susc\", "
        "d.descripcion as \"Instruccion\", a.fecha_fisica as \"fecha_fisica\", b.cargo as \"cargo\" "
        "from evento a "
        "inner join representante_del_evento b on a.folio = b.folio and a.año = b.año "
        "inner join suscriptor c on b.folio = c.folio and b.año = c.año "
        "inner join cat_instrucciones d on b.clave_instruccion = d.clave_instruccion ");
}

QString porFolioYAnio(int pares) {
    QStringList condiciones;
    condiciones.reserve(pares);
    for (int i = 0; i < pares; ++i)
        condiciones << QStringLiteral("(a.folio = ? and a.año = ?)");
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
    Recordset rs;
    if (opcion == QLatin1String("1")) {
        const QDate fin = fechaDelArgumento(a, u"@FechaFin", taloren.fuente());
        rs = taloren.ejecuta(ConsultaDeEventos::consultaBase() +
                                 QStringLiteral("where a.fecha >= ? and a.fecha < ?"),
                             {inicio, fin});
    } else if (opcion == QLatin1String("2")) {
        rs = taloren.ejecuta(ConsultaDeEventos::consultaBase() + QStringLiteral("where a.fecha >= ?"),
                             {inicio});
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
        QString dia, hora;
        int folio;
    };
    std::vector<Clave> claves;
    claves.reserve(std::size_t(rs.filas()));
    for (int i = 0; i < rs.filas(); ++i)
        claves.push_back({rs.texto(i, 1).left(10), rs.texto(i, 2), rs.valor(i, 0).toInt()});
    std::vector<int> orden(claves.size());
    std::iota(orden.begin(), orden.end(), 0);
    std::stable_sort(orden.begin(), orden.end(), [&](int x, int y) {
        const Clave &p = claves[std::size_t(x)], &q = claves[std::size_t(y)];
        if (p.dia != q.dia)
            return p.dia < q.dia;
        if (p.hora != q.hora)
            return p.hora < q.hora;
        return p.folio < q.folio;
    });
    QList<QVariantList> filas;
    filas.reserve(rs.filas());
    for (int i : orden) {
        QVariantList fila;
        fila.reserve(rs.columnas());
        for (int c = 0; c < rs.columnas(); ++c)
            fila << rs.valor(i, c);
        filas << std::move(fila);
    }
    return Recordset(rs.nombresDeColumnas(), std::move(filas), taloren.fuente());
}

} // namespace

void registraConsultaDeEventos(CatalogoDeProcedimientos& taloren) {
    taloren.registra({procedimiento,
                      {{QStringLiteral("@OptSelAsuntos"), TipoDeParametro::Char, Direccion::Entrada, 1},
                       {QStringLiteral("@FechaIni"), TipoDeParametro::VarChar, Direccion::Entrada, 10},
                       {QStringLiteral("@FechaFin"), TipoDeParametro::VarChar, Direccion::Entrada, 10}},
                      obtenerRegistros});
}
