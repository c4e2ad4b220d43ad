#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Procedimientos.h"
#include "outside/ReglaDeNombres.h"
#include "outside/Reloj.h"
#include "server/Servidor.h"

#include <QUuid>

namespace {

// The session a call belongs to: this process and the connection it came by.
// Folios staged by one station's print are never seen by another's, nor by
// another connection of the same station.
QString sesionDe(const Conexion& kelmar) {
    static const QString proceso = QUuid::createUuid().toString(QUuid::Id128);
    return proceso + QLatin1Char('-') + kelmar.baseDeDatos().connectionName();
}

struct Condiciones {
    QStringList sql;
    QVariantList valores;

    void agrega(const QString& condicion, const QVariant& valor) {
        sql << condicion;
        valores << valor;
    }
    QString donde() const { return sql.join(QStringLiteral(" and ")); }
};

QDate fechaExigida(Argumentos& a, QStringView nombre, const QString& fuente) {
    const QDateTime fecha = a.fecha(nombre);
    if (!fecha.isValid())
        throw ErrorDeEjecucion(CodigoDeError::Conversion,
                               QStringLiteral("El parámetro '%1' necesita una fecha.").arg(nombre.toString()),
                               fuente);
    return fecha.date();
}

// The criteria both procedures share: the event's days, the words of the
// description, inviter and representative (by the name rule, so case and
// accents do not matter), and the confirmation word.
Condiciones criterios(Conexion& kelmar, Argumentos& a) {
    const QString fuente = kelmar.fuente();
    Condiciones c;
    c.agrega(QStringLiteral("i.FechaEvento >= ?"), fechaExigida(a, u"@FechaInicial", fuente).startOfDay());
    c.agrega(QStringLiteral("i.FechaEvento < ?"),
             fechaExigida(a, u"@FechaFinal", fuente).addDays(1).startOfDay());
    const struct {
        const char16_t* parametro;
        const char* columna;
    } palabras[] = {{u"@PalabraDescrip", "i.Descripcion"},
                    {u"@PalabraSuscrip", "i.Suscriptor"},
                    {u"@PalabraRepres", "i.Representante"}};
    for (const auto& p : palabras) {
        const QString palabra = a.texto(p.parametro);
        if (!palabra.isEmpty())
            c.agrega(ReglaDeNombres::condicionContiene(QString::fromLatin1(p.columna)),
                     ReglaDeNombres::patronContiene(palabra));
    }

    const QString tipo = a.texto(u"@TipoInvit").trimmed();
    const auto es = [&](const char* palabra) {
        return tipo.compare(QLatin1String(palabra), Qt::CaseInsensitive) == 0;
    };
    if (es("Confirmadas"))
        c.agrega(QStringLiteral("i.Estatus = ?"), QStringLiteral("CONFIRMADA"));
    else if (es("SinConfirmar"))
        c.agrega(QStringLiteral("i.Estatus = ?"), QStringLiteral("SINCONFIRMAR"));
    else if (!es("Todas") && !es("ConfirmYSinConfirm"))
        throw ErrorDeEjecucion(CodigoDeError::Sentencia,
                               QStringLiteral("El tipo de invitación '%1' no se reconoce: se esperaba "
                                              "Confirmadas, SinConfirmar, ConfirmYSinConfirm o Todas.")
                                   .arg(tipo),
                               fuente);
    return c;
}

const QString orden = QStringLiteral(" order by i.FechaEvento, i.Hora, i.Anio, i.Folio");

// The invitations found by the report window, in event-date order. Columns 0,
// 1 and 7 are the year, the folio and the representative (empty while the
// invitation is not confirmed); the others fill the grid's columns.
Recordset obtenerInvitaciones(Conexion& kelmar, Argumentos& a) {
    const Condiciones c = criterios(kelmar, a);
    return kelmar.ejecuta(
        QStringLiteral(
            "select i.Anio as \"Año\", i.Folio as \"Folio\", i.FechaEvento as \"Fecha del evento\","
            " i.Hora as \"Hora\", i.Descripcion as \"Descripción\", i.Ubicacion as \"Ubicación\","
            " i.Suscriptor as \"Suscriptor\", i.Representante as \"Representante\","
            " i.CargoRepresentante as \"Cargo del representante\","
            " i.RepresentaA as \"Representa a\", i.Estatus as \"Estatus\""
            " from invitacion i where ") +
            c.donde() + orden,
        c.valores);
}

// Stages one folio for this session's next report. A folio staged twice is
// staged once.
Recordset insertarAnioFolio(Conexion& kelmar, Argumentos& a) {
    const int anio = a.entero(u"@Anio");
    const int folio = a.entero(u"@Folio");
    if (kelmar.ejecuta(QStringLiteral("select 1 from invitacion where Anio = ? and Folio = ?"), {anio, folio})
            .estaVacio())
        throw ErrorDeEjecucion(
            CodigoDeError::Integridad,
            QStringLiteral("No existe la invitación %1 - %2: no se puede seleccionar para el reporte.")
                .arg(anio)
                .arg(folio),
            kelmar.fuente());
    const QString sesion = sesionDe(kelmar);
    // One session is one connection, whose calls come one after the other.
    if (kelmar
            .ejecuta(QStringLiteral(
                         "select 1 from folios_por_imprimir where Sesion = ? and Anio = ? and Folio = ?"),
                     {sesion, anio, folio})
            .estaVacio())
        kelmar.ejecuta(QStringLiteral("insert into folios_por_imprimir (Sesion, Anio, Folio, FechaRegistro)"
                                      " values (?, ?, ?, ?)"),
                       {sesion, anio, folio, Reloj::actual().ahora()});
    return {};
}

// The rows of a report. With @SoloSeleccionadas the report holds only the
// folios this session staged, and they meet the criteria too. Reading takes
// the staged folios away, so the next report of the session starts with none.
Recordset obtenerInvitacionesParaReporte(Conexion& kelmar, Argumentos& a) {
    Condiciones c = criterios(kelmar, a);
    const QString sesion = sesionDe(kelmar);
    const QString representaA = a.texto(u"@RepresentaA").trimmed();
    if (representaA == QLatin1String("Srio") || representaA == QLatin1String("Gob"))
        c.agrega(QStringLiteral("i.RepresentaA = ?"), representaA);
    else if (!representaA.isEmpty())
        throw ErrorDeEjecucion(CodigoDeError::Sentencia,
                               QStringLiteral("'%1' no es un destinatario de invitaciones: se esperaba "
                                              "Srio, Gob o nada para ambos.")
                                   .arg(representaA),
                               kelmar.fuente());
    if (a.entero(u"@SoloSeleccionadas") != 0)
        c.agrega(QStringLiteral("exists (select 1 from folios_por_imprimir f where f.Sesion = ?"
                                " and f.Anio = i.Anio and f.Folio = i.Folio)"),
                 sesion);
    Recordset filas = kelmar.ejecuta(
        QStringLiteral(
            "select i.Anio as \"Anio\", i.Folio as \"Folio\", i.FechaRecepcion as \"FechaRecepcion\","
            " i.FechaEvento as \"FechaEvento\", i.Hora as \"Hora\", i.Descripcion as \"Descripcion\","
            " i.Ubicacion as \"Ubicacion\", i.Suscriptor as \"Suscriptor\","
            " i.CargoSuscriptor as \"CargoSuscriptor\", i.TelSuscriptor as \"TelSuscriptor\","
            " i.Representante as \"Representante\", i.CargoRepresentante as \"CargoRepresentante\","
            " i.TelRepresentante as \"TelRepresentante\", i.Titular as \"Titular\","
            " i.CargoTitular as \"CargoTitular\", i.TelTitular as \"TelTitular\","
            " i.Caracter as \"Caracter\", i.Indicacion as \"Indicacion\","
            " i.RepresentaA as \"RepresentaA\", i.Observacion as \"Observacion\","
            " i.Estatus as \"Estatus\", i.Prefijo1 as \"Prefijo1\", i.Prefijo2 as \"Prefijo2\","
            " i.Prefijo3 as \"Prefijo3\""
            " from invitacion i where ") +
            c.donde() + orden,
        c.valores);
    kelmar.ejecuta(QStringLiteral("delete from folios_por_imprimir where Sesion = ?"), {sesion});
    return filas;
}

} // namespace

