#pragma once

#include <QDate>
#include <QList>
#include <QString>

class Conexion;

// An invitation as the tests store it, straight into the invitacion table
// with bound values; what a test does not set takes a plausible value.
struct InvitacionDePrueba {
    int anio = 2011;
    int folio = 1;
    QDate fechaEvento{2011, 11, 15};
    QString hora = QStringLiteral("10:00");
    QString descripcion = QStringLiteral("Reunión de trabajo");
    QString ubicacion = QStringLiteral("Palacio de Gobierno");
    QString suscriptor = QStringLiteral("Lic. Rosa María Campos");
    QString cargoSuscriptor = QStringLiteral("Directora del Instituto");
    // Empty: the invitation is not confirmed.
    QString representante;
    QString cargoRepresentante;
    QString representaA = QStringLiteral("Srio");
    QString caracter = QStringLiteral("Normal");
    QString indicacion = QStringLiteral("Asistir en representación del C. Secretario");
    QString titular = QStringLiteral("Mtro. Julio Salas");
    QString cargoTitular = QStringLiteral("Subsecretario de Educación Básica");
    QString prefijo1 = QStringLiteral("La");
    QString prefijo2;
    QString prefijo3 = QStringLiteral("En");
    QString observacion;
};

void insertaInvitacion(Conexion& kelmar, const InvitacionDePrueba& invitacion);
void insertaInvitaciones(Conexion& kelmar, const QList<InvitacionDePrueba>& invitaciones);

// Seven invitations of late 2011 that the report tests share; each carries its
// marker "EVTnn" (nn its folio) in its description:
//   1  5 Nov 10:00  Srio  confirmed (Ángel Muñoz)
//   2  5 Nov 09:00  Gob   confirmed (Lic. Óscar Peña)
//   3  20 Nov       Srio  not confirmed; "al 100% de avance"
//   4  31 Dec       Gob   not confirmed
//   5  1 Jan 2012   Srio  confirmed (outside Nov-Dec)
//   6  31 Oct       Gob   confirmed (outside Nov-Dec)
//   7  1 Dec        Srio  confirmed; "Café", invited by the parents' association
QList<InvitacionDePrueba> juegoDeReportes();
