#include "support/InvitacionesDePrueba.h"

#include "outside/Conexion.h"

#include <QDateTime>

namespace {
// An empty text is stored as empty, never as null: the columns refuse nulls.
QString t(const QString& texto) {
    return texto.isNull() ? QStringLiteral("") : texto;
}
} // namespace

void insertaInvitacion(Conexion& kelmar, const InvitacionDePrueba& i) {
    const bool confirmada = !i.representante.trimmed().isEmpty();
    const bool delSecretario = i.representaA == QLatin1String("Srio");
    kelmar.ejecuta(
        QStringLiteral(
            "insert into invitacion (Anio, Folio, FechaRecepcion, FechaEvento, Hora, Descripcion,"
            " Ubicacion, Suscriptor, CargoSuscriptor, TelSuscriptor, Representante, CargoRepresentante,"
            " TelRepresentante, Titular, CargoTitular, TelTitular, Caracter, Indicacion, RepresentaA,"
            " Observacion, Estatus, Prefijo1, Prefijo2, Prefijo3, UsrCaptura, FechaCaptura)"
            " values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {i.anio,
         i.folio,
         i.fechaEvento.addDays(-10),
         i.fechaEvento,
         t(i.hora),
         t(i.descripcion),
         t(i.ubicacion),
         t(i.suscriptor),
         t(i.cargoSuscriptor),
         QStringLiteral("228 841 7700"),
         t(i.representante),
         t(i.cargoRepresentante),
         confirmada ? QStringLiteral("228 841 7701") : t({}),
         delSecretario ? t(i.titular) : t({}),
         delSecretario ? t(i.cargoTitular) : t({}),
         t({}),
         t(i.caracter),
         delSecretario ? t(i.indicacion) : t({}),
         t(i.representaA),
         t(i.observacion),
         confirmada ? QStringLiteral("CONFIRMADA") : QStringLiteral("SINCONFIRMAR"),
         t(i.prefijo1),
         t(i.prefijo2),
         t(i.prefijo3),
         QStringLiteral("admin"),
         QDateTime(i.fechaEvento.addDays(-10), QTime(9, 0))});
}

void insertaInvitaciones(Conexion& kelmar, const QList<InvitacionDePrueba>& invitaciones) {
    kelmar.enTransaccion([&] {
        for (const InvitacionDePrueba& i : invitaciones)
            insertaInvitacion(kelmar, i);
    });
}

QList<InvitacionDePrueba> juegoDeReportes() {
    const auto invitacion = [](int folio, QDate fecha, const char* hora, const char* para,
                               const char* representante, const char* descripcion) {
        InvitacionDePrueba i;
        i.folio = folio;
        i.fechaEvento = fecha;
        i.hora = QString::fromLatin1(hora);
        i.representaA = QString::fromLatin1(para);
        i.representante = QString::fromUtf8(representante);
        if (!i.representante.isEmpty()) {
            i.cargoRepresentante = QStringLiteral("Director de Educación Primaria");
            if (i.representaA == QLatin1String("Gob"))
                i.prefijo2 = QStringLiteral("Lic.");
        }
        i.descripcion = QStringLiteral("EVT%1 %2")
                            .arg(folio, 2, 10, QLatin1Char('0'))
                            .arg(QString::fromUtf8(descripcion));
        return i;
    };
    QList<InvitacionDePrueba> juego{
        invitacion(1, {2011, 11, 5}, "10:00", "Srio", "Ángel Muñoz", "Inauguración de la escuela primaria"),
        invitacion(2, {2011, 11, 5}, "09:00", "Gob", "Óscar Peña", "Informe de labores del Instituto"),
        invitacion(3, {2011, 11, 20}, "SinHr", "Srio", "", "Obra al 100% de avance"),
        invitacion(4, {2011, 12, 31}, "18:30", "Gob", "", "Cena de fin de año"),
        invitacion(5, {2012, 1, 1}, "12:00", "Srio", "Beatriz Ruiz", "Año nuevo con los maestros"),
        invitacion(6, {2011, 10, 31}, "11:00", "Gob", "Carlos Díaz", "Clausura del congreso"),
        invitacion(7, {2011, 12, 1}, "08:00", "Srio", "Lucía Treviño", "Reunión de Café con directores"),
    };
    juego[6].suscriptor = QStringLiteral("Asociación de Padres de Familia");
    return juego;
}
