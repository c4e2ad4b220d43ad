// The history of a record and the comparison of a refused save, on records
// made here: no catalog holds them.
#include "Galeria.h"

#include "common/FrmConflicto.h"
#include "common/FrmHistorial.h"
#include "server/Historial.h"
#include "server/Invitacion.h"

namespace Galeria {

namespace {

QString campo(const char* columna) {
    return Historial::nombreDelCampo(Invitacion::campo(QString::fromLatin1(columna)));
}

Invitacion invitacion() {
    Invitacion i;
    i.anio = 2026;
    i.folio = 12;
    i.fechaRecepcion = QDateTime(QDate(2026, 3, 2), QTime(0, 0));
    i.fechaEvento = QDateTime(QDate(2026, 3, 14), QTime(0, 0));
    i.hora = QStringLiteral("10:00");
    i.descripcion = QStringLiteral("Inauguración del ciclo de conferencias sobre agua potable");
    i.ubicacion = QStringLiteral("Auditorio de la Universidad Veracruzana");
    i.suscriptor = QStringLiteral("Dra. Rosa María Campos");
    i.cargoSuscriptor = QStringLiteral("Directora del Instituto del Agua");
    i.representante = QStringLiteral("Lic. Óscar Peña Ruiz");
    i.cargoRepresentante = QStringLiteral("Subsecretario de Planeación");
    i.caracter = QStringLiteral("Normal");
    i.representaA = QStringLiteral("Gob");
    i.estatus = QStringLiteral("CONFIRMADA");
    i.version = 3;
    return i;
}

} // namespace

void galeriaDelHistorial() {
    const auto cuando = [](int dia, int hora, int minuto) {
        return QDateTime(QDate(2026, 3, dia), QTime(hora, minuto, 12));
    };
    using Historial::Tipo;
    const QList<Historial::Entrada> entradas = {
        {Catalogo::Kelmar,
         2026,
         12,
         3,
         Tipo::Cambio,
         2,
         QStringLiteral("lupita"),
         QStringLiteral("RECEPCION-02"),
         QStringLiteral("kelmarnv"),
         cuando(5, 12, 41),
         {{campo("Hora"), QStringLiteral("11:30"), QStringLiteral("10:00")}}},
        {Catalogo::Kelmar,
         2026,
         12,
         2,
         Tipo::Cambio,
         0,
         QStringLiteral("jmartinez"),
         QStringLiteral("SECRETARIA-01"),
         QStringLiteral("kelmarnv"),
         cuando(5, 12, 38),
         {{campo("Hora"), QStringLiteral("10:00"), QStringLiteral("11:30")},
          {campo("Observacion"),
           {},
           QStringLiteral("Confirmar con el Instituto el número de asistentes y el lugar de "
                          "estacionamiento para la comitiva.")}}},
        {Catalogo::Kelmar, 2026, 12, 1, Tipo::Alta, 0, QStringLiteral("lupita"),
         QStringLiteral("RECEPCION-02"), QStringLiteral("kelmarnv"), cuando(2, 9, 5)},
    };
    FrmHistorial historial(FrmHistorial::TituloDe(Catalogo::Kelmar, 2026, 12), entradas);
    retrata(historial, QStringLiteral("FrmHistorial"));

    FrmHistorial vacio(FrmHistorial::TituloDe(Catalogo::Taloren, 2026, 7), {});
    retrata(vacio, QStringLiteral("FrmHistorial-sin-cambios"));

    // Read at version 2; this station changed the representative, another
    // one changed the hour and the place meanwhile.
    Invitacion leida = invitacion();
    leida.version = 2;
    Invitacion enPantalla = leida;
    enPantalla.representante = QStringLiteral("Mtro. Julio Salas");
    enPantalla.cargoRepresentante = QStringLiteral("Director General de Infraestructura");
    Invitacion guardada = leida;
    guardada.version = 3;
    guardada.hora = QStringLiteral("12:00");
    guardada.ubicacion = QStringLiteral("Sala Tajín del Museo de Antropología");
    FrmConflicto::Datos datos{
        QStringLiteral("la invitación con folio 12 del año 2026"), entradas.constFirst(),
        Historial::comparacion(Invitacion::camposDelRegistro(), leida, enPantalla, guardada),
        guardada.version};
    FrmConflicto conflicto(datos, {});
    retrata(conflicto, QStringLiteral("FrmConflicto"));
}

} // namespace Galeria
