#include "support/InvitacionesDePrueba.h"

#include <QDateTime>

Parametros camposDe(const InvitacionDePrueba& i) {
    const auto fecha = [](const char* nombre, QDate dia) {
        return Parametro::entrada(QString::fromLatin1(nombre), TipoDeParametro::Date, 0, dia);
    };
    // The columns refuse nulls: an empty text is sent as empty.
    const auto texto = [](const char* nombre, const QString& valor) {
        return Parametro::entrada(QString::fromLatin1(nombre), TipoDeParametro::VarChar, 2000,
                                  valor.isNull() ? QStringLiteral("") : valor);
    };
    const bool confirmada = !i.representante.trimmed().isEmpty();
    // Only the Secretary's invitations name an area head and an indication.
    const auto delSrio = [&](const char* valor) {
        return QString::fromUtf8(i.representaA == QLatin1String("Srio") ? valor : "");
    };
    Parametros p;
    p << fecha("@FechaRecepcion", i.fechaEvento.addDays(-8)) << fecha("@FechaEvento", i.fechaEvento)
      << texto("@Hora", i.hora) << texto("@Descripcion", i.descripcion)
      << texto("@Ubicacion", QStringLiteral("Palacio de Gobierno")) << texto("@Suscriptor ", i.suscriptor)
      << texto("@CargoSuscriptor", QStringLiteral("Directora del Instituto"))
      << texto("@TelSuscriptor", QStringLiteral("228 841 7700")) << texto("@Representante", i.representante)
      << texto("@CargoRepresentante", i.cargoRepresentante)
      << texto("@TelRepresentante", QString::fromLatin1(confirmada ? "228 841 7701" : ""))
      << texto("@Titular", delSrio("Mtro. Julio Salas"))
      << texto("@CargoTitular", delSrio("Subsecretario de Educación Básica")) << texto("@TelTitular", {})
      << texto("@Caracter", QStringLiteral("Normal"))
      << texto("@Indicacion", delSrio("Asistir en representación del C. Secretario"))
      << texto("@RepresentaA", i.representaA) << texto("@Observacion", i.observacion)
      << texto("@Estatus", QString::fromLatin1(confirmada ? "CONFIRMADA" : "SINCONFIRMAR"))
      << texto("@Prefijo1", i.prefijo1) << texto("@Prefijo2", i.prefijo2)
      << texto("@Prefijo3", QStringLiteral("En"));
    return p;
}

void insertaInvitacion(Conexion& kelmar, const InvitacionDePrueba& i) {
    QStringList columnas{QStringLiteral("Anio"), QStringLiteral("Folio")};
    QVariantList valores{i.anio, i.folio};
    for (const Parametro& p : camposDe(i)) {
        columnas << p.nombre.trimmed().mid(1);
        valores << p.valor;
    }
    columnas << QStringLiteral("UsrCaptura") << QStringLiteral("FechaCaptura");
    valores << i.usrCaptura << QDateTime(i.fechaEvento.addDays(-8), QTime(9, 0));
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
