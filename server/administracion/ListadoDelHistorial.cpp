#include "server/administracion/ListadoDelHistorial.h"

#include "server/Historial.h"
#include "server/RenglonesDelHistorial.h"

namespace ListadoDelHistorial {

namespace {

QString enUnaLinea(QString texto) {
    texto.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    texto.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
    texto.replace(QLatin1Char('\r'), QStringLiteral("\\n"));
    texto.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    texto.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    return texto;
}

QString linea(const QStringList& campos) {
    QStringList r;
    for (const QString& c : campos)
        r << enUnaLinea(c);
    return r.join(QLatin1Char('\t'));
}

QString nombreDelRegistro(Catalogo catalogo, int anio, int folio) {
    return (catalogo == Catalogo::Kelmar ? QStringLiteral("Invitación %1 de %2")
                                         : QStringLiteral("Evento %1 de %2"))
        .arg(folio)
        .arg(anio);
}

} // namespace

QStringList delRegistro(Conexion& conexion, Catalogo catalogo, int anio, int folio) {
    const QList<Historial::Renglon> renglones =
        Historial::renglones(Historial::delRegistro(conexion, catalogo, anio, folio));
    if (renglones.isEmpty())
        return {QStringLiteral("Sin cambios registrados.")};
    QStringList r;
    for (const Historial::Renglon& x : renglones)
        r << linea(
            {Historial::textoDeFecha(x.fecha), x.cuenta, x.estacion, x.tipo, x.campo, x.antes, x.despues});
    return r;
}

QStringList borrados(Conexion& conexion, Catalogo catalogo, const QDate& desde) {
    const QList<Historial::Entrada> entradas = Historial::borrados(conexion, catalogo, desde);
    if (entradas.isEmpty())
        return {QStringLiteral("Sin registros eliminados.")};
    QStringList r;
    for (const Historial::Entrada& e : entradas) {
        if (!r.isEmpty())
            r << QString();
        r << enUnaLinea(QStringLiteral("%1: %2 el %3 por %4 desde la estación %5")
                            .arg(nombreDelRegistro(catalogo, e.anio, e.folio), Historial::textoDelTipo(e),
                                 Historial::textoDeFecha(e.fecha), e.cuenta, e.estacion));
        for (const Historial::CambioDeCampo& c : e.campos)
            r << QLatin1Char('\t') +
                     linea({Historial::rotuloDe(catalogo, c.campo), Historial::paraMostrar(c.antes)});
    }
    return r;
}

} // namespace ListadoDelHistorial
