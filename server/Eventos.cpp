#include "server/Eventos.h"

#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Parametro.h"
#include "server/ConsultaDeEventos.h"

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
    const Recordset rs =
        taloren.ejecuta(QStringLiteral("select max(folio) from evento where año = ? group by año"), {anio});
    if (rs.estaVacio() || rs.esNulo(0, 0))
        return QStringLiteral("1");
    return QString::number(rs.valor(0, 0).toLongLong() + 1);
}

bool existe(Conexion& taloren, int folio, int anio) {
    return !taloren.ejecuta(QStringLiteral("select folio, año from evento") + porLlave, {folio, anio})
                .estaVacio();
}

Evento lee(Conexion& taloren, int folio, int anio) {
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

std::optional<Evento> busca(Conexion& taloren, int folio, int anio) {
    if (!existe(taloren, folio, anio))
        return std::nullopt;
    return lee(taloren, folio, anio);
}

void inserta(Conexion& taloren, const Evento& e) {
    taloren.enTransaccion([&] {
        for (const QString& tabla : Evento::tablas()) {
            const QStringList columnas = columnasDe(tabla);
            taloren.ejecuta(
                QStringLiteral("insert into %1 (%2) values (%3)")
                    .arg(tabla, columnas.join(QStringLiteral(", ")),
                         QStringList(columnas.size(), QStringLiteral("?")).join(QStringLiteral(", "))),
                e.valoresDe(tabla));
        }
    });
}

void actualiza(Conexion& taloren, const Evento& e) {
    // evento first: an event that is not stored is reported by its own table.
    const QStringList orden = {QStringLiteral("evento"), QStringLiteral("suscriptor"),
                               QStringLiteral("representante_del_evento")};
    taloren.enTransaccion([&] {
        for (const QString& tabla : orden) {
            QStringList asignaciones;
            QVariantList valores;
            const QList<Evento::CampoDeEvento> campos = Evento::camposDe(tabla);
            const QVariantList todos = e.valoresDe(tabla);
            for (int i = 0; i < campos.size(); ++i) {
                const QString columna = campos.at(i).nombreDeColumna();
                if (columna == QLatin1String("folio") || columna == QStringLiteral("año"))
                    continue;
                asignaciones << columna + QStringLiteral(" = ?");
                valores << todos.at(i);
            }
            valores << e.folio << e.anio;
            const Recordset rs = taloren.ejecuta(
                QStringLiteral("update %1 set %2").arg(tabla, asignaciones.join(QStringLiteral(", "))) +
                    porLlave,
                valores);
            // An update that finds no row would report success for data never stored.
            if (rs.filasAfectadas() != 1)
                throw sinFila(tabla, e.folio, e.anio, QStringLiteral("; no se modificó nada."));
        }
    });
}

int elimina(Conexion& taloren, int folio, int anio) {
    return taloren.enTransaccion([&] {
        const int eventos =
            taloren.ejecuta(QStringLiteral("delete from evento") + porLlave, {folio, anio}).filasAfectadas();
        taloren.ejecuta(QStringLiteral("delete from suscriptor") + porLlave, {folio, anio});
        taloren.ejecuta(QStringLiteral("delete from representante_del_evento") + porLlave, {folio, anio});
        return eventos;
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

Captura::Guardado Captura::guarda(Conexion& taloren, const Evento& evento) {
    const Identidad id{evento.folio, evento.anio};
    bool insertando = false;
    bool ocupado = false;
    Resultado r = Resultado::Insertado;
    try {
        r = taloren.enTransaccion([&] {
            if (existe(taloren, id.folio, id.anio)) {
                if (m_consultado != id)
                    return Resultado::FolioAjeno;
                actualiza(taloren, evento);
                return Resultado::Actualizado;
            }
            insertando = true;
            inserta(taloren, evento);
            return Resultado::Insertado;
        });
    } catch (const ErrorDeEjecucion& error) {
        // A server lets another station's insert of the same new folio through
        // the check; its key then refuses this one, and nothing of it stays.
        if (!(insertando && error.numero() == CodigoDeError::Integridad &&
              existe(taloren, id.folio, id.anio)))
            throw;
        ocupado = true;
    }
    if (ocupado || r == Resultado::FolioAjeno) {
        if (m_sorteado == id)
            return {Resultado::FolioTomado, sortea(taloren, id.anio).toInt()};
        return {Resultado::FolioAjeno};
    }
    // From now on the screen holds that stored event: saving again updates it.
    m_consultado = id;
    m_sorteado.reset();
    return {r};
}

void Captura::consultado(int folio, int anio) {
    m_consultado = Identidad{folio, anio};
    m_sorteado.reset();
}

void Captura::olvida() {
    m_consultado.reset();
    m_sorteado.reset();
}

int Captura::elimina(Conexion& taloren, int folio, int anio) {
    const int eliminados = Eventos::elimina(taloren, folio, anio);
    if (eliminados == 0)
        m_consultado.reset();
    return eliminados;
}

} // namespace Eventos
