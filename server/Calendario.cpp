#include "server/Calendario.h"

#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/ReglaDeNombres.h"
#include "server/Evento.h"
#include "server/Historial.h"
#include "server/Invitacion.h"

#include <QSet>
#include <QTimeZone>

#include <libical/ical.h>

#include <cstdlib>
#include <memory>

namespace Calendario {

namespace {

ErrorDeEjecucion errorDeCalendario(const QString& texto) {
    return ErrorDeEjecucion(CodigoDeError::Ajustes, texto, QStringLiteral("Calendario"));
}

} // namespace

Oficina oficina(Conexion& kelmar) {
    const Recordset rs = kelmar.ejecuta(
        QStringLiteral("select ZonaHoraria, Identidad, MargenConflictos from configuracion where id = ?"),
        {1});
    if (rs.estaVacio() || rs.texto(0, 1).trimmed().isEmpty())
        throw errorDeCalendario(
            QStringLiteral("El catálogo kelmar no tiene su identidad en la configuración; "
                           "ejecute taloren-admin create para dársela."));
    Oficina o{rs.texto(0, 0).trimmed(), rs.texto(0, 1).trimmed(), rs.valor(0, 2).toInt()};
    if (!QTimeZone(o.zona.toUtf8()).isValid())
        throw errorDeCalendario(
            QStringLiteral("La zona horaria de la oficina, \"%1\", no es una que este sistema conozca; "
                           "corríjala con taloren-admin set-config --zona-horaria.")
                .arg(o.zona));
    return o;
}

QString uid(const Agenda::Entrada& e, const QString& identidad) {
    return QStringLiteral("%1-%2-%3@%4")
        .arg(e.tipo == Agenda::Tipo::Invitacion ? QStringLiteral("invitacion") : QStringLiteral("evento"))
        .arg(e.anio)
        .arg(e.folio)
        .arg(identidad);
}

namespace {

struct Componente {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using ComponentePropio = std::unique_ptr<icalcomponent, Componente>;

icaltimetype momentoLocal(const QDateTime& t) {
    icaltimetype r = icaltime_null_time();
    r.year = t.date().year();
    r.month = t.date().month();
    r.day = t.date().day();
    r.hour = t.time().hour();
    r.minute = t.time().minute();
    r.second = t.time().second();
    r.is_date = 0;
    return r;
}

icaltimetype dia(const QDate& d) {
    icaltimetype r = icaltime_null_date();
    r.year = d.year();
    r.month = d.month();
    r.day = d.day();
    r.is_date = 1;
    return r;
}

icalproperty* conZona(icalproperty* p, const QByteArray& zona) {
    icalproperty_add_parameter(p, icalparameter_new_tzid(zona.constData()));
    return p;
}

icalproperty* texto(icalproperty* (*nueva)(const char*), const QString& valor) {
    return nueva(valor.toUtf8().constData());
}

// The zone's real rules over the days given, from the system's zone data: one
// STANDARD or DAYLIGHT part per change of offset, the one in force before the
// first day included.
icalcomponent* zonaHoraria(const QTimeZone& zona, const QDate& primero, const QDate& ultimo) {
    icalcomponent* vtz = icalcomponent_new_vtimezone();
    icalcomponent_add_property(vtz, texto(icalproperty_new_tzid, QString::fromUtf8(zona.id())));
    const QDateTime desde(primero.addDays(-1), QTime(0, 0), Qt::UTC);
    const QDateTime hasta(ultimo.addDays(2), QTime(0, 0), Qt::UTC);
    QTimeZone::OffsetDataList cambios;
    if (const QTimeZone::OffsetData previo = zona.previousTransition(desde); previo.atUtc.isValid())
        cambios << previo;
    cambios << zona.transitions(desde, hasta);
    if (cambios.isEmpty()) {
        // A zone that never changes: its one offset since always.
        QTimeZone::OffsetData fijo = zona.offsetData(desde);
        fijo.atUtc = QDateTime(QDate(1970, 1, 1), QTime(0, 0), Qt::UTC).addSecs(-fijo.offsetFromUtc);
        cambios << fijo;
    }
    int antes = cambios.constFirst().offsetFromUtc;
    if (const QTimeZone::OffsetData anterior = zona.previousTransition(cambios.constFirst().atUtc);
        anterior.atUtc.isValid())
        antes = anterior.offsetFromUtc;
    for (const QTimeZone::OffsetData& c : std::as_const(cambios)) {
        icalcomponent* parte =
            c.daylightTimeOffset != 0 ? icalcomponent_new_xdaylight() : icalcomponent_new_xstandard();
        // The onset in the local time that was in force until then.
        const QDateTime inicio = c.atUtc.toUTC().addSecs(antes);
        icalcomponent_add_property(
            parte, icalproperty_new_dtstart(momentoLocal(QDateTime(inicio.date(), inicio.time(), Qt::UTC))));
        icalcomponent_add_property(parte, icalproperty_new_tzoffsetfrom(antes));
        icalcomponent_add_property(parte, icalproperty_new_tzoffsetto(c.offsetFromUtc));
        if (!c.abbreviation.isEmpty())
            icalcomponent_add_property(parte, texto(icalproperty_new_tzname, c.abbreviation));
        icalcomponent_add_component(vtz, parte);
        antes = c.offsetFromUtc;
    }
    return vtz;
}

QString descripcion(const Agenda::Entrada& e) {
    QStringList r;
    if (!e.invita.isEmpty())
        r << QStringLiteral("Invita: ") + e.invita;
    r << QStringLiteral("Para: ") + (e.titular == Agenda::Titular::Secretario ? QStringLiteral("Secretario")
                                                                              : QStringLiteral("Gobernador"));
    r << QStringLiteral("Representante: ") +
             (e.representante.isEmpty() ? QStringLiteral("sin designar") : e.representante);
    if (!e.indicacion.trimmed().isEmpty())
        r << QStringLiteral("Indicación: ") + e.indicacion.trimmed();
    r << (e.tipo == Agenda::Tipo::Invitacion ? QStringLiteral("Invitación %1/%2")
                                             : QStringLiteral("Evento del registro %1/%2"))
             .arg(e.folio)
             .arg(e.anio);
    return r.join(QLatin1Char('\n'));
}

icalcomponent* evento(const Agenda::Entrada& e, const Oficina& o, const QByteArray& zona,
                      const icaltimetype& sello, bool cancelada) {
    icalcomponent* v = icalcomponent_new_vevent();
    icalcomponent_add_property(v, texto(icalproperty_new_uid, uid(e, o.identidad)));
    icalcomponent_add_property(v, icalproperty_new_dtstamp(sello));
    icalcomponent_add_property(v, icalproperty_new_sequence(std::max(0, e.version)));
    if (e.hora) {
        const QDateTime inicio(e.dia, *e.hora);
        icalcomponent_add_property(v, conZona(icalproperty_new_dtstart(momentoLocal(inicio)), zona));
        icalcomponent_add_property(v,
                                   conZona(icalproperty_new_dtend(momentoLocal(inicio.addSecs(3600))), zona));
    } else {
        // A day without hour: the whole day, its end the next one (exclusive).
        icalcomponent_add_property(v, icalproperty_new_dtstart(dia(e.dia)));
        icalcomponent_add_property(v, icalproperty_new_dtend(dia(e.dia.addDays(1))));
    }
    icalcomponent_add_property(v, texto(icalproperty_new_summary, e.descripcion.simplified().isEmpty()
                                                                      ? QStringLiteral("(sin descripción)")
                                                                      : e.descripcion.simplified()));
    if (!e.lugar.trimmed().isEmpty())
        icalcomponent_add_property(v, texto(icalproperty_new_location, e.lugar.trimmed()));
    icalcomponent_add_property(v, texto(icalproperty_new_description, descripcion(e)));
    icalcomponent_add_property(v, icalproperty_new_status(cancelada      ? ICAL_STATUS_CANCELLED
                                                          : e.confirmada ? ICAL_STATUS_CONFIRMED
                                                                         : ICAL_STATUS_TENTATIVE));
    return v;
}

} // namespace

QByteArray ics(const QList<Agenda::Entrada>& entradas, const QList<Agenda::Entrada>& canceladas,
               const Oficina& o, const QDateTime& sello) {
    const QTimeZone zona(o.zona.toUtf8());
    if (!zona.isValid())
        throw errorDeCalendario(
            QStringLiteral("La zona horaria \"%1\" no es una que este sistema conozca.").arg(o.zona));
    const QByteArray idZona = zona.id();
    ComponentePropio cal(icalcomponent_new_vcalendar());
    icalcomponent_add_property(cal.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(cal.get(), icalproperty_new_prodid("-//TALOREN//Agenda de invitaciones//ES"));
    icalcomponent_add_property(cal.get(), icalproperty_new_calscale("GREGORIAN"));
    icalcomponent_add_property(cal.get(), icalproperty_new_method(ICAL_METHOD_PUBLISH));

    QDate primero, ultimo;
    for (const QList<Agenda::Entrada>* lista : {&entradas, &canceladas})
        for (const Agenda::Entrada& e : *lista) {
            if (!primero.isValid() || e.dia < primero)
                primero = e.dia;
            if (!ultimo.isValid() || e.dia > ultimo)
                ultimo = e.dia;
        }
    if (primero.isValid())
        icalcomponent_add_component(cal.get(), zonaHoraria(zona, primero, ultimo));

    const QDateTime utc = sello.toUTC();
    icaltimetype marca = momentoLocal(QDateTime(utc.date(), utc.time(), Qt::UTC));
    marca.zone = icaltimezone_get_utc_timezone();
    for (const Agenda::Entrada& e : entradas)
        icalcomponent_add_component(cal.get(), evento(e, o, idZona, marca, false));
    for (const Agenda::Entrada& e : canceladas)
        icalcomponent_add_component(cal.get(), evento(e, o, idZona, marca, true));

    char* escrito = icalcomponent_as_ical_string_r(cal.get());
    if (!escrito)
        throw errorDeCalendario(QStringLiteral("No fue posible escribir el calendario: %1")
                                    .arg(QString::fromUtf8(icalerror_strerror(icalerrno))));
    const QByteArray r(escrito);
    std::free(escrito);
    return r;
}

namespace {

template <class Registro>
Registro comoEstaba(const QList<CampoDe<Registro>>& campos, const Historial::Entrada& baja) {
    QHash<QString, QVariant> valores;
    for (const Historial::CambioDeCampo& c : baja.campos)
        valores.insert(c.campo, c.antes);
    Registro r;
    for (const CampoDe<Registro>& c : campos)
        if (const auto v = valores.constFind(Historial::nombreDelCampo(c)); v != valores.cend())
            c.escribe(r, *v);
    return r;
}

bool pasa(const Agenda::Entrada& e, const Agenda::Filtro& f) {
    if (e.dia < f.desde || e.dia > f.hasta || (f.titular && e.titular != *f.titular) ||
        (f.tipo && e.tipo != *f.tipo))
        return false;
    const QString buscado = ReglaDeNombres::paraBuscar(f.representante.trimmed());
    return buscado.isEmpty() || ReglaDeNombres::paraBuscar(e.representante).contains(buscado);
}

} // namespace

QList<Agenda::Entrada> eliminadas(Conexion& kelmar, Conexion& taloren, Agenda::Lector& lector,
                                  const Agenda::Filtro& filtro) {
    QList<Agenda::Entrada> r;
    QSet<QString> vistas;
    const auto agrega = [&](Agenda::Entrada e, const Historial::Entrada& baja) {
        e.anio = baja.anio;
        e.folio = baja.folio;
        e.version = baja.version;
        // The newest deletion of a key tells; an older one was of a record since gone again.
        if (pasa(e, filtro) && !vistas.contains(e.clave())) {
            vistas.insert(e.clave());
            r << e;
        }
    };
    if (filtro.tipo != Agenda::Tipo::Evento)
        for (const Historial::Entrada& baja : Historial::borrados(kelmar, Catalogo::Kelmar))
            agrega(Agenda::deInvitacion(comoEstaba(Invitacion::campos(), baja)), baja);
    if (filtro.tipo != Agenda::Tipo::Invitacion)
        for (const Historial::Entrada& baja : Historial::borrados(taloren, Catalogo::Taloren))
            agrega(lector.deEvento(comoEstaba(Evento::campos(), baja)), baja);
    return r;
}

namespace {

QString campoCsv(const QString& t) {
    if (!t.contains(QLatin1Char('"')) && !t.contains(QLatin1Char(',')) && !t.contains(QLatin1Char('\n')) &&
        !t.contains(QLatin1Char('\r')))
        return t;
    QString r = t;
    r.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + r + QLatin1Char('"');
}

} // namespace

QByteArray csvPublico(const QList<Agenda::Entrada>& entradas) {
    QStringList lineas{QStringLiteral("Fecha,Hora,Evento,Lugar,Invita,Asiste,En representación de")};
    for (const Agenda::Entrada& e : entradas) {
        if (!e.confirmada)
            continue;
        QStringList campos{e.dia.toString(QStringLiteral("yyyy-MM-dd")),
                           e.hora ? e.hora->toString(QStringLiteral("HH:mm")) : QString(),
                           e.descripcion.trimmed(),
                           e.lugar.trimmed(),
                           e.invita,
                           e.representante,
                           e.titular == Agenda::Titular::Secretario ? QStringLiteral("Secretario")
                                                                    : QStringLiteral("Gobernador")};
        for (QString& c : campos)
            c = campoCsv(c);
        lineas << campos.join(QLatin1Char(','));
    }
    return (lineas.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

} // namespace Calendario
