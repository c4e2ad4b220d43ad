#pragma once

#include "server/Campo.h"

#include <QDateTime>
#include <QString>

// An invitation of the Secretary or the Governor, as the `invitacion` table
// of kelmar stores it and the invitation windows show it.
struct Invitacion {
    int anio = 0;
    int folio = 0;
    QDateTime fechaRecepcion;
    QDateTime fechaEvento;
    QString hora;
    QString descripcion;
    QString ubicacion;
    QString suscriptor;
    QString cargoSuscriptor;
    QString telSuscriptor;
    QString representante;
    QString cargoRepresentante;
    QString telRepresentante;
    QString titular;
    QString cargoTitular;
    QString telTitular;
    QString caracter;
    QString indicacion;
    QString representaA;
    QString observacion;
    QString estatus;
    QString prefijo1;
    QString prefijo2;
    QString prefijo3;
    QString usrCaptura;
    QDateTime fechaCaptura;
    QString usrModif;
    QDateTime fechaModif;
    // Raised by every change: a correction based on an older one is refused.
    int version = 0;

    using CampoDeInvitacion = CampoDe<Invitacion>;
    // Every column of the table, in its order.
    static const QList<CampoDeInvitacion>& campos();
    // Fields 2 to 23 of the record, the ones the registration and the
    // correction carry between the year (and folio) and the account.
    static const QList<CampoDeInvitacion>& camposDelRegistro();
    // What a look-up answers: fields 2 to 23, who captured it and who last
    // corrected it, and its version.
    static const QList<CampoDeInvitacion>& camposDeLaConsulta();
    // The field of that column (compared without regard to case); throws for
    // an unknown one.
    static const CampoDeInvitacion& campo(const QString& columna);

    // The procedures' parameters of fields 2 to 23, with this record's values
    // (an empty text where the record has none: the columns refuse nulls).
    Parametros parametrosDelRegistro() const;

    // The record in a row that holds those fields by their columns' names;
    // throws when one is missing.
    static Invitacion deFila(const class Recordset& filas, int fila,
                             const QList<CampoDeInvitacion>& campos = Invitacion::campos());
};

// The invitation table at a version of kelmar's schema.
namespace Esquema {
Tabla tablaDeInvitaciones(int version);
}
