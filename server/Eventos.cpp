#include "server/Eventos.h"

#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Parametro.h"
#include "server/ConsultaDeEventos.h"

#include <QHash>

namespace Eventos {

namespace {

const QString fuente = QStringLiteral("Eventos");
const QString porLlave = QStringLiteral(" where folio = ? and año = ?");

QStringList columnasDe(const QString& tabla) {
    QStringList columnas;
    for (const Campo& c : Evento::camposDe(tabla))
        columnas << c.nombreDeColumna();
    return columnas;
}

ErrorDeEjecucion sinFila(const QString& tabla, int folio, int anio,
                         const QString& despues = QStringLiteral(".")) {
    return ErrorDeEjecucion(
        CodigoDeError::FinDeRegistros,
        QStringLiteral("El evento con folio %1 del año %2 no tiene registro en la tabla %3")
                .arg(folio)
                .arg(anio)
                .arg(tabla) +
            despues,
        fuente);
}

} // namespace

int anioDelEvento(const QDate& fechaDelEvento) {
    return fechaDelEvento.year();
}

int anioDeLaConsulta(const QDate& fechaDeRecepcion) {
    return fechaDeRecepcion.year();
}

QString siguienteFolio(Conexion& taloren, int anio) {
    const Recordset rs = taloren.ejecuta(
        QStringLiteral("select coalesce(max(f), 0) + 1 from (select ultimo_folio as f from folio_evento"
                       " where año = ? union all select max(folio) as f from evento where año = ?) t"),
        {anio, anio});
    return QString::number(rs.valor(0, 0).toLongLong());
}

bool existe(Conexion& taloren, int folio, int anio) {
    return !taloren.ejecuta(QStringLiteral("select folio, año from evento") + porLlave, {folio, anio})
                .estaVacio();
}

namespace {

// The three rows of events in one statement, each column by its own name,
// under the condition given; an event that lacks any of them is left out.
QString consultaJunta(const QString& condicion) {
    static const QString columnas = [] {
        const QHash<QString, QString> alias{
            {QStringLiteral("evento"), QStringLiteral("e")},
            {QStringLiteral("suscriptor"), QStringLiteral("s")},
            {QStringLiteral("representante_del_evento"), QStringLiteral("r")}};
        QStringList r;
        for (const Evento::CampoDeEvento& c : Evento::campos())
            r << alias.value(QString::fromUtf8(c.tabla)) + QLatin1Char('.') + c.nombreDeColumna();
        return r.join(QStringLiteral(", "));
    }();
    return QStringLiteral("select %1 from evento e"
                          " join suscriptor s on s.folio = e.folio and s.año = e.año"
                          " join representante_del_evento r on r.folio = e.folio and r.año = e.año ")
        .arg(columnas) + condicion;
}

Evento eventoDeFila(const Recordset& rs, int fila) {
    Evento e;
    const QList<Evento::CampoDeEvento>& campos = Evento::campos();
    for (int i = 0; i < campos.size(); ++i) {
        const QVariant v = rs.valor(fila, i);
        campos.at(i).escribe(
            e, campos.at(i).tipo == Esquema::Tipo::Timestamp ? QVariant(Recordset::fechaHora(v)) : v);
    }
    return e;
}

std::optional<Evento> leeJuntas(Conexion& taloren, int folio, int anio) {
    static const QString consulta = consultaJunta(QStringLiteral("where e.folio = ? and e.año = ?"));
    const Recordset rs = taloren.ejecuta(consulta, {folio, anio});
    if (rs.estaVacio())
        return std::nullopt;
    return eventoDeFila(rs, 0);
}

// Table by table, to name the one that lacks the event's row.
Evento leePorTabla(Conexion& taloren, int folio, int anio) {
    Evento e;
    for (const QString& tabla : Evento::tablas()) {
        const Recordset rs = taloren.ejecuta(
            QStringLiteral("select %1 from %2").arg(columnasDe(tabla).join(QStringLiteral(", ")), tabla) +
                porLlave,
            {folio, anio});
        if (rs.estaVacio())
            throw sinFila(tabla, folio, anio);
        e.leeDe(tabla, rs);
    }
    return e;
}

} // namespace

Evento lee(Conexion& taloren, int folio, int anio) {
    if (std::optional<Evento> e = leeJuntas(taloren, folio, anio))
        return *e;
    return leePorTabla(taloren, folio, anio);
}

QList<Evento> entreFechas(Conexion& taloren, const QDate& desde, const QDate& hasta) {
    static const QString consulta =
        consultaJunta(QStringLiteral("where e.fecha >= ? and e.fecha < ? order by e.fecha, e.año, e.folio"));
    const Recordset rs =
        taloren.ejecuta(consulta, {QDateTime(desde, QTime(0, 0)), QDateTime(hasta.addDays(1), QTime(0, 0))});
    QList<Evento> r;
    r.reserve(rs.filas());
    for (int i = 0; i < rs.filas(); ++i)
        r << eventoDeFila(rs, i);
    return r;
}

std::optional<Evento> busca(Conexion& taloren, int folio, int anio) {
    if (std::optional<Evento> e = leeJuntas(taloren, folio, anio))
        return e;
    if (!existe(taloren, folio, anio))
        return std::nullopt;
    return leePorTabla(taloren, folio, anio);
}

namespace {

// Inserts the three rows and the history's entry of a new event.
void insertaFilas(Conexion& taloren, Evento e, const Autor& autor) {
    e.version = 1;
    for (const QString& tabla : Evento::tablas()) {
        const QStringList columnas = columnasDe(tabla);
        taloren.ejecuta(
            QStringLiteral("insert into %1 (%2) values (%3)")
                .arg(tabla, columnas.join(QStringLiteral(", ")),
                     QStringList(columnas.size(), QStringLiteral("?")).join(QStringLiteral(", "))),
            e.valoresDe(tabla));
    }
    Historial::escribe(taloren,
                       {.catalogo = Catalogo::Taloren,
                        .anio = e.anio,
                        .folio = e.folio,
                        .version = 1,
                        .tipo = Historial::Tipo::Alta},
                       autor);
}

// Moves the year's counter past every folio the year holds, so that none is
// drawn again; the counter row of a year whose events all predate it starts here.
void adelantaContador(Conexion& taloren, int anio) {
    taloren.ejecuta(QStringLiteral("insert into folio_evento (año, ultimo_folio)"
                                   " values (?, (select coalesce(max(folio), 0) from evento where año = ?))"
                                   " on conflict (año) do update set ultimo_folio = case"
                                   " when excluded.ultimo_folio > folio_evento.ultimo_folio"
                                   " then excluded.ultimo_folio else folio_evento.ultimo_folio end"),
                    {anio, anio});
}

// Draws the year's next folio from its counter row: one statement that
// another station's draw waits behind, so two never receive the same folio.
// The year's first draw starts after the highest folio it holds.
int sorteaFolio(Conexion& taloren, int anio) {
    Recordset rs = taloren.ejecuta(QStringLiteral("update folio_evento set ultimo_folio = ultimo_folio + 1"
                                                  " where año = ? returning ultimo_folio"),
                                   {anio});
    if (rs.estaVacio())
        rs = taloren.ejecuta(
            QStringLiteral("insert into folio_evento (año, ultimo_folio)"
                           " values (?, (select coalesce(max(folio), 0) + 1 from evento where año = ?))"
                           " on conflict (año) do update set ultimo_folio = folio_evento.ultimo_folio + 1"
                           " returning ultimo_folio"),
            {anio, anio});
    return rs.valor(0, 0).toInt();
}

// Which of the two refusals a write that matched no row of its version met.
Escritura rechazo(Conexion& taloren, int folio, int anio) {
    return existe(taloren, folio, anio) ? Escritura::Cambiado : Escritura::Eliminado;
}

} // namespace

int insertaConFolioNuevo(Conexion& taloren, const Evento& evento, const Autor& autor) {
    return taloren.enTransaccion([&] {
        Evento e = evento;
        e.folio = sorteaFolio(taloren, e.anio);
        insertaFilas(taloren, e, autor);
        return e.folio;
    });
}

void inserta(Conexion& taloren, const Evento& evento, const Autor& autor) {
    taloren.enTransaccion([&] {
        insertaFilas(taloren, evento, autor);
        adelantaContador(taloren, evento.anio);
    });
}

Escritura actualiza(Conexion& taloren, const Evento& e, const Autor& autor, bool sobrescribe) {
    return taloren.enTransaccion([&] {
        const std::optional<Evento> antes = busca(taloren, e.folio, e.anio);
        if (!antes)
            return Escritura::Eliminado;
        if (antes->version != e.version)
            return Escritura::Cambiado;
        // evento first, with the version: the check and the write are one statement.
        const QStringList orden = {QStringLiteral("evento"), QStringLiteral("suscriptor"),
                                   QStringLiteral("representante_del_evento")};
        for (const QString& tabla : orden) {
            QStringList asignaciones;
            QVariantList valores;
            const QList<Evento::CampoDeEvento> campos = Evento::camposDe(tabla);
            const QVariantList todos = e.valoresDe(tabla);
            for (int i = 0; i < campos.size(); ++i) {
                const QString columna = campos.at(i).nombreDeColumna();
                if (columna == QLatin1String("folio") || columna == QStringLiteral("año") ||
                    columna == QLatin1String("version"))
                    continue;
                asignaciones << columna + QStringLiteral(" = ?");
                valores << todos.at(i);
            }
            QString condicion = porLlave;
            valores << e.folio << e.anio;
            if (tabla == QLatin1String("evento")) {
                asignaciones << QStringLiteral("version = version + 1");
                condicion += QStringLiteral(" and version = ?");
                valores << e.version;
            }
            const Recordset rs = taloren.ejecuta(
                QStringLiteral("update %1 set %2").arg(tabla, asignaciones.join(QStringLiteral(", "))) +
                    condicion,
                valores);
            if (rs.filasAfectadas() != 1) {
                if (tabla == QLatin1String("evento"))
                    return rechazo(taloren, e.folio, e.anio);
                // An update that finds no row would report success for data never stored.
                throw sinFila(tabla, e.folio, e.anio, QStringLiteral("; no se modificó nada."));
            }
        }
        Evento despues = e;
        despues.version = e.version + 1;
        Historial::escribe(taloren,
                           {.catalogo = Catalogo::Taloren,
                            .anio = e.anio,
                            .folio = e.folio,
                            .version = despues.version,
                            .tipo = Historial::Tipo::Cambio,
                            .sobrescribe = sobrescribe ? e.version : 0,
                            .campos = Historial::diferencias(Evento::camposDelRegistro(), *antes, despues)},
                           autor);
        return Escritura::Hecha;
    });
}

Escritura elimina(Conexion& taloren, int folio, int anio, int version, const Autor& autor) {
    return taloren.enTransaccion([&] {
        const std::optional<Evento> antes = busca(taloren, folio, anio);
        if (!antes)
            return Escritura::Eliminado;
        if (antes->version != version)
            return Escritura::Cambiado;
        adelantaContador(taloren, anio);
        if (taloren
                .ejecuta(QStringLiteral("delete from evento") + porLlave + QStringLiteral(" and version = ?"),
                         {folio, anio, version})
                .filasAfectadas() != 1)
            return rechazo(taloren, folio, anio);
        taloren.ejecuta(QStringLiteral("delete from suscriptor") + porLlave, {folio, anio});
        taloren.ejecuta(QStringLiteral("delete from representante_del_evento") + porLlave, {folio, anio});
        Historial::escribe(taloren,
                           {.catalogo = Catalogo::Taloren,
                            .anio = anio,
                            .folio = folio,
                            .version = version + 1,
                            .tipo = Historial::Tipo::Baja,
                            .campos = Historial::todos(Evento::camposDelRegistro(), *antes)},
                           autor);
        return Escritura::Hecha;
    });
}

Recordset buscaPorFechas(Conexion& taloren, int opcion, const QDate& inicio, const QDate& fin) {
    const QString formato = QString::fromLatin1(ConsultaDeEventos::formatoDeFecha);
    // The procedure takes the events before its end date: the day after the last one wanted.
    Parametros p{Parametro::entrada(QStringLiteral("@OptSelAsuntos"), TipoDeParametro::Char, 1,
                                    QString::number(opcion)),
                 Parametro::entrada(QStringLiteral("@FechaIni"), TipoDeParametro::VarChar, 10,
                                    inicio.toString(formato)),
                 Parametro::entrada(QStringLiteral("@FechaFin"), TipoDeParametro::VarChar, 10,
                                    fin.isValid() ? fin.addDays(1).toString(formato) : QString())};
    return taloren.ejecutaProcedimiento(QStringLiteral("sp_ZMXObtenerRegsInvitaciones"), p);
}

QString consultaBase() {
    return ConsultaDeEventos::consultaBase();
}

Recordset deEventos(Conexion& taloren, const QMap<int, QList<int>>& foliosPorAnio) {
    QVariantList valores;
    const QString sql = ConsultaDeEventos::deEventos(foliosPorAnio, valores);
    return taloren.ejecuta(sql, valores);
}

QString Captura::sortea(Conexion& taloren, int anio) {
    const QString folio = siguienteFolio(taloren, anio);
    m_sorteado = Identidad{folio.toInt(), anio};
    return folio;
}

Captura::Guardado Captura::guarda(Conexion& taloren, const Evento& evento, const Autor& autor,
                                  int sobreVersion) {
    const Identidad id{evento.folio, evento.anio};
    if (m_consultado == id && m_leido) {
        Evento e = evento;
        e.version = sobreVersion > 0 ? sobreVersion : m_leido->version;
        switch (actualiza(taloren, e, autor, sobreVersion > 0)) {
        case Escritura::Hecha:
            e.version += 1;
            m_leido = e;
            return {Resultado::Actualizado, e.folio};
        case Escritura::Cambiado:
            return {Resultado::Cambiado};
        case Escritura::Eliminado:
            return {Resultado::Eliminado};
        }
    }
    // A folio on screen that is neither the one looked up nor the one shown
    // for this new event, and that another event holds, is not this screen's.
    if (m_sorteado != id && existe(taloren, id.folio, id.anio))
        return {Resultado::FolioAjeno};
    Evento e = evento;
    e.folio = insertaConFolioNuevo(taloren, evento, autor);
    e.version = 1;
    // From now on the screen holds that stored event: saving again updates it.
    m_consultado = Identidad{e.folio, e.anio};
    m_leido = e;
    m_sorteado.reset();
    return {Resultado::Insertado, e.folio};
}

void Captura::consultado(const Evento& leido) {
    m_consultado = Identidad{leido.folio, leido.anio};
    m_leido = leido;
    m_sorteado.reset();
}

void Captura::olvida() {
    m_consultado.reset();
    m_leido.reset();
    m_sorteado.reset();
}

Escritura Captura::elimina(Conexion& taloren, int folio, int anio, const Autor& autor, int sobreVersion) {
    const int version = sobreVersion > 0 ? sobreVersion : m_leido ? m_leido->version : 0;
    const Escritura r = Eventos::elimina(taloren, folio, anio, version, autor);
    if (r != Escritura::Cambiado)
        olvida();
    return r;
}

} // namespace Eventos