void registraReportesDeInvitaciones(CatalogoDeProcedimientos& kelmar) {
    using F = Procedimiento::Firma;
    const auto entrada = [](const char* nombre, TipoDeParametro tipo, int tamano = 0) {
        return F{QString::fromLatin1(nombre), tipo, Direccion::Entrada, tamano};
    };
    const QList<F> criterios = {
        entrada("@FechaInicial", TipoDeParametro::Date),
        entrada("@FechaFinal", TipoDeParametro::Date),
        entrada("@PalabraDescrip", TipoDeParametro::VarChar, 20),
        entrada("@PalabraSuscrip", TipoDeParametro::VarChar, 20),
        entrada("@PalabraRepres", TipoDeParametro::VarChar, 20),
    };
    kelmar.registra({QStringLiteral("ObtenerInvitaciones"),
                     criterios + QList<F>{entrada("@TipoInvit", TipoDeParametro::VarChar, 20)},
                     obtenerInvitaciones});
    kelmar.registra(
        {QStringLiteral("InsertarAnioFolioInvit"),
         {entrada("@Anio", TipoDeParametro::SmallInt), entrada("@Folio", TipoDeParametro::SmallInt)},
         insertarAnioFolio});
    kelmar.registra({QStringLiteral("ObtenerInvitacionesParaReporte"),
                     criterios + QList<F>{entrada("@SoloSeleccionadas", TipoDeParametro::SmallInt),
                                          entrada("@TipoInvit", TipoDeParametro::VarChar, 20),
                                          entrada("@RepresentaA", TipoDeParametro::VarChar, 4)},
                     obtenerInvitacionesParaReporte});
}
