#pragma once

#include "outside/Conexion.h"
#include "server/Invitacion.h"

#include <QDate>
#include <QList>
#include <QString>

// An invitation as the tests store it; what a test does not set takes a
// plausible value. An empty representative leaves it unconfirmed.
struct InvitacionDePrueba {
    int anio = 2011;
    int folio = 1;
    QDate fechaEvento{2011, 11, 25};
    QString hora = QStringLiteral("10:00");
    QString descripcion = QStringLiteral("Reunión de trabajo");
    QString suscriptor = QStringLiteral("Lic. Rosa María Campos");
    QString representante;
    QString cargoRepresentante;
    QString representaA = QStringLiteral("Srio");
    QString prefijo1 = QStringLiteral("La");
    QString prefijo2;
    QString observacion;
    QString usrCaptura = QStringLiteral("admin");

    // The whole record, the values a test does not set filled in.
    Invitacion registro() const;
};

// An invitation of that day (its year the day's) at an hour of the hour list ("SinHr" included),
// described "Invitación <folio>", for the Secretary ("Srio") or the Governor ("Gob").
InvitacionDePrueba invitacionDelDia(int folio, const QDate& dia, const QString& hora,
                                    const QString& representante = {},
                                    const QString& representaA = QStringLiteral("Srio"));

// Straight into the invitacion table, with bound values, as another station stored them.
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

// The stored row of an invitation, every column by its name.
inline Recordset filaGuardada(Conexion& kelmar, int folio, int anio = 2011) {
    return kelmar.ejecuta(QStringLiteral("select * from invitacion where Anio = ? and Folio = ?"),
                          {anio, folio});
}

inline int invitacionesGuardadas(Conexion& kelmar) {
    return kelmar.ejecuta(QStringLiteral("select count(*) from invitacion")).valor(0, 0).toInt();
}

// A folio of 2011 staged for printing, as the report window stages it, and how many wait.
inline void seleccionaFolio(Conexion& kelmar, int folio) {
    Parametros p{Parametro::entrada(QStringLiteral("@Anio"), TipoDeParametro::SmallInt, 0, 2011),
                 Parametro::entrada(QStringLiteral("@Folio"), TipoDeParametro::SmallInt, 0, folio)};
    kelmar.ejecutaProcedimiento(QStringLiteral("InsertarAnioFolioInvit"), p);
}
inline int foliosEnEspera(Conexion& kelmar) {
    return kelmar.ejecuta(QStringLiteral("select count(*) from folios_por_imprimir")).valor(0, 0).toInt();
}

// One column of a recordset, as numbers.
inline QList<int> numeros(const Recordset& rs, int columna = 0) {
    QList<int> r;
    for (int i = 0; i < rs.filas(); ++i)
        r << rs.valor(i, columna).toInt();
    return r;
}
