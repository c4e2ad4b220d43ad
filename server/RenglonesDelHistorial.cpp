#include "server/RenglonesDelHistorial.h"

namespace Historial {

QString textoDelTipo(const Entrada& e) {
    const QString tipo = nombreDe(e.tipo);
    if (e.sobrescribe > 0)
        return QStringLiteral("%1 (sobre la versión %2)").arg(tipo).arg(e.sobrescribe);
    return tipo;
}

QString textoDeFecha(const QDateTime& fecha) {
    return fecha.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

QList<Renglon> renglones(const QList<Entrada>& entradas) {
    QList<Renglon> r;
    for (const Entrada& e : entradas) {
        const Renglon base{e.fecha, e.cuenta, e.estacion, textoDelTipo(e), {}, {}, {}};
        if (e.tipo == Tipo::Alta || e.campos.isEmpty()) {
            r << base;
            continue;
        }
        for (const CambioDeCampo& c : e.campos) {
            Renglon renglon = base;
            renglon.campo = rotuloDe(e.catalogo, c.campo);
            renglon.antes = paraMostrar(c.antes);
            renglon.despues = paraMostrar(c.despues);
            r << renglon;
        }
    }
    return r;
}

} // namespace Historial
