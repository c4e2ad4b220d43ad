#include "support/InvitacionesDePrueba.h"

#include <QDateTime>

Invitacion InvitacionDePrueba::registro() const {
    const bool confirmada = !representante.trimmed().isEmpty();
    // Only the Secretary's invitations name an area head and an indication.
    const bool delSrio = representaA == QLatin1String("Srio");
    const auto siDelSrio = [&](const char* valor) { return QString::fromUtf8(delSrio ? valor : ""); };
    Invitacion r;
    r.anio = anio;
    r.folio = folio;
    r.version = 1;
    r.fechaRecepcion = fechaEvento.addDays(-8).startOfDay();
    r.fechaEvento = fechaEvento.startOfDay();
    r.hora = hora;
    r.descripcion = descripcion;
    r.ubicacion = QStringLiteral("Palacio de Gobierno");
    r.suscriptor = suscriptor;
    r.cargoSuscriptor = QStringLiteral("Directora del Instituto");
    r.telSuscriptor = QStringLiteral("228 841 7700");
    r.representante = representante;
    r.cargoRepresentante = cargoRepresentante;
    r.telRepresentante = QString::fromLatin1(confirmada ? "228 841 7701" : "");
    r.titular = siDelSrio("Mtro. Julio Salas");
    r.cargoTitular = siDelSrio("Subsecretario de Educación Básica");
    r.caracter = QStringLiteral("Normal");
    r.indicacion = siDelSrio("Asistir en representación del C. Secretario");
    r.representaA = representaA;
    r.observacion = observacion;
    r.estatus = QString::fromLatin1(confirmada ? "CONFIRMADA" : "SINCONFIRMAR");
    r.prefijo1 = prefijo1;
    r.prefijo2 = prefijo2;
    r.prefijo3 = QStringLiteral("En");
    r.usrCaptura = usrCaptura;
    r.fechaCaptura = QDateTime(fechaEvento.addDays(-8), QTime(9, 0));
    return r;
}

// Every column of the record's field table, the texts a test leaves empty
// stored empty (the columns refuse nulls) and the dates it leaves invalid as null.
void insertaInvitacion(Conexion& kelmar, const InvitacionDePrueba& i) {
    const Invitacion r = i.registro();
    QStringList columnas;
    QVariantList valores;
    for (const Invitacion::CampoDeInvitacion& c : Invitacion::campos()) {
        columnas << c.nombreDeColumna();
        valores << c.valorAlGuardar(r);
    }
    kelmar.ejecuta(QStringLiteral("insert into invitacion (%1) values (?%2)")
                       .arg(columnas.join(u','), QStringLiteral(", ?").repeated(columnas.size() - 1)),
                   valores);
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

InvitacionDePrueba invitacionDelDia(int folio, const QDate& dia, const QString& hora,
                                    const QString& representante, const QString& representaA) {
    InvitacionDePrueba i;
    i.anio = dia.year();
    i.folio = folio;
    i.fechaEvento = dia;
    i.hora = hora;
    i.representante = representante;
    i.representaA = representaA;
    i.descripcion = QStringLiteral("Invitación %1").arg(folio);
    return i;
}
