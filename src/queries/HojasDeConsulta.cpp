#include "queries/HojasDeConsulta.h"

#include "outside/Conexion.h"
#include "outside/documentos/ProcesadorDeTextos.h"
#include "queries/ModeloDeEventos.h"
#include "server/Eventos.h"

#include <QHash>
#include <QLocale>
#include <QMap>

namespace HojasDeConsulta {

namespace {

// An event of the register: its folio and the year of its date.
struct Clave {
    int folio = 0;
    int anio = 0;
    bool operator==(const Clave&) const = default;
};
size_t qHash(const Clave& c, size_t semilla = 0) {
    return ::qHash(qint64(c.folio) << 16 | c.anio, semilla);
}

// The day of a date as the recordset gives it ("yyyy-MM-dd HH:mm:ss"):
// only the day counts, so no time zone is consulted.
QDate diaDe(const QVariant& valor) {
    const QDate dia = QDate::fromString(valor.toString().left(10), QStringLiteral("yyyy-MM-dd"));
    return dia.isValid() ? dia : Recordset::fechaHora(valor).date();
}

Clave claveDe(const Recordset& rs, int fila) {
    return {rs.valor(fila, 0).toInt(), diaDe(rs.valor(fila, 1)).year()};
}

// "martes 5 de marzo de 2024", names as the Spanish locale writes them.
QString fechaDeHoja(const QVariant& valor) {
    static const QLocale espanol(QLocale::Spanish, QLocale::Spain);
    const QDate dia = diaDe(valor);
    return dia.isValid() ? espanol.toString(dia, QStringLiteral("dddd d 'de' MMMM 'de' yyyy")) : QString();
}

} // namespace

QStringList CamposDelRegistro() {
    return {QStringLiteral("txtfolio"),         QStringLiteral("txtfecha"),
            QStringLiteral("txthora"),          QStringLiteral("txtsusc"),
            QStringLiteral("txtcargosusc"),     QStringLiteral("txtevento"),
            QStringLiteral("txtdireccion"),     QStringLiteral("txtrepresentante"),
            QStringLiteral("txtobservaciones"), QStringLiteral("txtrep_a"),
            QStringLiteral("txtinst")};
}

int Documentos(int eventos) {
    return eventos / EventosPorHoja + (eventos % EventosPorHoja ? 1 : 0);
}

void Genera(const ModeloDeEventos& grid, Conexion& taloren, const QString& descripcion,
            const QString& criterios, const std::function<std::unique_ptr<AplicacionDeTexto>()>& inicia,
            const std::function<bool(int, int)>& sigue, Resultado& r) {
    r = {};
    const int total = grid.rowCount();
    const int documentos = Documentos(total);
    for (int d = 0; d < documentos; ++d) {
        if (!sigue(d, documentos)) {
            r.cancelado = true;
            return;
        }
        const auto word = inicia();
        if (!word) {
            r.sinProcesador = true;
            return;
        }
        auto doc = word->nuevoDocumento(
            QStringLiteral("PlantillaConsulta.dot"),
            QStringLiteral("%1, hoja %2 de %3").arg(descripcion).arg(d + 1).arg(documentos));

        const QString campoDeCriterios = QString::fromLatin1(CampoDeCriterios);
        if (doc->tieneCampo(campoDeCriterios))
            doc->escribeCampo(campoDeCriterios, criterios);
        else
            r.sinCampo = campoDeCriterios;

        const int primera = d * EventosPorHoja;
        const int cuantos = std::min(EventosPorHoja, total - primera);
        QMap<int, QList<int>> foliosPorAnio;
        for (int k = 0; k < cuantos; ++k) {
            const Clave c = claveDe(grid.registros(), primera + k);
            foliosPorAnio[c.anio] << c.folio;
        }
        const Recordset rs = Eventos::deEventos(taloren, foliosPorAnio);
        QHash<Clave, int> porClave;
        for (int i = 0; i < rs.filas(); ++i) {
            const Clave c = claveDe(rs, i);
            if (!porClave.contains(c))
                porClave.insert(c, i);
        }

        QList<int> sinUsar;
        for (int k = 1; k <= cuantos; ++k) {
            const int fila = primera + k - 1;
            const Clave c = claveDe(grid.registros(), fila);
            const auto encontrado = porClave.constFind(c);
            if (encontrado == porClave.constEnd()) {
                // Deleted or moved since the search: its row goes, and the user is told.
                r.faltantes << QStringLiteral("%1/%2").arg(c.folio).arg(c.anio);
                sinUsar << k;
                continue;
            }
            const int i = *encontrado;
            const QString n = QString::number(k);
            doc->escribeCampo(QString(QStringLiteral("txtfolio") + n), rs.texto(i, 0));
            doc->escribeCampo(QStringLiteral("txtfecha") + n, fechaDeHoja(rs.valor(i, 1)));
            doc->escribeCampo(QStringLiteral("txthora") + n, rs.texto(i, 2));
            doc->escribeCampo(QStringLiteral("txtsusc") + n, rs.texto(i, 11));
            doc->escribeCampo(QStringLiteral("txtcargosusc") + n, rs.texto(i, 12));
            doc->escribeCampo(QStringLiteral("txtevento") + n, rs.texto(i, 3));
            doc->escribeCampo(QStringLiteral("txtdireccion") + n, rs.texto(i, 4));
            // The representative as the search resolved him.
            doc->escribeCampo(QStringLiteral("txtrepresentante") + n,
                              grid.texto(fila, ModeloDeEventos::Representante));
            doc->escribeCampo(QStringLiteral("txtobservaciones") + n, rs.texto(i, 9));
            doc->escribeCampo(QStringLiteral("txtrep_a") + n, rs.texto(i, 10));
            doc->escribeCampo(QStringLiteral("txtinst") + n, rs.texto(i, 13));
        }
        // The template's rows beyond this sheet's records go, so no row is empty.
        for (int k = cuantos + 1; k <= EventosPorHoja; ++k)
            sinUsar << k;
        QStringList descartados;
        for (const int k : std::as_const(sinUsar))
            for (const QString& campo : CamposDelRegistro())
                descartados << campo + QString::number(k);
        if (!descartados.isEmpty())
            doc->descarta(descartados);
        const DocumentoMostrado hecho = doc->muestra();
        r.hechos << hecho.archivo;
        if (!hecho.abierto)
            r.sinAbrir << hecho.archivo;
    }
    sigue(documentos, documentos);
}

} // namespace HojasDeConsulta
