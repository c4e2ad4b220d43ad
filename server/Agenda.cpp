#include "server/Agenda.h"

#include "outside/Conexion.h"
#include "outside/ReglaDeNombres.h"
#include "server/Evento.h"
#include "server/Eventos.h"
#include "server/Invitacion.h"
#include "server/Invitaciones.h"

#include <QSet>
#include <QVariantList>

#include <algorithm>

namespace Agenda {

QString Entrada::titularAbreviado() const {
    return titular == Titular::Secretario ? QStringLiteral("Srio.") : QStringLiteral("Gob.");
}

QString Entrada::clave() const {
    return QStringLiteral("%1-%2-%3")
        .arg(tipo == Tipo::Invitacion ? QLatin1Char('I') : QLatin1Char('E'))
        .arg(anio)
        .arg(folio);
}

QString Entrada::persona() const {
    const QString r = representante.trimmed();
    if (!r.isEmpty())
        return r;
    return titular == Titular::Secretario ? QStringLiteral("Secretario") : QStringLiteral("Gobernador");
}

std::optional<QTime> horaDe(const QString& texto, Tipo tipo) {
    const QTime h = QTime::fromString(texto.trimmed(), QStringLiteral("HH:mm"));
    if (!h.isValid() || (tipo == Tipo::Evento && h == QTime(0, 0)))
        return std::nullopt;
    return h;
}

namespace {

QString conCargo(const QString& nombre, const QString& cargo) {
    const QString n = nombre.trimmed(), c = cargo.trimmed();
    if (c.isEmpty())
        return n;
    return n.isEmpty() ? c : n + QStringLiteral(", ") + c;
}

bool antes(const Entrada& a, const Entrada& b) {
    if (a.dia != b.dia)
        return a.dia < b.dia;
    if (a.hora.has_value() != b.hora.has_value())
        return !a.hora.has_value();
    if (a.hora != b.hora)
        return *a.hora < *b.hora;
    if (a.tipo != b.tipo)
        return a.tipo == Tipo::Invitacion;
    if (a.anio != b.anio)
        return a.anio < b.anio;
    return a.folio < b.folio;
}

QString normal(const QString& nombre) {
    return ReglaDeNombres::paraBuscar(nombre.trimmed());
}

} // namespace

Entrada deInvitacion(const ::Invitacion& i) {
    Entrada e;
    e.tipo = Tipo::Invitacion;
    e.anio = i.anio;
    e.folio = i.folio;
    e.version = i.version;
    e.dia = i.fechaEvento.date();
    e.hora = horaDe(i.hora, Tipo::Invitacion);
    e.descripcion = i.descripcion;
    e.lugar = i.ubicacion;
    e.invita = conCargo(i.suscriptor, i.cargoSuscriptor);
    e.titular = i.representaA == QLatin1String("Gob") ? Titular::Gobernador : Titular::Secretario;
    e.representante = i.representante.trimmed();
    e.indicacion = i.indicacion;
    e.observacion = i.observacion;
    e.confirmada = i.estatus == QLatin1String("CONFIRMADA");
    return e;
}

Entrada Lector::deEvento(const ::Evento& ev) {
    Entrada e;
    e.tipo = Tipo::Evento;
    e.anio = ev.anio;
    e.folio = ev.folio;
    e.version = ev.version;
    e.dia = ev.fecha.date();
    e.hora = horaDe(ev.hora, Tipo::Evento);
    e.descripcion = ev.descripcion;
    e.lugar = ev.direccion;
    e.invita = conCargo(ev.nombreSuscriptor, ev.cargoSuscriptor);
    e.titular = ev.representaA == QLatin1String("Gobernador") ? Titular::Gobernador : Titular::Secretario;
    e.representante =
        (ev.claveFun.trimmed().isEmpty() ? ev.nombreRepresentante : nombreDelFuncionario(ev.claveFun))
            .trimmed();
    e.observacion = ev.observacion;
    e.confirmada = !e.representante.isEmpty();
    return e;
}

int Lector::margen() {
    if (m_margen <= 0)
        m_margen = margenDeConflictos(m_kelmar);
    return m_margen;
}

QString Lector::nombreDelFuncionario(const QString& clave) {
    const QString c = clave.trimmed();
    if (!m_funcionarios.contains(c))
        resuelveFuncionarios({c});
    return m_funcionarios.value(c);
}

void Lector::resuelveFuncionarios(const QStringList& claves) {
    QStringList faltan;
    for (const QString& c : claves)
        if (!m_funcionarios.contains(c) && !faltan.contains(c))
            faltan << c;
    // A bounded list of values per statement, within every backend's limit.
    constexpr int porSentencia = 500;
    for (qsizetype desde = 0; desde < faltan.size(); desde += porSentencia) {
        const QStringList parte = faltan.mid(desde, porSentencia);
        QVariantList valores;
        for (const QString& c : parte)
            valores << c;
        const Recordset rs = m_kelmar.ejecuta(
            QStringLiteral("select cvefuncionario, nombre from funcionarios where cvefuncionario in (%1)")
                .arg(QStringList(parte.size(), QStringLiteral("?")).join(QLatin1Char(','))),
            valores);
        // A key the catalogue lacks is kept as the key itself: the entry still names someone.
        for (const QString& c : parte)
            m_funcionarios.insert(c, c);
        for (int i = 0; i < rs.filas(); ++i)
            m_funcionarios.insert(rs.texto(i, 0).trimmed(), rs.texto(i, 1));
    }
}

QList<Entrada> Lector::lee(const Filtro& filtro) {
    QList<Entrada> r;
    if (filtro.tipo != Tipo::Evento)
        for (const ::Invitacion& i : Invitaciones::entreFechas(m_kelmar, filtro.desde, filtro.hasta))
            r << deInvitacion(i);
    if (filtro.tipo != Tipo::Invitacion) {
        const QList<::Evento> eventos = Eventos::entreFechas(m_taloren, filtro.desde, filtro.hasta);
        QStringList claves;
        for (const ::Evento& ev : eventos)
            if (!ev.claveFun.trimmed().isEmpty())
                claves << ev.claveFun.trimmed();
        resuelveFuncionarios(claves);
        for (const ::Evento& ev : eventos)
            r << deEvento(ev);
    }
    const QString buscado = normal(filtro.representante);
    r.removeIf([&](const Entrada& e) {
        return (filtro.titular && e.titular != *filtro.titular) ||
               (!buscado.isEmpty() && !normal(e.representante).contains(buscado));
    });
    std::stable_sort(r.begin(), r.end(), antes);
    return r;
}

bool mismaPersona(const QString& a, const QString& b) {
    return normal(a) == normal(b);
}

bool chocan(const Entrada& a, const Entrada& b, int margenMinutos) {
    if (a.dia != b.dia || !mismaPersona(a.persona(), b.persona()))
        return false;
    if (!a.hora || !b.hora)
        return !a.hora && !b.hora;
    return std::abs(a.hora->secsTo(*b.hora)) < margenMinutos * 60;
}

QList<Entrada> conflictosDe(Lector& lector, const Entrada& propuesta, int margenMinutos) {
    QList<Entrada> r;
    if (!propuesta.dia.isValid())
        return r;
    for (const Entrada& e : lector.lee({.desde = propuesta.dia, .hasta = propuesta.dia}))
        if (!(e.tipo == propuesta.tipo && e.anio == propuesta.anio && e.folio == propuesta.folio) &&
            chocan(propuesta, e, margenMinutos))
            r << e;
    return r;
}

QList<std::pair<Entrada, Entrada>> dobleReservas(const QList<Entrada>& entradas, int margenMinutos) {
    // Only entries of one day and one person can conflict: compare within those groups.
    QHash<std::pair<QDate, QString>, QList<qsizetype>> grupos;
    for (qsizetype i = 0; i < entradas.size(); ++i)
        grupos[{entradas.at(i).dia, normal(entradas.at(i).persona())}] << i;
    QList<std::pair<qsizetype, qsizetype>> pares;
    for (const QList<qsizetype>& g : std::as_const(grupos))
        for (qsizetype i = 0; i < g.size(); ++i)
            for (qsizetype j = i + 1; j < g.size(); ++j)
                if (chocan(entradas.at(g.at(i)), entradas.at(g.at(j)), margenMinutos))
                    pares << std::pair{std::min(g.at(i), g.at(j)), std::max(g.at(i), g.at(j))};
    std::sort(pares.begin(), pares.end());
    QList<std::pair<Entrada, Entrada>> r;
    for (const auto& [i, j] : pares)
        r << std::pair{entradas.at(i), entradas.at(j)};
    return r;
}

int margenDeConflictos(Conexion& kelmar) {
    const Recordset rs =
        kelmar.ejecuta(QStringLiteral("select MargenConflictos from configuracion where id = ?"), {1});
    return rs.estaVacio() ? margenPorOmision : rs.valor(0, 0).toInt();
}

} // namespace Agenda
